#pragma once

#include "host/interfaces/HostCallback.h"
#include "host/interfaces/ICustomControl.h"
#include "host/interfaces/IDialog.h"
#include "platform/ui/ControlExtender.h"
#include "platform/ui/Form.h"

#include <memory>
#include <string>

// The plug-in builds a copy of the wrapper into its own library. There the class is hidden, so
// that the copy's symbols (its vtable too) are the plug-in's own and never bind to the test
// library's, nor the test library's to them.
#ifdef ZARVIK_PRIVATE_DIALOG_WRAPPER
#define ZARVIK_DIALOG_WRAPPER_VISIBILITY __attribute__((visibility("hidden")))
#else
#define ZARVIK_DIALOG_WRAPPER_VISIBILITY
#endif

namespace ztest {

// The hidden form through which the host shows one of our controls (an editor, a view, the
// preferences page) inside a host dialog. It adds the control by ProgID under the name "isc",
// forwards the host's dialog operations to the control's ICustomControl, and moves the
// control's window into the host's window when the host docks it.
//
// No operation raises: a failing step is skipped. Without a control every forwarding
// operation does nothing and the getters give empty values. After Unload every operation does
// nothing and gives empty values; the control is not created again.
class ZARVIK_DIALOG_WRAPPER_VISIBILITY FDialogWrapper : public plat::Form, public host::IDialog {
public:
    FDialogWrapper();
    ~FDialogWrapper() override;

    // Adds the control of a ProgID under the name "isc" and returns it. An empty ProgID adds
    // nothing and returns the current control. A wrapper holds one control: once it has one,
    // a further call keeps it, adds nothing and returns it.
    std::shared_ptr<plat::ControlExtender> CreateSetupCtrl(const std::string& sSetupCtrl);

    // IDialog
    std::shared_ptr<host::HostCallback> CallBack() override;
    void SetCallBack(const std::shared_ptr<host::HostCallback>& callback) override;
    bool IsDocked() override;
    bool Locked() override;
    void SetLocked(bool fLock) override;
    // Also the wrapper's own initialisation: passes the data to the control.
    void Initialize(const plat::Variant& vInData) override;
    void Hide() override;
    void Show(int32_t lMode) override;
    void Dock(int32_t hWndParent) override;
    void UnDock() override;
    void Unload() override;
    void Move(float rLeft, float rTop, float rWidth, float rHeight) override;
    void Refresh() override;
    void SetFocus() override;

    // The control as placed on the form, and its ICustomControl; null when there is none.
    const std::shared_ptr<plat::ControlExtender>& Control() const { return mControl; }
    const std::shared_ptr<host::ICustomControl>& CustomControl() const { return mCustom; }

private:
    std::shared_ptr<plat::ControlExtender> mControl;
    std::shared_ptr<host::ICustomControl> mCustom;
    bool mDocked = false;
};

} // namespace ztest
