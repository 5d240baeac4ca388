#pragma once

#include "platform/base/Unknown.h"
#include "platform/ui/Event.h"
#include "platform/ui/EventInfo.h"
#include "platform/ui/Window.h"

#include <memory>
#include <optional>
#include <string>

namespace plat {

class UserControl;

// The container's view of a control added at run time by ProgID: its name, place, size and
// visibility on the container, the object itself, and its events by name. Once the control is
// destroyed every setter does nothing and the getters read what was last set.
class ControlExtender : public virtual IUnknown {
public:
    explicit ControlExtender(std::shared_ptr<UserControl> control);

    const std::string& Name() const;
    // The control's own object, as created by ProgID.
    ObjectPtr Object() const;
    const std::shared_ptr<UserControl>& Control() const { return mControl; }
    HWnd hWnd() const;

    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    void Move(float left, std::optional<float> top = {}, std::optional<float> width = {},
              std::optional<float> height = {});
    bool Visible() const;
    void SetVisible(bool v);
    bool Enabled() const;
    void SetEnabled(bool v);
    void ZOrder(int position = 0);
    void SetFocus();

    // The control's events by name with their arguments.
    Event<const EventInfo&> ObjectEvent;

private:
    bool Alive() const;

    std::shared_ptr<UserControl> mControl;
};

} // namespace plat
