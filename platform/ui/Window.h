#pragma once

#include "platform/base/Unknown.h"
#include "platform/ui/Event.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plat {

using HWnd = int32_t;

class Control;
class Form;

// Maps one user-visible text to another (the host translator uses it to translate captions).
using TextMap = std::function<std::string(const std::string&)>;

// A window of the headless user interface: a form or a control. It has a handle that is unique
// while it lives, a place and size in twips, its own visibility and enabled state, and the
// controls it contains. Windows are always held by std::shared_ptr; the window that contains
// a control owns it.
//
// Two parent relations exist, as on the original platform: the container (the form, frame,
// picture box or user control that owns the control and in whose names it is known) and the
// window parent (whose visibility and enabled state it inherits on screen). They agree until
// SetParent moves the window under another window by handle.
class Window : public virtual IUnknown, public std::enable_shared_from_this<Window> {
public:
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The kind of window ("TextBox", "Form", the class name of a user control).
    const std::string& Kind() const { return mKind; }

    // The window handle; 0 once the window is destroyed.
    HWnd hWnd() const { return mHandle; }

    float Left() const { return mLeft; }
    float Top() const { return mTop; }
    float Width() const { return mWidth; }
    float Height() const { return mHeight; }
    void SetLeft(float v);
    void SetTop(float v);
    void SetWidth(float v);   // negative: error 380
    void SetHeight(float v);  // negative: error 380
    // Moves and sizes at once; left-out values keep theirs. Nothing changes when a value is refused.
    void Move(float left, std::optional<float> top = {}, std::optional<float> width = {},
              std::optional<float> height = {});
    // The inner size in which children are laid out. The model draws no borders, so it is the
    // outer size.
    float ScaleWidth() const { return mWidth; }
    float ScaleHeight() const { return mHeight; }

    bool Visible() const { return mVisible; }
    virtual void SetVisible(bool v);
    bool Enabled() const { return mEnabled; }
    virtual void SetEnabled(bool v);
    // Visible on screen: this window and every window parent up to the desktop are visible.
    bool IsShownOnScreen() const;
    // Usable: this window and every window parent are enabled.
    bool IsEnabledOnScreen() const;

    // Redraws the window. Nothing is drawn; the count lets tests see that a redraw was asked for.
    virtual void Refresh();
    int RefreshCount() const { return mRefreshCount; }

    // 0 brings the window to the front of its container's children, 1 sends it to the back.
    void ZOrder(int position = 0);
    // The position among the container's children, 0 at the back.
    int ZIndex() const;

    Window* Container() const { return mContainer; }
    const std::vector<std::shared_ptr<Control>>& Children() const { return mChildren; }
    // The form that this window is on (itself for a form); null for a window on no form.
    Form* ParentForm() const;

    // Adds a new control of type T to this window under a name (unique in the naming scope:
    // the form or user control the window belongs to) and returns it. A taken name raises 727.
    template <class T, class... A>
    std::shared_ptr<T> Add(const std::string& name, A&&... args)
    {
        return AddIndexed<T>(name, -1, std::forward<A>(args)...);
    }
    // Adds element `index` (0 or more) of the control array `name`; -1 adds a plain control.
    template <class T, class... A>
    std::shared_ptr<T> AddIndexed(const std::string& name, int index, A&&... args)
    {
        auto control = std::make_shared<T>(std::forward<A>(args)...);
        Site(control, name, index);
        return control;
    }

    // Looks a control up by name (and index within a control array) in this window's naming
    // scope, whatever container it sits in; null when there is none.
    std::shared_ptr<Control> FindControl(const std::string& name, int index = -1) const;
    template <class T>
    std::shared_ptr<T> FindAs(const std::string& name, int index = -1) const
    {
        return std::dynamic_pointer_cast<T>(FindControl(name, index));
    }
    // The indexes of a control array, in ascending order (empty when there is no such array).
    std::vector<int> ArrayIndexes(const std::string& name) const;
    // Every control named in this naming scope, in the order they were added.
    std::vector<std::shared_ptr<Control>> NamedControls() const;

    bool IsDestroyed() const { return mDestroyed; }
    // Destroys the window: its children first, then itself. Later use of the object is harmless:
    // it raises no events, runs no timers, cannot take the focus and has handle 0.
    void Destroy();

    // Applies a text map to the user-visible texts of this window (captions, tool tips, tab
    // captions, headers; never what a text box holds); a text is assigned again only
    // when the map changes it.
    virtual void MapTexts(const TextMap& map);

    // Raised when the size changes, by code or by the operator.
    Event<> Resize;

protected:
    explicit Window(std::string kind);

    // A form and a user control each keep the names of the controls inside them.
    virtual bool IsNamingScope() const { return false; }
    // Called once when the window is destroyed, before its children are.
    virtual void OnDestroy() {}

    // Fires an event of this window unless it is destroyed, keeping the window alive meanwhile
    // (a handler may drop the last reference to it).
    template <class... A, class... B>
    void Raise(Event<A...>& event, B&&... args)
    {
        if (mDestroyed) return;
        auto keep = KeepAlive();
        event.Fire(std::forward<B>(args)...);
    }
    std::shared_ptr<Window> KeepAlive() { return weak_from_this().lock(); }

    // Places a control into this window under a name; used by Add and by Controls.Add.
    void Site(const std::shared_ptr<Control>& control, const std::string& name, int index);

    // Gives the focus to this window (or takes it away with nullptr), raising the events.
    static void ChangeFocus(Window* target);
    virtual void OnGotFocus() {}
    virtual void OnLostFocus() {}

    bool mVisible = true;
    bool mEnabled = true;
    // The name and array index a control was sited with (kept here so that the naming scope
    // can forget it even while the control is being torn down).
    std::string mName;
    int mIndex = -1;

private:
    friend class ControlCollection;
    friend HWnd SetParent(HWnd child, HWnd parent);
    friend HWnd GetParent(HWnd window);
    friend HWnd GetFocus();

    struct NameLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    using NameTable = std::map<std::string, std::map<int, Window*>, NameLess>;

    Window* NamingScope();
    const Window* NamingScope() const;
    void Unregister();
    void SetSize(std::optional<float> width, std::optional<float> height);

    std::string mKind;
    HWnd mHandle = 0;
    HWnd mParentHandle = 0;
    float mLeft = 0, mTop = 0, mWidth = 0, mHeight = 0;
    int mRefreshCount = 0;
    bool mDestroyed = false;
    Window* mContainer = nullptr;  // cleared by the container when it goes
    Window* mScope = nullptr;      // the naming scope the window's name is kept in
    std::vector<std::shared_ptr<Control>> mChildren;
    NameTable mNames;              // naming scopes only
    std::vector<Window*> mNameOrder;
};

// Applies a text map to a window and everything inside it.
void MapTextsDeep(Window& window, const TextMap& map);

// Window functions by handle, as the platform offers them.
// The desktop: the window parent of every top-level window; always visible.
HWnd GetDesktopWindow();
bool IsWindow(HWnd window);
bool IsWindowVisible(HWnd window);
bool IsWindowEnabled(HWnd window);
// The window of a handle; null for an unknown or destroyed one.
Window* WindowFromHandle(HWnd window);
// Makes `child` a child window of `parent` (0: of the desktop). Returns the previous parent, or
// 0 when the call fails (no such child or parent, or the parent lies inside the child).
HWnd SetParent(HWnd child, HWnd parent);
// The window parent of a window; 0 for an unknown one.
HWnd GetParent(HWnd window);
// The window that has the input focus; 0 when none has.
HWnd GetFocus();

} // namespace plat
