// The ECG R-wave and the three wave hold tests when the port fails under one of their commands:
// the link raises its error with its one box, and the run ends there and rates nothing.
#include "host/interfaces/IMeasurement.h"
#include "host/interfaces/IResultData.h"
#include "operator/recipes/SimulationRecipes.h"
#include "simulator/Fault.h"
#include "testlib/config/CConfigEcg.h"
#include "testlib/config/CConfigSimWave.h"
#include "testlib/elements/CTestArr.h"
#include "testlib/elements/CTestEcg.h"
#include "testlib/elements/CTestNSW.h"
#include "testlib/elements/CTestPerf.h"
#include "tests/testlib/elements/SimulationFixture.h"

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

} // namespace
