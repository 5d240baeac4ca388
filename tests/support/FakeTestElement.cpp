#include "support/FakeTestElement.h"

#include "platform/base/Variant.h"
#include "testlib/core/CMtiData2.h"
#include "testlib/guide/FZARVIKTestGuide.h"

#include <utility>

namespace ztesting {

FakeTestElement::FakeTestElement(int32_t testId, std::shared_ptr<host::IConfigData> configuration,
                                 std::shared_ptr<host::ILimitData> limits, std::shared_ptr<host::HostTestFilter> filter)
    : mTestId(testId), mConfiguration(std::move(configuration)), mLimits(std::move(limits)), mFilter(std::move(filter))
{
}

FakeTestElement::FakeTestElement(int32_t testId, std::shared_ptr<host::IResultData> result)
    : mTestId(testId), mResult(std::move(result))
{
}

void FakeTestElement::Initialize(const std::string& /*moduleKey*/, int32_t testId, int32_t /*id*/)
{
    mTestId = testId;
}

std::shared_ptr<host::ILimitData> FakeTestElement::Limits()
{
    ++mLimitsAsked;
    return mLimits;
}

std::shared_ptr<host::HostTestFilter> FakeTestElement::Filter()
{
    ++mFilterAsked;
    return mFilter;
}

void FakeTestElement::Load(const std::shared_ptr<host::HostXmlElement>& /*element*/,
                           const std::shared_ptr<host::HostLoadLog>& /*log*/)
{
}

std::shared_ptr<host::HostXmlElement> FakeTestElement::Save(const std::shared_ptr<host::HostXmlDocument>& /*document*/)
{
    return nullptr;
}

void FakeTestElement::SetGuideSteps(std::vector<std::string> steps)
{
    mGuided = true;
    mGuideSteps = std::move(steps);
}

void FakeTestElement::Perform(const std::shared_ptr<host::HostTestContext>& context)
{
    if (!mGuided) return;
    mRound = GuideRound{};
    auto guide = std::make_shared<ztest::FZARVIKTestGuide>();
    mRound.window = guide;
    ztest::FZARVIKTestGuide* window = guide.get();
    std::vector<plat::ScopedConnection> connections;
    connections.emplace_back(guide->StartTest.Connect([this, window] {
        mRound.events.push_back("StartTest");
        window->SetRunState(2, false);
        window->ShowStatusText("20531::Test in progress");
        window->ShowResult(mResult);
        window->SetRunState(1, true);
        window->ShowResultStatus(mResult);
    }));
    connections.emplace_back(guide->StopTest.Connect([this, window] {
        mRound.events.push_back("StopTest");
        window->SetRunState(1, false);
    }));
    connections.emplace_back(guide->ItemClicked.Connect([this](bool) { mRound.events.push_back("ItemClicked"); }));
    const std::pair<plat::Event<>*, const char*> leaving[] = {{&guide->NextTest, "NextTest"}, {&guide->Previous, "Previous"},
                                                              {&guide->Skip, "Skip"},         {&guide->NA, "NA"},
                                                              {&guide->AbortTest, "AbortTest"}};
    for (const auto& [event, name] : leaving) {
        connections.emplace_back(event->Connect([this, window, name = std::string(name)] {
            mRound.events.push_back(name);
            mRound.navigation = name;
            window->Hide();
        }));
    }

    auto steps = plat::VariantArray::OneDim(0, static_cast<int32_t>(mGuideSteps.size()));
    for (size_t i = 0; i < mGuideSteps.size(); ++i) steps.items[i] = plat::Variant(mGuideSteps[i]);
    guide->Load();
    guide->SetRunState(1, false);
    guide->InitGuide(shared_from_this(), context, plat::Variant(std::move(steps)));
    guide->ShowResultStatus(mResult);
    guide->Show(1);
    mRound.unit = guide->GetMtiData();
    guide->Unload();
}

} // namespace ztesting
