#include "testlib/editors/XArrConfig.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/config/CConfigArr.h"

namespace ztest {

namespace {

constexpr int32_t kFirstCode = 200;

constexpr std::string_view kWaves[] = {
    "20270::AF1",     "20271::AF2",     "20272::AFL",     "20273::SINA",    "20274::1DB",     "20275::2DB1",
    "20276::2DB2",    "20277::3DB",     "20278::PVC1",    "20279::PVC2",    "20280::MF",      "20281::PAIR",
    "20282::BIG",     "20283::TRG",     "20284::RUN5",    "20285::RUN11",   "20286::VNT",     "20287::VTC 130",
    "20288::VTC 175", "20289::VTC 180", "20290::VTC 185", "20291::VTC 220", "20292::VFB1",    "20293::VFB2",
    "20294::ASY1",    "20295::ASY2",    "20296::ASN",     "20297::DM1",     "20298::DM2",     "20299::AVS",
    "20300::NCA",     "20301::NFU",     "20302::TQASYS",  "20303::TQBRAD",  "20304::TQDEM",   "20305::TQNC",
};

constexpr WaveListEditor::Design kDesign{
    "XArrConfig", "fraArrhythmia", "Label3", "20089::Arrythmia wave", "lstArrhythmia", kWaves, kFirstCode,
    "20154::Select ECG arrhythmia wave and duration for the arrhythmia/shock advisory test.", 900, true,
};

} // namespace

XArrConfig::XArrConfig()
    : WaveListEditor(kDesign),
      mPace(*mWaveFrame, {Site(), [this] { return dynamic_cast<CConfigArr*>(mConfig.get()); }})
{
    Start();
}

bool XArrConfig::Accepts(const plat::ObjectPtr& object) const
{
    return std::dynamic_pointer_cast<CConfigArr>(object) != nullptr;
}

void XArrConfig::OnStart()
{
    mPace.Fill();
    WaveListEditor::OnStart();
}

bool XArrConfig::PacesAtrially(int32_t code)
{
    return code == CConfigArr::WaveAtrioventricularSequential || code == CConfigArr::WaveNoncapture;
}

void XArrConfig::ShowMore(CConfigSimWave& record)
{
    const bool pacing = PacesAtrially(record.GetWavetype());
    mPace.SetPacing(pacing);
    if (pacing) mPace.ShowValues(static_cast<CConfigArr&>(record));
}

void XArrConfig::LockMore(bool locked)
{
    mPace.SetLocked(locked);
}

void XArrConfig::WavePicked(int index)
{
    const bool pacing = PacesAtrially(kFirstCode + index);
    mPace.SetPacing(pacing);
    if (!pacing) return;
    // The lists show what the record holds, which is what the test sends; the default entries
    // only stand in while no record is bound.
    if (auto record = dynamic_cast<CConfigArr*>(mConfig.get())) {
        mPace.ShowValues(*record);
    } else {
        mPace.ShowDefaults();
    }
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XArrConfig, ztest::XArrConfig::ProgId, ztest::XArrConfig::ClassId)
