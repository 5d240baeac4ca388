#include "testlib/config/CConfigPerf.h"

#include "platform/com/ServerEntryPoints.h"

namespace ztest {

std::span<const CConfigBase::WaveEntry> CConfigPerf::WaveTable()
{
    // "ZERO" is also what the tests send to end a simulation.
    static constexpr WaveEntry waves[] = {
        {300, "ZERO", "20540::Zero output"},
        {301, "SQU", "20541::2-Hz square wave"},
        {302, "PUL", "20542::4-second pulse"},
        {303, "SIN0.05", "20543::0.05-Hz sine wave"},
        {304, "SIN0.5", "20544::0.5-Hz sine wave"},
        {305, "SIN1", "20545::1-Hz sine wave"},
        {306, "SIN10", "20546::10-Hz sine wave"},
        {307, "SIN25", "20547::25-Hz sine wave"},
        {308, "SIN30", "20548::30-Hz sine wave"},
        {309, "SIN40", "20549::40-Hz sine wave"},
        {310, "SIN50", "20550::50-Hz sine wave"},
        {311, "SIN60", "20551::60-Hz sine wave"},
        {312, "SIN100", "20552::100-Hz sine wave"},
        {313, "SIN125", "20553::125-Hz sine wave"},
        {314, "SIN150", "20554::150-Hz sine wave"},
        {315, "SQ1K", "20555::1-kHz square wave"},
        {316, "TRI", "20556::2-Hz triangle wave"},
    };
    return waves;
}

std::string CConfigPerf::LeadName(int16_t lead)
{
    if (lead == LeadI) return "I";
    if (lead == LeadII) return "II";
    return {};
}

std::string CConfigPerf::GetLeadCommand()
{
    mLeadText = LeadName(mLead);
    return "PERFLEAD=" + mLeadText + "\n";
}

void CConfigPerf::AfterCopy()
{
    CConfigSimWave::AfterCopy();
    mLeadText = LeadName(mLead);
}

std::vector<CConfigBase::ReportRow> CConfigPerf::ReportRows() const
{
    std::vector<ReportRow> rows = CConfigSimWave::ReportRows();
    // Named after the configured lead, not after the last command sent.
    rows.push_back({"20092::Lead Source", LeadName(mLead), NoneUnit()});
    return rows;
}

std::span<const CConfigBase::ValueChild> CConfigPerf::LoadOrder()
{
    static const ValueChild children[] = {
        {"Duration", &Bind<&CConfigPerf::mDuration>, Stored::HostNumber, Reading::Number},
        {"Wavetype", &Bind<&CConfigPerf::mWavetype>, Stored::HostNumber, Reading::Number},
        {"Wavename", &Bind<&CConfigPerf::mWavename>, Stored::Text, Reading::Text},
        {"Lead", &Bind<&CConfigPerf::mLead>, Stored::Plain, Reading::LocaleInteger},
        SettingsChild,
    };
    return children;
}

std::span<const CConfigBase::ValueChild> CConfigPerf::SaveOrder()
{
    static const ValueChild children[] = {
        VersionChild, LoadOrder()[0], LoadOrder()[1], LoadOrder()[2], LoadOrder()[3], SettingsChild,
    };
    return children;
}

const CConfigBase::RecordInfo& CConfigPerf::Info() const
{
    static const RecordInfo info{"TelvoZarvikTest.CConfigPerf", "TelvoZarvikTest.XPerfConfig", ReportLayout::BodyWidth,
                                 LoadOrder(), SaveOrder()};
    return info;
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CConfigPerf, ztest::CConfigPerf::ProgId, "{4AC5E031-7D3E-4CBA-A68D-E1A5B23A0C7C}")
