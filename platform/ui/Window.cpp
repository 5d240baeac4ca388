#include "platform/ui/Window.h"

#include "platform/base/ComError.h"
#include "platform/ui/Control.h"
#include "platform/ui/Form.h"
#include "platform/ui/UiError.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <unordered_map>

namespace plat {

namespace {

constexpr HWnd kDesktop = 0x10;

// Handles are never reused while the process runs, so a stale handle finds nothing.
HWnd gNextHandle = 0x1000;
Window* gFocus = nullptr;

std::unordered_map<HWnd, Window*>& Table()
{
    static std::unordered_map<HWnd, Window*> table;
    return table;
}

// Windows that can no longer be seen or used lose the focus, without events.
void DropFocusIfUnreachable()
{
    if (gFocus && (!gFocus->IsShownOnScreen() || !gFocus->IsEnabledOnScreen())) gFocus = nullptr;
}

void RefuseGeometry(float v, bool size, const Window& w)
{
    if (!std::isfinite(v) || (size && v < 0)) RaiseUiError(uierr::InvalidPropertyValue, w.Kind());
}

} // namespace

bool Window::NameLess::operator()(const std::string& a, const std::string& b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

Window::Window(std::string kind) : mKind(std::move(kind))
{
    mHandle = gNextHandle;
    gNextHandle += 4;
    mParentHandle = kDesktop;
    Table()[mHandle] = this;
}

Window::~Window()
{
    // The children go with their container; they must not reach back into it.
    for (auto& child : mChildren) {
        child->mContainer = nullptr;
        child->Destroy();
    }
    Unregister();
}

void Window::Unregister()
{
    if (mScope) {
        auto it = mScope->mNames.find(mName);
        if (it != mScope->mNames.end()) {
            it->second.erase(mIndex);
            if (it->second.empty()) mScope->mNames.erase(it);
        }
        std::erase(mScope->mNameOrder, this);
        mScope = nullptr;
    }
    if (gFocus == this) gFocus = nullptr;
    if (mHandle != 0) {
        Table().erase(mHandle);
        mHandle = 0;
    }
}

void Window::Destroy()
{
    if (mDestroyed) return;
    auto keep = KeepAlive();
    OnDestroy();
    if (mDestroyed) return; // OnDestroy's handlers destroyed us already
    mDestroyed = true;
    auto children = mChildren;
    for (auto& child : children) child->Destroy();
    mChildren.clear();
    if (mContainer) {
        std::erase_if(mContainer->mChildren, [this](const std::shared_ptr<Control>& c) { return c.get() == this; });
        mContainer = nullptr;
    }
    Unregister();
    mNames.clear();
    mNameOrder.clear();
}

void Window::SetLeft(float v)
{
    RefuseGeometry(v, false, *this);
    mLeft = v;
}

void Window::SetTop(float v)
{
    RefuseGeometry(v, false, *this);
    mTop = v;
}

void Window::SetWidth(float v)
{
    RefuseGeometry(v, true, *this);
    SetSize(v, std::nullopt);
}

void Window::SetHeight(float v)
{
    RefuseGeometry(v, true, *this);
    SetSize(std::nullopt, v);
}

void Window::Move(float left, std::optional<float> top, std::optional<float> width, std::optional<float> height)
{
    RefuseGeometry(left, false, *this);
    if (top) RefuseGeometry(*top, false, *this);
    if (width) RefuseGeometry(*width, true, *this);
    if (height) RefuseGeometry(*height, true, *this);
    mLeft = left;
    if (top) mTop = *top;
    SetSize(width, height);
}

void Window::SetSize(std::optional<float> width, std::optional<float> height)
{
    bool changed = false;
    if (width && *width != mWidth) {
        mWidth = *width;
        changed = true;
    }
    if (height && *height != mHeight) {
        mHeight = *height;
        changed = true;
    }
    if (changed) Raise(Resize);
}

void Window::SetVisible(bool v)
{
    if (mVisible == v) return;
    mVisible = v;
    DropFocusIfUnreachable();
}

void Window::SetEnabled(bool v)
{
    if (mEnabled == v) return;
    mEnabled = v;
    DropFocusIfUnreachable();
}

bool Window::IsShownOnScreen() const
{
    const Window* w = this;
    while (w) {
        if (w->mDestroyed || !w->mVisible) return false;
        if (w->mParentHandle == kDesktop) return true;
        w = WindowFromHandle(w->mParentHandle);
    }
    return false;
}

bool Window::IsEnabledOnScreen() const
{
    const Window* w = this;
    while (w) {
        if (w->mDestroyed || !w->mEnabled) return false;
        if (w->mParentHandle == kDesktop) return true;
        w = WindowFromHandle(w->mParentHandle);
    }
    return false;
}

void Window::Refresh()
{
    if (!mDestroyed) ++mRefreshCount;
}

void Window::ZOrder(int position)
{
    if (!mContainer) return;
    auto& siblings = mContainer->mChildren;
    auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& c) { return c.get() == this; });
    if (it == siblings.end()) return;
    auto self = *it;
    siblings.erase(it);
    if (position == 0) {
        siblings.push_back(self);
    } else {
        siblings.insert(siblings.begin(), self);
    }
}

int Window::ZIndex() const
{
    if (!mContainer) return 0;
    const auto& siblings = mContainer->mChildren;
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i].get() == this) return static_cast<int>(i);
    }
    return 0;
}

Form* Window::ParentForm() const
{
    for (const Window* w = this; w; w = w->mContainer) {
        if (auto* form = dynamic_cast<const Form*>(w)) return const_cast<Form*>(form);
    }
    return nullptr;
}

Window* Window::NamingScope()
{
    Window* w = this;
    while (!w->IsNamingScope() && w->mContainer) w = w->mContainer;
    return w;
}

const Window* Window::NamingScope() const
{
    return const_cast<Window*>(this)->NamingScope();
}

void Window::Site(const std::shared_ptr<Control>& control, const std::string& name, int index)
{
    if (mDestroyed || !control || control->mContainer || control->mDestroyed || control.get() == this) {
        RaiseUiError(uierr::InvalidCall, mKind);
    }
    if (name.empty() || index < -1) RaiseUiError(uierr::InvalidPropertyValue, mKind);
    Window* scope = NamingScope();
    auto it = scope->mNames.find(name);
    if (it != scope->mNames.end()) {
        // A plain control and a control array never share a name; array elements differ by index.
        const auto& byIndex = it->second;
        if (index == -1 || byIndex.count(-1) || byIndex.count(index)) {
            throw ComError(uierr::DuplicateControlName, mKind,
                           "There is already a control with the name '" + name + "'");
        }
    }
    scope->mNames[name][index] = control.get();
    scope->mNameOrder.push_back(control.get());
    control->mName = name;
    control->mIndex = index;
    control->mScope = scope;
    control->mContainer = this;
    control->mParentHandle = mHandle;
    mChildren.push_back(control);
}

std::shared_ptr<Control> Window::FindControl(const std::string& name, int index) const
{
    const Window* scope = NamingScope();
    auto it = scope->mNames.find(name);
    if (it == scope->mNames.end()) return nullptr;
    auto found = it->second.find(index);
    if (found == it->second.end()) return nullptr;
    return std::static_pointer_cast<Control>(found->second->weak_from_this().lock());
}

std::vector<int> Window::ArrayIndexes(const std::string& name) const
{
    std::vector<int> indexes;
    const Window* scope = NamingScope();
    auto it = scope->mNames.find(name);
    if (it == scope->mNames.end()) return indexes;
    for (const auto& [index, control] : it->second) {
        if (index >= 0) indexes.push_back(index);
    }
    return indexes;
}

std::vector<std::shared_ptr<Control>> Window::NamedControls() const
{
    std::vector<std::shared_ptr<Control>> controls;
    for (Window* c : NamingScope()->mNameOrder) {
        if (auto p = c->weak_from_this().lock()) controls.push_back(std::static_pointer_cast<Control>(p));
    }
    return controls;
}

void Window::MapTexts(const TextMap&) {}

void Window::ChangeFocus(Window* target)
{
    Window* old = gFocus;
    if (old == target) return;
    gFocus = target;
    if (old) {
        auto keep = old->KeepAlive();
        old->OnLostFocus();
    }
    // A LostFocus handler may have moved the focus elsewhere meanwhile.
    if (target && gFocus == target) {
        auto keep = target->KeepAlive();
        target->OnGotFocus();
    }
}

void MapTextsDeep(Window& window, const TextMap& map)
{
    window.MapTexts(map);
    auto children = window.Children();
    for (auto& child : children) MapTextsDeep(*child, map);
}

HWnd GetDesktopWindow() { return kDesktop; }

Window* WindowFromHandle(HWnd window)
{
    auto it = Table().find(window);
    return it == Table().end() ? nullptr : it->second;
}

bool IsWindow(HWnd window) { return window == kDesktop || WindowFromHandle(window) != nullptr; }

bool IsWindowVisible(HWnd window)
{
    if (window == kDesktop) return true;
    Window* w = WindowFromHandle(window);
    return w && w->IsShownOnScreen();
}

bool IsWindowEnabled(HWnd window)
{
    if (window == kDesktop) return true;
    Window* w = WindowFromHandle(window);
    return w && w->IsEnabledOnScreen();
}

HWnd SetParent(HWnd child, HWnd parent)
{
    Window* c = WindowFromHandle(child);
    if (!c) return 0;
    if (parent == 0) parent = kDesktop;
    if (parent != kDesktop) {
        // The new parent must exist and must not lie inside the child: no cycles.
        for (HWnd h = parent; h != kDesktop;) {
            if (h == child) return 0;
            Window* w = WindowFromHandle(h);
            if (!w) return 0;
            h = w->mParentHandle;
        }
    }
    HWnd previous = c->mParentHandle;
    c->mParentHandle = parent;
    DropFocusIfUnreachable();
    return previous;
}

HWnd GetParent(HWnd window)
{
    Window* w = WindowFromHandle(window);
    return w ? w->mParentHandle : 0;
}

HWnd GetFocus() { return gFocus ? gFocus->mHandle : 0; }

} // namespace plat
