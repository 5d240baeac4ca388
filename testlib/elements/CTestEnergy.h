#pragma once

#include "testlib/config/CConfigEnergy.h"
#include "testlib/results/CResultEnergy.h"
#include "testlib/elements/CDischargeTest.h"
#include "testlib/elements/CTestOf.h"

namespace ztest {

// The energy measurement test (100): the energy, peak voltage, peak current and pulse width of
// one discharge into the analyzer.
class CTestEnergy : public CTestOf<CTestEnergy, CConfigEnergy, CResultEnergy, CDischargeTest> {
public:
    static constexpr int32_t TypeCode = 100;
    static constexpr const char* ClassProgId = "TelvoZarvikTest.CTestEnergy";
    static constexpr const char* ClassId = "{5F0B3C59-2D0E-4C4B-9A57-6E1D7C0E1001}";

    CTestEnergy() : CTestOf(TypeCode, ClassProgId) {}

protected:
    const DischargeCommands& Commands() const override;
    plat::Variant BuildInstructions() override;
    std::span<const MeasurementListRow> MeasurementList() const override;
};

} // namespace ztest
