#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <memory>

namespace host {

// A dialog of the plug-in as the host drives it: the host docks it into a window of its own,
// places, shows and hides it, hands it its callback, data and lock state, and finally unloads it.
class IDialog : public virtual plat::IUnknown {
public:
    virtual std::shared_ptr<HostCallback> CallBack() = 0;
    virtual void SetCallBack(const std::shared_ptr<HostCallback>& callback) = 0;
    virtual bool IsDocked() = 0;
    virtual bool Locked() = 0;
    virtual void SetLocked(bool lock) = 0;
    virtual void Initialize(const plat::Variant& inData) = 0;
    virtual void Hide() = 0;
    virtual void Show(int32_t mode) = 0;
    virtual void Dock(int32_t hWndParent) = 0;
    virtual void UnDock() = 0;
    virtual void Unload() = 0;
    virtual void Move(float left, float top, float width, float height) = 0;
    virtual void Refresh() = 0;
    virtual void SetFocus() = 0;
};

} // namespace host
