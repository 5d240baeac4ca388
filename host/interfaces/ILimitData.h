#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"

#include <memory>
#include <string>

namespace host {

// The limits of one test element as the host sees them.
class ILimitData : public virtual plat::IUnknown {
public:
    virtual std::string Description() = 0;
    virtual void SetDescription(const std::string& description) = 0;
    virtual bool HasDialog() = 0;
    virtual std::shared_ptr<HostStandards> Standards() = 0;
    virtual std::shared_ptr<ITestElement> Owner() = 0;
    virtual std::shared_ptr<ILimitData> Clone() = 0;
    virtual std::shared_ptr<IDialog> CreateDialog() = 0;
    virtual std::shared_ptr<HostStandard> CreateStandard(const std::string& alphaName, const std::string& completeName) = 0;
    virtual void Load(const std::shared_ptr<HostXmlElement>& element, const std::shared_ptr<HostLoadLog>& log) = 0;
    virtual std::shared_ptr<HostXmlElement> Save(const std::shared_ptr<HostXmlDocument>& document) = 0;
    virtual void PrintReport(const std::shared_ptr<HostReport>& report, const std::shared_ptr<HostPrintContext>& printContext) = 0;
    virtual void UpdateLimits(const plat::ObjectPtr& object) = 0;
    virtual std::shared_ptr<HostStandards> FindFailedStandards(const std::shared_ptr<IMeasurement>& measurement,
                                                               const std::shared_ptr<HostStandards>& standards) = 0;
};

} // namespace host
