// Every way a run of the discharge family (100, 200, 300, 1000), the battery test (900) and
// the pacer tests (700, 800) can end before it stores a result, as one table per exit over the
// types: a lost link at each exchange, Stop and Abort in each wait, Skip, Previous and N/A
// pressed during a run, a link that is not idle after opening, a port that fails inside a
// poll, and an error that StartTest traps itself.
#include "host/interfaces/IResultData.h"
#include "platform/serial/PortMap.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "simulator/Fault.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "testlib/elements/CTestBatCap.h"
#include "testlib/elements/CTestCardio.h"
#include "testlib/elements/CTestCharge.h"
#include "testlib/elements/CTestDefib.h"
#include "testlib/elements/CTestEnergy.h"
#include "testlib/elements/CTestPacerPar.h"
#include "testlib/elements/CTestPacerRef.h"
#include "tests/testlib/elements/DefibRunSupport.h"
#include "tests/testlib/elements/SimulationFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using zop::Scene;
using zsim::Fault;
namespace button = zop::button;
using Trigger = std::function<bool(const Scene&)>;

// An element whose StartTest fails in its own frame once told to (the window's text for the
// run cannot be shown).
template <class Test>
class FailingStart : public Test {
public:
    static std::shared_ptr<FailingStart> Make()
    {
        auto element = std::make_shared<FailingStart>();
        element->Construct();
        return element;
    }
    bool fail = false;

protected:
    void ShowRunInProgress() override
    {
        if (fail) throw plat::ComError(plat::rt::Overflow, "test", "Overflow");
        Test::ShowRunInProgress();
    }
};

// A wait of a run: when the scene shows it (after the delay).
struct RunWait {
    const char* name;
    Trigger shows;
    plat::Millis delay;
    // What keeps the run in this wait long enough (an analyzer that has no data yet).
    std::optional<Fault> hold;
};

// One test type as the tables see it.
struct RunType {
    const char* name;
    std::function<std::shared_ptr<host::ITestElement>()> make;
    // An element of the type whose StartTest fails when its flag is set.
    std::function<std::shared_ptr<host::ITestElement>(std::function<void(bool)>&)> makeFailing;
    // The commands of a run, in order (prefixes), each of which may find the link lost.
    std::vector<const char*> exchanges;
    // The command that the run polls with, until the analyzer has data.
    const char* poll;
    std::vector<RunWait> waits;
};

template <class Test>
RunType Type(const char* name, std::vector<const char*> exchanges, const char* poll, std::vector<RunWait> waits)
{
    return RunType{name,
                   [] { return Test::Create(); },
                   [](std::function<void(bool)>& setFail) {
                       auto element = FailingStart<Test>::Make();
                       setFail = [element](bool fail) { element->fail = fail; };
                       return element;
                   },
                   std::move(exchanges), poll, std::move(waits)};
}

bool PopupSays(const Scene& s, const char* part)
{
    return s.popupVisible && s.popupMessage.find(part) != std::string::npos;
}

const RunWait kShockPoll{"poll", [](const Scene& s) { return s.Shows("TI:SHOCK"); }, 700ms, std::nullopt};
const RunWait kRangeLoop{"range loop", [](const Scene& s) { return s.Running(); }, 1500ms,
                         Fault::Reply("BUSY").For("DEFRANGE").Always()};
const RunWait kRefractoryWait{"count-down", [](const Scene& s) { return s.popupVisible && s.popupMessage.find("Wait for 100 ") != std::string::npos; }, 0ms,
                              Fault::Silence().For("PACEREFRACT").Always()};
const RunWait kNoDataPoll{"poll", [](const Scene& s) { return s.Running(); }, 1500ms,
                          Fault::Reply("NODATA").For("QDATA").Always()};

std::vector<RunType> Types()
{
    return {
        Type<ztest::CTestEnergy>("energy", {"ENERGYMODE", "DEFRANGE", "DEFIBWAVE", "QDATA", "ENERGYDATA"}, "QDATA",
                                 {kRangeLoop, kShockPoll}),
        Type<ztest::CTestCharge>("charge time", {"MAXEMODE", "DEFRANGE", "DEFIBWAVE", "MAXESTART", "QDATA", "MAXEDATA"},
                                 "QDATA",
                                 {{"count-down", [](const Scene& s) { return PopupSays(s, "Standby"); }, 1500ms, std::nullopt},
                                  kShockPoll}),
        Type<ztest::CTestCardio>("cardioversion", {"CARDIOMODE", "DEFRANGE", "CARDIOWAVE", "QDATA", "CARDIODATA"}, "QDATA",
                                 {kRangeLoop, kShockPoll}),
        Type<ztest::CTestDefib>("pulse repetition", {"ENERGYMODE", "DEFRANGE", "QDATA", "ENERGYDATA"}, "QDATA",
                                {{"budget count-down", [](const Scene& s) { return PopupSays(s, "seconds left"); }, 10s,
                                  std::nullopt}}),
        Type<ztest::CTestBatCap>(
            "battery capacity", {"MAXEMODE", "DEFRANGE", "MAXESTART", "QDATA", "MAXEDATA"}, "QDATA",
            {{"standby", [](const Scene& s) { return PopupSays(s, "Standby to initiate charge in 3 "); }, 0ms, std::nullopt},
             {"active phase", [](const Scene& s) { return PopupSays(s, "repeatedly for 30 "); }, 0ms, std::nullopt},
             {"idle phase", [](const Scene& s) { return PopupSays(s, "Standby to initiate charge in 30 "); }, 0ms,
              std::nullopt}}),
        Type<ztest::CTestPacerPar>("pacer parameters", {"PACELOAD", "PACEPMODE", "QDATA", "PACEPDATA"}, "QDATA",
                                   {kNoDataPoll}),
        Type<ztest::CTestPacerRef>("pacer refractory", {"PACELOAD"}, "PACEREFRACT",
                                   {kRefractoryWait}),
    };
}

class RunExits : public ztesting::DefibRun {
protected:
    RunExits() { ztesting::PlacePacemaker(*op, analyzer); }

    // A run with the type's recipe (and the rules the test adds after it) in a fresh context;
    // the boxes the run showed of its own (the Abort confirmation aside).
    std::vector<std::string> Run(const std::shared_ptr<host::ITestElement>& element,
                                 const std::function<void()>& addRules = {})
    {
        UseRecipe(element->TestID());
        op->AddBoxRule({"", "", plat::vbYes, -1});
        if (addRules) addRules();
        context = std::make_shared<host::HostTestContext>();
        const std::size_t before = op->Boxes().size();
        element->Perform(context);
        std::vector<std::string> boxes;
        for (std::size_t i = before; i < op->Boxes().size(); ++i) {
            const auto& box = op->Boxes()[i];
            if (box.prompt.find("abort") != std::string::npos || box.prompt.find("Abort") != std::string::npos) continue;
            boxes.push_back(box.prompt);
        }
        return boxes;
    }

    void Fresh()
    {
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        said.clear();
    }

    // The commands heard from the first time the analyzer heard the command on.
    std::vector<std::string> HeardFrom(plat::TimePoint at) const
    {
        std::vector<std::string> commands;
        for (const auto& heard : analyzer->HeardLog())
            if (heard.at >= at) commands.push_back(heard.command);
        return commands;
    }

    static bool Says(const std::vector<std::string>& boxes, const std::string& part)
    {
        return boxes.size() == 1 && boxes[0].find(part) != std::string::npos;
    }
};

// The link lost at each exchange of a run: the link's one box, no release, nothing rated.
TEST_F(RunExits, ALinkLostAtEachExchangeIsToldOnceAndRatesNothing)
{
    for (const RunType& type : Types()) {
        for (const char* command : type.exchanges) {
            SCOPED_TRACE(std::string(type.name) + ", lost at " + command);
            Fresh();
            analyzer->Faults().Add(Fault::Silence().For(command).Always());
            auto element = type.make();
            const auto boxes = Run(element);
            EXPECT_TRUE(Says(boxes, "No MTI was found")) << ::testing::PrintToString(boxes);
            EXPECT_EQ(CountOf("LOC"), 1) << "released after a lost link";
            ASSERT_NE(element->Result(), nullptr);
            EXPECT_EQ(element->Result()->Status(), 0);
            EXPECT_EQ(context->ResultChangedCount(), 0);
        }
    }
}

// Stop and Abort in each wait of a run: the run ends at once without a word, nothing more is
// asked but the release; Stop leaves the record unrated, Abort removes it.
TEST_F(RunExits, StopAndAbortInEachWaitEndTheRunAtOnce)
{
    for (const RunType& type : Types()) {
        for (const RunWait& wait : type.waits) {
            for (const int pressed : {button::Stop, button::Abort}) {
                SCOPED_TRACE(std::string(type.name) + ", " + wait.name + (pressed == button::Stop ? ", Stop" : ", Abort"));
                Fresh();
                if (wait.hold) analyzer->Faults().Add(*wait.hold);
                auto element = type.make();
                std::optional<plat::TimePoint> pressedAt;
                const auto boxes = Run(element, [&] {
                    op->AddRule({"press", wait.shows, wait.delay,
                                 [&, pressed](zop::Operator& self, const Scene&) {
                                     pressedAt = Now();
                                     self.Press(pressed);
                                 },
                                 1, ""});
                });
                EXPECT_TRUE(boxes.empty()) << ::testing::PrintToString(boxes);
                ASSERT_TRUE(pressedAt);
                // The release, and the operator's moment to read the window and leave.
                EXPECT_LE(Now() - *pressedAt, 1000ms);
                for (const auto& command : HeardFrom(*pressedAt + 1ms)) EXPECT_EQ(command, "LOC");
                EXPECT_FALSE(std::dynamic_pointer_cast<ztest::CTestElement>(element)->Busy());
                if (pressed == button::Stop) {
                    ASSERT_NE(element->Result(), nullptr);
                    EXPECT_EQ(element->Result()->Status(), 0);
                    EXPECT_EQ(context->ResultChangedCount(), 0);
                } else {
                    EXPECT_EQ(context->Navigation(), host::HostTestContext::NavigateAbort);
                    EXPECT_EQ(element->Result(), nullptr);
                }
            }
        }
    }
}

// Skip, Previous and N/A while a run goes on (from a host that navigates on its own): the run
// ends first; Skip removes the record, Previous leaves it unrated, N/A rates it not applicable.
TEST_F(RunExits, NavigationDuringARunEndsItFirst)
{
    const struct {
        const char* name;
        plat::Event<> ztest::FZARVIKTestGuide::*event;
        int32_t navigation;
        int32_t status; // -1: no record
    } exits[] = {
        {"Skip", &ztest::FZARVIKTestGuide::Skip, host::HostTestContext::NavigateSkip, -1},
        {"Previous", &ztest::FZARVIKTestGuide::Previous, host::HostTestContext::NavigatePrevious, 0},
        {"N/A", &ztest::FZARVIKTestGuide::NA, host::HostTestContext::NavigateNext, 3},
    };
    for (const RunType& type : Types()) {
        const RunWait& wait = type.waits.back();
        for (const auto& exit : exits) {
            SCOPED_TRACE(std::string(type.name) + ", " + exit.name);
            Fresh();
            if (wait.hold) analyzer->Faults().Add(*wait.hold);
            auto element = type.make();
            std::optional<plat::TimePoint> pressedAt;
            const auto boxes = Run(element, [&] {
                op->AddRule({"navigate", wait.shows, wait.delay,
                             [&](zop::Operator&, const Scene&) {
                                 pressedAt = Now();
                                 FireGuide(exit.event);
                             },
                             1, ""});
            });
            EXPECT_TRUE(boxes.empty()) << ::testing::PrintToString(boxes);
            ASSERT_TRUE(pressedAt);
            for (const auto& command : HeardFrom(*pressedAt + 1ms)) EXPECT_EQ(command, "LOC");
            EXPECT_EQ(context->Navigation(), exit.navigation);
            EXPECT_EQ(element->Result() ? element->Result()->Status() : -1, exit.status);
            EXPECT_FALSE(std::dynamic_pointer_cast<ztest::CTestElement>(element)->Busy());
            const std::size_t heard = analyzer->HeardLog().size();
            FastForwardBy(5s);
            EXPECT_EQ(analyzer->HeardLog().size(), heard) << "asked after the window closed";
        }
    }
}

// No analyzer on the port: the link's one box, nothing sent, nothing rated.
TEST_F(RunExits, ALinkThatIsNotIdleAfterOpeningRatesNothing)
{
    for (const RunType& type : Types()) {
        SCOPED_TRACE(type.name);
        Fresh();
        plat::PortMap::SetOverride(1, "no-such-device-here");
        auto element = type.make();
        const auto boxes = Run(element);
        plat::PortMap::SetOverride(1, Device);
        EXPECT_TRUE(Says(boxes, "No MTI was found")) << ::testing::PrintToString(boxes);
        EXPECT_TRUE(analyzer->HeardLog().empty());
        ASSERT_NE(element->Result(), nullptr);
        EXPECT_EQ(element->Result()->Status(), 0);
        EXPECT_EQ(context->ResultChangedCount(), 0);
    }
}

// The port fails inside the poll: the link raises its error with its one box, and the run
// ends there; it never polls on behind the error, and rates nothing.
TEST_F(RunExits, APortThatFailsInsideThePollEndsTheRun)
{
    for (const RunType& type : Types()) {
        SCOPED_TRACE(type.name);
        Fresh();
        analyzer->Faults().Add(Fault::PortFailure().For(type.poll).Always());
        auto element = type.make();
        const auto boxes = Run(element);
        EXPECT_EQ(boxes, std::vector<std::string>{"Error #68\r\nDevice unavailable (I/O error)"});
        EXPECT_EQ(CountHeard(type.poll), 1);
        ASSERT_NE(element->Result(), nullptr);
        EXPECT_EQ(element->Result()->Status(), 0);
        EXPECT_EQ(context->Navigation(), host::HostTestContext::NavigateNext);
        EXPECT_EQ(context->ResultChangedCount(), 0);
        EXPECT_FALSE(std::dynamic_pointer_cast<ztest::CTestElement>(element)->Busy());
    }
}

// An error that StartTest traps itself: its "Error #" box, and the stored, stamped result of the
// run before is kept as it was.
TEST_F(RunExits, StartTestsOwnErrorKeepsTheStoredResult)
{
    for (const RunType& type : Types()) {
        SCOPED_TRACE(type.name);
        Fresh();
        std::function<void(bool)> setFail;
        auto element = type.makeFailing(setFail);
        // A first visit stores a result: not applicable, stamped and reported.
        op->ClearRules();
        PressWhen("na", [](const Scene& s) { return s.Ready(); }, button::NotApplicable);
        context = std::make_shared<host::HostTestContext>();
        element->Perform(context);
        auto stored = element->Result();
        ASSERT_NE(stored, nullptr);
        ASSERT_EQ(stored->Status(), 3);

        setFail(true);
        op->ClearRules();
        op->AddRule({"start", [](const Scene& s) { return s.Done(); }, 100ms,
                     [](zop::Operator& self, const Scene&) { self.Press(button::Start, false); }, 1, ""});
        // The run ends over the stored record, which is rated: the window shows its finished
        // form again, and the operator leaves once the error box is answered.
        op->AddBoxRule({"Error #", "", plat::vbOK, 1}, [](zop::Operator& self) { self.Press(button::Next); });
        const std::size_t before = op->Boxes().size();
        context = std::make_shared<host::HostTestContext>();
        element->Perform(context);
        ASSERT_EQ(op->Boxes().size(), before + 1);
        EXPECT_EQ(op->Boxes().back().prompt, "Error #6\r\nOverflow");
        EXPECT_TRUE(analyzer->HeardLog().empty());
        EXPECT_EQ(element->Result(), stored);
        EXPECT_EQ(stored->Status(), 3);
        EXPECT_EQ(context->ResultChangedCount(), 0);
    }
}

} // namespace
