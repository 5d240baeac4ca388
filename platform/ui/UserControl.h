#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/ControlCollection.h"
#include "platform/ui/EventInfo.h"

#include <memory>
#include <string>
#include <vector>

namespace plat {

class ControlExtender;
class PropertyBag;

// A user control: a control made of other controls, with a naming scope of its own. Classes
// that a catalogue or a wrapper creates by ProgID derive from it; their constructor is the
// control's start (it runs before the control is placed anywhere). A user control that no
// container holds is a top-level window of its own, visible unless hidden.
class UserControl : public Control {
public:
    explicit UserControl(std::string kind = "UserControl");
    ~UserControl() override;

    ControlCollection& Controls() { return mControls; }
    int BorderStyle() const { return mBorderStyle; }  // 0 none, 1 fixed single
    void SetBorderStyle(int v);
    bool CanFocus() const override { return true; }

    // Raises an event of this control: the typed subscribers of GenericEvent and, when the
    // control was added by ProgID, its extender's ObjectEvent see it by name with its arguments.
    void RaiseEvent(const std::string& name, std::vector<Variant> args = {});
    Event<const EventInfo&> GenericEvent;
    // Raised once when the control is destroyed (its container unloaded or removed it).
    Event<> Terminate;

    // The properties the control keeps between sessions (PropertyBag.h): its container hands
    // them over when the control is placed and asks for them when it saves its design. The
    // control reads and writes its own; the defaults do nothing.
    virtual void ReadProperties(const PropertyBag& bag);
    virtual void WriteProperties(PropertyBag& bag) const;
    // Tells the container that a kept property changed, so that its design needs saving.
    void PropertyChanged(const std::string& name);
    // The names passed to PropertyChanged since the properties were last written, in order.
    const std::vector<std::string>& ChangedProperties() const { return mChangedProperties; }
    void ClearChangedProperties() { mChangedProperties.clear(); }

    // The extender through which the container sees the control; null unless it was added by
    // ProgID.
    std::shared_ptr<ControlExtender> Extender() const { return mExtender.lock(); }

protected:
    bool IsNamingScope() const override { return true; }
    void OnDestroy() override;

private:
    friend class ControlCollection;

    ControlCollection mControls;
    std::weak_ptr<ControlExtender> mExtender;
    int mBorderStyle = 0;
    std::vector<std::string> mChangedProperties;
};

} // namespace plat
