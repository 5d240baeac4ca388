#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"

#include <cstdint>
#include <memory>
#include <string>

namespace host {

// A test element as the host sees it. Configuration records are handed out as IConfigData;
// callers inside the test library take them as their own class.
class ITestElement : public virtual plat::IUnknown {
public:
    virtual void Initialize(const std::string& moduleKey, int32_t testId, int32_t id) = 0;
    virtual std::shared_ptr<ITestElement> Clone() = 0;
    virtual int32_t TestID() = 0;
    virtual std::shared_ptr<IResultData> Result() = 0;
    virtual std::shared_ptr<ILimitData> Limits() = 0;
    virtual std::shared_ptr<IConfigData> Configuration() = 0;
    virtual std::shared_ptr<HostTestFilter> Filter() = 0;
    virtual std::shared_ptr<HostTestInfo> Info() = 0;
    virtual void Load(const std::shared_ptr<HostXmlElement>& element, const std::shared_ptr<HostLoadLog>& log) = 0;
    virtual std::shared_ptr<HostXmlElement> Save(const std::shared_ptr<HostXmlDocument>& document) = 0;
    virtual void Perform(const std::shared_ptr<HostTestContext>& context) = 0;
};

} // namespace host
