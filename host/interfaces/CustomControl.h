#pragma once

#include "host/interfaces/HostCallback.h"
#include "host/interfaces/ICustomControl.h"
#include "platform/base/ComError.h"
#include "platform/ui/UserControl.h"

#include <memory>
#include <string>
#include <utility>

namespace host {

// What every control that the host shows in its dialogs has in common: the callback it keeps,
// its window, visibility and lock state taken from the user control, and the one way of telling
// the host about a change. A control derives from this and overrides what it does differently
// (SetLocked to enable its own controls, Initialize, Refresh, SetFocus).
class CustomControl : public plat::UserControl, public ICustomControl {
public:
    explicit CustomControl(std::string kind) : plat::UserControl(std::move(kind)) {}

    // ICustomControl
    std::shared_ptr<HostCallback> CallBack() override { return mCallBack; }
    void SetCallBack(const std::shared_ptr<HostCallback>& callback) override { mCallBack = callback; }
    int32_t hWnd() override { return plat::UserControl::hWnd(); }
    bool Visible() override { return plat::UserControl::Visible(); }
    void SetVisible(bool visible) override { plat::UserControl::SetVisible(visible); }
    bool Locked() override { return mLocked; }
    void SetLocked(bool locked) override { mLocked = locked; }
    void Refresh() override { plat::UserControl::Refresh(); }
    void SetFocus() override { plat::UserControl::SetFocus(); }

protected:
    // Sends an event with an empty argument array to the host's callback, if one is set. A
    // failing callback is the host's problem and never reaches the control's event handler.
    void NotifyHost(const std::string& eventName = "Change")
    {
        if (!mCallBack) return;
        plat::IgnoreErrors([&] { mCallBack->Notify(eventName, plat::VariantArray::OneDim(0, 0)); });
    }

    bool mLocked = false;

private:
    std::shared_ptr<HostCallback> mCallBack;
};

} // namespace host
