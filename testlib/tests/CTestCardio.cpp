#include "testlib/tests/CTestCardio.h"

#include "platform/base/Conversions.h"

#include <array>

namespace ztest {

namespace {

const DischargeCommands kCommands{"CARDIOMODE", "CARDIOWAVE", {"CARDIODATA"},
                                  "20172::START CHARGE NOW...  FOLLOWED BY DISCHARGE"};

constexpr std::array<MeasurementListRow, 4> kMeasurements{{
    {"ENGY", "20120::Energy"},
    {"CADT", "20125::Cardio Delay Time"},
    {"PEAC", "20122::Peak Current"},
    {"PEAV", "20121::Peak Voltage"},
}};

} // namespace

const DischargeCommands& CTestCardio::Commands() const
{
    return kCommands;
}

std::span<const MeasurementListRow> CTestCardio::MeasurementList() const
{
    return kMeasurements;
}

plat::Variant CTestCardio::BuildInstructions()
{
    plat::VariantArray lines = plat::VariantArray::OneDim(0, 5);
    for (int32_t i = 0; i < 5; ++i) lines.At(i) = plat::Variant(std::string());
    plat::IgnoreErrors([&] {
        const int32_t energy = plat::CLng(static_cast<double>(PresetEnergy()));
        ReadRangeThreshold();
        lines.At(0) = plat::Variant(Translate("20240::1. On defibrillator, set Defibrillator energy to %%1 J.",
                                              plat::Variant(std::to_string(energy))));
        lines.At(1) = plat::Variant(Translate("20241::2. Click Start to begin test."));
    });
    return plat::Variant(std::move(lines));
}

} // namespace ztest

ZARVIK_REGISTER_TEST(ztest::CTestCardio, ztest::CTestCardio::ClassId)
