// The ECG R-wave and the three wave hold tests when the port fails under one of their commands
// (the link raises its error with its one box, and the run ends there and rates nothing) and
// when the analyzer goes in the hold.
#include "host/interfaces/IMeasurement.h"
#include "host/interfaces/IResultData.h"
#include "operator/recipes/SimulationRecipes.h"
#include "platform/ui/MessageBox.h"
#include "simulator/Fault.h"
#include "testlib/config/CConfigEcg.h"
#include "testlib/config/CConfigSimWave.h"
#include "testlib/elements/CTestArr.h"
#include "testlib/elements/CTestEcg.h"
#include "testlib/elements/CTestNSW.h"
#include "testlib/elements/CTestPerf.h"
#include "tests/testlib/elements/SimulationFixture.h"
#include "tests/testlib/elements/WaveRunSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using zsim::Fault;

class WaveLinkError : public ztesting::SimulationFixture {};

// The commands of a run of the element, each of which the port may fail under: the wave
// commands of its configuration, after what its run sends before them.
std::vector<std::string> Exchanges(const std::shared_ptr<host::ITestElement>& element, std::vector<std::string> before)
{
    auto settings = std::dynamic_pointer_cast<ztest::CConfigSimWave>(element->Configuration());
    if (!settings) return before;
    for (const int32_t step : {1, 0}) {
        std::string command = settings->GetStepCommand(step);
        while (!command.empty() && (command.back() == '\n' || command.back() == '\r')) command.pop_back();
        // "ZERO" (a configuration's wave that is no wave) is also the command of every exit.
        if (!command.empty() && command != "ZERO") before.push_back(command);
    }
    return before;
}

TEST_F(WaveLinkError, APortThatFailsUnderACommandEndsTheRunWithTheLinksBox)
{
    const struct {
        const char* name;
        std::function<std::shared_ptr<host::ITestElement>()> make;
        std::vector<std::string> before;
    } types[] = {
        {"ECG R-wave", [] { return ztest::CTestEcg::Create(); }, {"THRESH"}},
        // The second, stepped threshold, after the first one's hold showed its wave.
        {"ECG R-wave stepping its width",
         [] {
             auto element = ztest::CTestEcg::Create();
             auto settings = std::dynamic_pointer_cast<ztest::CConfigEcg>(element->Configuration());
             settings->SetAutoIncrement(ztest::CConfigEcg::StepWidth);
             settings->SetDuration(1);
             return element;
         },
         {"THRESH=180"}},
        {"normal sinus wave", [] { return ztest::CTestNSW::Create(); }, {}},
        {"arrhythmia", [] { return ztest::CTestArr::Create(); }, {"VENTPACE"}},
        {"performance", [] { return ztest::CTestPerf::Create(); }, {}},
    };
    for (const auto& type : types) {
        for (const auto& command : Exchanges(type.make(), type.before)) {
            SCOPED_TRACE(std::string(type.name) + ", the port fails under " + command);
            analyzer->ClearLogs();
            analyzer->Faults().Clear();
            analyzer->Faults().Add(Fault::PortFailure().For(command).Always());
            auto element = type.make();
            const std::size_t before = op->Boxes().size();
            // No verdict: the run must end by the failure alone. A verdict clicked once the run
            // has ended rates nothing: the record in hand is not the run's.
            bool judged = false;
            auto context = Perform(element, [&](zop::Operator& op) {
                op.AddRule({"judge after the run", [](const zop::Scene& scene) { return scene.Ready() || scene.Done(); },
                            std::chrono::milliseconds(0),
                            [&](zop::Operator& self, const zop::Scene&) { judged = self.Judge(true); }, 1, "start"});
            });

            std::vector<std::string> boxes;
            for (std::size_t i = before; i < op->Boxes().size(); ++i) boxes.push_back(op->Boxes()[i].prompt);
            EXPECT_EQ(boxes, std::vector<std::string>{"Error #68\r\nDevice unavailable (I/O error)"});
            const auto heard = Commands();
            const auto failed = std::find_if(heard.begin(), heard.end(),
                                             [&](const std::string& h) { return h.rfind(command, 0) == 0; });
            ASSERT_NE(failed, heard.end()) << ::testing::PrintToString(heard);
            // Nothing after the failure but the analyzer's output put back to zero.
            for (auto it = failed + 1; it != heard.end(); ++it) EXPECT_EQ(*it, "ZERO");
            ASSERT_NE(element->Result(), nullptr);
            EXPECT_EQ(element->Result()->Status(), 0);
            EXPECT_TRUE(judged);
            EXPECT_TRUE(element->Result()->Measurement(plat::Variant(int32_t{1}))->value().IsEmpty());
            EXPECT_EQ(context->ResultChangedCount(), 0);
            EXPECT_FALSE(std::dynamic_pointer_cast<ztest::CTestElement>(element)->Busy());
        }
    }
}

// The analyzer unplugged 0.5 s into the hold: no command goes out until the hold's closing
// "ZERO", which the analyzer leaves unanswered. That lost link is told with the link's box, as
// every other exchange tells it, the link is not released, and the run's wave, which the monitor
// may never have shown, is judged by no one: a verdict clicked in the hold, while the "ZERO"
// waits or after the run is not taken, and the record from before the run is back.
TEST_F(WaveLinkError, AnAnalyzerLostInTheHoldIsToldAndNoVerdictOfThatHoldIsTaken)
{
    enum class When { InTheHold, WhileZeroWaits, AfterTheRun };
    const struct {
        const char* name;
        When when;
    } verdicts[] = {
        {"verdict in the hold", When::InTheHold},
        {"verdict while the closing ZERO waits", When::WhileZeroWaits},
        {"verdict after the run", When::AfterTheRun},
    };
    for (const auto& type : ztesting::WaveTypes()) {
        for (const bool rerun : {false, true}) {
            for (const auto& verdict : verdicts) {
                SCOPED_TRACE(std::string(type.name) + (rerun ? ", a rerun of a passed test, " : ", ") + verdict.name);
                analyzer->ClearLogs();
                analyzer->Faults().Clear();
                auto element = type.make();
                ztesting::SetHold(element, 3);
                std::shared_ptr<host::IResultData> stored;
                if (rerun) {
                    Perform(element, zop::WaveRecipe(true));
                    ASSERT_EQ(element->Result()->Status(), 1);
                    stored = element->Result();
                    analyzer->ClearLogs();
                }
                const std::size_t boxes = op->Boxes().size();
                bool judged = false;
                bool unplugged = false;
                plat::Timer watch = TestLoop().StartPeriodic(std::chrono::milliseconds(1), [&] {
                    if (unplugged) return;
                    for (const auto& heard : analyzer->HeardLog()) {
                        if (heard.command.rfind(type.wave, 0) != 0) continue;
                        unplugged = true;
                        timers.push_back(TestLoop().StartOneShot(std::chrono::milliseconds(500), [this] {
                            analyzer->Faults().Add(Fault::Silence().Always());
                        }));
                        // In the hold, or well after its 3 s, while the link retries "ZERO".
                        const auto at = verdict.when == When::InTheHold ? 1500 : 7000;
                        if (verdict.when != When::AfterTheRun) {
                            timers.push_back(TestLoop().StartOneShot(std::chrono::milliseconds(at), [&] {
                                judged = op->Judge(true);
                            }));
                        }
                        return;
                    }
                });
                auto context = Perform(element, [&](zop::Operator& op) {
                    op.ClearRules();
                    const auto atRest = [](const zop::Scene& scene) { return scene.Ready() || scene.Done(); };
                    op.AddRule({"start", atRest, std::chrono::milliseconds(100),
                                [](zop::Operator& self, const zop::Scene& scene) {
                                    self.Press(zop::button::Start, scene.Ready());
                                },
                                1, ""});
                    op.AddRule({"after the run", atRest, std::chrono::milliseconds(100),
                                [&](zop::Operator& self, const zop::Scene&) {
                                    if (verdict.when == When::AfterTheRun) judged = self.Judge(true);
                                    FireGuide(&ztest::FZARVIKTestGuide::NextTest);
                                },
                                1, "start"});
                });
                watch.Stop();
                for (auto& timer : timers) timer.Stop();
                timers.clear();

                EXPECT_TRUE(judged);
                std::vector<std::string> shown;
                for (std::size_t i = boxes; i < op->Boxes().size(); ++i) shown.push_back(op->Boxes()[i].prompt);
                EXPECT_EQ(shown.size(), 1u) << ::testing::PrintToString(shown);
                if (!shown.empty()) {
                    EXPECT_NE(shown[0].find("No MTI was found connected"), std::string::npos) << shown[0];
                    EXPECT_EQ(op->Boxes().back().title, "Zarvik instrument link");
                    EXPECT_EQ(op->Boxes().back().style, plat::vbExclamation);
                }
                EXPECT_EQ(CountHeard("LOC"), 1) << "a lost link is not released";
                if (!element->Result()) {
                    ADD_FAILURE() << "no record";
                } else if (rerun) {
                    EXPECT_EQ(element->Result(), stored);
                    EXPECT_EQ(element->Result()->Status(), 1);
                } else {
                    EXPECT_EQ(element->Result()->Status(), 0);
                    EXPECT_EQ(ztesting::VerdictOf(element->Result()), "");
                    EXPECT_EQ(context->ResultChangedCount(), 0);
                }
                EXPECT_EQ(context->Navigation(), 0);
                EXPECT_FALSE(std::dynamic_pointer_cast<ztest::CTestElement>(element)->Busy());
            }
        }
    }
}

} // namespace
