#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <memory>
#include <string>

namespace host {

// The host's view of one measured quantity: identity, value and persistence.
// Interfaces inherit IUnknown virtually so that one class can implement several of them.
class IMeasurement : public virtual plat::IUnknown {
public:
    virtual std::string Description() = 0;
    virtual std::string Key() = 0;
    virtual std::string LimitKey() = 0;
    virtual int32_t Status() = 0;
    virtual std::string Unit() = 0;
    virtual plat::Variant value() = 0;
    virtual plat::Variant PresetValue() = 0;
    virtual int32_t ValueType() = 0;
    virtual std::string ValueFormat() = 0;
    virtual int32_t Flags() = 0;
    virtual std::string ToolTipText() = 0;
    virtual void Load(const std::shared_ptr<HostXmlElement>& element, const std::shared_ptr<HostLoadLog>& log) = 0;
    virtual std::shared_ptr<HostXmlElement> Save(const std::shared_ptr<HostXmlDocument>& document) = 0;
};

} // namespace host
