#include "testlib/core/FDialogWrapper.h"

#include "platform/base/ComError.h"
#include "platform/ui/Window.h"

#include <exception>

// This file is built into the test library and, as the plug-in's own copy, into the plug-in:
// it includes nothing but platform and host headers and its own header.

namespace ztest {

using plat::IgnoreErrors;

FDialogWrapper::FDialogWrapper() : plat::Form("FDialogWrapper") {}

FDialogWrapper::~FDialogWrapper() = default;

std::shared_ptr<plat::ControlExtender> FDialogWrapper::CreateSetupCtrl(const std::string& sSetupCtrl)
{
    if (IsUnloaded()) return nullptr;
    if (sSetupCtrl.empty()) return mControl;
    // One control per wrapper: the name "isc" is taken once a control is there.
    if (mControl || Controls().Contains("isc")) return mControl;
    IgnoreErrors([&] {
        auto added = Controls().Add(sSetupCtrl, "isc");
        mControl = added;
        mCustom = added ? std::dynamic_pointer_cast<host::ICustomControl>(added->Object()) : nullptr;
    });
    return mControl;
}

std::shared_ptr<host::HostCallback> FDialogWrapper::CallBack()
{
    std::shared_ptr<host::HostCallback> callback;
    if (mCustom) IgnoreErrors([&] { callback = mCustom->CallBack(); });
    return callback;
}

void FDialogWrapper::SetCallBack(const std::shared_ptr<host::HostCallback>& callback)
{
    if (mCustom) IgnoreErrors([&] { mCustom->SetCallBack(callback); });
}

bool FDialogWrapper::IsDocked() { return mDocked; }

bool FDialogWrapper::Locked()
{
    bool locked = false;
    if (mCustom) IgnoreErrors([&] { locked = mCustom->Locked(); });
    return locked;
}

void FDialogWrapper::SetLocked(bool fLock)
{
    if (mCustom) IgnoreErrors([&] { mCustom->SetLocked(fLock); });
}

void FDialogWrapper::Initialize(const plat::Variant& vInData)
{
    if (mCustom) IgnoreErrors([&] { mCustom->Initialize(vInData); });
}

void FDialogWrapper::Hide()
{
    if (IsUnloaded()) return;
    if (mDocked) {
        if (mControl) IgnoreErrors([&] { mControl->SetVisible(false); });
    } else {
        IgnoreErrors([&] { plat::Form::Hide(); });
    }
}

void FDialogWrapper::Show(int32_t /*lMode*/)
{
    // Never docked, the wrapper has nothing of its own to show.
    if (mDocked && mControl) IgnoreErrors([&] { mControl->SetVisible(true); });
}

void FDialogWrapper::Dock(int32_t hWndParent)
{
    if (IsUnloaded() || hWndParent == 0 || !mCustom) return;
    // Docked only when the window really moved: a handle that names no window leaves the
    // wrapper undocked, so that Hide, Show and Move keep acting on what is really there.
    bool moved = false;
    IgnoreErrors([&] { moved = plat::SetParent(mCustom->hWnd(), hWndParent) != 0; });
    if (moved) mDocked = true;
}

void FDialogWrapper::UnDock()
{
    if (IsUnloaded()) return;
    if (mCustom) IgnoreErrors([&] { plat::SetParent(mCustom->hWnd(), hWnd()); });
    mDocked = false;
}

void FDialogWrapper::Unload()
{
    if (IsUnloaded()) return;
    // The control's window comes home first, so that it is destroyed with the form and not
    // left behind in the host's window.
    if (mDocked && mCustom) IgnoreErrors([&] { plat::SetParent(mCustom->hWnd(), hWnd()); });
    mDocked = false;
    IgnoreErrors([&] { plat::Form::Unload(); });
    mCustom.reset();
    mControl.reset();
}

void FDialogWrapper::Move(float rLeft, float rTop, float rWidth, float rHeight)
{
    if (IsUnloaded()) return;
    if (mDocked) {
        if (mControl) IgnoreErrors([&] { mControl->Move(rLeft, rTop, rWidth, rHeight); });
    } else {
        IgnoreErrors([&] { plat::Form::Move(rLeft, rTop, rWidth, rHeight); });
    }
}

void FDialogWrapper::Refresh()
{
    if (mCustom) IgnoreErrors([&] { mCustom->Refresh(); });
}

// Also the form's own SetFocus: focus given to the form goes on to the hosted control.
void FDialogWrapper::SetFocus()
{
    if (mCustom) IgnoreErrors([&] { mCustom->SetFocus(); });
}

} // namespace ztest
