#include "testlib/elements/CTestEnergy.h"

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
    return InstructionLines("20200::1. On defibrillator, set Defibrillator energy to %%1 J.",
                            {"20201::2. Click Start to begin test."});
}

} // namespace ztest

ZARVIK_REGISTER_TEST(ztest::CTestEnergy, ztest::CTestEnergy::ClassId)
