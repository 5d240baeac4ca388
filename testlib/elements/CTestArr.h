#pragma once

#include "testlib/config/CConfigArr.h"
#include "testlib/results/CResultArr.h"
#include "testlib/elements/CTestOf.h"
#include "testlib/elements/CWaveHoldTest.h"

namespace ztest {

// The arrhythmia test (500): the analyzer simulates an arrhythmia (with ventricular and, for two
// waves, atrial pacing), and the operator judges whether the defibrillator advises a shock
// as it should.
class CTestArr : public CTestOf<CTestArr, CConfigArr, CResultArr, CWaveHoldTest> {
public:
    static constexpr int32_t TypeCode = 500;
    static constexpr const char* ClassProgId = "TelvoZarvikTest.CTestArr";
    static constexpr const char* ClassId = "{5F0B3C59-2D0E-4C4B-9A57-6E1D7C0E1005}";

    CTestArr() : CTestOf(TypeCode, ClassProgId) {}

protected:
    plat::Variant BuildInstructions() override;
    void RunMeasurement() override;
};

} // namespace ztest
