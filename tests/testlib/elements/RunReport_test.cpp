// The readable report of a run as zarvik-host writes it beside the result document (the
// heading, then each element as it prints itself), after runs of the test elements against the
// simulated analyzer in virtual time.
#include "host/elements/HostTestSequence.h"
#include "host/report/HostReport.h"
#include "host/report/HostRunReport.h"
#include "host/units/HostMtiList.h"
#include "operator/recipes/SimulationRecipes.h"
#include "testlib/config/CConfigEnergy.h"
#include "testlib/elements/CTestBatCap.h"
#include "testlib/elements/CTestCardio.h"
#include "testlib/elements/CTestDefib.h"
#include "testlib/elements/CTestEnergy.h"
#include "testlib/elements/CTestPacerPar.h"
#include "tests/support/LimitItems.h"
#include "tests/testlib/elements/DefibRunSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

using namespace std::chrono_literals;
namespace button = zop::button;

// 2026-12-10 14:05:09 UTC.
const auto kRunStart = std::chrono::system_clock::time_point(std::chrono::seconds(1796911509));

// The cells of the first line that starts with the caption, after the caption, in the table of
// the standard "STD".
std::vector<std::string> RowCells(const std::string& text, const std::string& caption)
{
    std::istringstream lines(text.substr(std::min(text.find("Standard STD"), text.size())));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(caption + " ", 0) != 0) continue;
        std::istringstream words(line.substr(caption.size()));
        std::vector<std::string> cells;
        for (std::string word; words >> word;) cells.push_back(word);
        return cells;
    }
    return {};
}

class RunReport : public ztesting::DefibRun {
protected:
    RunReport()
    {
        // The pacemaker gives the output the operator sets, or the one a test makes it give.
        op->SetPhysical(zop::physical::SetPacemakerOutput, [this](double mA) {
            pacemaker.current = pacerOutputMilliamperes.value_or(mA) / 1000.0;
        });
        op->SetPhysical(zop::physical::ConnectAdapter,
                        [this](double connected) { analyzer->Model().SetAdapterPresent(connected != 0); });
        op->SetPhysical(zop::physical::AttachPacemaker, [this](double rate) {
            if (rate > 0) pacemaker.rate = rate;
            analyzer->AttachPacemaker(pacemaker);
        });
    }

    // Runs the elements as one sequence, the operator following the recipe of each type and the
    // rules a test adds, and gives the readable report of the run.
    std::string RunAndReport(const std::vector<std::shared_ptr<host::ITestElement>>& elements,
                             bool simulated = true, std::function<void()> rules = {})
    {
        sequence = std::make_shared<host::HostTestSequence>(nullptr);
        for (const auto& element : elements) sequence->Add(element);
        sequence->SetBeforePerform([&](std::size_t index) {
            UseRecipe(sequence->Item(index).element->TestID());
            if (rules) rules();
        });
        sequence->Run();
        return Report(simulated);
    }
    std::string Report(bool simulated)
    {
        auto report = std::make_shared<host::HostReport>();
        host::PrintRunReport(report, *sequence, host::RunReportHeading{kRunStart, simulated});
        return report->Text();
    }

    // A standard of the run that judges the key against [lower, upper].
    static void Limit(const std::shared_ptr<host::ITestElement>& element, const std::string& key, float lower,
                      float upper, const std::string& formula = {})
    {
        element->Limits()->CreateStandard("IEC", "IEC complete");
        element->Limits()->Standards()->Add(ztesting::MakeStandard(
            "STD", "Standard", {{.key = key, .upper = {true, upper, formula}, .lower = {true, lower, formula}}}));
    }

    std::shared_ptr<host::HostTestSequence> sequence;
    zsim::Pacemaker pacemaker;
    std::optional<double> pacerOutputMilliamperes;
};

// A test that failed in a quantity its limits table does not show still says that it failed.
TEST_F(RunReport, EachFailedTestSaysSo)
{
    struct Case {
        const char* name;
        std::function<std::shared_ptr<host::ITestElement>()> make;
    };
    const Case cases[] = {
        {"1000, fifth pulse at 130 J against 85 to 115 J",
         [this] {
             auto pulses = std::make_shared<int>(0);
             op->SetPhysical(zop::physical::Discharge, [this, pulses](double joules) {
                 zsim::Pulse pulse = zsim::Pulse::Into50Ohm(++*pulses == 5 ? 130.0 : joules);
                 pulse.syncDelay = syncDelay;
                 analyzer->Discharge(pulse);
             });
             auto element = ztest::CTestDefib::Create();
             Limit(element, "ENGY", 85, 115);
             return element;
         }},
        {"900, fifteen charges of 25 s against 20 s",
         [this] {
             chargeSeconds = 25.0;
             auto element = ztest::CTestBatCap::Create();
             Limit(element, "CHTI", 0, 20);
             return element;
         }},
        {"300, a delay of 80 ms against 60 ms",
         [this] {
             syncDelay = 0.080;
             auto element = ztest::CTestCardio::Create();
             Limit(element, "CADT", 0, 60);
             return element;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chargeSeconds.reset();
        const std::string text = RunAndReport({c.make()});
        ASSERT_EQ(host::HostTestSequence::Outcome(sequence->Item(0)), "failed");
        EXPECT_NE(text.find("\nOutcome: failed\n"), std::string::npos) << text;
        EXPECT_EQ(text.find("passed"), std::string::npos) << text;
    }
}

// Not applicable after a discharge out of limits: the test is skipped, and its value stands
// without a verdict.
TEST_F(RunReport, ATestLeftNotApplicableReadsSkippedNeverFailed)
{
    auto element = ztest::CTestEnergy::Create();
    Limit(element, "ENGY", 85, 115);
    op->SetPhysical(zop::physical::Discharge, [this](double) { analyzer->Discharge(zsim::Pulse::Into50Ohm(150)); });
    // Not applicable before the result is confirmed with Next.
    const std::string text = RunAndReport({element}, true, [this] {
        PressWhen("na", [](const zop::Scene& s) { return s.Done(); }, button::NotApplicable, 0ms);
    });
    ASSERT_EQ(StatusOf(element), 3);
    EXPECT_NE(text.find("\nOutcome: skipped\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Failed"), std::string::npos) << text;
    EXPECT_EQ(RowCells(text, "Energy"), (std::vector<std::string>{"85.0", "115.0", "150.0", "J"})) << text;
}

// A pacer current a milliampere out of its limits shows why it failed.
TEST_F(RunReport, APacerCurrentPrintsToTheMilliampere)
{
    pacerOutputMilliamperes = 56;
    auto element = ztest::CTestPacerPar::Create();
    Limit(element, "PACC", 0.045f, 0.055f);
    const std::string text = RunAndReport({element});
    EXPECT_EQ(RowCells(text, "Pacer Current"), (std::vector<std::string>{"0.045", "0.055", "0.056", "A", "Failed"}))
        << text;
}

// A test without a result prints a formula limit as the number the configured preset makes of
// it, as it does beside a measured value.
TEST_F(RunReport, AFormulaLimitOfATestWithoutAResultPrintsItsNumber)
{
    auto element = ztest::CTestEnergy::Create();
    std::dynamic_pointer_cast<ztest::CConfigEnergy>(element->Configuration())->SetPresetEnergy(200);
    Limit(element, "ENGY", -15, 15, "X+(X*Y%)");
    sequence = std::make_shared<host::HostTestSequence>(nullptr);
    sequence->Add(element);
    const std::string text = Report(true);
    EXPECT_NE(text.find("\nOutcome: not run\n"), std::string::npos) << text;
    EXPECT_EQ(RowCells(text, "Energy"), (std::vector<std::string>{"170.0", "230.0", "J"})) << text;
    EXPECT_EQ(text.find("X+"), std::string::npos) << text;
}

// The report says when and with what its results were measured, and whether on the simulator.
TEST_F(RunReport, TheHeadingNamesTheDateTheUnitAndTheSimulatedAnalyzer)
{
    const std::string text = RunAndReport({ztest::CTestEnergy::Create()});
    ASSERT_EQ(sequence->MtiList()->Count(), 1u);
    const auto& unit = *sequence->MtiList()->Item(0);
    auto shown = [](const std::string& text) { return text.empty() ? std::string("unknown") : text; };
    EXPECT_EQ(text.substr(0, text.find("\n\n") + 2),
              "Test run of 2026-12-10 14:05:09 UTC\n"
              "Analyzer: " + shown(unit.MtiType()) + ", serial number " + shown(unit.Serial()) + ", firmware " +
                  shown(unit.Firmware()) + "\n"
                  "The results come from the built-in simulated analyzer, not from a real unit.\n\n");
    EXPECT_EQ(unit.MtiType(), "ZARVIK");

    // A real analyzer's run says nothing of a simulator; a run that recorded no unit says so.
    EXPECT_EQ(Report(false).find("simulated"), std::string::npos);
    sequence = std::make_shared<host::HostTestSequence>(nullptr);
    EXPECT_EQ(Report(false), "Test run of 2026-12-10 14:05:09 UTC\nAnalyzer: none recorded\n\n");
}

} // namespace
