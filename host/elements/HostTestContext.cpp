#include "host/elements/HostTestContext.h"

#include "host/standards/HostStandards.h"
#include "host/units/HostMtiList.h"

namespace host {

HostTestContext::HostTestContext()
    : mSelectedStandards(std::make_shared<HostStandards>()), mMtiList(std::make_shared<HostMtiList>())
{
}

bool HostTestContext::AskRun(const std::shared_ptr<ITestElement>& element)
{
    return mAskRun ? mAskRun(element) : true;
}

void HostTestContext::ResultChanged(const std::shared_ptr<ITestElement>& element)
{
    ++mResultChanged;
    if (mResultListener) mResultListener(element);
}

void HostTestContext::SetSelectedStandards(std::shared_ptr<HostStandards> standards)
{
    mSelectedStandards = standards ? std::move(standards) : std::make_shared<HostStandards>();
}

void HostTestContext::SetMtiList(std::shared_ptr<HostMtiList> list)
{
    mMtiList = list ? std::move(list) : std::make_shared<HostMtiList>();
}

} // namespace host
