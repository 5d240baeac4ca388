#pragma once

#include "testlib/config/CConfigPerf.h"
#include "testlib/results/CResultPerf.h"
#include "testlib/elements/CTestOf.h"
#include "testlib/elements/CWaveHoldTest.h"

namespace ztest {

// The performance wave test (600): the analyzer puts a performance wave out on the configured
// lead, and the operator judges whether the monitor shows it correctly.
class CTestPerf : public CTestOf<CTestPerf, CConfigPerf, CResultPerf, CWaveHoldTest> {
public:
    static constexpr int32_t TypeCode = 600;
    static constexpr const char* ClassProgId = "TelvoZarvikTest.CTestPerf";
    static constexpr const char* ClassId = "{5F0B3C59-2D0E-4C4B-9A57-6E1D7C0E1006}";

    CTestPerf() : CTestOf(TypeCode, ClassProgId) {}

protected:
    plat::Variant BuildInstructions() override;
    void RunMeasurement() override;
};

} // namespace ztest
