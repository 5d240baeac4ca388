#include "testlib/editors/XNSWConfig.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/config/CConfigNSW.h"

namespace ztest {

namespace {

constexpr std::string_view kWaves[] = {
    "20250::Sine 30 BPM",  "20251::Sine 60 BPM",  "20252::Sine 80 BPM",  "20253::Sine 120 BPM",
    "20254::Sine 160 BPM", "20255::Sine 200 BPM", "20256::Sine 240 BPM", "20257::Sine 300 BPM",
};

constexpr WaveListEditor::Design kDesign{
    "XNSWConfig", "fraNSW", "Label3", "20088::Normal Sinus Wave", "lstNSWParameters", kWaves, 100,
    "20153::Select ECG wave and duration for the Normal Sinus wave test.", 950, false,
};

} // namespace

XNSWConfig::XNSWConfig() : WaveListEditor(kDesign)
{
    Start();
}

bool XNSWConfig::Accepts(const plat::ObjectPtr& object) const
{
    return std::dynamic_pointer_cast<CConfigNSW>(object) != nullptr;
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XNSWConfig, ztest::XNSWConfig::ProgId, ztest::XNSWConfig::ClassId)
