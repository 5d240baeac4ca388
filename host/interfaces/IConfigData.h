#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"

#include <memory>

namespace host {

// A test's configuration record as the host sees it.
class IConfigData : public virtual plat::IUnknown {
public:
    virtual bool HasDialog() = 0;
    virtual std::shared_ptr<IConfigData> Clone() = 0;
    virtual std::shared_ptr<IDialog> CreateDialog() = 0;
    virtual void Load(const std::shared_ptr<HostXmlElement>& element, const std::shared_ptr<HostLoadLog>& log) = 0;
    virtual std::shared_ptr<HostXmlElement> Save(const std::shared_ptr<HostXmlDocument>& document) = 0;
    virtual void PrintReport(const std::shared_ptr<HostReport>& report) = 0;
};

} // namespace host
