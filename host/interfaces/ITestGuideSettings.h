#pragma once

#include "platform/base/Unknown.h"

#include <memory>

namespace host {

class HostTestGuideSettings;

// The host's test-guide settings editor ("telvoView.XTestGuideSettings") as the configuration
// editors embed it: it edits a HostTestGuideSettings object in place, can be locked, and raises
// its event "Change" (the last of its events) after every change the operator makes.
class ITestGuideSettings : public virtual plat::IUnknown {
public:
    // The name of the event raised after the operator changed a setting.
    static constexpr const char* ChangeEvent = "Change";

    // From now on the editor shows and edits this object itself; null leaves it editing nothing.
    virtual void BindSettings(const std::shared_ptr<HostTestGuideSettings>& settings) = 0;
    virtual bool SettingsLocked() = 0;
    virtual void SetSettingsLocked(bool locked) = 0;
};

} // namespace host
