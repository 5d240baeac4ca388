#include "testlib/elements/CTestCharge.h"

#include "simulator/Fault.h"
#include "tests/support/LanguageIdTranslator.h"
#include "tests/testlib/elements/DefibRunSupport.h"

#include <gtest/gtest.h>

namespace {

using zsim::Fault;
using ztest::CTestCharge;

class ChargeTest : public ztesting::DefibRun {
protected:
    ChargeTest() { UseRecipe(CTestCharge::TypeCode); }
    std::shared_ptr<CTestCharge> element = CTestCharge::Create();
};

TEST_F(ChargeTest, CountsDownArmsTheAnalyzerAndStoresTheChargeTime)
{
    Perform(element);

    EXPECT_EQ(Commands(), (std::vector<std::string>{"LOC", "MAXEMODE", "DEFRANGE=HIGH", "DEFIBWAVE=VFB2", "MAXESTART", "QDATA",
                                                    "QDATA", "MAXEDATA", "LOC"}));
    // The count-down shows 5 first and 1 last; the prompt follows.
    for (const char* line : {"instruction: Standby to initiate charge in 5 seconds",
                             "instruction: Standby to initiate charge in 1 seconds",
                             "instruction: START CHARGE NOW...  FOLLOWED BY DISCHARGE"})
        EXPECT_TRUE(Logged(line)) << line;
    EXPECT_FALSE(Logged("instruction: Standby to initiate charge in 0 seconds"));
    // The operator charged well after the analyzer was armed.
    ASSERT_EQ(dischargeTimes.size(), 1u);
    EXPECT_GE(dischargeTimes[0] - HeardAt("MAXESTART").at(0), plat::Millis(250));

    EXPECT_EQ(ValueOf(element, "CHTI"), plat::Variant(6.5));
    EXPECT_EQ(ValueOf(element, "ENGY"), plat::Variant(100.0));
    EXPECT_EQ(StatusOf(element), 1);
    EXPECT_EQ(context->Navigation(), 0);
}

TEST_F(ChargeTest, TokensOfTheDataReplyStopTheRunWithTheirBox)
{
    struct Case {
        const char* name;
        std::optional<Fault> fault;
        std::optional<double> chargeTime;
        const char* prompt;
        const char* title;
    };
    // Boxes are told by their language IDs: a wrong ID with the right default text shows.
    ztesting::LanguageIdTranslator translator;
    const Case cases[] = {
        {"charge time above 99 s", std::nullopt, 120.0, "Charge time is high and cannot show other parameters",
         "Telvo Plug-In MTI Response"},
        {"not armed", Fault::Reply("NOSTART").For("MAXEDATA"), std::nullopt, "<20461>", "<20471>"},
        {"over range", Fault::OverRange().For("MAXEDATA"), std::nullopt, "<20460>", "<20471>"},
        {"error reply", Fault::Error(7).For("MAXEDATA"), std::nullopt, "<20464>\n<20465>", "<20471>"},
        {"error reply with a negative code", Fault::Reply("ERR=-1").For("MAXEDATA"), std::nullopt, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        UseRecipe(CTestCharge::TypeCode);
        // The instruction lines show IDs, not the preset: the operator shocks with 100 J.
        op->SetPhysical(zop::physical::Discharge, [this](double) { analyzer->Discharge(zsim::Pulse::Into50Ohm(100)); });
        const std::size_t boxesBefore = op->Boxes().size();
        if (c.fault) analyzer->Faults().Add(*c.fault);
        chargeSeconds = c.chargeTime;
        auto run = CTestCharge::Create();
        Perform(run);

        if (c.prompt) {
            ASSERT_EQ(op->Boxes().size(), boxesBefore + 1);
            EXPECT_EQ(op->Boxes().back().prompt, c.prompt);
            EXPECT_EQ(op->Boxes().back().title, c.title);
            EXPECT_EQ(op->Boxes().back().style, 16);
        } else {
            EXPECT_EQ(op->Boxes().size(), boxesBefore);
        }
        // Nothing stored, nothing rated; the operator leaves the unrated run.
        EXPECT_EQ(StatusOf(run), 0);
        EXPECT_TRUE(ValueOf(run, "CHTI").IsEmpty());
        EXPECT_EQ(context->Navigation(), 0);
    }
}

TEST_F(ChargeTest, AReplyThatIsOnlyALineEndIsNoData)
{
    analyzer->Faults().Add(Fault::Reply("").For("MAXEDATA"));
    Perform(element);
    EXPECT_EQ(CountOf("MAXEDATA"), 2);
    EXPECT_EQ(ValueOf(element, "CHTI"), plat::Variant(6.5));
}

TEST_F(ChargeTest, StopDuringTheCountdownSendsNothingMore)
{
    op->AddRule({"stop", [](const zop::Scene& scene) { return scene.popupMessage.find("in 3 seconds") != std::string::npos; },
                 plat::Millis(0), [](zop::Operator& self, const zop::Scene&) { self.Press(zop::button::Stop); }, 1, ""});
    Perform(element);

    EXPECT_EQ(CountOf("MAXESTART"), 0);
    EXPECT_EQ(CountOf("QDATA"), 0);
    // No tick came after the stop.
    EXPECT_FALSE(Logged("instruction: Standby to initiate charge in 2 seconds"));
    EXPECT_EQ(StatusOf(element), 0);
    // Nothing ticks behind the closed window.
    const std::size_t lines = said.size();
    FastForwardBy(plat::Millis(5000));
    EXPECT_EQ(said.size(), lines);
}

TEST_F(ChargeTest, MeasurementListAndInstructions)
{
    const plat::Variant list = element->GetMeasurementList();
    const auto& rows = list.AsArray();
    std::vector<std::string> keys;
    for (int32_t i = 0; i < 4; ++i) keys.push_back(rows.At(i, 0).AsString());
    EXPECT_EQ(keys, (std::vector<std::string>{"ENGY", "CHTI", "PEAC", "PEAV"}));
}

} // namespace
