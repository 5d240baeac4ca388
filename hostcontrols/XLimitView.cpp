#include "hostcontrols/XLimitView.h"

#include "host/interfaces/HostCallback.h"
#include "platform/com/ServerEntryPoints.h"

namespace host {

XLimitView::XLimitView() : CustomControl("XLimitView") {}

void XLimitView::AddRow(const std::string& key, const std::string& caption, const std::string& unit,
                        const std::string& operators)
{
    mRows.push_back(Row{key, caption, unit, operators});
}

void XLimitView::Initialize(const plat::Variant& data)
{
    mLimits = data.Query<ILimitData>();
}

void XLimitView::SetFocus()
{
    // The view takes the focus only when it can now (shown and enabled); a dialog asking
    // earlier is not an error.
    if (IsShownOnScreen() && IsEnabledOnScreen()) plat::UserControl::SetFocus();
}

} // namespace host

ZARVIK_REGISTER_CLASS(host::XLimitView, host::XLimitView::ProgId, host::XLimitView::Clsid)
