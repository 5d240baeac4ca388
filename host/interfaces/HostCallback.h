#pragma once

#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"
#include "platform/ui/Event.h"

#include <string>

namespace host {

// The host's callback object that every custom control keeps: the control tells the host
// about its changes through Notify, with an event name and an argument array ("Change" and an
// empty array). The host (and a test) listens to Notified, or derives and overrides Notify.
class HostCallback : public virtual plat::IUnknown {
public:
    virtual void Notify(const std::string& eventName, const plat::VariantArray& args)
    {
        Notified.Fire(eventName, args);
    }

    plat::Event<const std::string&, const plat::VariantArray&> Notified;
};

// The name the editors' documents give the same object.
using HostControlCallback = HostCallback;

} // namespace host
