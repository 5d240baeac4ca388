#include "testlib/tests/CTestEnergy.h"

#include "platform/base/Conversions.h"

#include <array>

namespace ztest {

namespace {

const DischargeCommands kCommands{"ENERGYMODE", "DEFIBWAVE", {"ENERGYDATA"}};

constexpr std::array<MeasurementListRow, 4> kMeasurements{{
    {"ENGY", "20120::Energy"},
    {"PULW", "20123::Pulse Width"},
    {"PEAC", "20122::Peak Current"},
    {"PEAV", "20121::Peak Voltage"},
}};

} // namespace

const DischargeCommands& CTestEnergy::Commands() const
{
    return kCommands;
}

std::span<const MeasurementListRow> CTestEnergy::MeasurementList() const
{
    return kMeasurements;
}

plat::Variant CTestEnergy::BuildInstructions()
{
    plat::VariantArray lines = plat::VariantArray::OneDim(0, 5);
    for (int32_t i = 0; i < 5; ++i) lines.At(i) = plat::Variant(std::string());
    plat::IgnoreErrors([&] {
        const int32_t energy = plat::CLng(static_cast<double>(PresetEnergy()));
        ReadRangeThreshold();
        lines.At(0) = plat::Variant(Translate("20200::1. On defibrillator, set Defibrillator energy to %%1 J.",
                                              plat::Variant(std::to_string(energy))));
        lines.At(1) = plat::Variant(Translate("20201::2. Click Start to begin test."));
    });
    return plat::Variant(std::move(lines));
}

} // namespace ztest

ZARVIK_REGISTER_TEST(ztest::CTestEnergy, ztest::CTestEnergy::ClassId)
