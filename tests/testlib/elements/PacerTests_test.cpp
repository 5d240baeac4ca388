// The pacer parameter and pacer refractory tests run in the window with the operator against
// the simulated analyzer, in virtual time.
#include "host/documents/HostRegistry.h"
#include "host/elements/HostTestElement.h"
#include "platform/base/ComError.h"
#include "host/interfaces/IMeasurement.h"
#include "tests/testlib/elements/SimulationFixture.h"
#include "testlib/config/CConfigPacerPar.h"
#include "testlib/config/CConfigPacerRef.h"
#include "testlib/results/CResultPacerPar.h"
#include "testlib/results/CResultPacerRef.h"
#include "testlib/elements/CTestPacerPar.h"
#include "testlib/elements/CTestPacerRef.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using zsim::Fault;

constexpr const char* kUnexpected = "Unexpected response from MTI.";
constexpr const char* kOverload = "MODULE OVERLOAD!";
constexpr const char* kNoPacer = "NO Pacer detected";
constexpr const char* kNoAdapter = "No Adapter detected";
constexpr const char* kNoData = "NO data!";

bool Contains(const Strings& texts, const std::string& part)
{
    return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return t.find(part) != std::string::npos; });
}

int Count(const Strings& texts, const std::string& text)
{
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

plat::Variant Value(const std::shared_ptr<host::ITestElement>& element, const char* key)
{
    auto result = element->Result();
    auto measurement = result ? result->Measurement(plat::Variant(std::string(key))) : nullptr;
    return measurement ? measurement->value() : plat::Variant();
}

class PacerTests : public ztesting::SimulationFixture {
protected:
    std::shared_ptr<ztest::CTestPacerPar> Parameters(int16_t adapterIndex = 0)
    {
        auto element = ztest::CTestPacerPar::Create();
        std::dynamic_pointer_cast<ztest::CConfigPacerPar>(element->Configuration())->SetAdapterIndex(adapterIndex);
        return element;
    }
    std::shared_ptr<ztest::CTestPacerRef> Refractory()
    {
        return ztest::CTestPacerRef::Create();
    }
    std::shared_ptr<ztest::CTestPacerRef> RefractoryWithAdapter()
    {
        auto element = Refractory();
        std::dynamic_pointer_cast<ztest::CConfigPacerRef>(element->Configuration())->SetAdapterIndex(1);
        return element;
    }
    int32_t Status(const std::shared_ptr<host::ITestElement>& element) { return element->Result()->Status(); }
};

TEST_F(PacerTests, InternalLoadMeasuresAndRatesBeforeTheWindowCloses)
{
    auto element = Parameters();
    // The status as the window shows the result, before the operator presses Next.
    int32_t statusInTheWindow = -1;
    auto context = Perform(element, [&](zop::Operator& self) {
        zop::RecipeBook::Standard().Apply(ztest::CTestPacerPar::TypeCode, self);
        self.AddRule({"look", [](const zop::Scene& scene) { return scene.Done(); }, 0ms,
                      [&](zop::Operator&, const zop::Scene&) { statusInTheWindow = Status(element); }, 1, ""});
    });
    EXPECT_EQ(statusInTheWindow, 1);
    EXPECT_EQ(Commands(), (Strings{"PACELOAD=INT", "PACEPMODE", "QDATA", "PACEPDATA"}));
    EXPECT_EQ(analyzer->Model().Load(), "INT");
    EXPECT_DOUBLE_EQ(Value(element, "PACR").AsDouble(), 60.0);
    EXPECT_DOUBLE_EQ(Value(element, "PACC").AsDouble(), 0.05);
    EXPECT_DOUBLE_EQ(Value(element, "PACW").AsDouble(), 1.0);
    EXPECT_EQ(Status(element), 1);
    EXPECT_TRUE(op->Boxes().empty());
}

TEST_F(PacerTests, AdapterCheckComesBeforeTheLoad)
{
    const struct {
        const char* name;
        bool adapter;
        std::optional<std::string> adapterReply;
        Strings heard;
        const char* box;
        int32_t status;
    } cases[] = {
        {"adapter present", true, std::nullopt, {"QADAPTER", "PACELOAD=ADAP1", "PACEPMODE", "QDATA", "PACEPDATA"}, nullptr, 1},
        // After the box the operator connects the adapter and starts again.
        {"no adapter", false, std::nullopt, {"QADAPTER", "QADAPTER", "PACELOAD=ADAP1", "PACEPMODE", "QDATA", "PACEPDATA"},
         kNoAdapter, 1},
        {"reply that is no number", true, std::string("ERR=01"),
         {"QADAPTER", "QADAPTER", "PACELOAD=ADAP1", "PACEPMODE", "QDATA", "PACEPDATA"}, kNoAdapter, 1},
        {"one-character answer", true, std::string("1"), {"QADAPTER", "PACELOAD=ADAP1", "PACEPMODE", "QDATA", "PACEPDATA"},
         nullptr, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        if (c.adapterReply) analyzer->Faults().Add(Fault::Reply(*c.adapterReply).For("QADAPTER"));
        auto element = Parameters(1);
        Perform(element, zop::PacerRecipe(c.adapter));
        EXPECT_EQ(Commands(), c.heard);
        EXPECT_EQ(c.box != nullptr, Contains(BoxPrompts(), c.box ? c.box : "?"));
        EXPECT_EQ(Status(element), c.status);
    }
}

// The adapter check left by Stop or a lost link: the run ends at once, with no box of its own,
// no load and no result, in both pacer tests.
TEST_F(PacerTests, StopOrALostLinkAtTheAdapterCheckEndsTheRunUnrated)
{
    const struct {
        const char* name;
        std::function<std::shared_ptr<host::ITestElement>()> make;
        bool stop;
        Strings boxes;
    } cases[] = {
        {"parameters, Stop", [this] { return Parameters(1); }, true, {}},
        {"parameters, link lost", [this] { return Parameters(1); }, false, {"No MTI was found"}},
        {"refractory, Stop", [this] { return RefractoryWithAdapter(); }, true, {}},
        {"refractory, link lost", [this] { return RefractoryWithAdapter(); }, false, {"No MTI was found"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        analyzer->Faults().Add(Fault::Silence().For("QADAPTER").Always());
        auto element = c.make();
        const std::size_t boxes = op->Boxes().size();
        const bool stop = c.stop;
        Perform(element, [stop](zop::Operator& self) {
            zop::PacerRecipe(true)(self);
            if (stop)
                self.AddRule({"stop", [](const zop::Scene& scene) { return scene.Running(); }, 300ms,
                              [](zop::Operator& me, const zop::Scene&) { me.Press(zop::button::Stop); }, 1, ""});
        });
        EXPECT_GE(Count(Commands(), "QADAPTER"), 1);
        EXPECT_EQ(Count(Commands(), "PACELOAD=ADAP1"), 0);
        const Strings all = BoxPrompts();
        const Strings prompts(all.begin() + static_cast<std::ptrdiff_t>(boxes), all.end());
        EXPECT_EQ(prompts.size(), c.boxes.size()) << ::testing::PrintToString(prompts);
        for (std::size_t i = 0; i < std::min(prompts.size(), c.boxes.size()); ++i)
            EXPECT_NE(prompts[i].find(c.boxes[i]), std::string::npos) << prompts[i];
        EXPECT_EQ(Status(element), 0);
        EXPECT_EQ(context->ResultChangedCount(), 0);
    }
}

// Stop while the analyzer keeps answering the pacer mode "BUSY": the resending ends, nothing is
// polled and no box is shown.
TEST_F(PacerTests, StopEndsThePacerModeResending)
{
    analyzer->Faults().Add(Fault::Reply("BUSY").For("PACEPMODE").Always());
    auto element = Parameters();
    plat::TimePoint stoppedAt{};
    Perform(element, [&](zop::Operator& self) {
        zop::RecipeBook::Standard().Apply(ztest::CTestPacerPar::TypeCode, self);
        self.AddRule({"stop", [](const zop::Scene& scene) { return scene.Running(); }, 2000ms,
                      [&](zop::Operator& me, const zop::Scene&) {
                          stoppedAt = Now();
                          me.Press(zop::button::Stop);
                      },
                      1, ""});
    });
    EXPECT_GT(Count(Commands(), "PACEPMODE"), 2);
    EXPECT_EQ(Count(Commands(), "QDATA"), 0);
    EXPECT_TRUE(op->Boxes().empty()) << op->Boxes().front().prompt;
    for (const auto& heard : analyzer->HeardLog()) {
        if (heard.at > stoppedAt) {
            EXPECT_EQ(heard.command, "LOC") << "asked after the Stop";
        }
    }
    EXPECT_EQ(Status(element), 0);
}

TEST_F(PacerTests, PacerModeRepliesAndDataReplies)
{
    const struct {
        const char* name;
        std::vector<Fault> faults;
        const char* box;
        int pacerModes;
    } cases[] = {
        {"mode refused with 20", {Fault::Reply("ERR=20").For("PACEPMODE")}, kOverload, 1},
        {"mode refused with 5", {Fault::Reply("ERR=05").For("PACEPMODE")}, kUnexpected, 1},
        {"mode asked again", {Fault::Reply("BUSY").For("PACEPMODE").Times(2)}, nullptr, 3},
        {"overload as data", {Fault::Reply("MODULEOVERLOAD").For("PACEPDATA")}, kOverload, 1},
        {"no pacer", {Fault::Reply("NO PACER").For("PACEPDATA")}, kNoPacer, 1},
        {"negative error code", {Fault::Reply("ERR=-1").For("PACEPDATA")}, kUnexpected, 1},
        {"two fields", {Fault::Reply("0.05,0.001").For("PACEPDATA")}, kUnexpected, 1},
        {"unknown token", {Fault::Reply("NODATA").For("PACEPDATA")}, kUnexpected, 1},
        {"load refused", {Fault::Reply("ERR=02").For("PACELOAD")}, kUnexpected, 1},
        {"load answered oddly", {Fault::Reply("HELLO").For("PACELOAD")}, kUnexpected, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        for (const auto& fault : c.faults) analyzer->Faults().Add(fault);
        auto element = Parameters();
        Perform(element);
        EXPECT_EQ(Count(Commands(), "PACEPMODE"), c.pacerModes);
        if (c.box) {
            EXPECT_TRUE(Contains(BoxPrompts(), c.box));
            // Nothing reached the result, and the run is not rated.
            EXPECT_TRUE(Value(element, "PACW").IsEmpty());
            EXPECT_EQ(Status(element), 0);
        } else {
            EXPECT_EQ(Status(element), 1);
        }
    }
}

TEST_F(PacerTests, AdapterPollGivesUpAfterSixPollsButTheSixthMayBringData)
{
    // Five polls without data, then the pacemaker's pulses: the sixth poll's data is stored.
    analyzer->Faults().Add(Fault::Reply("NODATA").For("QDATA").Times(5));
    auto element = Parameters(1);
    Perform(element, zop::PacerRecipe(true));
    EXPECT_EQ(Count(Commands(), "QDATA"), 6);
    EXPECT_FALSE(Contains(BoxPrompts(), kNoData));
    EXPECT_EQ(Status(element), 1);

    analyzer->ClearLogs();
    analyzer->Faults().Add(Fault::Reply("NODATA").For("QDATA").Always());
    const auto start = ElapsedMs();
    auto again = Parameters(1);
    Perform(again, zop::PacerRecipe(true));
    EXPECT_EQ(Count(Commands(), "QDATA"), 6);
    EXPECT_TRUE(Contains(BoxPrompts(), kNoData));
    EXPECT_GE(ElapsedMs() - start, 12000);
    EXPECT_EQ(Status(again), 0);
}

TEST_F(PacerTests, LinkLostAtTheLoadStopsTheRunUnrated)
{
    analyzer->Faults().Add(Fault::Silence().For("PACELOAD").Always());
    auto element = Parameters();
    Perform(element);
    EXPECT_EQ(Count(Commands(), "PACEPMODE"), 0);
    EXPECT_EQ(Status(element), 0);
}

TEST_F(PacerTests, RefractoryMeasuresPacedAndSensedPeriods)
{
    auto element = Refractory();
    Perform(element);
    EXPECT_EQ(Commands(), (Strings{"PACELOAD=INT", "PACEREFRACT"}));
    EXPECT_DOUBLE_EQ(Value(element, "PACE").AsDouble(), 250.0);
    EXPECT_DOUBLE_EQ(Value(element, "SENS").AsDouble(), 300.0);
    EXPECT_EQ(Status(element), 1);
}

TEST_F(PacerTests, RefractoryCountDownWithoutReplyStoresNothing)
{
    // The measurement never ends within the link's reply time: every ask gets an empty reply
    // and is asked again, until the default count-down of 120 s runs out.
    analyzer->Model().SetRefractoryTime(std::chrono::minutes(5));
    auto element = Refractory();
    const auto start = ElapsedMs();
    Perform(element);
    EXPECT_GE(ElapsedMs() - start, 120000);
    EXPECT_LT(ElapsedMs() - start, 130000);
    EXPECT_GT(Count(Commands(), "PACEREFRACT"), 10);
    EXPECT_TRUE(Value(element, "PACE").IsEmpty());
    EXPECT_EQ(Status(element), 0);
    EXPECT_TRUE(op->Boxes().empty());
    // The count-down was shown from 119 down and is hidden again.
    EXPECT_TRUE(std::any_of(said.begin(), said.end(), [](const std::string& l) { return l.find("119") != std::string::npos; }));
    EXPECT_FALSE(zop::GuideWindowScene().Look().popupVisible);
    // The measurement asked last still runs in the analyzer when the run ends: its late answer
    // goes out to nobody, nothing is asked after the run, and the result stays empty.
    const plat::TimePoint ended = Now();
    const std::size_t heardAtEnd = analyzer->HeardLog().size();
    FastForwardBy(std::chrono::minutes(6));
    EXPECT_TRUE(std::any_of(analyzer->SentLog().begin(), analyzer->SentLog().end(), [&](const auto& sent) {
        return sent.at > ended && sent.bytes.rfind("0,", 0) == 0;
    })) << "the late answer went out";
    EXPECT_EQ(analyzer->HeardLog().size(), heardAtEnd) << "asked after the run";
    EXPECT_TRUE(Value(element, "PACE").IsEmpty());
    EXPECT_EQ(Status(element), 0);
}

// An analyzer that sends more than the three fields of the record still sends its data.
TEST_F(PacerTests, DataWithFurtherFieldsIsStored)
{
    {
        SCOPED_TRACE("parameters");
        analyzer->Faults().Add(Fault::Reply("0.05,0.0012,72.0,1,remark").For("PACEPDATA"));
        auto element = Parameters();
        Perform(element);
        EXPECT_TRUE(op->Boxes().empty());
        EXPECT_DOUBLE_EQ(Value(element, "PACR").AsDouble(), 72.0);
        EXPECT_NEAR(Value(element, "PACW").AsDouble(), 1.2, 1e-9);
        EXPECT_EQ(Status(element), 1);
    }
    {
        SCOPED_TRACE("refractory");
        analyzer->Faults().Add(Fault::Reply("0,0.250,0.300,9").For("PACEREFRACT"));
        auto element = Refractory();
        Perform(element);
        EXPECT_TRUE(op->Boxes().empty());
        EXPECT_DOUBLE_EQ(Value(element, "SENS").AsDouble(), 300.0);
        EXPECT_EQ(Status(element), 1);
    }
}

TEST_F(PacerTests, RefractoryEmptyReplyThenData)
{
    analyzer->Faults().Add(Fault::Silence().For("PACEREFRACT"));
    auto element = Refractory();
    Perform(element);
    EXPECT_EQ(Count(Commands(), "PACEREFRACT"), 2);
    EXPECT_DOUBLE_EQ(Value(element, "PACE").AsDouble(), 250.0);
    EXPECT_EQ(Status(element), 1);
}

// A measurement longer than the link's reply time is asked for again each time that time ends;
// it goes on meanwhile, and its answer, when it ends, is the data of the run.
TEST_F(PacerTests, RefractoryLongerThanTheReplyTimeEndsBeforeTheCountDown)
{
    const struct {
        std::chrono::milliseconds measuring;
        int asks;
    } cases[] = {{3500ms, 2}, {10s, 4}, {100s, 34}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.measuring.count());
        analyzer->ClearLogs();
        analyzer->Model().SetRefractoryTime(c.measuring);
        auto element = Refractory();
        const auto start = ElapsedMs();
        Perform(element);
        EXPECT_LT(ElapsedMs() - start, c.measuring.count() + 5000);
        EXPECT_EQ(Count(Commands(), "PACEREFRACT"), c.asks);
        EXPECT_DOUBLE_EQ(Value(element, "PACE").AsDouble(), 250.0);
        EXPECT_DOUBLE_EQ(Value(element, "SENS").AsDouble(), 300.0);
        EXPECT_EQ(Status(element), 1);
        EXPECT_TRUE(op->Boxes().empty());
    }
}

// A measurement that ends at the link's reply time, on either side of it, and one whose answer
// straddles it: the answer, whole, is the run's data, and the analyzer measures once.
TEST_F(PacerTests, RefractoryAnswerAtTheReplyTimesEdgeIsTheRunsData)
{
    SetSetting("PacerRefractoryTimeout", 30);
    struct Case {
        std::string name;
        std::chrono::milliseconds measuring; // the answer goes out 10 ms later
        std::optional<Fault> fault;
    };
    std::vector<Case> cases;
    for (int ms = 2985; ms <= 3010; ++ms) cases.push_back({std::to_string(ms) + " ms", std::chrono::milliseconds(ms), {}});
    // The answer in two pieces 300 ms apart, the first before the reply time ends.
    for (int ms : {2790, 2940, 2980, 2989}) {
        cases.push_back({"straddling from " + std::to_string(ms) + " ms", std::chrono::milliseconds(ms),
                         Fault::Pieces(2, 300ms).For("PACEREFRACT")});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        if (c.fault) analyzer->Faults().Add(*c.fault);
        analyzer->Model().SetRefractoryTime(c.measuring);
        auto element = Refractory();
        const std::size_t boxes = op->Boxes().size();
        const auto start = ElapsedMs();
        Perform(element);
        EXPECT_EQ(op->Boxes().size(), boxes) << ::testing::PrintToString(BoxPrompts());
        EXPECT_EQ(Status(element), 1);
        EXPECT_EQ(Value(element, "PACE"), plat::Variant(250.0));
        EXPECT_EQ(Value(element, "SENS"), plat::Variant(300.0));
        EXPECT_LE(Count(Commands(), "PACEREFRACT"), 2);
        EXPECT_EQ(std::count_if(analyzer->SentLog().begin(), analyzer->SentLog().end(),
                                [](const auto& sent) { return sent.bytes.ends_with("0.300\r\n"); }),
                  1)
            << "measured more than once";
        EXPECT_LT(ElapsedMs() - start, 7000);
        FastForwardBy(10s);
    }
}

// The analyzer's answer to the refractory ask is cut for good after 3, 5 or 9 characters: the
// fragment is never glued to the next measurement's answer (which read "0,0.20,0.250,0.300",
// stored as 200 and 250 ms and passed). The ask written again drops the fragment's line with
// the answer it takes; the ask after that reads a whole answer: a lost measurement, asked again.
TEST_F(PacerTests, RefractoryAnswerCutForGoodIsNeverGluedToTheNext)
{
    for (size_t cut : {3u, 5u, 9u}) {
        SCOPED_TRACE(cut);
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        analyzer->Faults().Add(Fault::Partial(cut).For("PACEREFRACT"));
        auto element = Refractory();
        const std::size_t boxes = op->Boxes().size();
        Perform(element);
        EXPECT_EQ(op->Boxes().size(), boxes) << ::testing::PrintToString(BoxPrompts());
        EXPECT_EQ(Value(element, "PACE"), plat::Variant(250.0));
        EXPECT_EQ(Value(element, "SENS"), plat::Variant(300.0));
        EXPECT_EQ(Status(element), 1);
        EXPECT_EQ(Count(Commands(), "PACEREFRACT"), 3);
        FastForwardBy(10s);
    }
}

// The analyzer answers the data poll only after its resend, and answers the resend too: that
// second "NEWDATA" is dropped before the data command goes out, not taken for its reply.
TEST_F(PacerTests, ParametersAfterAResentPollReadTheirOwnData)
{
    analyzer->Faults().Add(Fault::Delay(3300ms).For("QDATA"));
    analyzer->Faults().Add(Fault::Delay(300ms).For("QDATA"));
    auto element = Parameters();
    Perform(element);
    EXPECT_EQ(Commands(), (Strings{"PACELOAD=INT", "PACEPMODE", "QDATA", "QDATA", "PACEPDATA"}));
    EXPECT_FALSE(Contains(BoxPrompts(), kUnexpected));
    EXPECT_DOUBLE_EQ(Value(element, "PACR").AsDouble(), 60.0);
    EXPECT_EQ(Status(element), 1);
}

TEST_F(PacerTests, RefractoryOneCharacterReplyIsNeitherAskedAgainNorData)
{
    SetSetting("PacerRefractoryTimeout", 5);
    analyzer->Faults().Add(Fault::Reply("X").For("PACEREFRACT"));
    auto element = Refractory();
    const auto start = ElapsedMs();
    Perform(element);
    EXPECT_EQ(Count(Commands(), "PACEREFRACT"), 1);
    EXPECT_GE(ElapsedMs() - start, 5000);
    EXPECT_TRUE(Value(element, "SENS").IsEmpty());
    EXPECT_EQ(Status(element), 0);
}

// The wait of the refractory test as its setting gives it: a number of seconds; 0 or less ends
// it at the first tick; a value out of range or no number gives the default.
TEST_F(PacerTests, RefractoryTimeoutSetting)
{
    const struct {
        const char* name;
        std::optional<plat::Variant> value;
        int16_t read;
        int waitSeconds;
    } cases[] = {
        {"missing", std::nullopt, 120, 120},
        {"seven", plat::Variant(int32_t{7}), 7, 7},
        {"zero", plat::Variant(int32_t{0}), 0, 1},
        {"negative", plat::Variant(int32_t{-5}), -5, 1},
        {"the least", plat::Variant(int32_t{-32768}), -32768, 1},
        {"out of range", plat::Variant(int32_t{70000}), 120, 120},
        {"a number as text", plat::Variant("30"), 30, 30},
        {"text", plat::Variant("soon"), 120, 120},
    };
    // No answer within any wait: the count-down alone ends it.
    analyzer->Model().SetRefractoryTime(std::chrono::minutes(5));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        {
            host::HostRegistry settings;
            settings.CreateKey(host::HKEY_LOCAL_MACHINE, "Software\\Vantrel\\telvo\\ZARVIK");
            if (!c.value) {
                plat::IgnoreErrors([&] { settings.DeleteValue("PacerRefractoryTimeout"); });
            } else if (c.value->IsString()) {
                settings.SetStringValue("PacerRefractoryTimeout", c.value->AsString());
            } else {
                settings.SetDWordValue("PacerRefractoryTimeout", c.value->AsLong());
            }
        }
        EXPECT_EQ(ztest::CTestPacerRef::ReadPacerRefractoryTimeout(), c.read);
        auto element = Refractory();
        const auto start = ElapsedMs();
        Perform(element);
        const auto waited = ElapsedMs() - start;
        EXPECT_GE(waited, c.waitSeconds * 1000);
        EXPECT_LT(waited, c.waitSeconds * 1000 + 5000);
        EXPECT_EQ(Status(element), 0);
        EXPECT_TRUE(op->Boxes().empty());
        FastForwardBy(std::chrono::minutes(6));
    }
}

TEST_F(PacerTests, InstructionsAndMeasurementLists)
{
    auto refractory = Refractory();
    auto lines = refractory->GetMeasurementList();
    ASSERT_TRUE(lines.IsArray());
    EXPECT_EQ(lines.AsArray().At(0, 0).AsString(), "PACE");
    EXPECT_EQ(lines.AsArray().At(1, 0).AsString(), "SENS");
    auto parameters = Parameters();
    EXPECT_EQ(parameters->GetMeasurementList().AsArray().At(2, 0).AsString(), "PACW");
}

} // namespace

