#include "host/documents/HostXmlNodeList.h"

#include "host/documents/HostXmlElement.h"
#include "platform/base/ComError.h"

namespace host {

HostXmlNodeList::HostXmlNodeList(std::vector<std::shared_ptr<HostXmlElement>> items) : mItems(std::move(items)) {}

std::shared_ptr<HostXmlElement> HostXmlNodeList::Item(int32_t index) const
{
    if (index < 0 || index >= Count()) plat::RaiseRuntime(plat::rt::SubscriptOutOfRange, "HostXmlNodeList");
    return mItems[static_cast<std::size_t>(index)];
}

} // namespace host
