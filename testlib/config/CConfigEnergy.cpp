#include "testlib/config/CConfigEnergy.h"

#include "platform/com/ServerEntryPoints.h"

namespace ztest {

std::span<const CConfigBase::WaveEntry> CConfigEnergy::WaveTable()
{
    static constexpr WaveEntry waves[] = {
        {0, "VFB1", "20587::Ventricular fibrillation 1,coarse"},
        {1, "VFB2", "20588::Ventricular fibrillation 2,fine"},
        {2, "VTC130", "20582::Ventricular tachycardia 130 BPM"},
        {3, "VTC175", "20583::Ventricular tachycardia 175 BPM"},
        {4, "VTC180", "20584::Ventricular tachycardia 180 BPM"},
        {5, "VTC185", "20585::Ventricular tachycardia 185 BPM"},
        {6, "VTC220", "20586::Ventricular tachycardia 220 BPM"},
    };
    return waves;
}

std::span<const CConfigBase::ValueChild> CConfigEnergy::LoadOrder()
{
    static const ValueChild children[] = {
        {"PresetEnergy", &Bind<&CConfigEnergy::mPresetEnergy>, Stored::HostNumber, Reading::Number},
        {"AmplitudeIndex", &Bind<&CConfigEnergy::mAmplitudeIndex>, Stored::Plain, Reading::Number},
        {"Wavetype", &Bind<&CConfigEnergy::mWavetype>, Stored::Text, Reading::Text},
        {"WaveFormIndex", &Bind<&CConfigEnergy::mWaveFormIndex>, Stored::Plain, Reading::Number},
        SettingsChild,
    };
    return children;
}

std::span<const CConfigBase::ValueChild> CConfigEnergy::SaveOrder()
{
    static const ValueChild children[] = {
        LoadOrder()[1], LoadOrder()[0], LoadOrder()[2], LoadOrder()[3], SettingsChild,
    };
    return children;
}

const CConfigBase::RecordInfo& CConfigEnergy::Info() const
{
    // The energy record kept the library's older project name in its error source.
    static const RecordInfo info{"ZARVIKTests.CConfigEnergy", "TelvoZarvikTest.XEnergyConfig",
                                 ReportLayout::BodyWidth, LoadOrder(), SaveOrder()};
    return info;
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CConfigEnergy, ztest::CConfigEnergy::ProgId, "{99DF2C1C-AFEB-42C2-B511-585919BB50FB}")
