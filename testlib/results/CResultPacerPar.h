#pragma once

#include "testlib/results/CReplyResult.h"

#include <memory>

namespace ztest {

// The result of the pacer parameter test (type 700): rate, current and pulse width of a
// pacemaker's output, from the reply "current,width,rate" (current in A, width in s, rate in
// ppm). Rate and current are preset with the configured rate and amplitude.
class CResultPacerPar : public CReplyResult {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CResultPacerPar";
    static constexpr const char* ClassId = "{628BAB83-32B3-4418-897E-FA99DE088E12}";

    CResultPacerPar();

    // Builds the three measurements; without a configuration record they have no presets.
    void Initialize(const std::shared_ptr<host::IConfigData>& configuration);

protected:
    plat::Variant PresetOf(const MeasurementSpec& spec,
                           const std::shared_ptr<host::IConfigData>& configuration) const override;
};

} // namespace ztest
