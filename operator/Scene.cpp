#include "operator/Scene.h"

namespace zop {

const ButtonState& Scene::Button(int id) const
{
    static const ButtonState none;
    auto found = buttons.find(id);
    return found == buttons.end() ? none : found->second;
}

bool Scene::Usable(int id) const
{
    const ButtonState& state = Button(id);
    return windowShown && state.visible && state.enabled;
}

bool Scene::Ready() const
{
    return Usable(button::Start) && Button(button::Start).caption == "Start";
}

bool Scene::Running() const
{
    return Usable(button::Start) && Button(button::Start).caption == "Stop";
}

bool Scene::Done() const
{
    return Usable(button::Start) && Button(button::Start).caption == "Next";
}

} // namespace zop
