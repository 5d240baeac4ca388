#include "platform/ui/UserControl.h"

#include "platform/ui/ControlExtender.h"
#include "platform/ui/UiError.h"

namespace plat {

UserControl::UserControl(std::string kind) : Control(std::move(kind)), mControls(*this)
{
    // The usual extent of a new user control.
    Move(0, 0, 4800, 3600);
}

// Released without being destroyed by a container, the control still takes its own controls
// down while it is whole.
UserControl::~UserControl()
{
    if (!IsDestroyed()) Destroy();
}

void UserControl::SetBorderStyle(int v)
{
    if (v < 0 || v > 1) Refuse(uierr::InvalidPropertyValue);
    mBorderStyle = v;
}

void UserControl::RaiseEvent(const std::string& name, std::vector<Variant> args)
{
    if (IsDestroyed()) return;
    auto keep = KeepAlive();
    EventInfo info{name, std::move(args)};
    Raise(GenericEvent, info);
    if (auto extender = mExtender.lock(); extender && !IsDestroyed()) extender->ObjectEvent.Fire(info);
}

void UserControl::OnDestroy() { Raise(Terminate); }

} // namespace plat
