#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"

#include <memory>

namespace host {

class HostStandards;

// What the host knows while it prints one report, handed to every limits printout. The host
// selects the standards that the report is about (a sequence is usually judged by one of
// them); the object it gives a printout is that selection, which the standards printout takes
// to print only the selected standards.
class HostPrintContext : public plat::IUnknown {
public:
    // The standards the report covers, matched by their two names; none means all.
    void SelectStandards(std::shared_ptr<HostStandards> selection) { mSelection = std::move(selection); }
    const std::shared_ptr<HostStandards>& SelectedStandards() const { return mSelection; }

    // The object a record hands on to the standards printout of this report: the selection,
    // or none when every standard is printed.
    plat::ObjectPtr ReportObject(const std::shared_ptr<HostReport>& report) const;

private:
    std::shared_ptr<HostStandards> mSelection;
};

} // namespace host
