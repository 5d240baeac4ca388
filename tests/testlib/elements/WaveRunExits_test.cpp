// Every way out of a run of the four wave tests, on an element that holds a passed record from
// an earlier window: what the analyzer heard, the boxes shown, the navigation and what became of
// the stored record.
#include "host/documents/HostErrorRaiser.h"
#include "host/documents/HostLoadLog.h"
#include "host/documents/HostXmlDocument.h"
#include "host/interfaces/IResultData.h"
#include "platform/base/RegistryStore.h"
#include "host/units/HostMtiSettings.h"
#include "operator/GuideWindowScene.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "testlib/config/CConfigArr.h"
#include "testlib/config/CConfigEcg.h"
#include "testlib/config/CConfigNSW.h"
#include "testlib/config/CConfigPerf.h"
#include "testlib/config/CConfigSimWave.h"
#include "testlib/elements/CTestArr.h"
#include "testlib/elements/CTestEcg.h"
#include "testlib/elements/CTestNSW.h"
#include "testlib/elements/CTestPerf.h"
#include "tests/support/TempFolder.h"
#include "tests/testlib/elements/SimulationFixture.h"
#include "tests/testlib/elements/WaveRunSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <string_view>

namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using zsim::Fault;
using ztesting::SetHold;
namespace button = zop::button;

using Maker = std::function<std::shared_ptr<host::ITestElement>()>;

const Maker kNsw = [] { return ztest::CTestNSW::Create(); };
// The performance test with a wave other than zero output.
const Maker kPerf = [] {
    auto element = ztest::CTestPerf::Create();
    std::dynamic_pointer_cast<ztest::CConfigPerf>(element->Configuration())->SetWavetype(301);
    return element;
};
const Maker kArr = [] { return ztest::CTestArr::Create(); };
const Maker kEcg = [] { return ztest::CTestEcg::Create(); };
// The ECG test stepping its width from index 9: thresholds 160, 180 and 200, one hold each.
const Maker kEcgStepped = [] {
    auto element = ztest::CTestEcg::Create();
    std::dynamic_pointer_cast<ztest::CConfigEcg>(element->Configuration())->SetAutoIncrement(ztest::CConfigEcg::StepWidth);
    return element;
};
// The arrhythmia test with a wave that paces atrially: three commands.
const Maker kArrAtrial = [] {
    auto element = ztest::CTestArr::Create();
    std::dynamic_pointer_cast<ztest::CConfigArr>(element->Configuration())
        ->SetWavetype(ztest::CConfigArr::WaveAtrioventricularSequential);
    return element;
};

constexpr const char* kNoMti = "No MTI was found connected";
constexpr const char* kUnexpected = "Unexpected response from MTI.";

// What becomes of the record that the element held before the run.
enum class Record {
    Kept,    // the stored, passed record, as it was
    Removed, // no record (Abort, Skip)
    Fresh,   // the run's own record, without a verdict
    Skipped, // rated as skipped (N/A)
};

// Where the operator (or the host) acts during the run: a time after the analyzer heard a
// command (its prefix; "LOC" is the link's opening), and what is done.
struct Act {
    const char* after = nullptr;
    plat::Millis delay{0};
    int button = 0;
};

class WaveRunExits : public ztesting::SimulationFixture {
protected:
    // A passed record from an earlier window; the hold lasts 3 s.
    std::shared_ptr<host::ITestElement> Passed(const Maker& make)
    {
        analyzer->Faults().Clear();
        auto element = make();
        SetHold(element, 3);
        Perform(element, zop::WaveRecipe(true));
        EXPECT_EQ(element->Result() ? element->Result()->Status() : -1, 1);
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        return element;
    }

    // Runs the element again from button 202's menu; the act (if any) comes during the run and
    // the operator leaves with Next once the window is back to rest.
    std::shared_ptr<host::HostTestContext> Rerun(const std::shared_ptr<host::ITestElement>& element, const Act& act,
                                                 std::function<void(bool)> around = {})
    {
        std::optional<std::size_t> seenAt;
        bool acted = false;
        plat::Timer watch;
        if (act.after) {
            watch = TestLoop().StartPeriodic(1ms, [&, act] {
                if (acted) return;
                const auto& log = analyzer->HeardLog();
                for (std::size_t i = 0; i < log.size() && !seenAt; ++i)
                    if (log[i].command.rfind(act.after, 0) == 0) seenAt = i;
                if (!seenAt) return;
                acted = true;
                timers.push_back(TestLoop().StartOneShot(act.delay, [this, act] { PressOrFire(act.button); }));
            });
        }
        auto context = Perform(element, [&](zop::Operator& op) {
            op.ClearRules();
            op.AddBoxRule({"", "", plat::vbYes, -1});
            // The run goes on inside the press; once it is over the operator reads the window
            // and leaves with Next.
            op.AddRule({"start again", [](const zop::Scene& scene) { return scene.Done(); }, 100ms,
                        [&](zop::Operator& self, const zop::Scene&) {
                            if (around) around(true);
                            self.Press(button::Start, false);
                            if (around) around(false);
                            const auto scene = zop::GuideWindowScene().Look();
                            doneAfterRun = scene.Done();
                            timers.push_back(TestLoop().StartOneShot(100ms, [&self] { self.Press(button::Next); }));
                        },
                        1, ""});
        });
        watch.Stop();
        // Nothing pressed for this run reaches the next window.
        for (auto& timer : timers) timer.Stop();
        timers.clear();
        EXPECT_TRUE(!act.after || acted) << "the run never reached " << act.after;
        return context;
    }

    // Whether the window showed its finished form ("Next" on button 202) once the rerun was over.
    bool doneAfterRun = false;

    // Presses a toolbar button; one that the toolbar does not offer during a run comes as the
    // window's event, as from a host that navigates on its own.
    void PressOrFire(int id)
    {
        if (op->Press(id)) return;
        for (const auto& form : plat::LoadedForms()) {
            auto guide = std::dynamic_pointer_cast<ztest::FZARVIKTestGuide>(form);
            if (!guide) continue;
            if (id == button::Skip) guide->Skip.Fire();
            if (id == button::Previous) guide->Previous.Fire();
            if (id == button::NotApplicable) guide->NA.Fire();
            if (id == button::Next) guide->NextTest.Fire();
        }
    }

    std::vector<std::string> Commands() const
    {
        std::vector<std::string> commands;
        for (const auto& command : analyzer->Commands())
            if (command != "LOC") commands.push_back(command);
        return commands;
    }
    std::vector<std::string> BoxesSince(std::size_t from) const
    {
        std::vector<std::string> prompts;
        for (std::size_t i = from; i < op->Boxes().size(); ++i) prompts.push_back(op->Boxes()[i].prompt);
        return prompts;
    }
};

struct Exit {
    const char* name;
    Maker make;
    std::function<void(zsim::Analyzer&)> faults;
    Act act;
    Strings heard;
    int navigation;
    Record record;
    // The box shown (a part of its prompt), if any.
    const char* box;
};

// What the analyzer heard when the link gave up on a command: the commands before it, then the
// command and the link's two retries.
Strings Thrice(const std::string& command, Strings before = {})
{
    for (int i = 0; i < 3; ++i) before.push_back(command);
    return before;
}

void ExpectRecord(const std::shared_ptr<host::ITestElement>& element, const std::shared_ptr<host::IResultData>& stored,
                  Record record, int changes)
{
    const auto result = element->Result();
    switch (record) {
    case Record::Kept:
        EXPECT_EQ(result, stored);
        EXPECT_EQ(result ? result->Status() : -1, 1);
        EXPECT_EQ(changes, 0) << "nothing changed";
        break;
    case Record::Removed: EXPECT_EQ(result, nullptr); break;
    case Record::Fresh:
        EXPECT_NE(result, stored);
        EXPECT_EQ(result ? result->Status() : -1, 0);
        EXPECT_GE(changes, 1);
        break;
    case Record::Skipped:
        EXPECT_EQ(result ? result->Status() : -1, 3);
        EXPECT_GE(changes, 1);
        break;
    }
}

TEST_F(WaveRunExits, EveryExitOfARun)
{
    auto silence = [](const char* command) {
        return [command](zsim::Analyzer& a) { a.Faults().Add(Fault::Silence().For(command).Always()); };
    };
    auto none = [](zsim::Analyzer&) {};
    auto slow = [](const char* command) {
        return [command](zsim::Analyzer& a) { a.Faults().Add(Fault::Delay(300ms).For(command)); };
    };
    auto refuse = [](const char* command) {
        return [command](zsim::Analyzer& a) { a.Faults().Add(Fault::Reply("ERR=02").For(command)); };
    };
    const Exit exits[] = {
        // The link lost at each exchange (the command goes out three times): its one box, no
        // release, no "ZERO" on the lost link, the stored record kept.
        {"time-out: threshold", kNsw, silence("THRESH"), {}, Thrice("THRESH=40,2.00"), 0, Record::Kept, kNoMti},
        {"time-out: sinus wave", kNsw, silence("NSB"), {}, Thrice("NSB30", {"THRESH=40,2.00"}), 0, Record::Kept, kNoMti},
        {"time-out: lead", kPerf, silence("PERFLEAD"), {}, Thrice("PERFLEAD=I"), 0, Record::Kept, kNoMti},
        {"time-out: performance wave", kPerf, silence("SQU"), {}, Thrice("SQU", {"PERFLEAD=I"}), 0, Record::Kept,
         kNoMti},
        {"time-out: ventricular pacing", kArr, silence("VENTPACE"), {}, Thrice("VENTPACE=1.0,100"), 0, Record::Kept,
         kNoMti},
        {"time-out: atrial pacing", kArrAtrial, silence("ATRPACE"), {}, Thrice("ATRPACE=0.1,100", {"VENTPACE=1.0,100"}),
         0, Record::Kept, kNoMti},
        {"time-out: arrhythmia wave", kArr, silence("AF1"), {}, Thrice("AF1", {"VENTPACE=1.0,100"}), 0, Record::Kept,
         kNoMti},
        {"time-out: ECG threshold", kEcg, silence("THRESH"), {}, Thrice("THRESH=160,0.50"), 0, Record::Kept, kNoMti},
        // After the first hold showed its wave: a run that lost the link stores nothing, and its
        // wave, which the monitor may never have shown, is judged by no one.
        {"time-out: second ECG threshold", kEcgStepped, silence("THRESH=180"), {},
         Thrice("THRESH=180,0.50", {"THRESH=160,0.50"}), 0, Record::Kept, kNoMti},
        // Stop in each wait: "ZERO" on the idle link, whatever went out last.
        {"stop before the threshold", kNsw, none, {"LOC", 20ms, button::Stop}, {"ZERO"}, 0, Record::Kept, nullptr},
        {"stop after the threshold", kNsw, none, {"THRESH", 15ms, button::Stop}, {"THRESH=40,2.00", "ZERO"}, 0,
         Record::Kept, nullptr},
        {"stop after the lead", kPerf, none, {"PERFLEAD", 60ms, button::Stop}, {"PERFLEAD=I", "ZERO"}, 0, Record::Kept,
         nullptr},
        {"stop after ventricular pacing", kArr, none, {"VENTPACE", 15ms, button::Stop}, {"VENTPACE=1.0,100", "ZERO"},
         0, Record::Kept, nullptr},
        {"stop after atrial pacing", kArrAtrial, none, {"ATRPACE", 15ms, button::Stop},
         {"VENTPACE=1.0,100", "ATRPACE=0.1,100", "ZERO"}, 0, Record::Kept, nullptr},
        {"stop before the ECG threshold", kEcg, none, {"LOC", 20ms, button::Stop}, {"ZERO"}, 0, Record::Kept, nullptr},
        // Stop while the wave command waits for its reply: the wave was never shown.
        {"stop while the sinus wave goes out", kNsw, slow("NSB"), {"NSB", 100ms, button::Stop},
         {"THRESH=40,2.00", "NSB30", "ZERO"}, 0, Record::Kept, nullptr},
        {"stop while the arrhythmia wave goes out", kArr, slow("AF1"), {"AF1", 100ms, button::Stop},
         {"VENTPACE=1.0,100", "AF1", "ZERO"}, 0, Record::Kept, nullptr},
        {"stop while the ECG threshold goes out", kEcg, slow("THRESH"), {"THRESH", 100ms, button::Stop},
         {"THRESH=160,0.50", "ZERO"}, 0, Record::Kept, nullptr},
        // The ECG test's Stop aborts the link's exchange: no retries, no lost link.
        {"stop against a silent ECG analyzer", kEcg, silence("THRESH"), {"THRESH", 100ms, button::Stop},
         {"THRESH=160,0.50", "ZERO"}, 0, Record::Kept, nullptr},
        // Stop while a command goes out that the analyzer then refuses: a refused first wave or
        // threshold set nothing going, so nothing is zeroed; after an earlier command of the run
        // (a pacing or lead command, the ECG's first step) "ZERO" follows on the idle link.
        {"stop meets the refused threshold", kNsw, refuse("THRESH"), {"THRESH", 3ms, button::Stop},
         {"THRESH=40,2.00"}, 0, Record::Kept, kUnexpected},
        {"stop meets the refused performance wave", kPerf, refuse("SQU"), {"SQU", 3ms, button::Stop},
         {"PERFLEAD=I", "SQU", "ZERO"}, 0, Record::Kept, nullptr},
        {"stop meets the refused arrhythmia wave", kArr, refuse("AF1"), {"AF1", 3ms, button::Stop},
         {"VENTPACE=1.0,100", "AF1", "ZERO"}, 0, Record::Kept, nullptr},
        // A run stopped (or left) in its hold is a stopped run, as in every other test: it stores
        // nothing and the passed record is back. Only a hold that runs to its end, or that a
        // verdict ends, completes the run.
        {"stop meets the refused second ECG threshold", kEcgStepped, refuse("THRESH=180"),
         {"THRESH=180", 3ms, button::Stop}, {"THRESH=160,0.50", "THRESH=180,0.50", "ZERO"}, 0, Record::Kept, nullptr},
        {"stop in the hold", kNsw, none, {"NSB", 300ms, button::Stop}, {"THRESH=40,2.00", "NSB30", "ZERO"}, 0,
         Record::Kept, nullptr},
        {"stop in the ECG hold", kEcg, none, {"THRESH", 300ms, button::Stop}, {"THRESH=160,0.50", "ZERO"}, 0,
         Record::Kept, nullptr},
        // Nothing pressed: the hold runs to its end, and the completed run's own record reads
        // unjudged.
        {"the hold runs to its end", kNsw, none, {}, {"THRESH=40,2.00", "NSB30", "ZERO"}, 0, Record::Fresh, nullptr},
        {"the stepped ECG holds run to their end", kEcgStepped, none, {},
         {"THRESH=160,0.50", "THRESH=180,0.50", "THRESH=200,0.50", "ZERO"}, 0, Record::Fresh, nullptr},
        // Abort in each wait: "ZERO", navigation 2, the record removed.
        {"abort before the lead", kPerf, none, {"LOC", 20ms, button::Abort}, {"ZERO"}, 2, Record::Removed, nullptr},
        {"abort after ventricular pacing", kArr, none, {"VENTPACE", 15ms, button::Abort},
         {"VENTPACE=1.0,100", "ZERO"}, 2, Record::Removed, nullptr},
        {"abort in the hold", kArr, none, {"AF1", 300ms, button::Abort}, {"VENTPACE=1.0,100", "AF1", "ZERO"}, 2,
         Record::Removed, nullptr},
        {"abort in the ECG hold", kEcg, none, {"THRESH", 300ms, button::Abort}, {"THRESH=160,0.50", "ZERO"}, 2,
         Record::Removed, nullptr},
        // Navigation during a run ends it first.
        {"skip in the hold", kNsw, none, {"NSB", 300ms, button::Skip}, {"THRESH=40,2.00", "NSB30", "ZERO"}, 3,
         Record::Removed, nullptr},
        {"previous in the hold", kPerf, none, {"SQU", 300ms, button::Previous}, {"PERFLEAD=I", "SQU", "ZERO"}, 1,
         Record::Kept, nullptr},
        {"N/A in the hold", kEcg, none, {"THRESH", 300ms, button::NotApplicable}, {"THRESH=160,0.50", "ZERO"}, 0,
         Record::Skipped, nullptr},
        {"N/A before the wave", kNsw, none, {"THRESH", 15ms, button::NotApplicable}, {"THRESH=40,2.00", "ZERO"}, 0,
         Record::Skipped, nullptr},
    };
    for (const auto& exit : exits) {
        SCOPED_TRACE(exit.name);
        auto element = Passed(exit.make);
        const auto stored = element->Result();
        exit.faults(*analyzer);
        const std::size_t boxes = op->Boxes().size();
        auto context = Rerun(element, exit.act);
        EXPECT_EQ(Commands(), exit.heard);
        const auto shown = BoxesSince(boxes);
        if (exit.box) {
            ASSERT_EQ(shown.size(), 1u) << ::testing::PrintToString(shown);
            EXPECT_NE(shown[0].find(exit.box), std::string::npos) << shown[0];
            // A lost link is not released.
            if (std::string_view(exit.box) == kNoMti) {
                EXPECT_EQ(CountHeard("LOC"), 1);
            }
        } else {
            for (const auto& prompt : shown) EXPECT_EQ(prompt.find("MTI"), std::string::npos) << prompt;
        }
        EXPECT_EQ(context->Navigation(), exit.navigation);
        ExpectRecord(element, stored, exit.record, context->ResultChangedCount());
        // A window left open shows the stored result in its finished form, a fresh one ready.
        if (exit.record == Record::Kept) {
            EXPECT_TRUE(doneAfterRun);
        } else if (exit.record == Record::Fresh && exit.navigation == 0) {
            EXPECT_FALSE(doneAfterRun);
        }
        EXPECT_FALSE(std::dynamic_pointer_cast<ztest::CTestElement>(element)->Busy());
    }
}

TEST_F(WaveRunExits, TheLinkNotIdleAfterOpeningRunsNothing)
{
    const std::string corrupt = registry.Folder() + "/corrupt";
    std::ofstream(corrupt) << "not a registry";
    for (const Maker& make : {kNsw, kPerf, kArr, kEcg}) {
        auto element = Passed(make);
        SCOPED_TRACE(element->TestID());
        const auto stored = element->Result();
        const std::size_t boxes = op->Boxes().size();
        host::HostErrorRaiser::ReportCapture reports;
        // An unreadable registry while the run opens the link breaks the opening without an
        // error of the link's own: it is reported, and the link is left not idle.
        auto context = Rerun(element, {}, [&](bool starting) {
            if (starting) {
                host::HostMtiSettings::ClearPortOverrides();
                plat::SetRegistryPath(corrupt);
            } else {
                plat::SetRegistryPath(registry.File());
                host::HostMtiSettings::SetPortOverride("ZARVIK", 1);
            }
        });
        EXPECT_EQ(Commands(), Strings{});
        EXPECT_EQ(BoxesSince(boxes), Strings{});
        EXPECT_EQ(reports.Reports().size(), 1u);
        EXPECT_TRUE(doneAfterRun);
        EXPECT_EQ(context->Navigation(), 0);
        ExpectRecord(element, stored, Record::Kept, context->ResultChangedCount());
    }
}

TEST_F(WaveRunExits, AnErrorOfTheRunItselfIsShownAndKeepsTheStoredRecord)
{
    for (const Maker& make : {kNsw, kPerf, kArr, kEcg}) {
        // A passed record loaded into a new element, which has no link yet; without the link's
        // class, making it fails inside the run.
        auto original = Passed(make);
        SCOPED_TRACE(original->TestID());
        auto document = host::HostXmlDocument::Create();
        auto element = make();
        element->Load(original->Result()->Save(document), std::make_shared<host::HostLoadLog>());
        const auto stored = element->Result();
        ASSERT_NE(stored, nullptr);
        ASSERT_EQ(stored->Status(), 1);
        const std::string link = std::string(ZARVIK_LIBRARY_DIR) + "/libtelvoZarvikVti.so";
        plat::UnregisterServerLibrary(link);
        const std::size_t boxes = op->Boxes().size();
        auto context = Rerun(element, {});
        plat::RegisterServerLibrary(link);
        const auto shown = BoxesSince(boxes);
        ASSERT_EQ(shown.size(), 1u) << ::testing::PrintToString(shown);
        EXPECT_EQ(shown[0].rfind("Error #", 0), 0u) << shown[0];
        EXPECT_EQ(Commands(), Strings{});
        EXPECT_TRUE(doneAfterRun);
        ExpectRecord(element, stored, Record::Kept, context->ResultChangedCount());
    }
}

} // namespace
