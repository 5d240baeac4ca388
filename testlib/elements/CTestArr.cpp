#include "testlib/elements/CTestArr.h"

namespace ztest {

plat::Variant CTestArr::BuildInstructions()
{
    return InstructionLines({"20310::1. Click Start to begin the Arrythmia test.", "20311::2. Sending commands to MTI.",
                             "20312::3. Simulating wave on defib monitor.",
                             "20313::4. Check whether shock needed or not in the monitor.",
                             "20314::5. Press 'Stop' to cancel test."});
}

void CTestArr::RunMeasurement()
{
    mfSimulationStopped = false;
    if (mfStopped) return;
    auto settings = Settings();
    if (!settings) return;
    HighLight({3, 5});
    // The arrhythmia test reads none of the replies: an error reply does not stop it.
    if (WaitUsable(50)) SendSetup("VENTPACE=1.0,100\n");
    const std::string atrial = settings->GetStepCommand(1);
    if (!atrial.empty() && WaitUsable(25)) SendSetup(atrial);
    const std::string wave = settings->GetStepCommand(0);
    bool sent = false;
    if (WaitUsable(25)) {
        SendOutput(wave);
        sent = true;
    }
    if (TimedOut()) mfStopped = true;
    // A run stopped (or the link lost) before the wave went out, or while it went out, showed no
    // wave.
    HoldWave(settings->GetDuration(), sent && !mfStopped);
}

} // namespace ztest

ZARVIK_REGISTER_TEST(ztest::CTestArr, ztest::CTestArr::ClassId)
