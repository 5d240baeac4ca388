#pragma once

#include "testlib/config/CConfigPacerPar.h"
#include "testlib/results/CResultPacerPar.h"
#include "testlib/elements/CPacerTest.h"
#include "testlib/elements/CTestOf.h"

#include <string>

namespace ztest {

// The pacer parameter test (700): rate, current and pulse width of an external pacemaker's
// output. The analyzer is told the load, switched into pacer-parameter mode and polled every
// 2 s until it has pulse data.
class CTestPacerPar : public CTestOf<CTestPacerPar, CConfigPacerPar, CResultPacerPar, CPacerTest> {
public:
    static constexpr int32_t TypeCode = 700;
    static constexpr const char* ClassProgId = "TelvoZarvikTest.CTestPacerPar";
    static constexpr const char* ClassId = "{5F0B3C59-2D0E-4C4B-9A57-6E1D7C0E1007}";
    // Polls without data after which an adapter load gives up; the internal load polls on.
    static constexpr int AdapterPollLimit = 6;
    static constexpr int32_t PollInterval = 2000;
    static constexpr const char* NoDataText = "20462::NO data! Please check the Pacer load and PaceMaker.";

    CTestPacerPar() : CTestOf(TypeCode, ClassProgId) {}

protected:
    plat::Variant BuildInstructions() override;
    std::span<const MeasurementListRow> MeasurementList() const override;
    void RunMeasurement() override;
    std::vector<int16_t> StepsHighlightedAtEnd() const override { return {1, 2, 3}; }

    // Switches the analyzer into pacer-parameter mode: "PACEPMODE" until "OK", an error reply,
    // Stop or the link lost.
    void SetPacerMode();
    // The poll: "QDATA" every 2 s, "PACEPDATA" once the analyzer has data; the data reply, or
    // nothing when the run ended without data.
    std::optional<std::string> PollForData(bool adapterLoad);
};

} // namespace ztest
