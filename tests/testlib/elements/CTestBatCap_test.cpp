#include "testlib/elements/CTestBatCap.h"

#include "simulator/Fault.h"
#include "testlib/config/CConfigBatCap.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "tests/testlib/elements/DefibRunSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace {

using zsim::Fault;
using ztest::CTestBatCap;

class BatCapTest : public ztesting::DefibRun {
protected:
    BatCapTest() { UseRecipe(CTestBatCap::TypeCode); }

    // Groups the times at which the analyzer was armed into the active phases: a gap of more
    // than the idle minute separates two phases.
    std::vector<int> ArmingsPerPhase() const
    {
        std::vector<int> phases;
        plat::TimePoint last{};
        for (const plat::TimePoint at : HeardAt("MAXESTART")) {
            if (phases.empty() || at - last > plat::Millis(60000)) phases.push_back(0);
            ++phases.back();
            last = at;
        }
        return phases;
    }

    void StopWhen(std::function<bool(const zop::Scene&)> trigger)
    {
        op->AddRule({"stop", std::move(trigger), plat::Millis(0),
                     [](zop::Operator& self, const zop::Scene&) { self.Press(zop::button::Stop); }, 1, ""});
    }

    // The operator of the recipe, with as many charges in each active phase as given (three in
    // every phase beyond the list).
    void ChargeInPhases(std::vector<int> perPhase)
    {
        UseRecipe(0);
        auto phase = std::make_shared<int>(-1);
        auto charges = std::make_shared<int>(0);
        op->AddRule({"new phase",
                     [](const zop::Scene& scene) {
                         return scene.popupVisible && scene.popupMessage.find("Standby") != std::string::npos;
                     },
                     plat::Millis(0), [phase, charges](zop::Operator&, const zop::Scene&) { ++*phase, *charges = 0; }, -1, ""});
        op->AddRule({"charge",
                     [phase, charges, perPhase](const zop::Scene& scene) {
                         const std::size_t at = static_cast<std::size_t>(std::max(*phase, 0));
                         const int allowed = at < perPhase.size() ? perPhase[at] : 3;
                         return *charges < allowed && scene.popupVisible &&
                                scene.popupMessage.find("Charge and discharge repeatedly") != std::string::npos &&
                                scene.stepLines.size() == 7;
                     },
                     plat::Millis(100),
                     [charges](zop::Operator& self, const zop::Scene&) {
                         ++*charges;
                         self.Perform(zop::physical::Charge, 6.5);
                         self.Perform(zop::physical::Discharge, 150);
                     },
                     -1, ""});
    }

    std::shared_ptr<CTestBatCap> element = CTestBatCap::Create();
};

TEST_F(BatCapTest, FifteenChargesInFivePhasesOfThree)
{
    // The live lines of each charge, with the second of the phase that the popup shows then.
    std::vector<std::pair<int, std::vector<std::string>>> live;
    op->AddRule({"read the live lines", [](const zop::Scene& scene) { return scene.stepLines.size() == 3; },
                 plat::Millis(0),
                 [&live](zop::Operator&, const zop::Scene& scene) {
                     live.emplace_back(SecondsShown(scene.popupMessage), scene.stepLines);
                 },
                 -1, ""});
    const auto realStart = std::chrono::steady_clock::now();
    const plat::TimePoint start = Now();
    Perform(element);
    const auto real = std::chrono::steady_clock::now() - realStart;
    std::printf("full battery-capacity run: %lld ms of analyzer time in %lld ms real time\n",
                static_cast<long long>(std::chrono::duration_cast<plat::Millis>(Now() - start).count()),
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(real).count()));

    // Five active phases with three armed read-outs each, an idle minute after each.
    EXPECT_EQ(ArmingsPerPhase(), (std::vector<int>{3, 3, 3, 3, 3}));
    EXPECT_EQ(dischargeTimes.size(), 15u);
    // Each idle phase fetches the last data, but the one after the fifteenth charge, when
    // nothing is read any more.
    EXPECT_EQ(CountOf("MAXEDATA"), 15 + 4);
    EXPECT_GE(Now() - start, plat::Millis(605000));
    EXPECT_LT(Now() - start, plat::Millis(640000));
    ASSERT_EQ(op->Beeps().size(), 15u);
    EXPECT_EQ(op->Beeps()[0].frequencyHz, 2000);
    EXPECT_EQ(op->Beeps()[0].durationMs, 100);
    EXPECT_TRUE(op->Boxes().empty());
    for (int i = 1; i <= 15; ++i) EXPECT_EQ(ValueOf(element, "CHTI" + std::to_string(i)), plat::Variant(6.5)) << i;
    EXPECT_EQ(StatusOf(element), 1);
    EXPECT_TRUE(Logged("instruction: Charge and discharge repeatedly for 59 seconds"));
    EXPECT_TRUE(Logged("instruction: Standby to initiate charge in 60 seconds"));
    // Each charge's lines: its time, its count, and the seconds of the phase gone by.
    ASSERT_EQ(live.size(), 15u);
    for (std::size_t i = 0; i < live.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const auto& [left, lines] = live[i];
        EXPECT_EQ(lines[0], "Last chargetime               : 6.5s");
        EXPECT_EQ(lines[1], "Charge/Discharge count : " + std::to_string(i + 1));
        EXPECT_EQ(lines[2], "Elapsed total time            : " + std::to_string(59 - left) + "s");
    }
    // The figure above is well under a second in a normal build; a sanitizer build is several
    // times slower. The bound only catches a run that waits out its minutes on the real clock.
    EXPECT_LT(real, std::chrono::seconds(60));
}

// A phase that misses a charge puts the fifteenth into a sixth phase. Once it is stored nothing
// is armed or read: a sixteenth charge whose reply has no charge time loses nothing.
TEST_F(BatCapTest, FifteenStoredChargesEndTheReadingAndAreStored)
{
    ChargeInPhases({2});
    op->SetPhysical(zop::physical::Discharge, [this](double joules) {
        dischargeTimes.push_back(Now());
        if (dischargeTimes.size() == 16) analyzer->Faults().Add(Fault::Reply("NODATA").For("MAXEDATA").Always());
        analyzer->Discharge(zsim::Pulse::Into50Ohm(joules));
    });
    Perform(element);

    ASSERT_EQ(dischargeTimes.size(), 16u);
    EXPECT_EQ(ArmingsPerPhase().size(), 6u);
    const auto armings = HeardAt("MAXESTART");
    ASSERT_FALSE(armings.empty());
    EXPECT_LT(armings.back(), dischargeTimes[14]) << "armed after the fifteenth charge";
    EXPECT_TRUE(op->Boxes().empty()) << op->Boxes().front().prompt;
    EXPECT_EQ(op->Beeps().size(), 15u);
    for (int i = 1; i <= 15; ++i) EXPECT_EQ(ValueOf(element, "CHTI" + std::to_string(i)), plat::Variant(6.5)) << i;
    EXPECT_EQ(StatusOf(element), 1);
}

// Once fifteen charges are stored the analyzer is asked nothing more: leaving in the rest of that
// phase or in the idle minute only ends the wait. Stop, Next and Previous keep the fifteen, rated,
// stamped and reported, the window back in its finished form; Abort and Skip remove the record.
TEST_F(BatCapTest, LeavingAfterTheFifteenthChargeKeepsTheFifteen)
{
    using Guide = ztest::FZARVIKTestGuide;
    struct Case {
        const char* name;
        const char* popup;
        // The window's event a host fires while the run goes on; none: the person's Stop.
        plat::Event<> Guide::*event;
        int32_t navigation;
        bool kept;
    };
    const char* idle = "Standby to initiate charge in 30 seconds";
    const Case cases[] = {
        {"Stop in the rest of the phase", "Charge and discharge repeatedly for 10 seconds", nullptr, 0, true},
        {"Stop in the idle minute", idle, nullptr, 0, true},
        {"Next in the idle minute", idle, &Guide::NextTest, 0, true},
        {"Previous in the idle minute", idle, &Guide::Previous, 1, true},
        {"Abort in the idle minute", idle, &Guide::AbortTest, 2, false},
        {"Skip in the idle minute", idle, &Guide::Skip, 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        context = std::make_shared<host::HostTestContext>();
        UseRecipe(CTestBatCap::TypeCode);
        const std::size_t beepsBefore = op->Beeps().size();
        const std::string popup = c.popup;
        const auto event = c.event;
        op->AddRule({"leave",
                     [this, popup, beepsBefore](const zop::Scene& scene) {
                         return op->Beeps().size() == beepsBefore + 15 && scene.popupMessage == popup;
                     },
                     plat::Millis(0),
                     [event](zop::Operator& self, const zop::Scene&) {
                         if (event) {
                             FireGuide(event);
                         } else {
                             self.Press(zop::button::Stop);
                         }
                     },
                     1, ""});
        bool finishedForm = false;
        op->AddRule({"look", [](const zop::Scene& scene) { return scene.Done() || scene.Ready(); }, plat::Millis(0),
                     [&finishedForm](zop::Operator&, const zop::Scene& scene) { finishedForm = scene.Done(); }, 1,
                     "leave"});
        auto run = CTestBatCap::Create();
        const plat::TimePoint start = Now();
        Perform(run);

        EXPECT_LT(Now() - start, plat::Millis(600000)) << "the wait was not ended";
        EXPECT_EQ(context->Navigation(), c.navigation);
        if (!c.kept) {
            EXPECT_EQ(run->Result(), nullptr);
            EXPECT_EQ(context->ResultChangedCount(), 0);
            continue;
        }
        if (!c.event) {
            EXPECT_TRUE(finishedForm) << "the window returned to its finished form";
        }
        ASSERT_NE(run->Result(), nullptr);
        for (int i = 1; i <= 15; ++i) EXPECT_EQ(ValueOf(run, "CHTI" + std::to_string(i)), plat::Variant(6.5)) << i;
        EXPECT_EQ(StatusOf(run), 1);
        EXPECT_EQ(run->Result()->MTIID(), 1);
        EXPECT_EQ(context->ResultChangedCount(), 1);
        EXPECT_TRUE(op->Boxes().empty()) << op->Boxes().front().prompt;
    }
}

// An active phase without a charge leaves the analyzer polled, not armed: the idle phase after
// it makes the next read-out arm it again, so that a charge in the second phase is measured.
TEST_F(BatCapTest, APhaseWithoutAChargeArmsTheNextPhaseAgain)
{
    ChargeInPhases({0, 1});
    StopWhen([](const zop::Scene& scene) { return scene.stepLines.size() == 3; });
    Perform(element);

    // The first phase's one read-out polls until the phase runs out; the idle phase fetches the
    // last data; the second phase's first read-out arms the analyzer before it polls.
    const auto commands = Commands();
    const auto idleFetch = std::find(commands.begin(), commands.end(), "MAXEDATA");
    ASSERT_NE(idleFetch, commands.end());
    ASSERT_NE(idleFetch + 1, commands.end());
    EXPECT_EQ(*(idleFetch + 1), "MAXESTART") << "the second phase polls without arming";
    EXPECT_EQ(ArmingsPerPhase().size(), 2u);
    EXPECT_EQ(op->Beeps().size(), 1u);
    EXPECT_TRUE(op->Boxes().empty()) << op->Boxes().front().prompt;
}

// The link lost in a wait without exchanges is told once, by the exchange that follows: one
// box, no release, the record from before the run back and unrated.
TEST_F(BatCapTest, ALinkLostInAnIdleWaitIsToldOnce)
{
    const struct {
        const char* name;
        const char* popup;
    } cases[] = {
        {"standby count-down", "Standby to initiate charge in 3 seconds"},
        {"idle phase", "Standby to initiate charge in 30 seconds"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        UseRecipe(CTestBatCap::TypeCode);
        auto run = CTestBatCap::Create();
        std::shared_ptr<host::IResultData> before;
        op->AddRule({"look", [](const zop::Scene& scene) { return scene.Ready(); }, plat::Millis(0),
                     [&](zop::Operator&, const zop::Scene&) { before = run->Result(); }, 1, ""});
        const std::string popup = c.popup;
        op->AddRule({"unplug", [popup](const zop::Scene& scene) { return scene.popupMessage == popup; }, plat::Millis(0),
                     [this](zop::Operator&, const zop::Scene&) { analyzer->Faults().Add(Fault::Silence().Always()); }, 1,
                     ""});
        const std::size_t boxes = op->Boxes().size();
        Perform(run);

        ASSERT_EQ(op->Boxes().size(), boxes + 1);
        EXPECT_NE(op->Boxes().back().prompt.find("No MTI was found"), std::string::npos) << op->Boxes().back().prompt;
        EXPECT_EQ(CountOf("LOC"), 1) << "no release after a lost link";
        ASSERT_NE(before, nullptr);
        EXPECT_EQ(run->Result(), before);
        EXPECT_EQ(StatusOf(run), 0);
    }
}

// Stop in each count-down: the standby, an active phase, an idle phase. The run ends at once,
// nothing is stored and no count-down ticks on.
TEST_F(BatCapTest, StopDuringEachCountdownEndsTheRunAndItsTicker)
{
    struct Case {
        const char* name;
        const char* popup;
        int armings;
    };
    const Case cases[] = {
        {"standby", "Standby to initiate charge in 3 seconds", 0},
        {"active phase", "Charge and discharge repeatedly for 30 seconds", 3},
        {"idle phase", "Standby to initiate charge in 30 seconds", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        UseRecipe(CTestBatCap::TypeCode);
        const std::string popup = c.popup;
        StopWhen([popup](const zop::Scene& scene) { return scene.popupMessage == popup; });
        auto run = CTestBatCap::Create();
        const plat::TimePoint start = Now();
        Perform(run);

        EXPECT_LT(Now() - start, plat::Millis(130000));
        EXPECT_EQ(CountOf("MAXESTART"), c.armings);
        EXPECT_EQ(StatusOf(run), 0);
        EXPECT_TRUE(ValueOf(run, "CHTI1").IsEmpty());
        const std::size_t lines = said.size();
        FastForwardBy(plat::Millis(5000));
        EXPECT_EQ(said.size(), lines);
    }
}

// A run stopped while it polled leaves the analyzer disarmed by the next mode command: the next
// run arms it again before its first charge, which then is measured.
TEST_F(BatCapTest, ARunAfterAStoppedOneArmsTheAnalyzerAgain)
{
    UseRecipe(0);
    StopWhen([](const zop::Scene& scene) { return scene.popupMessage.find("for 50 seconds") != std::string::npos; });
    Perform(element);
    ASSERT_EQ(CountOf("MAXESTART"), 1);
    ASSERT_EQ(StatusOf(element), 0);

    analyzer->ClearLogs();
    UseRecipe(CTestBatCap::TypeCode);
    StopWhen([](const zop::Scene& scene) { return scene.stepLines.size() == 3; });
    Perform(element);
    const auto commands = Commands();
    ASSERT_GE(commands.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(commands.begin(), commands.begin() + 4),
              (std::vector<std::string>{"LOC", "MAXEMODE", "DEFRANGE=HIGH", "MAXESTART"}));
    EXPECT_FALSE(BoxShown("could not be completed"));
    EXPECT_EQ(op->Beeps().size(), 1u);
}

TEST_F(BatCapTest, ErrorTokensAndUnreadableChargeTimesStopTheRun)
{
    struct Case {
        const char* name;
        std::optional<Fault> fault;
        std::optional<double> chargeTime;
        const char* prompt;
    };
    const Case cases[] = {
        {"charge time above 99 s", std::nullopt, 120.0, "Charge time is too high and cannot show other parameters"},
        {"not armed", Fault::Reply("NOSTART").For("MAXEDATA"), std::nullopt, "could not be completed"},
        {"over range", Fault::OverRange().For("MAXEDATA"), std::nullopt, "Over Range!"},
        {"error reply with a two-digit code", Fault::Error(12).For("MAXEDATA"), std::nullopt, "Unexpected response"},
        {"no data", Fault::Reply("NODATA").For("MAXEDATA"), std::nullopt, "Unexpected response"},
        {"an unknown token", Fault::Reply("HELLO").For("MAXEDATA"), std::nullopt, "Unexpected response"},
        {"an empty charge-time field", Fault::Reply("200.0,2100,42.0,").For("MAXEDATA"), std::nullopt,
         "Unexpected response"},
        {"a charge time with text after it", Fault::Reply("200.0,2100,42.0,6.2s").For("MAXEDATA"), std::nullopt,
         "Unexpected response"},
        {"a record short of fields", Fault::Reply("42.0,6.2").For("MAXEDATA"), std::nullopt, "Unexpected response"},
        {"a charge time at the edge of the range", Fault::Reply("150.2,2000,50.1,1.7976931348623157e308").For("MAXEDATA"),
         std::nullopt, "Unexpected response"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseRecipe(CTestBatCap::TypeCode);
        auto run = CTestBatCap::Create();
        const std::size_t boxes = op->Boxes().size();
        const std::size_t beeps = op->Beeps().size();
        if (c.fault) analyzer->Faults().Add(*c.fault);
        chargeSeconds = c.chargeTime;
        Perform(run);

        ASSERT_EQ(op->Boxes().size(), boxes + 1);
        EXPECT_NE(op->Boxes().back().prompt.find(c.prompt), std::string::npos) << op->Boxes().back().prompt;
        EXPECT_EQ(op->Boxes().back().title, "Telvo Plug-In MTI response");
        EXPECT_EQ(op->Boxes().back().style, 16);
        // Never counted, beeped or stored.
        EXPECT_EQ(op->Beeps().size(), beeps);
        EXPECT_TRUE(ValueOf(run, "CHTI1").IsEmpty());
        EXPECT_EQ(StatusOf(run), 0);
    }
}

// A reply that is only its line end is no data: the read-out polls on and takes the charge
// when the analyzer gives it.
TEST_F(BatCapTest, AReplyThatIsOnlyALineEndIsNoData)
{
    analyzer->Faults().Add(Fault::Reply("").For("MAXEDATA"));
    StopWhen([](const zop::Scene& scene) { return scene.stepLines.size() == 3; });
    Perform(element);
    EXPECT_EQ(op->Beeps().size(), 1u);
    EXPECT_TRUE(op->Boxes().empty());
}

TEST_F(BatCapTest, InstructionsShowThePresetUnrounded)
{
    std::dynamic_pointer_cast<ztest::CConfigBatCap>(element->Configuration())->SetPresetEnergy(150.5f);
    const plat::Variant lines = element->BuildInstructions(0, 0, "");
    EXPECT_EQ(lines.AsArray().At(0).AsString(), "1. Set defibrillator to 150.5");
    const plat::Variant live = element->BuildInstructions(1, 3, "6.2");
    EXPECT_EQ(live.AsArray().At(0).AsString(), "Last chargetime               : 6.2s");
    EXPECT_EQ(live.AsArray().At(1).AsString(), "Charge/Discharge count : 3");
}

} // namespace
