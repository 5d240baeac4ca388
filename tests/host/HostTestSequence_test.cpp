#include "host/documents/HostXmlDocument.h"
#include "host/elements/HostTestContext.h"
#include "host/elements/HostTestSequence.h"
#include "platform/base/ComError.h"
#include "tests/support/FakeTestElement.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace {

// An element whose Perform reports the next navigation of a shared script (or nothing when the
// script says -1) and writes its test ID into the shared trace.
class ScriptedElement : public ztesting::FakeTestElement {
public:
    ScriptedElement(int32_t testId, std::deque<int32_t>& script, std::vector<int32_t>& trace)
        : FakeTestElement(testId), mScript(script), mTrace(trace)
    {
    }
    void Perform(const std::shared_ptr<host::HostTestContext>& context) override
    {
        mTrace.push_back(TestID());
        const int32_t code = mScript.empty() ? 0 : mScript.front();
        if (!mScript.empty()) mScript.pop_front();
        if (code >= 0) context->SetNavigation(code);
    }

private:
    std::deque<int32_t>& mScript;
    std::vector<int32_t>& mTrace;
};

struct NavigationCase {
    const char* name;
    std::deque<int32_t> script;
    std::vector<int32_t> performed;
    bool completed;
};

TEST(HostTestSequence, PerformsTheElementsAsTheOperatorNavigates)
{
    const NavigationCase cases[] = {
        {"next through", {0, 0, 0}, {1, 2, 3}, true},
        {"skip goes on", {3, 3, 0}, {1, 2, 3}, true},
        {"previous goes back one", {0, 1, 0, 0, 0}, {1, 2, 1, 2, 3}, true},
        {"previous on the first stays there", {1, 0, 0, 0}, {1, 1, 2, 3}, true},
        {"abort ends the sequence", {0, 2}, {1, 2}, false},
        {"an element that is not to run is followed by the next", {-1, 0, 0}, {1, 2, 3}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::deque<int32_t> script = c.script;
        std::vector<int32_t> trace;
        auto sequence = std::make_shared<host::HostTestSequence>(nullptr);
        for (int32_t id : {1, 2, 3}) sequence->Add(std::make_shared<ScriptedElement>(id, script, trace));
        EXPECT_EQ(sequence->Run(), c.completed);
        EXPECT_EQ(trace, c.performed);
    }
}

TEST(HostTestSequence, ReportsWhatBecameOfEachElementAndStopsOnRequest)
{
    std::deque<int32_t> script{3, 0};
    std::vector<int32_t> trace;
    auto sequence = std::make_shared<host::HostTestSequence>(nullptr);
    for (int32_t id : {1, 2, 3}) sequence->Add(std::make_shared<ScriptedElement>(id, script, trace));
    sequence->SetBeforePerform([&](std::size_t index) {
        if (index == 2) sequence->RequestStop();
    });
    // The element in hand ends as its operator ends it; no further element is performed.
    EXPECT_FALSE(sequence->Run());
    EXPECT_EQ(sequence->Item(0).navigation, 3);
    EXPECT_EQ(sequence->Item(1).navigation, 0);
    EXPECT_TRUE(sequence->Item(2).performed);
    EXPECT_EQ(sequence->Item(0).element->Parent(), sequence);
}

// An element that left no result reads as what became of it: skipped and aborted tests were run
// (their results discarded as the person asked), an element left with Next without a result and
// one never performed were not.
TEST(HostTestSequence, AnElementWithoutAResultReadsAsItsRunEnded)
{
    std::deque<int32_t> script{3, 0, 2};
    std::vector<int32_t> trace;
    auto sequence = std::make_shared<host::HostTestSequence>(nullptr);
    for (int32_t id : {1, 2, 3, 4}) sequence->Add(std::make_shared<ScriptedElement>(id, script, trace));
    std::vector<std::size_t> after;
    sequence->SetAfterPerform([&](std::size_t index) { after.push_back(index); });
    EXPECT_FALSE(sequence->Run());
    EXPECT_EQ(after, (std::vector<std::size_t>{0, 1, 2}));
    std::vector<std::string> outcomes;
    for (const auto& entry : sequence->Entries()) outcomes.push_back(host::HostTestSequence::Outcome(entry));
    EXPECT_EQ(outcomes, (std::vector<std::string>{"skipped", "not run", "aborted", "not run"}));
}

TEST(HostTestSequence, RefusesADocumentThatHoldsNoSequenceAndKeepsItsElements)
{
    std::deque<int32_t> script;
    std::vector<int32_t> trace;
    auto sequence = std::make_shared<host::HostTestSequence>(nullptr);
    sequence->Add(std::make_shared<ScriptedElement>(1, script, trace));
    auto document = host::HostXmlDocument::Create();
    document->LoadXml("<TemplateData><TestElement ID=\"100\"/></TemplateData>");
    try {
        sequence->LoadDocument(document, nullptr);
        ADD_FAILURE() << "no error";
    } catch (const plat::ComError& error) {
        EXPECT_EQ(error.Number(), host::HostTestSequence::ErrorNotASequence);
    }
    EXPECT_EQ(sequence->Count(), 1u);
}

TEST(HostTestContext, AsksEveryElementToRunUnlessARuleSaysOtherwise)
{
    host::HostTestContext context;
    auto element = std::make_shared<ztesting::FakeTestElement>(100);
    EXPECT_TRUE(context.AskRun(element));
    context.SetAskRunRule([](const std::shared_ptr<host::ITestElement>& e) { return e->TestID() != 100; });
    EXPECT_FALSE(context.AskRun(element));
    int told = 0;
    context.SetResultListener([&](const std::shared_ptr<host::ITestElement>&) { ++told; });
    context.ResultChanged(element);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(context.ResultChangedCount(), 1);
    EXPECT_EQ(context.Navigation(), host::HostTestContext::NavigationNone);
    ASSERT_TRUE(context.MtiList());
}

} // namespace
