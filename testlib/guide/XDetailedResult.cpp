#include "testlib/guide/XDetailedResult.h"

#include "host/documents/HostTranslator.h"
#include "host/interfaces/IResultData.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"
#include "platform/com/ServerEntryPoints.h"

#include <algorithm>

namespace ztest {

XDetailedResult::XDetailedResult() : host::CustomControl("XDetailedResult")
{
    mTitle = Add<plat::Label>("lblTitle");
    mTitle->SetCaption("T1708::Comment");
    mTitle->SetHeight(285);
    mComment = Add<plat::TextBox>("txtComment");
    mComment->SetMultiLine(true);
    mConnections.emplace_back(Resize.Connect([this] { Layout(); }));
    plat::IgnoreErrors([&] { host::HostTranslator::Process()->TranslateObject(zarvik::ModuleKey, *this); });
    Layout();
}

void XDetailedResult::Initialize(const plat::Variant& data)
{
    plat::IgnoreErrors([&] {
        auto result = data.Query<host::IResultData>();
        mComment->SetText(result ? result->Comment() : std::string());
        mComment->SetLocked(true);
        mComment->SetBackColor(plat::color::ButtonFace);
    });
}

void XDetailedResult::Refresh()
{
    plat::IgnoreErrors([&] { plat::UserControl::Refresh(); });
}

void XDetailedResult::SetFocus()
{
    plat::IgnoreErrors([&] { mComment->SetFocus(); });
}

void XDetailedResult::Layout()
{
    const float width = std::max(0.0f, ScaleWidth() - 120);
    plat::IgnoreErrors([&] { mTitle->Move(120, 0, width); });
    plat::IgnoreErrors([&] {
        const float top = mTitle->Height();
        mComment->Move(120, top, width, std::max(0.0f, ScaleHeight() - top));
    });
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XDetailedResult, ztest::XDetailedResult::ProgId, ztest::XDetailedResult::ClassId)
