#include "testlib/editors/XCardioConfig.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/editors/XEnergyConfig.h"

namespace ztest {

namespace {

constexpr std::string_view kWaves[] = {
    "20230::Normal Sinus Rhythm at 60 BPM", "20231::Normal Sinus Rhythm at 80 BPM ",
    "20232::Normal Sinus Rhythm at 120 BPM", "20233::Atrial Fibrillation 1, coarse",
    "20234::Atrial Fibrillation 2, fine",
};

// The energy editor's design with the wider wave list and the frames moved right to make room.
DischargeDesign CardioDesign()
{
    DischargeDesign design = XEnergyConfig::EnergyDesign("XCardioConfig");
    design.waves = kWaves;
    design.firstFrame.width = 3975;
    design.waveList.width = 3375;
    design.settingsFrame.left = 3960;
    design.thirdFrame = Place{6120, 0, 2295, 2295};
    return design;
}

// The wave list ends this far from the first frame's right edge.
constexpr float kWaveListMargin = 540;

} // namespace

XCardioConfig::XCardioConfig() : XDischargeEditor(CardioDesign()) {}

void XCardioConfig::LayoutFirstFrame(float firstWidth, float /*height*/)
{
    mWaveList->Move(mWaveList->Left(), mWaveList->Top(), firstWidth - kWaveListMargin);
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XCardioConfig, ztest::XCardioConfig::ProgId, ztest::XCardioConfig::ClassId)
