#pragma once

#include "host/interfaces/IHelpText.h"
#include "platform/ui/UserControl.h"

#include <string>

namespace host {

// The host's help-text panel: a user control that shows one text, word-wrapped. The text
// takes part in the translation of captions like any label's.
class XHelpText : public plat::UserControl, public IHelpText {
public:
    static constexpr const char* ProgId = "TelvoView.XHelpText";
    static constexpr const char* ClassId = "{D53C8F12-BB04-4AA8-8904-54B6610CE520}";

    XHelpText();

    std::string Text() override { return mText; }
    void SetText(const std::string& text) override;
    // Keeps the panel's own height, spans its container's width and stands on the foot of the
    // height given; a height lower than the panel puts it at the top.
    float FitHeight(float height) override;

    void MapTexts(const plat::TextMap& map) override;

private:
    std::string mText;
};

} // namespace host
