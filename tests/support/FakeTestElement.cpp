#include "support/FakeTestElement.h"

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

void FakeTestElement::Perform(const std::shared_ptr<host::HostTestContext>& /*context*/) {}

} // namespace ztesting
