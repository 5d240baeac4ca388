#include "platform/ui/UserControl.h"

#include "platform/ui/ControlExtender.h"

namespace plat {

UserControl::UserControl(std::string kind) : Control(std::move(kind)), mControls(*this)
{
    // The usual extent of a new user control.
    Move(0, 0, 4800, 3600);
}

UserControl::~UserControl() = default;

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
