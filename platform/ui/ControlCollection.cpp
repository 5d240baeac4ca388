#include "platform/ui/ControlCollection.h"

#include "platform/base/ComError.h"
#include "platform/com/ComRuntime.h"
#include "platform/ui/ControlExtender.h"
#include "platform/ui/UiError.h"
#include "platform/ui/UserControl.h"

#include <algorithm>

namespace plat {

std::shared_ptr<ControlExtender> ControlCollection::Add(const std::string& progId, const std::string& name,
                                                        Window* container)
{
    Window* target = container ? container : &mScope;
    if (mScope.IsDestroyed() || target->IsDestroyed() || target->NamingScope() != &mScope) {
        RaiseUiError(uierr::InvalidCall, "Controls");
    }
    // The name is checked before anything is created, so a refused Add leaves no object behind.
    if (Contains(name)) {
        throw ComError(uierr::DuplicateControlName, "Controls",
                       "There is already a control with the name '" + name + "'");
    }
    ObjectPtr object;
    try {
        object = CreateObject(progId);
    } catch (const ComError& e) {
        // A class that cannot be created gives none; a class that fails in its own start
        // reports why, as the original did.
        if (e.Number() == rt::ClassNotRegistered) return nullptr;
        throw;
    }
    auto control = std::dynamic_pointer_cast<UserControl>(object);
    if (!control || control->Container() || control->IsDestroyed()) return nullptr;

    // Controls added at run time start hidden; the container shows them when it has placed them.
    control->SetVisible(false);
    target->Site(control, name, -1);
    auto extender = std::make_shared<ControlExtender>(control);
    control->mExtender = extender;
    mAdded.push_back(extender);
    control->Raise(control->Resize);
    return extender;
}

int ControlCollection::Count() const { return static_cast<int>(mScope.NamedControls().size()); }

bool ControlCollection::Contains(const std::string& name) const
{
    return mScope.FindControl(name) != nullptr || !mScope.ArrayIndexes(name).empty();
}

std::shared_ptr<Control> ControlCollection::Item(const std::string& name, int index) const
{
    return mScope.FindControl(name, index);
}

std::shared_ptr<ControlExtender> ControlCollection::Extender(const std::string& name) const
{
    auto control = mScope.FindControl(name);
    if (!control) return nullptr;
    for (const auto& extender : mAdded) {
        if (extender->Control() == control) return extender;
    }
    return nullptr;
}

void ControlCollection::Remove(const std::string& name)
{
    auto extender = Extender(name);
    if (!extender) return;
    extender->Control()->Destroy();
    Prune();
}

void ControlCollection::Prune()
{
    std::erase_if(mAdded, [](const std::shared_ptr<ControlExtender>& e) { return e->Control()->IsDestroyed(); });
}

} // namespace plat
