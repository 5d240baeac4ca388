#include "host/elements/HostTestContext.h"

#include "host/standards/HostStandards.h"
#include "host/units/HostMtiList.h"

namespace host {

HostTestContext::HostTestContext() : mMtiList(std::make_shared<HostMtiList>()) {}

bool HostTestContext::AskRun(const std::shared_ptr<ITestElement>& element)
{
    return mAskRun ? mAskRun(element) : true;
}

void HostTestContext::ResultChanged(const std::shared_ptr<ITestElement>& element)
{
    ++mResultChanged;
    if (mResultListener) mResultListener(element);
}

void HostTestContext::SetMtiList(std::shared_ptr<HostMtiList> list)
{
    mMtiList = list ? std::move(list) : std::make_shared<HostMtiList>();
}

} // namespace host
