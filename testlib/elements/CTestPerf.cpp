#include "testlib/elements/CTestPerf.h"

namespace ztest {

plat::Variant CTestPerf::BuildInstructions()
{
    return SimulatedWaveInstructions();
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
