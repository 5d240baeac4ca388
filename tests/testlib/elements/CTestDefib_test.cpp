#include "testlib/elements/CTestDefib.h"

#include "simulator/Fault.h"
#include "testlib/config/CConfigDefib.h"
#include "tests/testlib/elements/DefibRunSupport.h"

#include <gtest/gtest.h>

namespace {

using zsim::Fault;
using ztest::CTestDefib;

class DefibTest : public ztesting::DefibRun {
protected:
    DefibTest()
    {
        UseRecipe(CTestDefib::TypeCode);
        // What the step list shows each time it shows the live lines of a discharge.
        op->AddRule({"read the live lines", [](const zop::Scene& scene) { return scene.stepLines.size() == 5; },
                     plat::Millis(0), [this](zop::Operator&, const zop::Scene& scene) { ReadLiveLines(scene); }, -1, ""});
    }
    void SetBatteryOperated(bool battery)
    {
        std::dynamic_pointer_cast<ztest::CConfigDefib>(element->Configuration())->SetBatteryOperated(battery);
    }
    // The shared habits and a discharge whenever the count-down is on, limited to n.
    void DischargeOnly(int count, bool withSharedHabits = true)
    {
        if (withSharedHabits) {
            UseRecipe(0);
        } else {
            op->ClearRules();
        }
        auto left = std::make_shared<int>(count);
        op->AddRule({"discharge", [left](const zop::Scene& scene) {
                         return *left > 0 && scene.popupMessage.find("Charge and Shock!") != std::string::npos &&
                                scene.stepLines.size() == 3;
                     },
                     plat::Millis(100),
                     [left](zop::Operator& self, const zop::Scene&) {
                         --*left;
                         self.Perform(zop::physical::Discharge, 100);
                     },
                     -1, ""});
    }

    void ReadLiveLines(const zop::Scene& scene)
    {
        liveLines.push_back(scene.stepLines);
        secondsLeft.push_back(SecondsShown(scene.popupMessage));
    }

    std::shared_ptr<CTestDefib> element = CTestDefib::Create();
    std::vector<std::vector<std::string>> liveLines;
    // The second of the count-down that the popup showed with each of them.
    std::vector<int> secondsLeft;
};

TEST_F(DefibTest, CountsTheTargetNumberOfDischargesAndEndsAtOnce)
{
    for (bool battery : {true, false}) {
        SCOPED_TRACE(battery ? "battery operated" : "mains");
        UseRecipe(CTestDefib::TypeCode);
        op->AddRule({"read the live lines", [](const zop::Scene& scene) { return scene.stepLines.size() == 5; },
                     plat::Millis(0), [this](zop::Operator&, const zop::Scene& scene) { ReadLiveLines(scene); }, -1, ""});
        liveLines.clear();
        secondsLeft.clear();
        dischargeTimes.clear();
        const std::size_t beepsBefore = op->Beeps().size();
        const plat::TimePoint start = Now();
        element = CTestDefib::Create();
        SetBatteryOperated(battery);
        Perform(element);

        const std::size_t target = battery ? 10 : 15;
        EXPECT_EQ(dischargeTimes.size(), target);
        ASSERT_EQ(op->Beeps().size(), beepsBefore + target);
        EXPECT_EQ(op->Beeps().back().frequencyHz, 2500);
        EXPECT_EQ(op->Beeps().back().durationMs, 150);
        // The run ends with the last discharge, long before the budget.
        EXPECT_LT(Now() - start, plat::Millis(60000));
        EXPECT_EQ(element->Result()->MeasurementCount(), static_cast<int32_t>(target));
        EXPECT_EQ(ValueOf(element, "ENGY" + std::to_string(target)), plat::Variant(100.0));
        EXPECT_EQ(StatusOf(element), 1);
        // One discharge between two polls: each is seen in the live lines with its number (the
        // last one only for the moment before the run ends).
        ASSERT_GE(liveLines.size(), target - 1);
        EXPECT_EQ(liveLines[0][0], "Last Measured ");
        EXPECT_EQ(liveLines[0][1], "Energy                         : 100 J");
        EXPECT_EQ(liveLines[0][2], "Total discharge count  : 1");
        EXPECT_EQ(liveLines[target - 2][2], "Total discharge count  : " + std::to_string(target - 1));
        // The seconds gone by and left of the budget, as the count-down stands.
        for (std::size_t i = 0; i < liveLines.size(); ++i) {
            SCOPED_TRACE(i + 1);
            EXPECT_EQ(liveLines[i][3], "Elapsed total time         : " + std::to_string(300 - secondsLeft[i]) + "s");
            EXPECT_EQ(liveLines[i][4], "Time remaining             : " + std::to_string(secondsLeft[i]) + "s");
        }
    }
}

// The configuration changed after a run: the next run's record has the new size.
TEST_F(DefibTest, ARecordOfAnotherSizeIsRebuiltBeforeTheRun)
{
    SetBatteryOperated(false);
    Perform(element);
    ASSERT_EQ(element->Result()->MeasurementCount(), 15);

    UseRecipe(CTestDefib::TypeCode);
    SetBatteryOperated(true);
    dischargeTimes.clear();
    // The window opens on the rated result: the operator starts again from Start's menu.
    DischargeOnly(20, false);
    op->AddRule({"rerun", [](const zop::Scene& scene) { return scene.Done(); }, plat::Millis(100),
                 [](zop::Operator& self, const zop::Scene&) { self.Press(zop::button::Start, false); }, 1, ""});
    op->AddRule({"leave", [](const zop::Scene& scene) { return scene.Done(); }, plat::Millis(100),
                 [](zop::Operator& self, const zop::Scene&) { self.Press(zop::button::Next); }, 1, "rerun"});
    Perform(element);
    EXPECT_EQ(element->Result()->MeasurementCount(), 10);
    EXPECT_EQ(dischargeTimes.size(), 10u);
    EXPECT_EQ(StatusOf(element), 1);
}

// Four discharges in 300 s: the budget ends the run; the later polls answer "OLDDATA", which
// counts nothing; the missing pulses fail the rating.
TEST_F(DefibTest, TheBudgetEndsTheRunWithWhatWasCounted)
{
    DischargeOnly(4);
    SelectLimit(element, "ENGY", 90, 110);
    const plat::TimePoint start = Now();
    Perform(element);

    EXPECT_GE(Now() - start, plat::Millis(300000));
    EXPECT_GT(CountOf("QDATA"), 100);
    EXPECT_EQ(op->Beeps().size(), 4u);
    EXPECT_EQ(ValueOf(element, "ENGY4"), plat::Variant(100.0));
    EXPECT_TRUE(ValueOf(element, "ENGY5").IsEmpty());
    EXPECT_EQ(StatusOf(element), 2);
    EXPECT_TRUE(Logged("instruction: Charge and Shock!      299 seconds left"));
    EXPECT_TRUE(Logged("instruction: Charge and Shock!      1 seconds left"));
    EXPECT_FALSE(Logged("instruction: Charge and Shock!      0 seconds left"));
}

TEST_F(DefibTest, ErrorRepliesStopTheRunAndStoreNothing)
{
    struct Case {
        const char* name;
        Fault fault;
        const char* prompt;
    };
    const Case cases[] = {
        {"over range after four", Fault::OverRange().For("ENERGYDATA"), "Over Range!"},
        {"error reply", Fault::Error(12).For("ENERGYDATA"), "Unexpected response from MTI."},
        {"no discharge record", Fault::Reply("150.2").For("ENERGYDATA"), "Unexpected response from MTI."},
        {"no energy in the record", Fault::Reply("NODATA,1,2,3").For("ENERGYDATA"), "Unexpected response from MTI."},
        {"an energy with text after it", Fault::Reply("100.0J,2000,50.1,1").For("ENERGYDATA"),
         "Unexpected response from MTI."},
        {"a record short of fields", Fault::Reply("100.0,2000").For("ENERGYDATA"), "Unexpected response from MTI."},
        // Counted, it could not be kept: its text reads back beyond the range.
        {"an energy at the edge of the range", Fault::Reply("1.7976931348623157e308,2000,50.1,1").For("ENERGYDATA"),
         "Unexpected response from MTI."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseRecipe(CTestDefib::TypeCode);
        auto run = CTestDefib::Create();
        const std::size_t boxes = op->Boxes().size();
        const std::size_t beeps = op->Beeps().size();
        int discharges = 0;
        // The fault waits for the fifth discharge.
        op->SetPhysical(zop::physical::Discharge, [&](double joules) {
            if (++discharges == 5) analyzer->Faults().Add(c.fault);
            analyzer->Discharge(zsim::Pulse::Into50Ohm(joules));
        });
        Perform(run);

        EXPECT_EQ(discharges, 5);
        EXPECT_EQ(op->Beeps().size(), beeps + 4);
        ASSERT_EQ(op->Boxes().size(), boxes + 1);
        EXPECT_NE(op->Boxes().back().prompt.find(c.prompt), std::string::npos) << op->Boxes().back().prompt;
        // The four counted energies are lost with the run.
        EXPECT_TRUE(ValueOf(run, "ENGY1").IsEmpty());
        EXPECT_EQ(StatusOf(run), 0);
    }
}

// An "ENERGYDATA" reply that is only its line end is no data: the poll goes on and the same
// discharge is fetched again.
TEST_F(DefibTest, AReplyThatIsOnlyALineEndIsNoData)
{
    SetBatteryOperated(true);
    analyzer->Faults().Add(Fault::Reply("").For("ENERGYDATA"));
    Perform(element);
    EXPECT_EQ(dischargeTimes.size(), 10u);
    EXPECT_EQ(CountOf("ENERGYDATA"), 11);
    EXPECT_EQ(op->Beeps().size(), 10u);
    EXPECT_EQ(StatusOf(element), 1);
}

TEST_F(DefibTest, StopDuringTheCountdownEndsEverything)
{
    op->AddRule({"stop", [](const zop::Scene& scene) { return scene.popupMessage.find("290 seconds") != std::string::npos; },
                 plat::Millis(0), [](zop::Operator& self, const zop::Scene&) { self.Press(zop::button::Stop); }, 1, ""});
    Perform(element);

    EXPECT_FALSE(Logged("instruction: Charge and Shock!      289 seconds left"));
    EXPECT_EQ(StatusOf(element), 0);
    EXPECT_TRUE(ValueOf(element, "ENGY1").IsEmpty());
    const std::size_t lines = said.size();
    FastForwardBy(plat::Millis(5000));
    EXPECT_EQ(said.size(), lines);
}

// The link lost in the middle of the budget: the link says so, the run ends, nothing is
// stored and the count-down is gone with it.
TEST_F(DefibTest, ALostLinkEndsTheRunAndItsCountdown)
{
    DischargeOnly(2);
    op->SetPhysical(zop::physical::Discharge, [this](double joules) {
        dischargeTimes.push_back(Now());
        analyzer->Discharge(zsim::Pulse::Into50Ohm(joules));
        if (dischargeTimes.size() == 2) analyzer->Faults().Add(Fault::Silence().For("QDATA").Always());
    });
    Perform(element);

    ASSERT_EQ(op->Boxes().size(), 1u);
    EXPECT_NE(op->Boxes()[0].prompt.find("No MTI was found"), std::string::npos) << op->Boxes()[0].prompt;
    EXPECT_EQ(op->Beeps().size(), 1u);
    EXPECT_EQ(StatusOf(element), 0);
    EXPECT_EQ(CountOf("LOC"), 1); // no release after a lost link
    const std::size_t lines = said.size();
    FastForwardBy(plat::Millis(5000));
    EXPECT_EQ(said.size(), lines);
}

} // namespace
