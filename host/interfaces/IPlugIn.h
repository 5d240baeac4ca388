#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"

#include <cstdint>
#include <memory>
#include <string>

namespace host {

// The plug-in entry as the host sees it.
class IPlugIn : public virtual plat::IUnknown {
public:
    virtual std::string ID() = 0;
    // A picture object (the UI layer's bitmap), or empty.
    virtual plat::ObjectPtr Icon(int32_t testId, int32_t size, int32_t colors) = 0;
    virtual std::string Name() = 0;
    virtual int32_t Flags() = 0;
    virtual std::shared_ptr<ISetup> Setup() = 0;
    virtual plat::ObjectPtr ControlPanel() = 0;
    virtual std::shared_ptr<HostTestCollection> Tests() = 0;
    virtual std::string Version() = 0;
    virtual plat::ObjectPtr PlugInMenu() = 0;
    virtual void Initialize(const std::shared_ptr<HostLoadLog>& log) = 0;
    virtual std::shared_ptr<ITestElement> CreateTest(int32_t testId) = 0;
    virtual plat::ObjectPtr CreateDutData() = 0;
};

} // namespace host
