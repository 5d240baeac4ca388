#include "host/elements/HostTestElement.h"

#include "host/elements/HostTestFilter.h"
#include "host/elements/HostTestInfo.h"
#include "host/interfaces/IConfigData.h"
#include "host/interfaces/ILimitData.h"
#include "host/interfaces/IResultData.h"

namespace host {

HostTestElement::HostTestElement()
    : mInfo(std::make_shared<HostTestInfo>()), mFilter(std::make_shared<HostTestFilter>())
{
}

void HostTestElement::Initialize(const std::string& plugInId, int32_t testId, int32_t id)
{
    mPlugInId = plugInId;
    mTestId = testId;
    mId = id;
}

std::shared_ptr<HostTestElement> HostTestElement::Clone() const
{
    auto copy = std::make_shared<HostTestElement>();
    copy->Initialize(mPlugInId, mTestId, mId);
    copy->mInfo = mInfo->Clone();
    copy->mFilter = mFilter->Clone();
    if (mConfiguration) copy->mConfiguration = mConfiguration->Clone();
    if (mLimits) copy->mLimits = mLimits->Clone();
    return copy;
}

void HostTestElement::Terminate()
{
    mConfiguration.reset();
    mLimits.reset();
    mResult.reset();
}

} // namespace host
