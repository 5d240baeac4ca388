#include "testlib/tests/CTestPerf.h"

namespace ztest {

plat::Variant CTestPerf::BuildInstructions()
{
    return InstructionLines({"20260::1. Click Start to begin the ECG test.", "20261::2. Sending command to MTI.",
                             "20262::3. Simulating wave on defib monitor.", "20263::4. Press stop to cancel test."});
}

void CTestPerf::RunMeasurement()
{
    auto settings = Settings();
    if (!settings) return;
    const std::string wave = settings->GetStepCommand(0);
    const std::string lead = settings->GetStepCommand(1);
    RunCheckedWave(lead, false, 150, wave, settings->GetDuration());
}

} // namespace ztest

ZARVIK_REGISTER_TEST(ztest::CTestPerf, ztest::CTestPerf::ClassId)
