#pragma once

#include "testlib/config/CConfigPacerRef.h"
#include "testlib/results/CResultPacerRef.h"
#include "testlib/elements/CPacerTest.h"
#include "testlib/elements/CTestOf.h"
#include "testlib/elements/TestTimer.h"

#include <memory>
#include <string>

namespace ztest {

// The pacer refractory test (800): the sensed and paced refractory periods of a demand
// pacemaker. The analyzer is told the load and asked for the refractory measurement again and
// again under a visible count-down, until it answers or the count-down runs out.
class CTestPacerRef : public CTestOf<CTestPacerRef, CConfigPacerRef, CResultPacerRef, CPacerTest> {
public:
    static constexpr int32_t TypeCode = 800;
    static constexpr const char* ClassProgId = "TelvoZarvikTest.CTestPacerRef";
    static constexpr const char* ClassId = "{5F0B3C59-2D0E-4C4B-9A57-6E1D7C0E1008}";
    static constexpr const char* TimeoutValue = "PacerRefractoryTimeout";
    // The wait (s) when the registry gives none that can be read; the plug-in's settings keep
    // the same default.
    static constexpr int16_t DefaultRefractoryTimeout = 120;

    CTestPacerRef() : CTestOf(TypeCode, ClassProgId) {}

    // The wait in seconds from the registry; DefaultRefractoryTimeout when the value is missing
    // or is no whole number of the 16-bit range.
    static int16_t ReadPacerRefractoryTimeout();

protected:
    plat::Variant BuildInstructions() override;
    std::span<const MeasurementListRow> MeasurementList() const override;
    void RunMeasurement() override;
    std::vector<int16_t> StepsHighlightedAtEnd() const override { return {1, 2, 3, 4, 5, 6}; }

    // The refractory loop; the data reply, or nothing when the run ended without data.
    std::optional<std::string> AskRefractory();
    void mfrmWaitTimer_Timer();

    int16_t miCountdown = 0;
    bool mfCountdownDone = false;
    TestTimer mfrmWaitTimer;
};

} // namespace ztest
