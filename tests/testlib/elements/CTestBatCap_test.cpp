#include "testlib/elements/CTestBatCap.h"

#include "simulator/Fault.h"
#include "testlib/config/CConfigBatCap.h"
#include "tests/testlib/elements/DefibRunSupport.h"

#include <gtest/gtest.h>

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

    std::shared_ptr<CTestBatCap> element = CTestBatCap::Create();
};

TEST_F(BatCapTest, FifteenChargesInFivePhasesOfThree)
{
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
    EXPECT_EQ(CountOf("MAXEDATA"), 15 + 5);
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
    // The figure above is well under a second in a normal build; a sanitizer build is several
    // times slower. The bound only catches a run that waits out its minutes on the real clock.
    EXPECT_LT(real, std::chrono::seconds(60));
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
