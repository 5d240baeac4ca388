#pragma once

#include "platform/ui/Colors.h"
#include "platform/ui/ControlCollection.h"
#include "platform/ui/Window.h"

#include <memory>
#include <string>
#include <vector>

namespace plat {

class Bitmap;

// Show styles.
constexpr int vbModeless = 0;
constexpr int vbModal = 1;

// A form: a top-level window with a caption, its controls and a life of its own. Load runs
// once; Unload ends the form for good: it raises Unloading, destroys every control on it, and
// after it every call on the form is harmless and does nothing (a form is never loaded again).
// Forms start hidden. Show, Hide, Unload and SetFocus are virtual so that a form that is also
// a host dialog answers them the same way whichever interface is used.
class Form : public Window {
public:
    explicit Form(std::string name = "Form");
    ~Form() override;

    const std::string& Name() const { return mFormName; }
    const std::string& Caption() const { return mCaption; }
    void SetCaption(const std::string& v) { mCaption = v; }
    const std::shared_ptr<Bitmap>& Icon() const { return mIcon; }
    void SetIcon(std::shared_ptr<Bitmap> v) { mIcon = std::move(v); }
    int32_t BackColor() const { return mBackColor; }
    void SetBackColor(int32_t v) { mBackColor = v; }

    // Loads the form (raises Loaded) unless it is loaded or was unloaded.
    void Load();
    bool IsLoaded() const { return mLoaded && !mUnloaded; }
    bool IsUnloaded() const { return mUnloaded; }

    // Shows the form, loading it first when needed. Modeless returns at once. Modal pumps the
    // event loop until the form is hidden or unloaded; since nested loops unwind in order, it
    // returns only after every handler that runs above it has returned. A form that is already
    // shown modally raises 400.
    virtual void Show(int style = vbModeless);
    virtual void Hide();
    // Ends the form: raises Unloading, hides it, destroys its controls.
    virtual void Unload();
    bool IsShownModally() const { return mModalDepth > 0; }

    // Gives the form itself the input focus (raises GotFocus); 5 when it is not shown.
    virtual void SetFocus();
    bool HasFocus() const;

    ControlCollection& Controls() { return mControls; }

    void MapTexts(const TextMap& map) override;

    Event<> Loaded;
    Event<> Unloading;
    // Raised when Show makes the form the active window.
    Event<> Activate;
    Event<> GotFocus;
    Event<> LostFocus;
    // Raised when the operator closes the form from its frame; a handler that sets the flag
    // keeps the form.
    Event<bool&> CloseRequest;

    // The operator closes the form from its frame: CloseRequest, then Unload unless a handler
    // kept the form (FormClose.cpp).
    void UserClose();

protected:
    bool IsNamingScope() const override { return true; }
    // Hooks for forms that set themselves up and tear themselves down: called before the
    // Loaded and Unloading events.
    virtual void OnLoad() {}
    virtual void OnUnload() {}
    void OnGotFocus() override { Raise(GotFocus); }
    void OnLostFocus() override { Raise(LostFocus); }

private:
    std::string mFormName;
    std::string mCaption;
    std::shared_ptr<Bitmap> mIcon;
    int32_t mBackColor = color::ButtonFace;
    bool mLoaded = false;
    bool mUnloaded = false;
    bool mShownOnce = false;
    int mModalDepth = 0;
    ControlCollection mControls;
};

// The forms that are loaded and not unloaded, in the order they were loaded.
std::vector<std::shared_ptr<Form>> LoadedForms();
// How many forms the registry behind LoadedForms holds: only live ones, since a form leaves it
// when it is unloaded or destroyed. For tests that a long-running host stays flat.
std::size_t RegisteredFormCount();

} // namespace plat
