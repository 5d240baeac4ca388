#include "testlib/editors/XPerfConfig.h"

#include "platform/base/ComError.h"
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

void AddLabel(plat::Window& container, const char* name, const char* caption, float left, float top)
{
    auto label = container.Add<plat::Label>(name);
    label->Move(left, top, 1500, 255);
    label->SetCaption(caption);
}

} // namespace

XPerfConfig::XPerfConfig() : WaveListEditor(kDesign)
{
    AddLabel(*mWaveFrame, "lblLeadSource", "20092::Lead Source:", 2800, 1200);
    mLeadI = mWaveFrame->Add<plat::OptionButton>("opLeadI");
    mLeadI->Move(3000, 1650, 255, 255);
    mLeadI->Click.Connect([this] { LeadClick(CConfigPerf::LeadI); });
    AddLabel(*mWaveFrame, "lblLead1", "20093::Lead I", 3250, 1650);
    mLeadII = mWaveFrame->Add<plat::OptionButton>("opLeadII");
    mLeadII->Move(3000, 2000, 255, 255);
    mLeadII->Click.Connect([this] { LeadClick(CConfigPerf::LeadII); });
    AddLabel(*mWaveFrame, "lblLead2", "20094::Lead II", 3250, 2000);

    mfLoading = true;
    plat::IgnoreErrors([&] { mLeadI->SetValue(true); });
    mfLoading = false;
    Start();
}

std::shared_ptr<CConfigSimWave> XPerfConfig::Accept(const plat::Variant& vData) const
{
    return vData.IsObject() ? std::dynamic_pointer_cast<CConfigPerf>(vData.AsObject()) : nullptr;
}

void XPerfConfig::ShowMore(CConfigSimWave& record)
{
    const int16_t lead = static_cast<CConfigPerf&>(record).GetLead();
    plat::IgnoreErrors([&] { mLeadI->SetValue(lead == CConfigPerf::LeadI); });
    plat::IgnoreErrors([&] { mLeadII->SetValue(lead == CConfigPerf::LeadII); });
}

void XPerfConfig::LockMore(bool locked)
{
    plat::IgnoreErrors([&] { mLeadI->SetEnabled(!locked); });
    plat::IgnoreErrors([&] { mLeadII->SetEnabled(!locked); });
}

void XPerfConfig::LeadClick(int16_t lead)
{
    if (mfLoading) return;
    mfLoading = true;
    plat::IgnoreErrors([&] {
        if (auto record = std::dynamic_pointer_cast<CConfigPerf>(mConfig)) record->SetLead(lead);
    });
    mfLoading = false;
    SendChange();
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XPerfConfig, ztest::XPerfConfig::ProgId, ztest::XPerfConfig::ClassId)
