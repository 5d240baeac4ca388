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
    // What the standards printout is given: the selection, and whether the values printed
    // beside the limits were rated.
    struct Subject : plat::IUnknown {
        std::shared_ptr<HostStandards> selection;
        bool valuesRated = true;
    };

    // The standards the report covers, matched by their two names; none means all.
    void SelectStandards(std::shared_ptr<HostStandards> selection) { mSelection = std::move(selection); }
    const std::shared_ptr<HostStandards>& SelectedStandards() const { return mSelection; }

    // Whether the record whose values are printed was rated passed or failed; True unless the
    // host says otherwise. A record left not applicable, or never rated, may hold values that
    // no limit judged, and the printout shows them without a verdict.
    void SetValuesRated(bool rated) { mValuesRated = rated; }
    bool ValuesRated() const { return mValuesRated; }

    // The object a record hands on to the standards printout of this report: a Subject with
    // the selection (none when every standard is printed) and the rated flag.
    plat::ObjectPtr ReportObject(const std::shared_ptr<HostReport>& report) const;

private:
    std::shared_ptr<HostStandards> mSelection;
    bool mValuesRated = true;
};

} // namespace host
