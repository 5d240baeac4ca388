#pragma once

#include "testlib/config/CConfigNSW.h"
#include "testlib/results/CResultNSW.h"
#include "testlib/elements/CTestOf.h"
#include "testlib/elements/CWaveHoldTest.h"

namespace ztest {

// The normal sinus wave test (400): the analyzer simulates a normal sinus rhythm after its
// threshold is set, and the operator judges whether the monitor shows it correctly.
class CTestNSW : public CTestOf<CTestNSW, CConfigNSW, CResultNSW, CWaveHoldTest> {
public:
    static constexpr int32_t TypeCode = 400;
    static constexpr const char* ClassProgId = "TelvoZarvikTest.CTestNSW";
    static constexpr const char* ClassId = "{5F0B3C59-2D0E-4C4B-9A57-6E1D7C0E1004}";

    CTestNSW() : CTestOf(TypeCode, ClassProgId) {}

protected:
    plat::Variant BuildInstructions() override;
    void RunMeasurement() override;
};

} // namespace ztest
