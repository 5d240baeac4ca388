// What the eleven test elements show and list, as data: the instruction lines of the step list
// as the operator sees them when the window opens, and the measurement list by which the host
// keys the limits. Every language-ID text shows as its number, so a wrong ID shows.
#include "testlib/config/CConfigDefib.h"
#include "testlib/config/CConfigDischarge.h"
#include "testlib/config/CConfigPacer.h"
#include "testlib/elements/CTestArr.h"
#include "testlib/elements/CTestBatCap.h"
#include "testlib/elements/CTestCardio.h"
#include "testlib/elements/CTestCharge.h"
#include "testlib/elements/CTestDefib.h"
#include "testlib/elements/CTestEcg.h"
#include "testlib/elements/CTestEnergy.h"
#include "testlib/elements/CTestNSW.h"
#include "testlib/elements/CTestPacerPar.h"
#include "testlib/elements/CTestPacerRef.h"
#include "testlib/elements/CTestPerf.h"
#include "host/interfaces/ITestWizard.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "tests/support/LanguageIdTranslator.h"
#include "tests/testlib/elements/SimulationFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using Rows = std::vector<std::pair<std::string, std::string>>;
using Element = std::shared_ptr<host::ITestElement>;

template <class T>
Element Make()
{
    return T::Create();
}

// Sets the preset energy of a discharge test.
std::function<void(const Element&)> Preset(float joules)
{
    return [joules](const Element& element) {
        std::dynamic_pointer_cast<ztest::CConfigDischarge>(element->Configuration())->SetPresetEnergy(joules);
    };
}

// Sets the pacemaker's rate and output, and the adapter, of a pacer test.
std::function<void(const Element&)> Pacer(float rate, float output, int16_t adapter = 0)
{
    return [=](const Element& element) {
        auto settings = std::dynamic_pointer_cast<ztest::CConfigPacer>(element->Configuration());
        settings->SetRate(rate);
        settings->SetAmplitude(output);
        settings->SetAdapterIndex(adapter);
    };
}

void Defaults(const Element&) {}

// A pulse-repetition test of a battery-operated defibrillator.
void BatteryOperated(const Element& element)
{
    std::dynamic_pointer_cast<ztest::CConfigDefib>(element->Configuration())->SetBatteryOperated(true);
}

class ElementTables : public ztesting::SimulationFixture {
protected:
    ElementTables()
    {
        // The texts that take an argument show it after their number.
        for (const char* id : {"20200", "20220", "20240", "20370", "20371", "20383", "20384", "20390", "20410"})
            ztesting::LanguageIdTranslator::TakesArguments(id, 1);
    }

    // The step list's lines when the window opens; the operator then leaves with the host's Next.
    Strings LinesShown(const Element& element)
    {
        Strings lines;
        Perform(element, [&lines](zop::Operator& op) {
            op.ClearRules();
            op.AddRule({"read", [](const zop::Scene& scene) { return scene.windowShown; }, 10ms,
                        [&lines](zop::Operator&, const zop::Scene& scene) {
                            lines = scene.stepLines;
                            for (const auto& form : plat::LoadedForms())
                                if (auto guide = std::dynamic_pointer_cast<ztest::FZARVIKTestGuide>(form))
                                    guide->NextTest.Fire();
                        },
                        1, ""});
        });
        return lines;
    }

    static Rows ListOf(const Element& element)
    {
        Rows rows;
        const plat::Variant list = element->GetMeasurementList();
        if (list.IsEmpty()) return rows;
        const auto& array = list.AsArray();
        for (int32_t row = array.LBound(1); row <= array.UBound(1); ++row)
            rows.emplace_back(array.At(row, 0).AsString(), array.At(row, 1).AsString());
        return rows;
    }

    ztesting::LanguageIdTranslator translator;
};

TEST_F(ElementTables, InstructionLinesAndMeasurementLists)
{
    const Rows energy = {{"ENGY", "<20120>"}, {"PULW", "<20123>"}, {"PEAC", "<20122>"}, {"PEAV", "<20121>"}};
    const Rows charge = {{"ENGY", "<20120>"}, {"CHTI", "<20124>"}, {"PEAC", "<20122>"}, {"PEAV", "<20121>"}};
    const Rows cardio = {{"ENGY", "<20120>"}, {"CADT", "<20125>"}, {"PEAC", "<20122>"}, {"PEAV", "<20121>"}};
    const Strings waves = {"<20260>", "<20261>", "<20262>", "<20263>", "", ""};
    const struct {
        const char* name;
        std::function<Element()> make;
        std::function<void(const Element&)> configure;
        Strings lines;
        Rows list; // none: the element gives no list (an empty Variant)
    } cases[] = {
        // The preset energy of the energy family rounds half to even.
        {"energy 150.5", Make<ztest::CTestEnergy>, Preset(150.5f), {"<20200 150>", "<20201>", "", "", ""}, energy},
        {"energy 151.5", Make<ztest::CTestEnergy>, Preset(151.5f), {"<20200 152>", "<20201>", "", "", ""}, energy},
        {"charge time 150.5", Make<ztest::CTestCharge>, Preset(150.5f), {"<20220 150>", "<20221>", "<20222>", "", ""},
         charge},
        {"charge time 151.5", Make<ztest::CTestCharge>, Preset(151.5f), {"<20220 152>", "<20221>", "<20222>", "", ""},
         charge},
        {"cardioversion 150.5", Make<ztest::CTestCardio>, Preset(150.5f), {"<20240 150>", "<20241>", "", "", ""},
         cardio},
        {"cardioversion 151.5", Make<ztest::CTestCardio>, Preset(151.5f), {"<20240 152>", "<20241>", "", "", ""},
         cardio},
        {"normal sinus", Make<ztest::CTestNSW>, Defaults, waves, {}},
        {"arrhythmia", Make<ztest::CTestArr>, Defaults, {"<20310>", "<20311>", "<20312>", "<20313>", "<20314>", ""}, {}},
        {"performance", Make<ztest::CTestPerf>, Defaults, waves, {}},
        {"pacer parameters", Make<ztest::CTestPacerPar>, Pacer(60, 12.5f), {"<20370 60>", "<20371 12.5>", "<20372>", ""},
         {{"PACR", "<20126>"}, {"PACC", "<20127>"}, {"PACW", "<20128>"}}},
        {"pacer refractory, fixed load", Make<ztest::CTestPacerRef>, Pacer(70, 25),
         {"<20380>", "<20382>", "<20383 25>", "<20384 70>", "<20385>", "<20386>"},
         {{"PACE", "<20130>"}, {"SENS", "<20129>"}}},
        {"pacer refractory, variable load", Make<ztest::CTestPacerRef>, Pacer(70, 25, 1),
         {"<20381>", "<20382>", "<20383 25>", "<20384 70>", "<20385>", "<20386>"},
         {{"PACE", "<20130>"}, {"SENS", "<20129>"}}},
        // The battery and pulse-repetition tests show the preset as it is.
        {"battery capacity", Make<ztest::CTestBatCap>, Preset(150.5f),
         {"<20390 150.5>", "<20391>", "<20392>", "<20393>", "<20394>", "<20395>", "<20396>"}, {{"CHTI", "<20124>"}}},
        {"pulse repetition", Make<ztest::CTestDefib>, Preset(150.5f), {"<20410 150.5>", "<20411>", "<20412>"},
         {{"ENGY", "<20120>"}, {"PLSC", "<20133>"}}},
        {"ECG R-wave", Make<ztest::CTestEcg>, Defaults, {"<20430>", "<20431>", "<20432>", "<20433>", "<20434>", ""}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto element = c.make();
        c.configure(element);
        EXPECT_EQ(LinesShown(element), c.lines);
        EXPECT_EQ(ListOf(element), c.list);
        if (c.list.empty()) {
            EXPECT_TRUE(element->GetMeasurementList().IsEmpty());
        }
    }
}

} // namespace

namespace {

// The run of each type as its recipe has the operator do it, with the defibrillator charging
// as well as discharging; the step list's highlight is written down whenever it changes, as a
// person watching the list would see it.
class StepHighlights : public ztesting::SimulationFixture {
protected:
    StepHighlights()
    {
        op->SetPatience(plat::Millis(700000));
        op->SetPhysical(zop::physical::Charge, [this](double seconds) { analyzer->Charge(seconds); });
    }

    // "{3 5}" for lines 3 and 5 marked; "live" and the count shown before it while the list
    // shows the live status lines of a series test ("live 2 {1 2 3}").
    static std::string Marks(host::ITestWizard& steps)
    {
        std::string text;
        const auto lines = steps.Lines();
        if (!lines.empty() && lines[0].rfind("Last", 0) == 0) {
            // The live lines, told apart by the count they show.
            text = "live ";
            for (const auto& line : lines) {
                const auto colon = line.rfind(": ");
                if (line.find("count") != std::string::npos && colon != std::string::npos)
                    text += line.substr(colon + 2) + " ";
            }
        }
        text += "{";
        const auto marked = steps.HighlightedLines();
        for (std::size_t i = 0; i < marked.size(); ++i) text += (i ? " " : "") + std::to_string(marked[i]);
        return text + "}";
    }

    Strings HighlightsOfARun(const Element& element)
    {
        Strings seen;
        plat::Timer watch = TestLoop().StartPeriodic(1ms, [&seen] {
            for (const auto& form : plat::LoadedForms()) {
                auto guide = std::dynamic_pointer_cast<ztest::FZARVIKTestGuide>(form);
                auto steps = guide ? guide->xtwDetails() : nullptr;
                if (!steps) continue;
                const std::string marks = Marks(*steps);
                if (seen.empty() || seen.back() != marks) seen.push_back(marks);
            }
        });
        Perform(element);
        watch.Stop();
        return seen;
    }
};

// The battery-capacity run: the start, then five phases of three charges, each charge's live
// lines and the lines back; the third charge of a phase leads to the idle phase.
Strings BatteryCapacityMarks()
{
    Strings marks = {"{}", "{7}", "{3 7}", "{4 5 7}"};
    int charge = 0;
    for (int phase = 0; phase < 5; ++phase) {
        if (phase > 0) marks.push_back("{4 5 7}");
        for (int i = 0; i < 3; ++i) {
            marks.push_back("live " + std::to_string(++charge) + " {1 2 3}");
            marks.push_back(i < 2 ? "{4 5 7}" : "{7}");
        }
        marks.push_back("{6 7}");
    }
    return marks;
}

// The pulse-repetition run of its target of discharges (15, or 10 on battery): each discharge's
// live lines, the instruction lines back at the next second; then the lines back unmarked and
// the end. The last discharge ends the series at once: its live lines are never seen.
Strings PulseRepetitionMarks(int target)
{
    Strings marks = {"{}", "{3}"};
    for (int i = 1; i < target; ++i) {
        marks.push_back("live " + std::to_string(i) + " {1 2 3 4 5}");
        marks.push_back("{3}");
    }
    marks.push_back("{}");
    marks.push_back("{1 2 3}");
    return marks;
}

TEST_F(StepHighlights, EachTypeMarksItsStepsThroughARun)
{
    const Strings wave = {"{}", "{5}", "{3 5}", "{4 5}", "{1 2 3 4}"};
    const struct {
        const char* name;
        std::function<Element()> make;
        Strings marks;
        std::function<void(const Element&)> configure = Defaults;
    } cases[] = {
        {"energy", Make<ztest::CTestEnergy>, {"{}", "{1 2}"}},
        {"charge time", Make<ztest::CTestCharge>, {"{}", "{3}", "{}", "{1 2 3}"}},
        {"cardioversion", Make<ztest::CTestCardio>, {"{}", "{1 2}"}},
        {"normal sinus", Make<ztest::CTestNSW>, wave},
        {"arrhythmia", Make<ztest::CTestArr>, wave},
        {"performance", Make<ztest::CTestPerf>, wave},
        {"pacer parameters", Make<ztest::CTestPacerPar>, {"{}", "{1 2 3}"}},
        {"pacer refractory", Make<ztest::CTestPacerRef>, {"{}", "{5}", "{6}", "{1 2 3 4 5}", "{1 2 3 4 5 6}"}},
        {"battery capacity", Make<ztest::CTestBatCap>, BatteryCapacityMarks()},
        {"pulse repetition", Make<ztest::CTestDefib>, PulseRepetitionMarks(15)},
        {"pulse repetition on battery", Make<ztest::CTestDefib>, PulseRepetitionMarks(10), BatteryOperated},
        {"ECG R-wave", Make<ztest::CTestEcg>, wave},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        auto element = c.make();
        c.configure(element);
        SelectStandard(element);
        const Strings seen = HighlightsOfARun(element);
        EXPECT_EQ(seen, c.marks);
        EXPECT_NE(element->Result()->Status(), 0) << "the run was completed and rated";
    }
}

} // namespace

namespace {

TEST_F(ElementTables, StatusTextsWhileARunGoesOn)
{
    const struct {
        std::function<Element()> make;
        const char* status;
    } cases[] = {
        {Make<ztest::CTestEnergy>, "<20531>"},  {Make<ztest::CTestCharge>, "<20531>"},
        {Make<ztest::CTestCardio>, "<20531>"},  {Make<ztest::CTestNSW>, "<20530>"},
        {Make<ztest::CTestArr>, "<20530>"},     {Make<ztest::CTestPerf>, "<20530>"},
        {Make<ztest::CTestPacerPar>, "<20530>"}, {Make<ztest::CTestPacerRef>, "<20530>"},
        {Make<ztest::CTestBatCap>, "<20531>"},  {Make<ztest::CTestDefib>, "<20531>"},
        {Make<ztest::CTestEcg>, "<20530>"},
    };
    for (const auto& c : cases) {
        auto element = c.make();
        SCOPED_TRACE(element->TestID());
        std::string shown;
        Perform(element, [&shown](zop::Operator& op) {
            op.ClearRules();
            op.AddBoxRule({"", "", plat::vbYes, -1});
            op.AddRule({"start", [](const zop::Scene& scene) { return scene.Ready(); }, 50ms,
                        [](zop::Operator& self, const zop::Scene&) { self.Press(zop::button::Start); }, 1, ""});
            op.AddRule({"read and stop", [](const zop::Scene& scene) { return scene.Running(); }, 30ms,
                        [&shown](zop::Operator& self, const zop::Scene& scene) {
                            shown = scene.statusText;
                            self.Press(zop::button::Stop);
                        },
                        1, "start"});
            op.AddRule({"leave", [](const zop::Scene& scene) { return scene.Ready() || scene.Done(); }, 50ms,
                        [](zop::Operator& self, const zop::Scene&) { self.Press(zop::button::Next); }, -1,
                        "read and stop"});
        });
        EXPECT_EQ(shown, c.status);
    }
}

TEST_F(ElementTables, TheAnalyzersErrorBoxShowsItsTexts)
{
    // An error reply to the performance test's lead command.
    analyzer->Faults().Add(zsim::Fault::Reply("ERR=01").For("PERFLEAD"));
    auto element = ztest::CTestPerf::Create();
    const std::size_t before = op->Boxes().size();
    Perform(element, zop::WaveRecipe(true));
    ASSERT_EQ(op->Boxes().size(), before + 1);
    EXPECT_EQ(op->Boxes().back().prompt, "<20464>\n<20465>");
    EXPECT_EQ(op->Boxes().back().title, "<20471>");
    EXPECT_EQ(op->Boxes().back().style, plat::vbCritical);
}

} // namespace
