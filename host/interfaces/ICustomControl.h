#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <memory>

namespace host {

// A control that the host shows inside one of its dialogs (an editor, a view, a preferences
// page), as the host's dialogs see it.
class ICustomControl : public virtual plat::IUnknown {
public:
    virtual std::shared_ptr<HostCallback> CallBack() = 0;
    virtual void SetCallBack(const std::shared_ptr<HostCallback>& callback) = 0;
    // The control's own window, which the dialog re-parents into the host's window.
    virtual int32_t hWnd() = 0;
    // The control's visibility in its container.
    virtual bool Visible() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Locked() = 0;
    virtual void SetLocked(bool locked) = 0;
    // Hands the control the object it shows or edits.
    virtual void Initialize(const plat::Variant& data) = 0;
    virtual void Refresh() = 0;
    virtual void SetFocus() = 0;
};

} // namespace host
