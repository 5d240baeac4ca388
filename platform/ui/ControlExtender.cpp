#include "platform/ui/ControlExtender.h"

#include "platform/ui/UserControl.h"

namespace plat {

ControlExtender::ControlExtender(std::shared_ptr<UserControl> control) : mControl(std::move(control)) {}

bool ControlExtender::Alive() const { return mControl && !mControl->IsDestroyed(); }

const std::string& ControlExtender::Name() const { return mControl->Name(); }

ObjectPtr ControlExtender::Object() const { return mControl; }

HWnd ControlExtender::hWnd() const { return mControl->hWnd(); }

float ControlExtender::Left() const { return mControl->Left(); }
float ControlExtender::Top() const { return mControl->Top(); }
float ControlExtender::Width() const { return mControl->Width(); }
float ControlExtender::Height() const { return mControl->Height(); }

void ControlExtender::Move(float left, std::optional<float> top, std::optional<float> width,
                           std::optional<float> height)
{
    if (Alive()) mControl->Move(left, top, width, height);
}

bool ControlExtender::Visible() const { return mControl->Visible(); }

void ControlExtender::SetVisible(bool v)
{
    if (Alive()) mControl->SetVisible(v);
}

bool ControlExtender::Enabled() const { return mControl->Enabled(); }

void ControlExtender::SetEnabled(bool v)
{
    if (Alive()) mControl->SetEnabled(v);
}

void ControlExtender::ZOrder(int position)
{
    if (Alive()) mControl->ZOrder(position);
}

void ControlExtender::SetFocus() { mControl->SetFocus(); }

} // namespace plat
