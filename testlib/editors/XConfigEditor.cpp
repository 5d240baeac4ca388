#include "testlib/editors/XConfigEditor.h"

#include "host/documents/HostTranslator.h"
#include "platform/base/Conversions.h"
#include "platform/base/Variant.h"

#include <algorithm>
#include <utility>

namespace ztest {

namespace {

constexpr int16_t kBackspace = 8;
// How many characters the editors' focus selects in a number box.
constexpr int kFocusSelection = 5;

} // namespace

XConfigEditor::XConfigEditor(std::string kind, float designWidth, float designHeight)
    : host::CustomControl(std::move(kind))
{
    Move(0, 0, designWidth, designHeight);
}

void XConfigEditor::Start()
{
    Try([&] { host::HostTranslator::Process()->TranslateObject(ModuleKey, *this); });
    Try([&] { OnStart(); });
    Resize.Connect([this] { Try([&] { Layout(); }); });
}

void XConfigEditor::SetLocked(bool locked)
{
    if (locked == mLocked) return;
    mLocked = locked;
    Try([&] { ApplyLock(locked); });
}

void XConfigEditor::Initialize(const plat::Variant& data)
{
    LoadingScope loading(*this);
    bool bound = false;
    Try([&] { bound = BindRecord(data); });
    if (bound) {
        Try([&] { FillFromRecord(); });
    } else {
        Try([&] { ShowNoRecord(); });
    }
}

void XConfigEditor::Edit(const std::function<void()>& write)
{
    if (mLoading) return;
    Try(write);
    NotifyHost("Change");
}

std::shared_ptr<host::ITestGuideSettings> XConfigEditor::SettingsEditor() const
{
    return mSettingsExtender ? plat::QueryInterface<host::ITestGuideSettings>(mSettingsExtender->Object()) : nullptr;
}

std::shared_ptr<host::IHelpText> XConfigEditor::HelpText() const
{
    return mHelpExtender ? plat::QueryInterface<host::IHelpText>(mHelpExtender->Object()) : nullptr;
}

std::shared_ptr<plat::Frame> XConfigEditor::AddFrame(const std::string& name, const Place& place)
{
    auto frame = AddAt<plat::Frame>(*this, name, place);
    frame->SetCaption("");
    return frame;
}

std::shared_ptr<plat::Label> XConfigEditor::AddLabel(plat::Window& container, const std::string& name,
                                                     const Place& place, const std::string& caption)
{
    auto label = AddAt<plat::Label>(container, name, place);
    label->SetCaption(caption);
    return label;
}

std::shared_ptr<plat::ComboBox> XConfigEditor::AddList(plat::Window& container, const std::string& name,
                                                       const Place& place)
{
    auto list = container.Add<plat::ComboBox>(name, plat::vbComboDropdownList);
    list->Move(place.left, place.top, place.width, place.height);
    return list;
}

std::shared_ptr<plat::CheckBox> XConfigEditor::AddCheck(plat::Window& container, const std::string& name,
                                                        const Place& place, const std::string& caption)
{
    auto check = AddAt<plat::CheckBox>(container, name, place);
    check->SetCaption(caption);
    return check;
}

std::shared_ptr<plat::TextBox> XConfigEditor::AddNumberBox(plat::Window& container, const std::string& name,
                                                           const Place& place)
{
    auto box = AddAt<plat::TextBox>(container, name, place);
    plat::TextBox* raw = box.get();
    box->KeyPress.Connect([](int16_t& key) {
        const bool digit = key >= '0' && key <= '9';
        if (!digit && key != kBackspace) key = 0;
    });
    box->GotFocus.Connect([raw] {
        Try([&] {
            raw->SetSelStart(0);
            raw->SetSelLength(raw->Length());
        });
    });
    return box;
}

void XConfigEditor::AddSettingsEditor(plat::Window& frame, const Place& place)
{
    Try([&] {
        mSettingsExtender = Controls().Add(SettingsProgId, "xtgTestGuideConfig", &frame);
        if (!mSettingsExtender) return;
        mSettingsExtender->Move(place.left, place.top, place.width, place.height);
        mSettingsExtender->SetVisible(true);
        mSettingsConnection = mSettingsExtender->ObjectEvent.Connect([this](const plat::EventInfo& event) {
            if (event.name == host::ITestGuideSettings::ChangeEvent) SettingsChanged();
        });
    });
}

void XConfigEditor::AddHelpText(const Place& place, const std::string& caption)
{
    Try([&] {
        mHelpExtender = Controls().Add(HelpTextProgId, "xhtHelpText");
        if (!mHelpExtender) return;
        mHelpExtender->Move(place.left, place.top, place.width, place.height);
        mHelpExtender->SetVisible(true);
        if (auto help = HelpText()) help->SetText(caption);
    });
}

void XConfigEditor::SettingsChanged()
{
    // The settings editor has changed the record's settings object in place already.
    if (mLoading) return;
    NotifyHost("Change");
}

void XConfigEditor::FillList(plat::ComboBox& list, std::span<const std::string_view> texts)
{
    LoadingScope loading(*this);
    Try([&] { list.Clear(); });
    for (std::string_view text : texts) {
        Try([&] { list.AddItem(Translate(text)); });
    }
}

void XConfigEditor::ShowIndex(plat::ComboBox& list, int32_t index)
{
    list.SetListIndex(index >= 0 && index < list.ListCount() ? index : -1);
}

void XConfigEditor::FocusNumberBox(plat::TextBox& box)
{
    box.SetFocus();
    box.SetSelLength(kFocusSelection);
}

void XConfigEditor::Enable(plat::Control& control, bool enabled)
{
    Try([&] { control.SetEnabled(enabled); });
}

std::string XConfigEditor::WholeText(float value)
{
    return plat::Format(plat::Variant(value), "0");
}

std::string XConfigEditor::DecimalText(float value)
{
    return plat::CStr(value);
}

double XConfigEditor::LeadingNumber(const std::string& text)
{
    return plat::Val(text);
}

float XConfigEditor::SingleOf(double number)
{
    return plat::CSng(plat::Variant(number));
}

std::string XConfigEditor::Translate(std::string_view text)
{
    return host::HostTranslator::Process()->Translate(ModuleKey, text);
}

void XConfigEditor::BindSettingsEditor()
{
    auto editor = SettingsEditor();
    if (editor) editor->BindSettings(RecordSettings());
}

void XConfigEditor::LockSettingsEditor(bool locked)
{
    auto editor = SettingsEditor();
    if (editor) editor->SetSettingsLocked(locked);
}

void XConfigEditor::SetLayoutFrames(std::shared_ptr<plat::Frame> first, std::shared_ptr<plat::Frame> settings,
                                    std::shared_ptr<plat::Frame> third)
{
    mFirstFrame = std::move(first);
    mSettingsFrame = std::move(settings);
    mThirdFrame = std::move(third);
}

void XConfigEditor::Layout()
{
    const LayoutRule rule = Rule();
    const float width = rule.fixed ? rule.minWidth : std::max(ScaleWidth(), rule.minWidth);
    float height = rule.fixed ? rule.minHeight : std::max(ScaleHeight(), rule.minHeight);

    Try([&] {
        auto help = HelpText();
        if (!help) return;
        help->FitHeight(height);
        height = mHelpExtender->Top() - FrameGap;
    });
    const float first = width * rule.firstShare;
    if (mFirstFrame) Try([&] { mFirstFrame->Move(0, 0, first, height); });
    Try([&] { LayoutFirstFrame(first, height); });
    if (mSettingsFrame) {
        Try([&] { mSettingsFrame->Move(first + FrameGap, 0, mSettingsFrame->Width(), height); });
        Try([&] { LayoutSettingsFrame(); });
    }
    if (mThirdFrame && mSettingsFrame) {
        Try([&] {
            const float left = mSettingsFrame->Left() + mSettingsFrame->Width() + FrameGap;
            mThirdFrame->Move(left, 0, ScaleWidth() - left, height);
        });
    }
}

} // namespace ztest
