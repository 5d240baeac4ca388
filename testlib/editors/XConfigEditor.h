#pragma once

#include "host/elements/HostTestGuideSettings.h"
#include "host/interfaces/CustomControl.h"
#include "host/interfaces/IHelpText.h"
#include "host/interfaces/ITestGuideSettings.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ControlExtender.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextBox.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace ztest {

// A place of a control on its container, in twips.
struct Place {
    float left;
    float top;
    float width;
    float height;
};

// What every configuration editor has in common: the host's ICustomControl with its callback
// and lock state, the loading flag that keeps the editor's own control changes from writing
// into the record or notifying the host, the one way an edit reaches the record and the host,
// the host's test-guide settings editor and help panel, the translation of captions at start,
// and the frame layout that follows the control's size.
//
// An editor derives from XRecordEditor<its record class> (below), builds its controls in its
// constructor and ends the constructor with Start(). It overrides:
// - FillFromRecord: shows the bound record (runs under the loading flag, errors step by step);
// - ShowNoRecord, when it shows anything particular without a record;
// - ApplyLock: enables or disables its inputs in its own order (runs only on a real change);
// - LayoutFrames / the LayoutRule: how its frames follow the control's size;
// - SetFocus, OnStart as it needs.
//
// No error leaves an operation or an event handler of an editor: every step that may fail runs
// with errors ignored, and an edit made with no record bound still notifies the host.
class XConfigEditor : public host::CustomControl {
public:
    static constexpr const char* ModuleKey = zarvik::ModuleKey;
    static constexpr const char* SettingsProgId = "telvoView.XTestGuideSettings";
    static constexpr const char* HelpTextProgId = "telvoView.XHelpText";
    // Room between frames, and between the frames and the help panel.
    static constexpr float FrameGap = 120;

    // ICustomControl
    // A value equal to the one kept does nothing; otherwise it is kept and ApplyLock runs.
    void SetLocked(bool locked) final;
    // Binds the record given (BindRecord); with a record bound, FillFromRecord shows it, without
    // one ShowNoRecord runs. All of it under the loading flag, which is cleared again whatever
    // happens.
    void Initialize(const plat::Variant& data) final;

    bool Loading() const { return mLoading; }

    // The host controls, for tests and for the editors.
    std::shared_ptr<host::ITestGuideSettings> SettingsEditor() const;
    std::shared_ptr<plat::ControlExtender> SettingsExtender() const { return mSettingsExtender; }
    std::shared_ptr<host::IHelpText> HelpText() const;
    std::shared_ptr<plat::ControlExtender> HelpExtender() const { return mHelpExtender; }

protected:
    // How the frames follow the control's size: the layout size is the control's inner size
    // raised to the minimum (or exactly the minimum when `fixed`); the first frame takes
    // `firstShare` of the layout width.
    struct LayoutRule {
        float minWidth;
        float minHeight;
        float firstShare;
        bool fixed = false;
    };

    // Sets the loading flag while it lives and puts the flag back when it goes, even on an
    // error (scopes nest: a list filled while Initialize runs leaves the flag set).
    class LoadingScope {
    public:
        explicit LoadingScope(XConfigEditor& editor) : mEditor(editor), mWas(editor.mLoading)
        {
            mEditor.mLoading = true;
        }
        ~LoadingScope() { mEditor.mLoading = mWas; }
        LoadingScope(const LoadingScope&) = delete;
        LoadingScope& operator=(const LoadingScope&) = delete;

    private:
        XConfigEditor& mEditor;
        bool mWas;
    };

    XConfigEditor(std::string kind, float designWidth, float designHeight);

    // The start of the control, at the end of the final class's constructor: the captions are
    // translated, OnStart runs (fill lists, take the focus), errors ignored, and from then on
    // the layout follows every resize.
    void Start();
    virtual void OnStart() {}

    // Binding: takes the data as the editor's record when it is one (a null object unbinds;
    // anything else keeps the record bound before) and tells whether a record is bound now.
    virtual bool BindRecord(const plat::Variant& data) = 0;
    // The bound record's test-guide settings; null without a record.
    virtual std::shared_ptr<host::HostTestGuideSettings> RecordSettings() const = 0;
    virtual void FillFromRecord() = 0;
    // What an editor shows while no record is bound; by default it keeps what it shows. (The
    // discharge editors disable their inputs then; in the others an input follows the lock.)
    virtual void ShowNoRecord() {}
    virtual void ApplyLock(bool locked) = 0;

    // An edit of the operator: unless loading, the write runs (skipped when it fails, as with
    // no record bound) and the host is told "Change".
    void Edit(const std::function<void()>& write);
    // Runs one step with errors ignored.
    template <class Step>
    static void Try(Step&& step)
    {
        plat::IgnoreErrors(std::forward<Step>(step));
    }

    // Building blocks of the design.
    template <class T>
    std::shared_ptr<T> AddAt(plat::Window& container, const std::string& name, const Place& place)
    {
        auto control = container.Add<T>(name);
        control->Move(place.left, place.top, place.width, place.height);
        return control;
    }
    std::shared_ptr<plat::Frame> AddFrame(const std::string& name, const Place& place);
    std::shared_ptr<plat::Label> AddLabel(plat::Window& container, const std::string& name, const Place& place,
                                          const std::string& caption);
    // A pick-only list.
    std::shared_ptr<plat::ComboBox> AddList(plat::Window& container, const std::string& name, const Place& place);
    std::shared_ptr<plat::CheckBox> AddCheck(plat::Window& container, const std::string& name, const Place& place,
                                             const std::string& caption);
    // A number box: only the digits and backspace can be typed into it, and the focus selects
    // its whole text.
    std::shared_ptr<plat::TextBox> AddNumberBox(plat::Window& container, const std::string& name, const Place& place);
    // The host's settings editor `xtgTestGuideConfig` in a frame; its change event reaches the
    // host as "Change" unless loading. The editor works on without it when it cannot be made.
    void AddSettingsEditor(plat::Window& frame, const Place& place);
    // The host's help panel `xhtHelpText` with its caption (translated at start).
    void AddHelpText(const Place& place, const std::string& caption);

    // Fills a list with the translations of the texts, in order, under the loading flag. The
    // list is cleared first, so no entry is there twice; nothing is selected.
    void FillList(plat::ComboBox& list, std::span<const std::string_view> texts);
    // Selects the entry of a stored index; an index that names no entry leaves the list
    // without a selection.
    static void ShowIndex(plat::ComboBox& list, int32_t index);
    // Gives a number box the focus with the first characters selected, as the editors' focus
    // does; fails quietly while the control is not shown.
    static void FocusNumberBox(plat::TextBox& box);
    static void Enable(plat::Control& control, bool enabled);
    // A number written with "." whatever the locale: whole with the mask "0", or as the
    // language writes a Single.
    static std::string WholeText(float value);
    static std::string DecimalText(float value);
    // The leading number of a text ("." is the decimal point; none gives 0).
    static double LeadingNumber(const std::string& text);
    // A number as a Single; one out of the Single's range raises Overflow (a skipped write).
    static float SingleOf(double number);
    static std::string Translate(std::string_view text);

    // The settings editor: bound to the record's settings, and locked.
    void BindSettingsEditor();
    void LockSettingsEditor(bool locked);

    // Layout, on every resize. The base computes the layout size, lets the help panel fit
    // itself at its foot, and places the frames:
    //   first frame  (0, 0, L, H) with L = share × layout width, then LayoutFirstFrame(L, H);
    //   settings frame at L + 120 (its width kept), then LayoutSettingsFrame();
    //   third frame, when there is one, from 120 right of the settings frame to the control's
    //   real right edge (a move that does not fit is skipped).
    virtual LayoutRule Rule() const = 0;
    virtual void LayoutFirstFrame(float /*firstWidth*/, float /*height*/) {}
    virtual void LayoutSettingsFrame() {}
    void SetLayoutFrames(std::shared_ptr<plat::Frame> first, std::shared_ptr<plat::Frame> settings,
                         std::shared_ptr<plat::Frame> third);
    void Layout();

    std::shared_ptr<plat::Frame> mFirstFrame;
    std::shared_ptr<plat::Frame> mSettingsFrame;
    std::shared_ptr<plat::Frame> mThirdFrame;

private:
    void SettingsChanged();

    bool mLoading = false;
    std::shared_ptr<plat::ControlExtender> mSettingsExtender;
    std::shared_ptr<plat::ControlExtender> mHelpExtender;
    plat::ScopedConnection mSettingsConnection;
};

// The editor of one record class: keeps the record (the host's own object, never a copy).
template <class Record>
class XRecordEditor : public XConfigEditor {
public:
    const std::shared_ptr<Record>& Config() const { return mConfig; }

protected:
    using XConfigEditor::XConfigEditor;

    bool BindRecord(const plat::Variant& data) override
    {
        if (data.IsObject()) {
            const plat::ObjectPtr& object = data.AsObject();
            if (!object) {
                mConfig.reset();
            } else if (auto record = std::dynamic_pointer_cast<Record>(object)) {
                mConfig = std::move(record);
            }
        }
        return mConfig != nullptr;
    }
    std::shared_ptr<host::HostTestGuideSettings> RecordSettings() const override
    {
        return mConfig ? mConfig->TestGuideConfig() : nullptr;
    }
    // The bound record; raises Object variable not set without one (a skipped step).
    Record& Rec() const
    {
        if (!mConfig) plat::RaiseRuntime(plat::rt::ObjectNotSet, Kind());
        return *mConfig;
    }

    std::shared_ptr<Record> mConfig;
};

} // namespace ztest
