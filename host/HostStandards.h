#pragma once

#include "host/HostStandard.h"
#include "platform/base/Unknown.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace host {

// The host's ordered collection of standards. Loading and saving the collection as an
// element, and printing it into a report, live in their own files beside this one.
class HostStandards : public plat::IUnknown {
public:
    using StandardList = std::vector<std::shared_ptr<HostStandard>>;

    std::size_t Count() const { return mStandards.size(); }
    // The standard at index 0 .. Count() - 1; any other index raises Subscript out of range.
    const std::shared_ptr<HostStandard>& Item(std::size_t index) const;
    StandardList::const_iterator begin() const { return mStandards.begin(); }
    StandardList::const_iterator end() const { return mStandards.end(); }

    // The first standard with exactly these two names (case-sensitive), or none.
    std::shared_ptr<HostStandard> Find(const std::string& alphaName, const std::string& completeName) const;

    // Appends a standard; an empty pointer raises Invalid procedure call.
    void Add(std::shared_ptr<HostStandard> standard);
    void Remove(std::size_t index);
    // Drops every standard; standards still held elsewhere keep their items.
    void ReleaseAll() { mStandards.clear(); }

    // A deep copy: new standards with new items, so that changing the copy never changes this.
    std::shared_ptr<HostStandards> Copy() const;

private:
    StandardList mStandards;
};

} // namespace host
