#include "testlib/config/CConfigEcg.h"

#include "platform/base/Conversions.h"
#include "platform/com/ServerEntryPoints.h"

#include <cmath>

namespace ztest {

namespace {

// The entry of a table at an index held as a Single: only an exact whole number inside the
// table selects one.
std::string_view EntryAt(std::span<const std::string_view> table, float index)
{
    if (!(index >= 0.0f) || index != std::floor(index) || index >= static_cast<float>(table.size())) return {};
    return table[static_cast<std::size_t>(index)];
}

} // namespace

std::span<const std::string_view> CConfigEcg::WidthTable()
{
    static constexpr std::string_view widths[] = {"8", "12", "20", "40", "60", "80", "100", "120", "140", "160", "180", "200"};
    return widths;
}

std::span<const std::string_view> CConfigEcg::AmplitudeTable()
{
    static constexpr std::string_view amplitudes[] = {
        "0.05", "0.10", "0.15", "0.20", "0.25", "0.30", "0.35", "0.40", "0.45", "0.50", "0.75", "1.00", "1.25", "1.50",
        "1.75", "2.00", "2.25", "2.50", "2.75", "3.00", "3.25", "3.50", "3.75", "4.00", "4.25", "4.50", "4.75", "5.00"};
    return amplitudes;
}

std::string CConfigEcg::GetStepCommand(int32_t step) const
{
    return step == 1 ? GetThresholdCommand() : std::string();
}

std::string CConfigEcg::GetThresholdCommand() const
{
    return "THRESH=" + std::string(EntryAt(WidthTable(), mWidthIndex)) + "," +
           std::string(EntryAt(AmplitudeTable(), mAmplitudeIndex));
}

std::span<const CConfigBase::ValueChild> CConfigEcg::LoadOrder()
{
    static const ValueChild children[] = {
        {"Duration", &Bind<&CConfigEcg::mDuration>, Stored::HostNumber, Reading::Number},
        {"Amplitude", &Bind<&CConfigEcg::mAmplitude>, Stored::HostNumber, Reading::NumberOrComma},
        {"Width", &Bind<&CConfigEcg::mWidth>, Stored::HostNumber, Reading::NumberOrComma},
        {"WidthIndex", &Bind<&CConfigEcg::mWidthIndex>, Stored::HostNumber, Reading::Number},
        {"AmplitudeIndex", &Bind<&CConfigEcg::mAmplitudeIndex>, Stored::HostNumber, Reading::Number},
        {"AutoIncrement", &Bind<&CConfigEcg::mAutoIncrement>, Stored::HostNumber, Reading::Number},
        SettingsChild,
    };
    return children;
}

std::span<const CConfigBase::ValueChild> CConfigEcg::SaveOrder()
{
    static const ValueChild children[] = {
        VersionChild, LoadOrder()[0], LoadOrder()[1], LoadOrder()[2], LoadOrder()[3], LoadOrder()[4], LoadOrder()[5],
        SettingsChild,
    };
    return children;
}

const CConfigBase::RecordInfo& CConfigEcg::Info() const
{
    static const RecordInfo info{"TelvoZarvikTest.CConfigEcg", "TelvoZarvikTest.XEcgConfig", ReportLayout::InnerWidth,
                                 LoadOrder(), SaveOrder()};
    return info;
}

std::vector<CConfigBase::ReportRow> CConfigEcg::ReportRows() const
{
    std::string stepped = "20459::None";
    if (mAutoIncrement == StepAmplitude) stepped = "20087::Amplitude";
    if (mAutoIncrement == StepWidth) stepped = "20086::Width";
    return {
        {"20086::Width", plat::Format(plat::Variant(mWidth), "#0"), "ms"},
        {"20087::Amplitude", plat::Format(plat::Variant(mAmplitude), "0.00"), "mV"},
        {"20084::Duration", plat::Format(plat::Variant(mDuration), "#0"), "s"},
        {"20104::Auto increment", Translate(stepped), ""},
    };
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CConfigEcg, ztest::CConfigEcg::ProgId, "{2580EA71-9C22-4803-AB17-C0527C402F65}")
