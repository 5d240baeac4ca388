#include "hostcontrols/XTestWizard.h"

#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "platform/com/ServerEntryPoints.h"

namespace host {

XTestWizard::XTestWizard() : plat::UserControl("XTestWizard") {}

void XTestWizard::SetSteps(const plat::Variant& steps)
{
    mLines.clear();
    if (steps.IsArray()) {
        for (const auto& item : steps.AsArray().items) {
            std::string line;
            // A line that is no text (an empty entry) shows as an empty line.
            plat::IgnoreErrors([&] { line = item.IsString() ? item.AsString() : std::string(); });
            mLines.push_back(line);
        }
    }
    mMarked.assign(mLines.size(), false);
    Refresh();
}

void XTestWizard::HighLight(const plat::Variant& items)
{
    mMarked.assign(mLines.size(), false);
    if (items.IsArray()) {
        for (const auto& item : items.AsArray().items) {
            int32_t line = 0;
            plat::IgnoreErrors([&] { line = plat::CLng(item); });
            if (line >= 1 && static_cast<size_t>(line) <= mLines.size()) mMarked[static_cast<size_t>(line - 1)] = true;
        }
    }
    Refresh();
}

void XTestWizard::SetMessageMode(bool message)
{
    mMessageMode = message;
    Refresh();
}

std::vector<int32_t> XTestWizard::HighlightedLines()
{
    std::vector<int32_t> lines;
    for (size_t i = 0; i < mMarked.size(); ++i)
        if (mMarked[i]) lines.push_back(static_cast<int32_t>(i + 1));
    return lines;
}

} // namespace host

ZARVIK_REGISTER_CLASS(host::XTestWizard, host::XTestWizard::ProgId, host::XTestWizard::ClassId)
