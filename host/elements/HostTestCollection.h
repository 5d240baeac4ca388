#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/ComError.h"
#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <memory>

namespace host {

// The host's collection of test elements as the host and a plug-in see it: the plug-in's test
// catalogue, and every catalogue entry that is a group of further entries.
class HostTestCollection : public virtual plat::IUnknown {
public:
    // Flags of Add.
    static constexpr int32_t AddUnique = 1; // refuse an element whose test ID is already held

    // Add with AddUnique was given an element whose test ID the collection holds already.
    static constexpr int32_t ErrDuplicateTestId = plat::Hr(0x80048B20u);

    virtual int32_t Count() = 0;
    // The element at index 0 .. Count() - 1; any other index raises Subscript out of range.
    virtual std::shared_ptr<ITestElement> Item(int32_t index) = 0;
    // The element of that test ID, or none: the elements of this collection first, in order,
    // then those inside its groups, group by group.
    virtual std::shared_ptr<ITestElement> ItemByTestID(int32_t testId) = 0;
    // Adds an element: before the element at the index that `before` gives, or at the end when
    // `before` is Empty. No element raises Object variable not set.
    virtual void Add(const std::shared_ptr<ITestElement>& element, const plat::Variant& before, int32_t flags) = 0;
    // Drops every element.
    virtual void Clear() = 0;
};

} // namespace host
