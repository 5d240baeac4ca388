#include "hostcontrols/XHelpText.h"

#include "platform/com/ServerEntryPoints.h"

namespace host {

XHelpText::XHelpText() : plat::UserControl("XHelpText") {}

void XHelpText::SetText(const std::string& text)
{
    if (text == mText) return;
    mText = text;
    Refresh();
}

void XHelpText::MapTexts(const plat::TextMap& map)
{
    plat::UserControl::MapTexts(map);
    if (!mText.empty()) SetText(map(mText));
}

} // namespace host

ZARVIK_REGISTER_CLASS(host::XHelpText, host::XHelpText::ProgId, host::XHelpText::ClassId)
