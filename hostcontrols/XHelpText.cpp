#include "hostcontrols/XHelpText.h"

#include "platform/com/ServerEntryPoints.h"

#include <algorithm>
#include <optional>

namespace host {

XHelpText::XHelpText() : plat::UserControl("XHelpText") {}

void XHelpText::SetText(const std::string& text)
{
    if (text == mText) return;
    mText = text;
    Refresh();
}

float XHelpText::FitHeight(float height)
{
    const float top = std::max(0.0f, height - Height());
    const Window* container = Container();
    Move(0, top, container ? std::optional<float>(container->ScaleWidth()) : std::nullopt);
    return Top();
}

void XHelpText::MapTexts(const plat::TextMap& map)
{
    plat::UserControl::MapTexts(map);
    if (!mText.empty()) SetText(map(mText));
}

} // namespace host

ZARVIK_REGISTER_CLASS(host::XHelpText, host::XHelpText::ProgId, host::XHelpText::ClassId)
