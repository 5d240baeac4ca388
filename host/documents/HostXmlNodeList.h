#pragma once

#include "platform/base/Unknown.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace host {

class HostXmlElement;

// The child elements of an element as they were when the list was taken.
class HostXmlNodeList : public plat::IUnknown {
public:
    explicit HostXmlNodeList(std::vector<std::shared_ptr<HostXmlElement>> items);

    int32_t Count() const { return static_cast<int32_t>(mItems.size()); }
    // The element at the index, counted from 0; raises Subscript out of range (9) outside
    // 0 .. Count() - 1 rather than handing out an element that is not there.
    std::shared_ptr<HostXmlElement> Item(int32_t index) const;

private:
    std::vector<std::shared_ptr<HostXmlElement>> mItems;
};

} // namespace host
