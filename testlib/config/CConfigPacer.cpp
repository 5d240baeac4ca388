#include "testlib/config/CConfigPacer.h"

#include "platform/base/Conversions.h"

#include <string_view>

namespace ztest {

namespace {

// The loads of one adapter: either one code whatever the load index, or a code per index.
struct AdapterLoads {
    std::string_view anyLoad;
    std::span<const std::string_view> byLoad;
};

constexpr std::string_view kTwoLoads[] = {"ADAP1", "ADAP2"};
constexpr std::string_view kThreeLoads[] = {"ADAP1", "ADAP2", "ADAP0"};
constexpr std::string_view kFourLoads[] = {"ADAP1", "ADAP2", "ADAP3", "ADAP4"};

// By adapter index 0 to 10.
constexpr AdapterLoads kAdapters[] = {
    {"INT", {}},         // 0: the analyzer's fixed internal 50 Ohm load
    {"ADAP1", {}},       // 1
    {"ADAP1", {}},       // 2
    {{}, kThreeLoads},   // 3
    {"ADAP1", {}},       // 4
    {{}, kFourLoads},    // 5
    {"ADAP1", {}},       // 6
    {{}, kTwoLoads},     // 7
    {{}, kFourLoads},    // 8
    {{}, kTwoLoads},     // 9
    {{}, kTwoLoads},     // 10
};

} // namespace

CConfigPacer::CConfigPacer()
    : mLoad("50" + Translate("20369:: Ohms")), mAdapter(Translate("20350::Fixed internal 50 Ohms"))
{
}

std::span<const CConfigBase::ValueChild> CConfigPacer::Children()
{
    static const ValueChild children[] = {
        {"Load", &Bind<&CConfigPacer::mLoad>, Stored::Text, Reading::Text},
        {"Adapter", &Bind<&CConfigPacer::mAdapter>, Stored::Text, Reading::Text},
        {"LoadIndex", &Bind<&CConfigPacer::mLoadIndex>, Stored::HostNumber, Reading::Number},
        {"AdapterIndex", &Bind<&CConfigPacer::mAdapterIndex>, Stored::HostNumber, Reading::Number},
        {"Rate", &Bind<&CConfigPacer::mRate>, Stored::Plain, Reading::NumberOrComma},
        {"Amplitude", &Bind<&CConfigPacer::mAmplitude>, Stored::Plain, Reading::NumberOrComma},
        SettingsChild,
    };
    return children;
}

std::string CConfigPacer::GetLoadCode(int16_t loadIndex, int16_t adapterIndex) const
{
    if (adapterIndex < 0 || adapterIndex >= static_cast<int16_t>(std::size(kAdapters))) return {};
    const AdapterLoads& loads = kAdapters[adapterIndex];
    if (loads.byLoad.empty()) return std::string(loads.anyLoad);
    if (loadIndex < 0 || loadIndex >= static_cast<int16_t>(loads.byLoad.size())) return {};
    const std::string_view code = loads.byLoad[static_cast<std::size_t>(loadIndex)];
    return code == "ADAP0" ? ThirdLoadOfAdapter3() : std::string(code);
}

std::vector<CConfigBase::ReportRow> CConfigPacer::ReportRows() const
{
    return {
        {"20517::Pacemaker Adapter", plat::Format(plat::Variant(mAdapter), "#0"), NoneUnit()},
        {"20516::Pacemaker Load", plat::Format(plat::Variant(mLoad), "#0"), Translate("20369:: Ohms")},
        {"20518::Pacemaker Rate", plat::Format(plat::Variant(mRate), "##.0"), "PPM"},
        {"20519::Pacemaker Amplitude", plat::Format(plat::Variant(mAmplitude), "##.0"), "mA"},
    };
}

} // namespace ztest
