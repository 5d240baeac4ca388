#include "host/report/HostPrintContext.h"

#include "host/standards/HostStandards.h"

namespace host {

plat::ObjectPtr HostPrintContext::ReportObject(const std::shared_ptr<HostReport>& /*report*/) const
{
    // Every report of one print run covers the same standards.
    auto subject = std::make_shared<Subject>();
    subject->selection = mSelection;
    subject->valuesRated = mValuesRated;
    return subject;
}

} // namespace host
