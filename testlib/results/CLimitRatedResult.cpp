#include "testlib/results/CLimitRatedResult.h"

#include "host/documents/HostXmlElement.h"
#include "host/elements/HostTestElement.h"
#include "host/interfaces/ILimitData.h"
#include "host/interfaces/ITestElement.h"
#include "platform/base/Conversions.h"
#include "testlib/core/CLimitData.h"
#include "testlib/core/CMeasurement.h"

#include <cmath>
#include <exception>

namespace ztest {

namespace {

bool IsNumberValued(const CMeasurement& measurement)
{
    const int32_t valueType = measurement.GetValueType();
    return valueType == CMeasurement::ValueTypeNumber || valueType == CMeasurement::ValueTypeNumber2;
}

bool HoldsNumber(const plat::Variant& value)
{
    switch (value.Type()) {
    case plat::VarType::Integer:
    case plat::VarType::Long: return true;
    case plat::VarType::Single: return std::isfinite(value.AsSingle());
    case plat::VarType::Double: return std::isfinite(value.AsDouble());
    case plat::VarType::String: return plat::IsNumericText(value.AsString());
    default: return false; // Empty, Null, a Boolean, objects and arrays are no measured number
    }
}

} // namespace

void CLimitRatedResult::UpdateStatus(const std::shared_ptr<host::ITestElement>& element,
                                     const std::shared_ptr<host::HostStandards>& standards, bool skipped)
{
    if (skipped) {
        SetResultStatus(StatusSkipped);
    } else {
        SetResultStatus(StatusPassed);
        for (const auto& measurement : Measurements()) {
            // The limits are asked again for every measurement, as the element may hand out new ones.
            std::shared_ptr<host::ILimitData> limits;
            try {
                if (element) limits = element->Limits();
            } catch (const std::exception&) {
                // Without limits the measurement is rated as the measurement rates it then.
            }
            measurement->SetStatus(RatingOf(*measurement, limits, standards));
            if (measurement->GetStatus() == CMeasurement::StatusFailed) SetResultStatus(StatusFailed);
        }
    }

    CreateServiceRecord(FilterOf(element));
}

int32_t CLimitRatedResult::RatingOf(const CMeasurement& measurement, const std::shared_ptr<host::ILimitData>& limits,
                                    const std::shared_ptr<host::HostStandards>& standards)
{
    if (IsNumberValued(measurement) && !HoldsNumber(measurement.GetValue())) return CMeasurement::StatusFailed;
    return measurement.RatingBy(limits, standards);
}

void CLimitRatedResult::CheckStoredRatings(const host::HostXmlElement& element, const std::string& testName,
                                           const std::shared_ptr<host::HostLoadLog>& log) const
{
    const std::shared_ptr<host::HostXmlElement> test = element.ParentElement();
    if (!test || test->Name() != host::HostTestElement::ElementName) return;
    // The test element's own limits are those stored beside the result; a test stored without
    // limits had none. They are read again here, without a log: the element's load logs them.
    auto limits = std::make_shared<CLimitData>();
    if (const auto stored = test->SelectChild("ExpectedResult")) limits->Load(stored, nullptr);
    const std::shared_ptr<host::HostStandards> standards = limits->Standards();

    for (const auto& measurement : Measurements()) {
        const int32_t stored = measurement->GetStatus();
        if (stored != CMeasurement::StatusPassed && stored != CMeasurement::StatusFailed) continue;
        if (measurement->PresetRefused()) continue;
        const int32_t again = RatingOf(*measurement, limits, standards);
        if (again == stored) continue;
        LogContradiction(log,
                         std::string("The measurement '%%2' of the test '%%1' is stored as ") +
                             (stored == CMeasurement::StatusPassed ? "passed" : "failed") +
                             ", but the limits and preset stored with it rate it " +
                             (again == CMeasurement::StatusPassed ? "passed" : "failed") +
                             "; the stored verdict is kept",
                         {testName, measurement->GetKey()});
    }
}

} // namespace ztest
