#include "platform/ui/Form.h"

#include "platform/loop/EventLoop.h"
#include "platform/ui/UiError.h"

#include <algorithm>

namespace plat {

namespace {

// Never destroyed: a form held by another static object leaves the registry at the end of the
// process, after the statics of this file may be gone.
std::vector<std::weak_ptr<Form>>& Registry()
{
    static auto* forms = new std::vector<std::weak_ptr<Form>>();
    return *forms;
}

} // namespace

Form::Form(std::string name) : Window("Form"), mFormName(std::move(name)), mControls(*this)
{
    mVisible = false;
}

// A form released without Unload still takes its controls down while it is whole, so that no
// handler of a control runs against a half-destroyed form. It also leaves the registry: a form
// made with make_shared shares one block with its control block, so a leftover weak_ptr would
// keep the whole form's memory for the life of the process.
Form::~Form()
{
    if (!IsDestroyed()) Destroy();
    // Owners are gone by now, so this form's own entry is one of the expired ones.
    std::erase_if(Registry(), [](const std::weak_ptr<Form>& f) { return f.expired(); });
}

void Form::Load()
{
    if (mLoaded || mUnloaded) return;
    auto keep = KeepAlive();
    mLoaded = true;
    if (keep) Registry().push_back(std::static_pointer_cast<Form>(keep));
    OnLoad();
    Raise(Loaded);
}

void Form::Show(int style)
{
    if (mUnloaded) return;
    if (style != vbModeless && style != vbModal) RaiseUiError(uierr::InvalidCall, "Form " + mFormName);
    auto keep = KeepAlive();
    Load();
    if (mUnloaded) return; // a Loaded handler ended the form
    if (style == vbModal && (mModalDepth > 0 || mVisible)) {
        RaiseUiError(uierr::AlreadyShownModally, "Form " + mFormName);
    }
    bool wasVisible = mVisible;
    SetVisible(true);
    if (!mShownOnce) {
        mShownOnce = true;
        Raise(Resize);
    }
    if (!wasVisible) Raise(Activate);
    if (style != vbModal) return;

    struct ModalScope {
        int& depth;
        explicit ModalScope(int& d) : depth(d) { ++depth; }
        ~ModalScope() { --depth; }
    } scope(mModalDepth);
    Loop().RunUntil([this] { return !mVisible || mUnloaded; });
}

void Form::Hide()
{
    if (mUnloaded) return;
    SetVisible(false);
}

void Form::Unload()
{
    if (mUnloaded) return;
    auto keep = KeepAlive();
    mUnloaded = true;
    if (mLoaded) {
        OnUnload();
        Raise(Unloading);
    }
    SetVisible(false);
    Destroy();
    mControls.Prune();
    std::erase_if(Registry(), [this](const std::weak_ptr<Form>& f) {
        auto p = f.lock();
        return !p || p.get() == this;
    });
}

void Form::SetFocus()
{
    if (mUnloaded || !IsShownOnScreen() || !IsEnabledOnScreen()) RaiseUiError(uierr::InvalidCall, "Form " + mFormName);
    ChangeFocus(this);
}

bool Form::HasFocus() const { return hWnd() != 0 && GetFocus() == hWnd(); }

void Form::MapTexts(const TextMap& map)
{
    if (mCaption.empty()) return;
    std::string mapped = map(mCaption);
    if (mapped != mCaption) mCaption = mapped;
}

std::size_t RegisteredFormCount() { return Registry().size(); }

std::vector<std::shared_ptr<Form>> LoadedForms()
{
    std::vector<std::shared_ptr<Form>> forms;
    std::erase_if(Registry(), [](const std::weak_ptr<Form>& f) { return f.expired(); });
    for (const auto& weak : Registry()) {
        auto form = weak.lock();
        if (form && form->IsLoaded()) forms.push_back(form);
    }
    return forms;
}

} // namespace plat
