#include "testlib/editors/XPerfConfig.h"

#include "platform/com/ServerEntryPoints.h"
#include "platform/ui/Label.h"
#include "testlib/config/CConfigPerf.h"

namespace ztest {

namespace {

constexpr std::string_view kWaves[] = {
    "20320::ZERO",   "20321::SQU",    "20322::PUL",    "20323::SIN 0.05", "20324::SIN 0.5",  "20325::SIN 1",
    "20326::sin 10", "20327::sin 25", "20328::sin 30", "20329::sin 40",   "20330::sin 50",   "20331::sin 60",
    "20332::sin 100", "20333::sin 125", "20334::Sin 150", "20335::SQ 1K", "20336::TRI",
};

constexpr WaveListEditor::Design kDesign{
    "XPerfConfig", "fraPerformance", "Label1", "20091::Performance wave", "lstPerformance", kWaves, 300,
    "20155::Select Perfomance wave,duration and lead source for the performance wave test.", 900, true,
};

} // namespace

XPerfConfig::XPerfConfig() : WaveListEditor(kDesign)
{
    AddLabel(*mWaveFrame, "lblLeadSource", {2800, 1200, 1500, 255}, "20092::Lead Source:");
    mLeadI = AddAt<plat::OptionButton>(*mWaveFrame, "opLeadI", {3000, 1650, 255, 255});
    mLeadI->Click.Connect([this] { LeadClick(CConfigPerf::LeadI); });
    AddLabel(*mWaveFrame, "lblLead1", {3250, 1650, 1500, 255}, "20093::Lead I");
    mLeadII = AddAt<plat::OptionButton>(*mWaveFrame, "opLeadII", {3000, 2000, 255, 255});
    mLeadII->Click.Connect([this] { LeadClick(CConfigPerf::LeadII); });
    AddLabel(*mWaveFrame, "lblLead2", {3250, 2000, 1500, 255}, "20094::Lead II");
    Start();
}

bool XPerfConfig::Accepts(const plat::ObjectPtr& object) const
{
    return std::dynamic_pointer_cast<CConfigPerf>(object) != nullptr;
}

void XPerfConfig::OnStart()
{
    {
        LoadingScope loading(*this);
        Try([&] { mLeadI->SetValue(true); });
    }
    WaveListEditor::OnStart();
}

void XPerfConfig::ShowMore(CConfigSimWave& record)
{
    const int16_t lead = static_cast<CConfigPerf&>(record).GetLead();
    Try([&] { mLeadI->SetValue(lead == CConfigPerf::LeadI); });
    Try([&] { mLeadII->SetValue(lead == CConfigPerf::LeadII); });
}

void XPerfConfig::LockMore(bool locked)
{
    Enable(*mLeadI, !locked);
    Enable(*mLeadII, !locked);
}

void XPerfConfig::LeadClick(int16_t lead)
{
    Edit([&] { dynamic_cast<CConfigPerf&>(Rec()).SetLead(lead); });
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XPerfConfig, ztest::XPerfConfig::ProgId, ztest::XPerfConfig::ClassId)
