#include "testlib/results/CLimitRatedResult.h"

#include "host/interfaces/ILimitData.h"
#include "host/interfaces/ITestElement.h"
#include "platform/base/Conversions.h"
#include "testlib/core/CMeasurement.h"

#include <cmath>
#include <exception>

namespace ztest {

namespace {

bool IsNumberValued(CMeasurement& measurement)
{
    const int32_t valueType = measurement.ValueType();
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
            measurement->UpdateStatus(limits, standards);
            if (IsNumberValued(*measurement) && !HoldsNumber(measurement->GetValue()))
                measurement->SetStatus(CMeasurement::StatusFailed);
            if (measurement->GetStatus() == CMeasurement::StatusFailed) SetResultStatus(StatusFailed);
        }
    }

    CreateServiceRecord(FilterOf(element));
}

} // namespace ztest
