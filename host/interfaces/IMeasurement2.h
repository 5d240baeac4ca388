#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <memory>

namespace host {

// The host's view of a measurement's limit values and rating.
class IMeasurement2 : public virtual plat::IUnknown {
public:
    // bound: 0 upper, 1 lower. flags: 1 evaluate formulas, 2 formatted text, 4 append the unit.
    virtual plat::Variant GetLimitValue(const std::shared_ptr<HostStandard>& standard, int32_t bound, int32_t flags) = 0;
    virtual plat::Variant GetResultValue(int32_t flags) = 0;
    virtual bool SupportsLimit(int32_t bound) = 0;
    virtual float CalculateLimitValue(const std::shared_ptr<HostLimitItem>& item, int32_t bound) = 0;
    virtual int16_t ValidateLimits(const std::shared_ptr<HostStandard>& standard) = 0;
};

} // namespace host
