#include "host/elements/HostTestContext.h"

#include "host/standards/HostStandards.h"
#include "host/units/HostMtiList.h"

namespace host {

HostTestContext::HostTestContext() : mMtiList(std::make_shared<HostMtiList>()) {}

void HostTestContext::SetMtiList(std::shared_ptr<HostMtiList> list)
{
    mMtiList = list ? std::move(list) : std::make_shared<HostMtiList>();
}

} // namespace host
