#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"

#include <memory>
#include <utility>

namespace host {

// The run context that the host hands to a test element's Perform: what the host knows about
// the run going on. The test-guide window reads the list of known analyzer units (to show the
// unit the result names) and the standards the run selected (its standard selector lists them).
class HostTestContext : public plat::IUnknown {
public:
    HostTestContext();

    // The host's list of known analyzer units; a context always has one.
    const std::shared_ptr<HostMtiList>& MtiList() const { return mMtiList; }
    // Replaces the list; an empty pointer puts a new empty list in place.
    void SetMtiList(std::shared_ptr<HostMtiList> list);

    // The standards the run is rated against; none when the run selects none.
    const std::shared_ptr<HostStandards>& SelectedStandards() const { return mSelectedStandards; }
    void SetSelectedStandards(std::shared_ptr<HostStandards> standards) { mSelectedStandards = std::move(standards); }

private:
    std::shared_ptr<HostMtiList> mMtiList;
    std::shared_ptr<HostStandards> mSelectedStandards;
};

} // namespace host
