#include "testlib/elements/CTestCardio.h"

#include "platform/base/Conversions.h"

#include <array>

namespace ztest {

namespace {

// The delay field may read "NOSYNC": the record tells the operator of a missing
// synchronisation, and the run goes on.
const DischargeCommands kCommands{"CARDIOMODE", "CARDIOWAVE", {"CARDIODATA"},
                                  "20172::START CHARGE NOW...  FOLLOWED BY DISCHARGE",
                                  DataRecord(4, {{0}, {1}, {2}, {3, CResultCardio::NoSync}})};

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
    return InstructionLines("20240::1. On defibrillator, set Defibrillator energy to %%1 J.",
                            {"20241::2. Click Start to begin test."});
}

} // namespace ztest

ZARVIK_REGISTER_TEST(ztest::CTestCardio, ztest::CTestCardio::ClassId)
