#pragma once

#include "testlib/core/CMeasurement.h"
#include "testlib/results/CReplyResult.h"
#include "testlib/results/PresetEnergyOf.h"

#include <memory>
#include <string_view>

namespace ztest {

// The three measurements that every discharge of a defibrillator gives.
inline constexpr MeasurementSpec kEnergySpec{"ENGY", "20120::Energy", "J", CMeasurement::ValueTypeNumber, "# ##0.0"};
inline constexpr MeasurementSpec kPeakVoltageSpec{"PEAV", "20121::Peak Voltage", "V", CMeasurement::ValueTypeNumber,
                                                  "# ##0.0"};
inline constexpr MeasurementSpec kPeakCurrentSpec{"PEAC", "20122::Peak Current", "A", CMeasurement::ValueTypeNumber,
                                                  "# ##0.0"};

// A record of one defibrillator discharge read from one data reply (energy, charge time,
// cardioversion). It is given the test element, whose configuration record, of the class
// Config, presets the energy measurement.
template <class Config>
class CDischargeResult : public CReplyResult {
public:
    // Builds the measurement set; "ENGY" carries the configured preset energy when the
    // element has a configuration record of the record's class.
    void Initialize(const std::shared_ptr<host::ITestElement>& element) { InitializeFrom(ConfigurationOf(element)); }

protected:
    using CReplyResult::CReplyResult;

    plat::Variant PresetOf(const MeasurementSpec& spec,
                           const std::shared_ptr<host::IConfigData>& configuration) const override
    {
        return std::string_view(spec.key) == kEnergySpec.key ? PresetEnergyOf<Config>(configuration) : plat::Variant();
    }
};

} // namespace ztest
