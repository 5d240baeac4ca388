// The ECG R-wave and the three wave hold tests run in the window with the operator against the
// simulated analyzer, in virtual time.
#include "host/elements/HostTestElement.h"
#include "host/interfaces/ILimitData.h"
#include "host/interfaces/IMeasurement.h"
#include "tests/testlib/elements/SimulationFixture.h"
#include "tests/testlib/elements/WaveRunSupport.h"
#include "testlib/config/CConfigArr.h"
#include "testlib/config/CConfigEcg.h"
#include "testlib/config/CConfigNSW.h"
#include "testlib/config/CConfigPerf.h"
#include "testlib/config/CConfigSimWave.h"
#include "testlib/elements/CTestArr.h"
#include "testlib/elements/CTestEcg.h"
#include "testlib/elements/CTestNSW.h"
#include "testlib/elements/CTestPerf.h"
#include "operator/GuideWindowScene.h"
#include "platform/base/Conversions.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "testlib/guide/FZARVIKTestGuide.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using zsim::Fault;
using ztesting::SetHold;
using ztesting::VerdictOf;
namespace button = zop::button;

constexpr const char* kUnexpected = "Unexpected response from MTI.";

template <class Config>
std::shared_ptr<Config> SettingsOf(const std::shared_ptr<host::ITestElement>& element)
{
    return std::dynamic_pointer_cast<Config>(element->Configuration());
}

// The operator who never judges: only the shared habits (start, and Next when done).
void NoVerdict(zop::Operator&) {}

class WaveHoldTests : public ztesting::SimulationFixture {
protected:
    int32_t Status(const std::shared_ptr<host::ITestElement>& element) { return element->Result()->Status(); }
    // Virtual times (ms since the bench began) at which the analyzer heard a command.
    std::vector<int64_t> TimesOf(const std::string& command) const
    {
        std::vector<int64_t> times;
        for (const auto& heard : analyzer->HeardLog()) {
            if (heard.command == command)
                times.push_back(std::chrono::duration_cast<plat::Millis>(heard.at - start).count());
        }
        return times;
    }
    plat::TimePoint start = TestLoop().Now();
};

// The host's own Next, also when the toolbar offers none.
void FireNext()
{
    for (const auto& form : plat::LoadedForms())
        if (auto guide = std::dynamic_pointer_cast<ztest::FZARVIKTestGuide>(form)) guide->NextTest.Fire();
}

TEST_F(WaveHoldTests, EcgStepsThroughItsTableAndRestoresTheIndexes)
{
    const struct {
        const char* name;
        int16_t mode;
        float widthIndex;
        float amplitudeIndex;
        Strings thresholds;
    } cases[] = {
        {"no stepping", 0, 9, 9, {"THRESH=160,0.50"}},
        {"width from 9", 1, 9, 9, {"THRESH=160,0.50", "THRESH=180,0.50", "THRESH=200,0.50"}},
        {"amplitude from 27", 2, 9, 27, {"THRESH=160,5.00"}},
        {"amplitude from 25", 2, 0, 25, {"THRESH=8,4.50", "THRESH=8,4.75", "THRESH=8,5.00"}},
        {"unknown mode holds once", 3, 11, 27, {"THRESH=200,5.00"}},
        {"index that names no entry", 1, 9.5f, 9, {}},
        {"index below the table", 1, -1, 9, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        auto element = ztest::CTestEcg::Create();
        auto settings = SettingsOf<ztest::CConfigEcg>(element);
        settings->SetAutoIncrement(c.mode);
        settings->SetWidthIndex(c.widthIndex);
        settings->SetAmplitudeIndex(c.amplitudeIndex);
        settings->SetDuration(2);
        const auto begun = ElapsedMs();
        Perform(element, NoVerdict);
        Strings thresholds;
        for (const auto& command : Commands()) {
            if (command.starts_with("THRESH")) thresholds.push_back(command);
        }
        EXPECT_EQ(thresholds, c.thresholds);
        // Each hold lasts the duration and one tick more from the threshold's reply; the next
        // threshold follows the 50 ms wait, and the analyzer ends at zero output.
        if (!c.thresholds.empty()) {
            EXPECT_GE(ElapsedMs() - begun, static_cast<int64_t>(3000 * c.thresholds.size()));
            const int64_t reply = analyzer->ReplyDelay().count();
            std::vector<int64_t> sent;
            for (const auto& heard : analyzer->HeardLog())
                if (heard.command.starts_with("THRESH"))
                    sent.push_back(std::chrono::duration_cast<plat::Millis>(heard.at - start).count());
            const auto zero = TimesOf("ZERO");
            ASSERT_EQ(sent.size(), c.thresholds.size());
            ASSERT_EQ(zero.size(), 1u);
            sent.push_back(zero[0] + 50);
            for (std::size_t i = 1; i < sent.size(); ++i) EXPECT_NEAR(sent[i] - sent[i - 1], 3000 + reply + 50, 5) << i;
            ASSERT_FALSE(Commands().empty());
            EXPECT_EQ(Commands().back(), "ZERO");
        } else {
            EXPECT_EQ(Commands(), Strings{});
        }
        EXPECT_EQ(analyzer->Model().Output(), "ZERO");
        EXPECT_EQ(settings->GetWidthIndex(), c.widthIndex);
        EXPECT_EQ(settings->GetAmplitudeIndex(), c.amplitudeIndex);
        // Without a verdict the run is not rated.
        EXPECT_EQ(Status(element), 0);
    }
}

TEST_F(WaveHoldTests, VerdictDuringTheHoldEndsItAndIsRated)
{
    const struct {
        const char* name;
        std::function<std::shared_ptr<host::ITestElement>()> make;
        bool pass;
    } cases[] = {
        {"ECG passed", [] { return ztest::CTestEcg::Create(); }, true},
        {"ECG failed", [] { return ztest::CTestEcg::Create(); }, false},
        {"normal sinus", [] { return ztest::CTestNSW::Create(); }, true},
        {"performance", [] { return ztest::CTestPerf::Create(); }, false},
        {"arrhythmia", [] { return ztest::CTestArr::Create(); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        auto element = c.make();
        const auto begun = ElapsedMs();
        auto context = Perform(element, zop::WaveRecipe(c.pass));
        // The verdict came 1.5 s into the 7 s hold and ended it.
        EXPECT_LT(ElapsedMs() - begun, 3000);
        ASSERT_FALSE(Commands().empty());
        EXPECT_EQ(Commands().back(), "ZERO");
        EXPECT_EQ(analyzer->Model().Output(), "ZERO");
        EXPECT_EQ(Status(element), c.pass ? 1 : 2);
        EXPECT_GE(context->ResultChangedCount(), 1);
        EXPECT_EQ(context->Navigation(), 0);
    }
}

TEST_F(WaveHoldTests, VerdictAfterTheHoldRatesAtOnce)
{
    auto element = ztest::CTestNSW::Create();
    SettingsOf<ztest::CConfigNSW>(element)->SetDuration(1);
    // The operator watches the whole hold and judges once the run is back to ready; what the
    // window shows right after the click is noted before anyone presses Next.
    int32_t statusAfterVerdict = -1;
    bool nextAfterVerdict = false;
    std::size_t heardAtVerdict = 0;
    Perform(element, [&](zop::Operator& op) {
        op.AddRule({"judge late", [](const zop::Scene& scene) { return scene.Ready(); }, 50ms,
                    [&](zop::Operator& self, const zop::Scene&) {
                        self.Judge(true);
                        statusAfterVerdict = Status(element);
                        nextAfterVerdict = zop::GuideWindowScene().Look().Usable(button::Next);
                        heardAtVerdict = Commands().size();
                    },
                    1, "start"});
    });
    // The hold ended by its time with "ZERO"; the verdict came afterwards and rated the run at
    // once, inside the window, and let the operator go on.
    EXPECT_EQ(heardAtVerdict, 3u);
    EXPECT_EQ(statusAfterVerdict, 1);
    EXPECT_TRUE(nextAfterVerdict);
    EXPECT_EQ(Commands(), (Strings{"THRESH=40,2.00", "NSB30", "ZERO"}));
    EXPECT_EQ(Status(element), 1);
}

TEST_F(WaveHoldTests, VerdictOnAFreshElementRatesNothing)
{
    // Nothing was run: a click in the verdict column neither rates the record nor changes what
    // the toolbar offers (no finished form); Next then leaves the record unrated.
    for (auto make : {+[]() -> std::shared_ptr<host::ITestElement> { return ztest::CTestNSW::Create(); },
                      +[]() -> std::shared_ptr<host::ITestElement> { return ztest::CTestEcg::Create(); }}) {
        auto element = make();
        SCOPED_TRACE(element->TestID());
        int32_t statusAfterVerdict = -1;
        bool judged = false;
        std::map<int, zop::ButtonState> before;
        std::map<int, zop::ButtonState> after;
        op->ClearRules();
        op->AddRule({"judge", [](const zop::Scene& scene) { return scene.Ready(); }, 50ms,
                     [&](zop::Operator& self, const zop::Scene& scene) {
                         before = scene.buttons;
                         judged = self.Judge(true);
                         statusAfterVerdict = Status(element);
                         after = zop::GuideWindowScene().Look().buttons;
                         // The host's own Next (the toolbar offers none).
                         for (const auto& form : plat::LoadedForms())
                             if (auto guide = std::dynamic_pointer_cast<ztest::FZARVIKTestGuide>(form))
                                 guide->NextTest.Fire();
                     },
                     1, ""});
        context = std::make_shared<host::HostTestContext>();
        element->Perform(context);
        EXPECT_TRUE(judged);
        EXPECT_EQ(statusAfterVerdict, 0);
        ASSERT_EQ(after.size(), before.size());
        for (const auto& [id, state] : before) {
            EXPECT_EQ(after[id].enabled, state.enabled) << id;
            EXPECT_EQ(after[id].caption, state.caption) << id;
        }
        EXPECT_EQ(after[button::Start].caption, "Start");
        EXPECT_EQ(context->Navigation(), 0);
        EXPECT_EQ(Status(element), 0);
        EXPECT_EQ(context->ResultChangedCount(), 0);
        EXPECT_EQ(Commands(), Strings{});
    }
}

TEST_F(WaveHoldTests, OnlyAVerdictOnThisRunsWaveRatesTheRun)
{
    struct Case {
        const char* name;
        std::function<std::shared_ptr<host::ITestElement>()> make;
        // The command the analyzer answers slowly, so that a verdict comes while it goes out.
        const char* slow;
        const char* wave;
    };
    const Case cases[] = {
        {"normal sinus", [] { return ztest::CTestNSW::Create(); }, "THRESH", "NSB30"},
        {"performance",
         [] {
             auto element = ztest::CTestPerf::Create();
             SettingsOf<ztest::CConfigPerf>(element)->SetWavetype(301);
             return element;
         },
         "PERFLEAD", "SQU"},
        {"arrhythmia", [] { return ztest::CTestArr::Create(); }, "VENTPACE", "AF1"},
        {"ECG", [] { return ztest::CTestEcg::Create(); }, "", "THRESH"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A verdict clicked before Start, on the unrated record, and a hold that then ends by its
        // time without one: the run is not rated from the early click.
        {
            analyzer->ClearLogs();
            analyzer->Faults().Clear();
            auto element = c.make();
            SetHold(element, 1);
            std::optional<bool> doneAfterRun;
            auto context = Perform(element, [&](zop::Operator& op) {
                op.AddRule({"early verdict", [](const zop::Scene& scene) { return scene.Ready(); }, 20ms,
                            [](zop::Operator& self, const zop::Scene&) { self.Judge(true); }, 1, ""});
                op.AddRule({"after the run", [](const zop::Scene& scene) { return scene.Ready() || scene.Done(); },
                            0ms, [&](zop::Operator&, const zop::Scene& scene) { doneAfterRun = scene.Done(); }, 1,
                            "start"});
            });
            EXPECT_NE(CountHeard(c.wave), 0) << "the wave was shown";
            EXPECT_EQ(Status(element), 0);
            EXPECT_EQ(VerdictOf(element->Result()), "");
            // Nobody judged the run: the window is back in its initial ready form.
            EXPECT_EQ(doneAfterRun, std::optional<bool>(false));
        }
        // A verdict clicked while the commands still go out stops the run before the wave: the
        // stored, failed record stays as it was.
        if (*c.slow) {
            analyzer->ClearLogs();
            analyzer->Faults().Clear();
            auto element = c.make();
            Perform(element, zop::WaveRecipe(false));
            ASSERT_EQ(Status(element), 2);
            const auto stored = element->Result();
            analyzer->ClearLogs();
            analyzer->Faults().Add(Fault::Delay(500ms).For(c.slow));
            auto context = Perform(element, [](zop::Operator& op) {
                op.ClearRules();
                op.AddRule({"start again", [](const zop::Scene& scene) { return scene.Done(); }, 100ms,
                            [](zop::Operator& self, const zop::Scene&) { self.Press(button::Start, false); }, 1, ""});
                op.AddRule({"verdict while sending", [](const zop::Scene& scene) { return scene.Running(); }, 200ms,
                            [](zop::Operator& self, const zop::Scene&) { self.Judge(true); }, 1, "start again"});
                op.AddRule({"leave", [](const zop::Scene& scene) { return scene.Done() || scene.Ready(); }, 100ms,
                            [](zop::Operator& self, const zop::Scene&) { self.Press(button::Next); }, -1,
                            "verdict while sending"});
            });
            EXPECT_EQ(CountHeard(c.wave), 0) << ::testing::PrintToString(Commands());
            EXPECT_EQ(element->Result(), stored);
            EXPECT_EQ(Status(element), 2);
            EXPECT_EQ(context->ResultChangedCount(), 0);
            EXPECT_EQ(context->Navigation(), 0);
        }
    }
}

// A verdict clicked where no run of the window has shown its wave (before Start in a window
// reopened on the element, after a rerun that put the stored record back, after a run an error
// broke off) is not taken: the record keeps its verdict, status and stamp, the view shows what it
// showed, and nothing is reported.
TEST_F(WaveHoldTests, AVerdictNoRunOfTheWindowShowedRatesNothing)
{
    using Maker = std::function<std::shared_ptr<host::ITestElement>()>;
    const Maker nsw = [] { return ztest::CTestNSW::Create(); };
    const Maker arr = [] { return ztest::CTestArr::Create(); };
    const Maker perf = [] {
        auto element = ztest::CTestPerf::Create();
        SettingsOf<ztest::CConfigPerf>(element)->SetWavetype(301);
        return element;
    };
    const Maker ecg = [] { return ztest::CTestEcg::Create(); };
    const Maker ecgStepped = [] {
        auto element = ztest::CTestEcg::Create();
        SettingsOf<ztest::CConfigEcg>(element)->SetAutoIncrement(ztest::CConfigEcg::StepWidth);
        return element;
    };
    // The windows before the one with the click.
    auto unjudged = [this](const std::shared_ptr<host::ITestElement>& element) {
        SetHold(element, 1);
        Perform(element, NoVerdict);
        EXPECT_EQ(Status(element), 0);
    };
    auto passed = [this](const std::shared_ptr<host::ITestElement>& element) {
        Perform(element, zop::WaveRecipe(true));
        EXPECT_EQ(Status(element), 1);
    };
    auto aborted = [this](const std::shared_ptr<host::ITestElement>& element) {
        Perform(element, [](zop::Operator& op) {
            op.AddBoxRule({"", "", plat::vbYes, -1});
            op.AddRule({"abort in the hold", [](const zop::Scene& scene) { return scene.Running(); }, 500ms,
                        [](zop::Operator& self, const zop::Scene&) { self.Press(button::Abort); }, 1, ""});
        });
        EXPECT_EQ(element->Result(), nullptr);
    };
    const struct {
        const char* name;
        Maker make;
        std::function<void(const std::shared_ptr<host::ITestElement>&)> earlier;
        // Faults of a rerun in the window before the click; none: the click comes before Start.
        std::optional<Fault> rerun;
    } cases[] = {
        {"normal sinus, before Start after an unjudged wave", nsw, unjudged, std::nullopt},
        {"arrhythmia, before Start after an unjudged wave", arr, unjudged, std::nullopt},
        {"performance, before Start after an unjudged wave", perf, unjudged, std::nullopt},
        {"ECG, before Start after an unjudged wave", ecg, unjudged, std::nullopt},
        {"arrhythmia, before Start after an abort in the hold", arr, aborted, std::nullopt},
        {"ECG, before Start after an abort in the hold", ecg, aborted, std::nullopt},
        {"performance, before Start over a judged record", perf, passed, std::nullopt},
        {"normal sinus, on the record a refused threshold put back", nsw, passed, Fault::Reply("ERR=02").For("THRESH")},
        {"ECG, after the port failed under the stepped threshold", ecgStepped, passed,
         Fault::PortFailure().For("THRESH=180").Always()},
    };
    struct Held {
        std::shared_ptr<host::IResultData> record;
        int32_t status = -1;
        std::string verdict;
        int32_t mtiid = -1;
        std::string shown;
    };
    const auto look = [](const std::shared_ptr<host::ITestElement>& element) {
        Held held;
        held.record = element->Result();
        if (held.record) {
            held.status = held.record->Status();
            held.verdict = VerdictOf(held.record);
            held.mtiid = held.record->MTIID();
        }
        const auto scene = zop::GuideWindowScene().Look();
        if (!scene.resultRows.empty()) held.shown = scene.resultRows[0].status;
        return held;
    };
    const auto expectSame = [](const Held& before, const Held& after) {
        EXPECT_EQ(after.record, before.record);
        EXPECT_EQ(after.status, before.status);
        EXPECT_EQ(after.verdict, before.verdict);
        EXPECT_EQ(after.mtiid, before.mtiid);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        auto element = c.make();
        c.earlier(element);
        SetHold(element, 1);
        if (c.rerun) analyzer->Faults().Add(*c.rerun);

        Held before;
        Held after;
        bool judged = false;
        auto context = Perform(element, [&](zop::Operator& op) {
            op.ClearRules();
            const auto atRest = [](const zop::Scene& scene) { return scene.Ready() || scene.Done(); };
            if (c.rerun) {
                op.AddRule({"start again", atRest, 100ms,
                            [](zop::Operator& self, const zop::Scene&) { self.Press(button::Start, false); }, 1, ""});
            }
            op.AddRule({"judge", atRest, 50ms,
                        [&](zop::Operator& self, const zop::Scene&) {
                            before = look(element);
                            judged = self.Judge(before.verdict != "passed");
                            after = look(element);
                            FireNext();
                        },
                        1, c.rerun ? "start again" : ""});
        });
        ASSERT_TRUE(judged);
        EXPECT_NE(before.record, nullptr);
        expectSame(before, after);
        EXPECT_EQ(after.shown, before.shown);
        expectSame(before, look(element));
        EXPECT_EQ(context->ResultChangedCount(), 0);
        EXPECT_EQ(context->Navigation(), 0);
    }
}

TEST_F(WaveHoldTests, ARerunWithoutAWavePutsTheStoredRecordBack)
{
    struct Case {
        const char* name;
        std::function<void()> breakIt;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"threshold refused", [this] { analyzer->Faults().Add(Fault::Reply("ERR=02").For("THRESH")); },
         {"Unexpected response from MTI."}},
        {"no analyzer", [] { plat::PortMap::SetOverride(1, "no-such-device-here"); }, {"No MTI was found connected"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        plat::PortMap::SetOverride(1, Device);
        auto element = ztest::CTestNSW::Create();
        Perform(element, zop::WaveRecipe(true));
        ASSERT_EQ(Status(element), 1);
        const auto stored = element->Result();
        const auto stamp = stored->MTIID();
        analyzer->ClearLogs();

        c.breakIt();
        const std::size_t boxesBefore = op->Boxes().size();
        std::shared_ptr<host::IResultData> duringRun;
        bool doneAfterRun = false;
        auto context = Perform(element, [&](zop::Operator& op) {
            op.ClearRules();
            op.AddRule({"start again", [](const zop::Scene& scene) { return scene.Done(); }, 100ms,
                        [&](zop::Operator& self, const zop::Scene&) {
                            self.Press(button::Start, false);
                        },
                        1, ""});
            op.AddRule({"look", [](const zop::Scene& scene) { return scene.Running(); }, 0ms,
                        [&](zop::Operator&, const zop::Scene&) { duringRun = element->Result(); }, 1, ""});
            op.AddRule({"leave", [](const zop::Scene& scene) { return scene.Done() || scene.Ready(); }, 100ms,
                        [&](zop::Operator& self, const zop::Scene& scene) {
                            doneAfterRun = scene.Done();
                            self.Press(button::Next);
                        },
                        -1, "start again"});
        });
        std::vector<std::string> boxes;
        for (std::size_t i = boxesBefore; i < op->Boxes().size(); ++i) boxes.push_back(op->Boxes()[i].prompt);
        ASSERT_EQ(boxes.size(), c.boxes.size()) << ::testing::PrintToString(boxes);
        for (std::size_t i = 0; i < boxes.size(); ++i) EXPECT_NE(boxes[i].find(c.boxes[i]), std::string::npos);
        EXPECT_NE(duringRun, stored) << "the run showed a fresh record";
        EXPECT_EQ(element->Result(), stored);
        EXPECT_EQ(Status(element), 1);
        EXPECT_EQ(element->Result()->MTIID(), stamp);
        EXPECT_TRUE(doneAfterRun) << "the window shows the stored result in its finished form";
        EXPECT_EQ(context->ResultChangedCount(), 0);
        EXPECT_EQ(Commands().size(), c.name == std::string("no analyzer") ? 0u : 1u);
    }
    plat::PortMap::SetOverride(1, Device);
}

// A run judged passed in its hold, started again from its finished window: the rerun's hold
// ends by its time with no verdict, so the window is back in its ready form, not the finished
// form of the judged run, and the record the rerun leaves reads unjudged.
TEST_F(WaveHoldTests, ARerunOfAJudgedWindowEndsUnjudged)
{
    auto element = ztest::CTestNSW::Create();
    int32_t judgedStatus = -1;
    std::optional<zop::Scene> afterRerun;
    Perform(element, [&](zop::Operator& op) {
        zop::WaveRecipe(true)(op);
        op.RemoveRule("next");
        op.RemoveRule("leave unrated");
        op.AddRule({"start again", [](const zop::Scene& scene) { return scene.Done(); }, 100ms,
                    [&](zop::Operator& self, const zop::Scene&) {
                        judgedStatus = Status(element);
                        self.Press(button::Start, false);
                    },
                    1, "judge"});
        op.AddRule({"after the rerun", [](const zop::Scene& scene) { return scene.Ready() || scene.Done(); }, 100ms,
                    [&](zop::Operator&, const zop::Scene& scene) {
                        afterRerun = scene;
                        FireNext();
                    },
                    1, "start again"});
    });
    EXPECT_EQ(judgedStatus, 1);
    EXPECT_EQ(CountHeard("NSB30"), 2) << "both runs showed the wave";
    ASSERT_TRUE(afterRerun);
    EXPECT_TRUE(afterRerun->Ready()) << "button 202 reads " << afterRerun->Button(button::Start).caption;
    EXPECT_EQ(afterRerun->statusValue, 0);
    EXPECT_EQ(Status(element), 0);
    EXPECT_EQ(VerdictOf(element->Result()), "");
}

TEST_F(WaveHoldTests, AHoldLastsItsTimeFromTheAcceptedWave)
{
    // The wave tests hold d seconds from the accepted wave; the ECG test d + 1 ticks of its
    // one-second ticker. Measured from the analyzer's hearing of the wave to its hearing of
    // "ZERO".
    const struct {
        const char* name;
        std::function<std::shared_ptr<host::ITestElement>()> make;
        const char* wave;
        int extraSeconds;
    } cases[] = {
        {"normal sinus", [] { return ztest::CTestNSW::Create(); }, "NSB", 0},
        {"arrhythmia", [] { return ztest::CTestArr::Create(); }, "AF1", 0},
        {"performance",
         [] {
             auto element = ztest::CTestPerf::Create();
             SettingsOf<ztest::CConfigPerf>(element)->SetWavetype(301);
             return element;
         },
         "SQU", 0},
        {"ECG", [] { return ztest::CTestEcg::Create(); }, "THRESH", 1},
    };
    for (const auto& c : cases) {
        for (int32_t seconds : {1, 4}) {
            SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(seconds) + " s");
            analyzer->ClearLogs();
            auto element = c.make();
            SetHold(element, seconds);
            Perform(element, NoVerdict);
            std::vector<int64_t> wave;
            for (const auto& heard : analyzer->HeardLog())
                if (heard.command.rfind(c.wave, 0) == 0)
                    wave.push_back(std::chrono::duration_cast<plat::Millis>(heard.at - start).count());
            const auto zero = TimesOf("ZERO");
            ASSERT_EQ(wave.size(), 1u);
            ASSERT_EQ(zero.size(), 1u);
            const int64_t held = zero[0] - wave[0];
            const int64_t expected = (seconds + c.extraSeconds) * 1000;
            // The hold's timer starts once the wave's reply is in.
            EXPECT_NEAR(held, expected + analyzer->ReplyDelay().count(), 5);
        }
    }
}

TEST_F(WaveHoldTests, DurationZeroHoldsUntilStop)
{
    auto element = ztest::CTestNSW::Create();
    SettingsOf<ztest::CConfigNSW>(element)->SetDuration(0);
    PressAt(button::Stop, 60s);
    Perform(element, NoVerdict);
    EXPECT_EQ(Commands(), (Strings{"THRESH=40,2.00", "NSB30", "ZERO"}));
    const auto zero = TimesOf("ZERO");
    ASSERT_EQ(zero.size(), 1u);
    EXPECT_GE(zero[0], 60000);
    EXPECT_EQ(analyzer->Model().Output(), "ZERO");
}

TEST_F(WaveHoldTests, RepliesGateTheHold)
{
    const struct {
        const char* name;
        bool performance;
        Fault fault;
        Strings heard;
        bool box;
    } cases[] = {
        {"lead refused", true, Fault::Reply("ERR=01").For("PERFLEAD"), {"PERFLEAD=I"}, true},
        {"wave refused", true, Fault::Reply("ERR=01").For("ZERO"), {"PERFLEAD=I", "ZERO"}, true},
        {"lead answered oddly", true, Fault::Reply("HUH").For("PERFLEAD"), {"PERFLEAD=I"}, false},
        {"negative code", true, Fault::Reply("ERR=-1").For("PERFLEAD"), {"PERFLEAD=I"}, false},
        // The threshold was taken before the wave was refused: the analyzer is zeroed.
        {"sinus wave refused", false, Fault::Reply("ERR=01").For("NSB"), {"THRESH=40,2.00", "NSB30", "ZERO"}, true},
        {"threshold refused", false, Fault::Reply("ERR=02").For("THRESH"), {"THRESH=40,2.00"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        analyzer->Faults().Add(c.fault);
        std::shared_ptr<host::ITestElement> element;
        if (c.performance) {
            element = ztest::CTestPerf::Create();
        } else {
            element = ztest::CTestNSW::Create();
        }
        const std::size_t boxes = op->Boxes().size();
        Perform(element, NoVerdict);
        EXPECT_EQ(Commands(), c.heard);
        EXPECT_EQ(c.box, op->Boxes().size() > boxes && op->Boxes().back().prompt.find(kUnexpected) != std::string::npos);
        EXPECT_EQ(analyzer->Model().Output(), "ZERO");
        EXPECT_EQ(Status(element), 0);
    }
}

TEST_F(WaveHoldTests, ArrhythmiaStoppedInTheSecondWait)
{
    auto element = ztest::CTestArr::Create();
    SettingsOf<ztest::CConfigArr>(element)->SetWavetype(ztest::CConfigArr::WaveAtrioventricularSequential);
    // Stop comes 10 ms into the 25 ms wait that follows the first command's reply.
    analyzer->Faults().Add(Fault::Delay(500ms).For("VENTPACE"));
    plat::Timer pressed;
    bool armed = false;
    plat::Timer watch = TestLoop().StartPeriodic(1ms, [&] {
        if (armed || analyzer->HeardLog().empty()) return;
        armed = true;
        pressed = TestLoop().StartOneShot(510ms, [&] { op->Press(button::Stop); });
    });
    Perform(element, NoVerdict);
    watch.Stop();
    // Stopped on the idle link, the analyzer is zeroed whatever went out last.
    EXPECT_EQ(Commands(), (Strings{"VENTPACE=1.0,100", "ZERO"}));
    EXPECT_EQ(analyzer->Model().Output(), "ZERO");

    // Unstopped, all three commands go out, an error reply notwithstanding, and the hold runs.
    analyzer->ClearLogs();
    analyzer->Faults().Add(Fault::Reply("ERR=02").For("ATRPACE"));
    auto again = ztest::CTestArr::Create();
    SettingsOf<ztest::CConfigArr>(again)->SetWavetype(ztest::CConfigArr::WaveNoncapture);
    SettingsOf<ztest::CConfigArr>(again)->SetDuration(1);
    Perform(again, NoVerdict);
    EXPECT_EQ(Commands(), (Strings{"VENTPACE=1.0,100", "ATRPACE=0.1,100", "NCA", "ZERO"}));
}

TEST_F(WaveHoldTests, HugeHoldTimeHoldsUntilAbortAndZeroes)
{
    // A hold time whose milliseconds leave the 32-bit range holds (indefinitely here) instead of
    // failing; Abort ends it, and the analyzer is zeroed.
    EXPECT_EQ(ztest::CWaveHoldTest::HoldInterval(3000000), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ztest::CWaveHoldTest::HoldInterval(-5), 0);
    auto element = ztest::CTestPerf::Create();
    SettingsOf<ztest::CConfigPerf>(element)->SetDuration(3000000);
    PressAt(button::Abort, 5s);
    op->AddBoxRule({"", "", 6, -1});
    auto context = Perform(element, NoVerdict);
    ASSERT_FALSE(Commands().empty());
    EXPECT_EQ(Commands().back(), "ZERO");
    EXPECT_EQ(context->Navigation(), 2);
    EXPECT_EQ(element->Result(), nullptr);
}

TEST_F(WaveHoldTests, StartButtonDuringTheHoldStopsIt)
{
    auto element = ztest::CTestNSW::Create();
    SettingsOf<ztest::CConfigNSW>(element)->SetDuration(5);
    // While the run goes on, the start button's face is "Stop".
    PressAt(button::Start, 1s);
    Perform(element, NoVerdict);
    EXPECT_EQ(Commands(), (Strings{"THRESH=40,2.00", "NSB30", "ZERO"}));
    const auto zero = TimesOf("ZERO");
    ASSERT_EQ(zero.size(), 1u);
    EXPECT_LT(zero[0], 2000);
}

TEST_F(WaveHoldTests, EcgNegativeDurationHoldsUntilStop)
{
    auto element = ztest::CTestEcg::Create();
    SettingsOf<ztest::CConfigEcg>(element)->SetDuration(-3);
    PressAt(button::Stop, 30s);
    Perform(element, NoVerdict);
    EXPECT_EQ(Commands(), (Strings{"THRESH=160,0.50", "ZERO"}));
    const auto zero = TimesOf("ZERO");
    ASSERT_EQ(zero.size(), 1u);
    EXPECT_GE(zero[0], 30000);
}

TEST_F(WaveHoldTests, LimitsAndListsOfTheFamily)
{
    auto element = ztest::CTestEcg::Create();
    element->Initialize("ZARVIK", 1100, 0);
    EXPECT_FALSE(element->Limits()->HasDialog());
    EXPECT_TRUE(element->GetMeasurementList().IsEmpty());
    auto copy = element->Clone();
    EXPECT_FALSE(copy->Limits()->HasDialog());
}

} // namespace
