#include "testlib/elements/CTestNSW.h"

namespace ztest {

plat::Variant CTestNSW::BuildInstructions()
{
    return SimulatedWaveInstructions();
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
