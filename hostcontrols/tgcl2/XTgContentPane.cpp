#include "hostcontrols/tgcl2/XTgContentPane.h"

#include "host/guide/HostWizardPage.h"
#include "platform/base/ComError.h"
#include "platform/com/ServerEntryPoints.h"

#include <algorithm>

namespace host {

namespace {

std::weak_ptr<plat::Window> WindowOf(const plat::ObjectPtr& control)
{
    return std::dynamic_pointer_cast<plat::Window>(control);
}

// Places a window, never with a negative size; a window that is gone is passed over.
void Place(const std::weak_ptr<plat::Window>& target, float left, float top, float width, float height, bool visible)
{
    auto window = target.lock();
    if (!window || window->IsDestroyed()) return;
    plat::IgnoreErrors([&] { window->Move(left, top, std::max(0.0f, width), std::max(0.0f, height)); });
    window->SetVisible(visible);
}

} // namespace

XTgContentPane::XTgContentPane() : plat::UserControl("XTgContentPane")
{
    mResize = Resize.Connect([this] { Layout(); });
}

void XTgContentPane::Initialize(const std::shared_ptr<ITestElement>& element, const std::shared_ptr<HostTestContext>& context)
{
    mElement = element;
    mContext = context;
}

void XTgContentPane::SetResultView(const plat::ObjectPtr& control)
{
    mResultView = WindowOf(control);
    Layout();
}

void XTgContentPane::SetStepList(const plat::ObjectPtr& control)
{
    mStepList = WindowOf(control);
    Layout();
}

int16_t XTgContentPane::AddPage(const std::shared_ptr<HostWizardPage>& page, const plat::ObjectPtr& control)
{
    mPages.push_back(PageEntry{page, WindowOf(control)});
    Layout();
    return static_cast<int16_t>(mPages.size());
}

void XTgContentPane::SetWindow(const std::shared_ptr<plat::Window>& window)
{
    mWindow = window;
    Layout();
}

void XTgContentPane::ReleaseWindow() { mWindow.reset(); }

void XTgContentPane::Terminate()
{
    mPages.clear();
    mResultView.reset();
    mStepList.reset();
    mElement.reset();
    mContext.reset();
    mSelected = 0;
}

std::string XTgContentPane::PageCaption(int16_t index)
{
    if (index < 1 || static_cast<size_t>(index) > mPages.size()) return {};
    const auto& record = mPages[static_cast<size_t>(index - 1)].record;
    return record ? record->Caption() : std::string();
}

std::shared_ptr<HostWizardPage> XTgContentPane::Page(int16_t index) const
{
    if (index < 1 || static_cast<size_t>(index) > mPages.size()) return nullptr;
    return mPages[static_cast<size_t>(index - 1)].record;
}

bool XTgContentPane::UserSelectPage(int16_t index)
{
    if (index < 0 || index >= PageCount() || IsDestroyed()) return false;
    mSelected = index;
    Layout();
    return true;
}

void XTgContentPane::Layout()
{
    if (IsDestroyed()) return;
    const float left = Left();
    const float top = Top() + TabHeight;
    const float width = std::max(0.0f, Width());
    const float height = std::max(0.0f, Height() - TabHeight);
    const float stepHeight = height * StepListShare;
    const bool first = mSelected == 0;
    Place(mStepList, left, top, width, stepHeight, first);
    Place(mResultView, left, top + stepHeight, width, height - stepHeight, first);
    for (size_t i = 0; i < mPages.size(); ++i) {
        Place(mPages[i].control, left, top, width, height, static_cast<size_t>(mSelected) == i + 1);
    }
    RaiseEvent(EventLayoutChanged);
}

} // namespace host

ZARVIK_REGISTER_CLASS(host::XTgContentPane, host::XTgContentPane::ProgId, host::XTgContentPane::ClassId)
