// The words of a person's hands at the analyzer, as zarvik-sim and a bench rehearsal read them:
// the units the test-guide window speaks, a unit's suffix read or refused, any case.
#include "simulator/HandActions.h"

#include "simulator/AnalyzerModel.h"

#include <gtest/gtest.h>

namespace {

TEST(HandActions, AQuantityIsReadByItsSuffixOrRefused)
{
    const std::vector<zsim::UnitSuffix> milliamperes = {{"mA", 1}, {"A", 1000}};
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"50", 50.0}, {"50mA", 50.0}, {"50MA", 50.0}, {"0.05A", 50.0}, {"0.05a", 50.0},
        {"50V", std::nullopt}, {"50 ", std::nullopt}, {"mA", std::nullopt}, {"", std::nullopt}, {"nan", std::nullopt},
        {"inf", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = zsim::Quantity(c.text, milliamperes);
        ASSERT_EQ(value.has_value(), c.value.has_value());
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.value);
        }
    }
}

// The pacemaker's output is in milliamperes, as the window says it: "pacemaker 60 50" is a
// 50 mA pacemaker, never 50 A.
TEST(HandActions, EachWordActsInTheWindowsUnitsAndConfirmsInOneLine)
{
    zsim::Analyzer analyzer;
    auto& model = analyzer.Model();
    ASSERT_EQ(model.Handle("PACEPMODE").text, "OK");
    struct Case {
        std::vector<std::string> words;
        bool done;
        const char* text;
        const char* pacerData; // the analyzer's reading afterwards, when it matters
    };
    const Case cases[] = {
        {{"pacemaker", "60", "50"}, true, "attached a pacemaker at 60 PPM, 50 mA, 1 ms", "0.050,0.0010,60.0"},
        {{"PACEMAKER", "72", "0.07A", "2ms"}, true, "attached a pacemaker at 72 PPM, 70 mA, 2 ms", "0.070,0.0020,72.0"},
        {{"pacemaker", "60", "50V"}, false, "pacemaker needs PPM", "0.070,0.0020,72.0"},
        {{"pacemaker", "60", "50", "1", "2"}, false, "pacemaker needs PPM", nullptr},
        {{"discharge", "100"}, true, "discharged 100 J into the analyzer", nullptr},
        {{"discharge", "100J", "5ms"}, true, "discharged 100 J into the analyzer", nullptr},
        {{"discharge", "lots"}, false, "discharge needs JOULES", nullptr},
        {{"charge", "6.5s"}, true, "charged the defibrillator for 6.5 s", nullptr},
        {{"charge"}, false, "charge needs SECONDS", nullptr},
        {{"ADAPTER", "ON"}, true, "connected the pacer load adapter", nullptr},
        {{"adapter", "off"}, true, "removed the pacer load adapter", nullptr},
        {{"adapter", "maybe"}, false, "adapter needs on or off", nullptr},
        {{"dance"}, false, "", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.front());
        const zsim::HandOutcome outcome = zsim::DoHandAction(analyzer, c.words);
        EXPECT_EQ(outcome.done, c.done);
        EXPECT_EQ(outcome.text.rfind(c.text, 0), 0u) << outcome.text;
        if (c.pacerData) {
            EXPECT_EQ(model.Handle("PACEPDATA").text, c.pacerData);
        }
    }
    EXPECT_TRUE(zsim::IsHandWord("Discharge"));
    EXPECT_FALSE(zsim::IsHandWord("silence"));
}

} // namespace
