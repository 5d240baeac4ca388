#pragma once

#include "testlib/results/CResultRecord.h"

#include <memory>
#include <string>

namespace ztest {

// A result record whose measurements the analyzer measures and the element's limits judge:
// energy, charge time, cardioversion, pulse repetition, battery capacity and the two pacer
// records.
class CLimitRatedResult : public CResultRecord {
public:
    // Rates the record and makes its service record. Not skipped: every measurement is rated
    // through the element's limits against the given standards (those of the run context),
    // and one failed measurement fails the record. Skipped (the operator chose N/A): status 3,
    // no measurement is rated. A number-valued measurement that holds no number ("NOSYNC", or
    // nothing measured) is failed whatever the limits say: what could not be measured never
    // passes.
    void UpdateStatus(const std::shared_ptr<host::ITestElement>& element,
                      const std::shared_ptr<host::HostStandards>& standards, bool skipped);

protected:
    using CResultRecord::CResultRecord;
};

} // namespace ztest
