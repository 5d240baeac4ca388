#include "hostcontrols/tgcl2/XTgToolbar.h"

#include "host/elements/HostTestContext.h"
#include "host/interfaces/ILimitData.h"
#include "host/interfaces/ITestElement.h"
#include "host/standards/HostStandards.h"
#include "platform/base/ComError.h"
#include "platform/com/ServerEntryPoints.h"

#include <algorithm>

namespace host {

class XTgToolbar::TgButton : public ITgButton {
public:
    TgButton(int32_t id, std::string caption) : mId(id), mCaption(std::move(caption)) {}

    int32_t ID() override { return mId; }
    bool Enabled() override { return mEnabled; }
    void SetEnabled(bool enabled) override { mEnabled = enabled; }
    bool Pressed() override { return mPressed; }
    bool Visible() override { return mVisible; }
    std::string Caption() override { return mCaption; }

    void SetPressed(bool pressed) { mPressed = pressed; }
    void SetVisible(bool visible) { mVisible = visible; }
    void SetCaption(std::string caption) { mCaption = std::move(caption); }

private:
    int32_t mId;
    std::string mCaption;
    bool mEnabled = true;
    bool mPressed = false;
    bool mVisible = true;
};

class XTgToolbar::TgStatusField : public ITgStatusField {
public:
    int16_t Status() override { return mStatus; }
    void SetStatus(int16_t status) override { mStatus = status; }
    std::string Text() override { return mText; }
    void SetText(const std::string& text) override { mText = text; }

private:
    int16_t mStatus = 0;
    std::string mText;
};

namespace {

class StandardSelection : public ITgStandardSelection {
public:
    StandardSelection(std::string alphaName, std::string completeName, bool calculate)
        : mAlphaName(std::move(alphaName)), mCompleteName(std::move(completeName)), mCalculate(calculate)
    {
    }
    std::string AlphaName() override { return mAlphaName; }
    std::string CompleteName() override { return mCompleteName; }
    bool Calculate() override { return mCalculate; }

private:
    std::string mAlphaName;
    std::string mCompleteName;
    bool mCalculate;
};

} // namespace

XTgToolbar::XTgToolbar() : plat::UserControl("XTgToolbar"), mStatus(std::make_shared<TgStatusField>())
{
    const std::pair<int32_t, const char*> buttons[] = {
        {ButtonAbort, "Abort"}, {ButtonPrevious, "Previous"}, {ButtonNext, "Next"}, {ButtonStop, "Stop"},
        {ButtonStart, "Start"}, {ButtonNA, "N/A"},           {ButtonSkip, "Skip"},
    };
    for (const auto& [id, caption] : buttons) mButtons[id] = std::make_shared<TgButton>(id, caption);
    Move(0, 0, 9000, DefaultHeight);
    SetRunMode(0);
    mOwnResize = Resize.Connect([this] {
        FollowContainer();
        RaiseEvent(EventSizeChanged);
    });
}

XTgToolbar::~XTgToolbar() = default;

// Like a toolbar aligned to the bottom of its window: whenever either is sized, the toolbar
// takes the container's whole width and sits on its bottom edge.
void XTgToolbar::FollowContainer()
{
    auto* container = Container();
    if (!container) return;
    if (!mContainerResize.Connected()) {
        mContainerResize = container->Resize.Connect([this] { FollowContainer(); });
    }
    float top = std::max(0.0f, container->ScaleHeight() - Height());
    if (Left() != 0 || Top() != top || Width() != container->ScaleWidth()) {
        plat::IgnoreErrors([&] { Move(0, top, container->ScaleWidth()); });
    }
}

std::shared_ptr<XTgToolbar::TgButton> XTgToolbar::Find(int32_t id) const
{
    auto found = mButtons.find(id);
    return found == mButtons.end() ? nullptr : found->second;
}

std::shared_ptr<ITgButton> XTgToolbar::Button(int32_t id) { return Find(id); }

std::shared_ptr<ITgStatusField> XTgToolbar::StatusField() { return mStatus; }

std::shared_ptr<ITgStandardSelection> XTgToolbar::CurrentStandard()
{
    if (mSelected < 0 || static_cast<size_t>(mSelected) >= mStandards.size()) return nullptr;
    const auto& name = mStandards[static_cast<size_t>(mSelected)];
    return std::make_shared<StandardSelection>(name.alphaName, name.completeName, mCalculate);
}

void XTgToolbar::SetRunMode(int32_t mode)
{
    static const char* const faces[] = {"Start", "Stop", "Next"};
    if (mode < 0 || mode > 2) return;
    mRunMode = mode;
    const bool running = mode == 1;
    Find(ButtonStart)->SetCaption(faces[mode]);
    Find(ButtonStart)->SetPressed(running);
    Find(ButtonStart)->SetEnabled(true);
    Find(ButtonAbort)->SetEnabled(true);
    Find(ButtonPrevious)->SetEnabled(!running);
    Find(ButtonNext)->SetEnabled(!running);
    Find(ButtonStop)->SetEnabled(running);
    Find(ButtonNA)->SetEnabled(!running);
    Find(ButtonSkip)->SetEnabled(!running);
    Refresh();
}

void XTgToolbar::SetBusy(bool busy, bool lock)
{
    mBusy = busy;
    mLocked = lock;
}

void XTgToolbar::Configure(int32_t& flags, int32_t buttons)
{
    Find(ButtonSkip)->SetVisible((flags & ShowSkip) != 0);
    Find(ButtonNA)->SetVisible((flags & ShowNA) != 0);
    Find(ButtonAbort)->SetVisible((flags & ShowAbort) != 0);
    Find(ButtonPrevious)->SetVisible((buttons & ShowPrevious) != 0);
    Find(ButtonNext)->SetVisible((buttons & ShowNext) != 0);
    Refresh();
}

void XTgToolbar::Attach(const std::shared_ptr<ITestElement>& element, const std::shared_ptr<HostTestContext>& context)
{
    mStandards.clear();
    mSelected = -1;
    std::shared_ptr<HostStandards> held;
    plat::IgnoreErrors([&] {
        if (auto limits = element ? element->Limits() : nullptr) held = limits->Standards();
    });
    if (held) {
        auto selected = context ? context->SelectedStandards() : nullptr;
        for (const auto& standard : selected ? *selected : *held) {
            if (!standard) continue;
            if (selected && !held->Find(standard->AlphaName(), standard->CompleteName())) continue;
            mStandards.push_back(StandardName{standard->AlphaName(), standard->CompleteName()});
        }
    }
    if (mStandards.empty()) return;
    mSelected = 0;
    RaiseEvent(EventStandardChanged);
}

void XTgToolbar::ShowMenu()
{
    if (mLocked) return;
    ++mMenuShown;
}

bool XTgToolbar::Operable(const std::shared_ptr<TgButton>& button) const
{
    return button && button->Visible() && button->Enabled() && !IsDestroyed();
}

void XTgToolbar::RaiseButtonClick(const std::shared_ptr<TgButton>& button, bool clickFlag)
{
    RaiseEvent(EventButtonClick, {plat::Variant(plat::ObjectPtr(button)), plat::Variant(clickFlag)});
}

bool XTgToolbar::UserClickButton(int32_t id)
{
    auto button = Find(id);
    if (!Operable(button)) return false;
    // The face of the start button that reads "Start" sends the flag of the menu's "Start".
    RaiseButtonClick(button, !(id == ButtonStart && button->Caption() == "Start"));
    return true;
}

bool XTgToolbar::UserChooseStart()
{
    auto button = Find(ButtonStart);
    if (!Operable(button) || mLocked) return false;
    RaiseButtonClick(button, false);
    return true;
}

bool XTgToolbar::UserSelectStandard(int32_t index)
{
    if (mLocked || index < 0 || static_cast<size_t>(index) >= mStandards.size()) return false;
    mSelected = index;
    RaiseEvent(EventStandardChanged);
    return true;
}

bool XTgToolbar::UserSetCalculate(bool calculate)
{
    if (mLocked) return false;
    mCalculate = calculate;
    if (mSelected >= 0) RaiseEvent(EventStandardChanged);
    return true;
}

} // namespace host

ZARVIK_REGISTER_CLASS(host::XTgToolbar, host::XTgToolbar::ProgId, host::XTgToolbar::ClassId)
