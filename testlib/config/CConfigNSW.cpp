#include "testlib/config/CConfigNSW.h"

#include "platform/com/ServerEntryPoints.h"

namespace ztest {

std::span<const CConfigBase::WaveEntry> CConfigNSW::WaveTable()
{
    static constexpr WaveEntry waves[] = {
        {100, "NSB30", "20557::Normal sinus rhythm at 30 bpm"},
        {101, "NSB60", "20558::Normal sinus rhythm at 60 bpm"},
        {102, "NSB80", "20559::Normal sinus rhythm at 80 bpm"},
        {103, "NSB120", "20560::Normal sinus rhythm at 120 bpm"},
        {104, "NSB160", "20561::Normal sinus rhythm at 160 bpm"},
        {105, "NSB200", "20562::Normal sinus rhythm at 200 bpm"},
        {106, "NSB240", "20563::Normal sinus rhythm at 240 bpm"},
        {107, "NSB300", "20564::Normal sinus rhythm at 300 bpm"},
    };
    return waves;
}

std::span<const CConfigBase::ValueChild> CConfigNSW::LoadOrder()
{
    static const ValueChild children[] = {
        {"Duration", &Bind<&CConfigNSW::mDuration>, Stored::HostNumber, Reading::Number},
        {"Wavetype", &Bind<&CConfigNSW::mWavetype>, Stored::HostNumber, Reading::Number},
        {"Wavename", &Bind<&CConfigNSW::mWavename>, Stored::Text, Reading::Text},
        SettingsChild,
    };
    return children;
}

std::span<const CConfigBase::ValueChild> CConfigNSW::SaveOrder()
{
    static const ValueChild children[] = {
        VersionChild, LoadOrder()[0], LoadOrder()[1], LoadOrder()[2], SettingsChild,
    };
    return children;
}

const CConfigBase::RecordInfo& CConfigNSW::Info() const
{
    static const RecordInfo info{"TelvoZarvikTest.CConfigNSW", "TelvoZarvikTest.XNSWConfig", ReportLayout::BodyWidth,
                                 LoadOrder(), SaveOrder()};
    return info;
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CConfigNSW, ztest::CConfigNSW::ProgId, "{25132C6C-213C-47A4-A70F-33B64B996891}")
