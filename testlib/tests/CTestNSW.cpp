#include "testlib/tests/CTestNSW.h"

namespace ztest {

plat::Variant CTestNSW::BuildInstructions()
{
    return InstructionLines({"20260::1. Click Start to begin the ECG test.", "20261::2. Sending command to MTI.",
                             "20262::3. Simulating wave on defib monitor.", "20263::4. Press stop to cancel test."});
}

void CTestNSW::RunMeasurement()
{
    auto settings = Settings();
    if (!settings) return;
    const std::string wave = settings->GetStepCommand(0);
    const std::string threshold = settings->GetStepCommand(1);
    RunCheckedWave(threshold, true, 25, wave, settings->GetDuration());
}

} // namespace ztest

ZARVIK_REGISTER_TEST(ztest::CTestNSW, ztest::CTestNSW::ClassId)
