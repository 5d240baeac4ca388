#include "testlib/config/CConfigCardio.h"

#include "platform/com/ServerEntryPoints.h"

namespace ztest {

std::span<const CConfigBase::WaveEntry> CConfigCardio::WaveTable()
{
    static constexpr WaveEntry waves[] = {
        {0, "NSB60", "20558::Normal sinus rhythm at 60 bpm"},
        {1, "NSB80", "20559::Normal sinus rhythm at 80 bpm"},
        {2, "NSB120", "20560::Normal sinus rhythm at 120 bpm"},
        {3, "AF1", "20565::Atrial Fibrillation 1,coarse"},
        {4, "AF2", "20566::Atrial Fibrillation 2,Fine"},
    };
    return waves;
}

std::span<const CConfigBase::ValueChild> CConfigCardio::Children()
{
    static const ValueChild children[] = {
        {"PresetEnergy", &Bind<&CConfigCardio::mPresetEnergy>, Stored::HostNumber, Reading::Number},
        {"Wavetype", &Bind<&CConfigCardio::mWavetype>, Stored::Text, Reading::Text},
        {"WaveFormIndex", &Bind<&CConfigCardio::mWaveFormIndex>, Stored::Plain, Reading::Number},
        SettingsChild,
    };
    return children;
}

const CConfigBase::RecordInfo& CConfigCardio::Info() const
{
    static const RecordInfo info{"TelvoZarvikTest.CConfigCardio", "TelvoZarvikTest.XCardioConfig",
                                 ReportLayout::BodyWidth, Children(), Children()};
    return info;
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CConfigCardio, ztest::CConfigCardio::ProgId, "{36529D0F-CBE0-4AAA-B47D-8D33F9D709DE}")
