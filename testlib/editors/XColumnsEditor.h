#pragma once

#include "platform/ui/Frame.h"
#include "testlib/editors/GroupSite.h"

#include <memory>
#include <string>

namespace ztest {

// An editor of two fixed columns above the help panel: its inputs frame, 6000 twips wide, and
// the test-guide settings frame, 2600 wide, 120 right of it; both as high as the help panel
// leaves room for, the control's height counting as at least 2055. The wave-list editors and
// the ECG editor are laid out so.
template <class Record>
class XColumnsEditor : public XGroupEditor<Record> {
    using Base = XGroupEditor<Record>;

public:
    static constexpr float DesignWidth = 8720;
    static constexpr float DesignHeight = 2895;
    static constexpr float HelpTop = 2280;
    static constexpr float MinHeight = 2055;
    static constexpr float InputsWidth = 6000;
    static constexpr float SettingsWidth = 2600;

protected:
    // Adds the inputs frame; the derived editor fills it, then calls AddSettingsAndHelp.
    XColumnsEditor(const char* kind, const std::string& inputsFrameName)
        : Base(kind, DesignWidth, DesignHeight),
          mInputs(Base::AddFrame(inputsFrameName, {0, 0, InputsWidth, HelpTop - Base::FrameGap}))
    {
    }

    // The settings frame with its caption and the host's settings editor, and the help panel.
    void AddSettingsAndHelp(const std::string& helpCaption)
    {
        auto settings = Base::AddFrame("fraTestGuideSettings",
                                       {InputsWidth + Base::FrameGap, 0, SettingsWidth, HelpTop - Base::FrameGap});
        Base::AddLabel(*settings, "lblTestGuideSettings", {120, 240, 2055, 285}, "20080::Test guide settings:");
        Base::AddSettingsEditor(*settings, {SettingsLeft, SettingsTop, 1815, 735});
        Base::AddHelpText({0, HelpTop, DesignWidth, DesignHeight - HelpTop}, helpCaption);
        Base::SetLayoutFrames(mInputs, settings, nullptr);
    }

    typename XConfigEditor::LayoutRule Rule() const override { return {0, MinHeight, 0}; }
    // The inputs frame keeps its width whatever the control's; then the editor's inner moves.
    void LayoutFirstFrame(float /*firstWidth*/, float height) override
    {
        Base::Try([&] { mInputs->Move(0, 0, InputsWidth, height); });
        LayoutInputs(height);
    }
    void LayoutSettingsFrame() override
    {
        Base::Try([&] {
            Base::mSettingsFrame->Move(InputsWidth + Base::FrameGap, 0, SettingsWidth, mInputs->Height());
        });
        Base::Try([&] { Base::SettingsExtender()->Move(SettingsLeft, SettingsTop); });
    }
    // Moves inside the inputs frame of the given height.
    virtual void LayoutInputs(float /*height*/) {}

    std::shared_ptr<plat::Frame> mInputs;

private:
    static constexpr float SettingsLeft = 120;
    static constexpr float SettingsTop = 600;
};

} // namespace ztest
