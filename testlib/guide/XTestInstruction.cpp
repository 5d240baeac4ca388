#include "testlib/guide/XTestInstruction.h"

#include "host/documents/HostTranslator.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"
#include "platform/com/ServerEntryPoints.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/BitmapResources.h"

#include <algorithm>

namespace ztest {

namespace {
constexpr const char* kModuleKey = zarvik::ModuleKey;
}

XTestInstruction::XTestInstruction() : plat::UserControl("XTestInstruction")
{
    SetBackColor(FlashOff);
    mBackground = Add<plat::Shape>("shpBackground");
    mIcon = Add<plat::Image>("imgIcon");
    mIcon->Move(240, 0, 480, 480);
    mText = Add<plat::Label>("lblHelpTxt");
    mText->SetCaption("PLEASE DEFIBRILLATE NOW");
    mText->SetFont(plat::TextFont{"Verdana", 12, true, false, false});
    mText->SetWordWrap(true);
    mText->Move(960, 0, 6000, 600);
    mFlash = Add<plat::TimerControl>("tmrFlash");
    mFlash->SetEnabled(false);
    mConnections.emplace_back(mFlash->Timer.Connect([this] { OnFlashTick(); }));
    mConnections.emplace_back(Resize.Connect([this] { Layout(); }));
    Layout();
}

bool XTestInstruction::Flash() const { return mFlash->Enabled(); }

void XTestInstruction::SetFlash(bool flash)
{
    SetBackColor(flash ? FlashOn : FlashOff);
    plat::IgnoreErrors([&] {
        mFlash->SetInterval(FlashInterval);
        mFlash->SetEnabled(flash);
    });
}

void XTestInstruction::ShowMsg(const std::string& iconKey, const std::string& message)
{
    if (!iconKey.empty()) {
        plat::IgnoreErrors([&] { mIcon->SetPicture(plat::LoadBitmapResource(iconKey)); });
    }
    // The label's tag keeps the message as given (a language-ID text keeps its ID), so that what
    // is shown can be told apart whatever the language.
    mText->SetTag(message);
    plat::IgnoreErrors([&] { mText->SetCaption(host::HostTranslator::Process()->Translate(kModuleKey, message)); });
}

void XTestInstruction::MoveImage()
{
    plat::IgnoreErrors([&] {
        mIcon->SetLeft(1000);
        mText->SetLeft(1750);
    });
}

std::string XTestInstruction::IconKey() const
{
    const auto& picture = mIcon->Picture();
    return picture ? picture->Key() : std::string();
}

std::string XTestInstruction::Message() const { return mText->Caption(); }

void XTestInstruction::OnFlashTick()
{
    SetBackColor(BackColor() != FlashOn ? FlashOn : FlashOff);
}

void XTestInstruction::Layout()
{
    const float width = ScaleWidth();
    const float height = ScaleHeight();
    plat::IgnoreErrors([&] { mBackground->Move(45, 45, std::max(0.0f, width - 90), std::max(0.0f, height - 90)); });
    plat::IgnoreErrors([&] { mIcon->SetTop((height - mIcon->Height()) / 2); });
    plat::IgnoreErrors([&] { mText->SetTop((height - mText->Height()) / 2); });
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XTestInstruction, ztest::XTestInstruction::ProgId, ztest::XTestInstruction::ClassId)
