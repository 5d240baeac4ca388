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

    // The status one measurement is rated with, by the rule above; the measurement is left as
    // it is.
    static int32_t RatingOf(const CMeasurement& measurement, const std::shared_ptr<host::ILimitData>& limits,
                            const std::shared_ptr<host::HostStandards>& standards);

protected:
    using CResultRecord::CResultRecord;

    // A stored result inside a stored test element: each rated measurement is rated again
    // against the limits stored beside it (every standard of them, as a run rates against the
    // standards the element holds) and the preset stored with it, and the load log tells each
    // one whose stored verdict that rating does not give. A measurement whose stored preset
    // was refused is not rated again: the preset it was rated with is not known.
    void CheckStoredRatings(const host::HostXmlElement& element, const std::string& testName,
                            const std::shared_ptr<host::HostLoadLog>& log) const override;
};

} // namespace ztest
