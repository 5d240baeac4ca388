#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <memory>
#include <string>

namespace host {

// A test's result record as the host sees it.
class IResultData : public virtual plat::IUnknown {
public:
    virtual std::string Comment() = 0;
    virtual void SetComment(const std::string& comment) = 0;
    virtual bool HasDialog() = 0;
    virtual int32_t Status() = 0;
    // A 1-based position (a number) or a key (a text); empty when there is no such measurement.
    virtual std::shared_ptr<IMeasurement> Measurement(const plat::Variant& indexOrKey) = 0;
    virtual int32_t MeasurementCount() = 0;
    virtual std::shared_ptr<HostServiceRecord> ServiceRecord() = 0;
    virtual int32_t MTIID() = 0;
    virtual std::shared_ptr<IDialog> CreateDialog() = 0;
    virtual void Load(const std::shared_ptr<HostXmlElement>& element, const std::shared_ptr<HostLoadLog>& log) = 0;
    virtual std::shared_ptr<HostXmlElement> Save(const std::shared_ptr<HostXmlDocument>& document) = 0;
    virtual void PrintReport(const std::shared_ptr<HostReport>& report, const plat::ObjectPtr& unused) = 0;
};

} // namespace host
