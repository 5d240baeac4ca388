#include "testlib/guide/XTestInfo.h"

#include "host/documents/HostTranslator.h"
#include "host/interfaces/ITestWizard.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "platform/com/ServerEntryPoints.h"
#include "platform/ui/PropertyBag.h"

#include <algorithm>

namespace ztest {

namespace {

constexpr float kListMinHeight = 285;

plat::Variant StepArray(const std::vector<std::string>& steps)
{
    auto array = plat::VariantArray::OneDim(0, static_cast<int32_t>(steps.size()));
    for (size_t i = 0; i < steps.size(); ++i) array.items[i] = plat::Variant(steps[i]);
    return plat::Variant(std::move(array));
}

} // namespace

XTestInfo::XTestInfo() : plat::UserControl("XTestInfo")
{
    plat::UserControl::SetBackColor(DefaultBackColor);
    SetBorderStyle(DefaultBorder);
    plat::IgnoreErrors([&] { mList = Controls().Add("TelvoView.XTestWizard", "xtwInfo"); });
    if (mList) mList->SetVisible(true);
    mCounter = Add<plat::Label>("lblCounter");
    mCounter->SetCaption("5");
    mCounter->SetHeight(285);
    mFlash = Add<plat::TimerControl>("tmrFlash");
    mFlash->SetEnabled(false);
    mConnections.emplace_back(mFlash->Timer.Connect([this] { OnFlashTick(); }));
    mConnections.emplace_back(Resize.Connect([this] { Layout(); }));
    plat::IgnoreErrors([&] { host::HostTranslator::Process()->TranslateObject(zarvik::ModuleKey, *this); });
    SetListBackColor(DefaultBackColor);
    Layout();
}

std::shared_ptr<host::ITestWizard> XTestInfo::xtwInfo() const
{
    return mList ? std::dynamic_pointer_cast<host::ITestWizard>(mList->Object()) : nullptr;
}

std::shared_ptr<plat::Control> XTestInfo::xtwInfoControl() const { return mList ? mList->Control() : nullptr; }

void XTestInfo::SetListBackColor(int32_t color)
{
    if (auto list = xtwInfoControl()) list->SetBackColor(color);
}

int32_t XTestInfo::ListBackColor() const
{
    auto list = xtwInfoControl();
    return list ? list->BackColor() : BackColor();
}

void XTestInfo::SetBackColor(int32_t color)
{
    plat::UserControl::SetBackColor(color);
    SetListBackColor(color);
    PropertyChanged("BackColor");
}

void XTestInfo::SetBorder(bool border)
{
    SetBorderStyle(border ? 1 : 0);
    PropertyChanged("Border");
}

bool XTestInfo::ShowCounter() const { return mCounter->Visible(); }

void XTestInfo::SetShowCounter(bool show)
{
    mCounter->SetVisible(show);
    Layout();
}

void XTestInfo::InitializeSteps(const std::vector<std::string>& steps)
{
    mSteps = StepArray(steps);
    if (auto list = xtwInfo()) plat::IgnoreErrors([&] { list->SetSteps(mSteps); });
}

void XTestInfo::HighLightItems(const std::vector<int16_t>& items)
{
    auto array = plat::VariantArray::OneDim(0, static_cast<int32_t>(items.size()));
    for (size_t i = 0; i < items.size(); ++i) array.items[i] = plat::Variant(items[i]);
    if (auto list = xtwInfo()) plat::IgnoreErrors([&] { list->HighLight(plat::Variant(std::move(array))); });
}

void XTestInfo::UpdateCounter(int32_t n)
{
    mCounter->SetCaption(std::to_string(n));
    mCounter->SetForeColor(n != 0 ? plat::color::Red : plat::color::Black);
}

void XTestInfo::ShowPacerMsg(const plat::Variant& msg)
{
    auto list = xtwInfo();
    const bool none = msg.IsEmpty() || msg.IsNull() || (msg.IsString() && msg.AsString().empty());
    if (none) {
        plat::IgnoreErrors([&] { mFlash->SetEnabled(false); });
        if (list) plat::IgnoreErrors([&] {
                list->SetMessageMode(false);
                list->SetSteps(mSteps);
            });
        SetListBackColor(BackColor());
        return;
    }
    if (list) {
        plat::IgnoreErrors([&] {
            // A single text is shown as a one-line list.
            list->SetSteps(msg.IsArray() ? msg : StepArray({msg.IsString() ? msg.AsString() : std::string()}));
        });
        plat::IgnoreErrors([&] { list->SetMessageMode(true); });
    }
    SetListBackColor(MessageColor);
    plat::IgnoreErrors([&] {
        mFlash->SetInterval(500);
        mFlash->SetEnabled(true);
    });
}

void XTestInfo::OnFlashTick()
{
    ++mTicks;
    if (mTicks > 7 && ListBackColor() == MessageColor) {
        SetListBackColor(BackColor());
        mTicks = 0;
    } else if (mTicks > 0) {
        SetListBackColor(MessageColor);
    }
}

void XTestInfo::Layout()
{
    const float width = std::max(0.0f, ScaleWidth());
    float height = ScaleHeight();
    auto list = xtwInfoControl();
    // The list gives way only to the counter: every layout decides its visibility again, so a
    // list hidden for lack of room comes back when the control grows or the counter goes.
    bool listVisible = true;
    if (ShowCounter()) {
        height -= mCounter->Height();
        plat::IgnoreErrors([&] { mCounter->Move(0, std::max(0.0f, height), width); });
        listVisible = height > kListMinHeight;
    }
    if (list) plat::IgnoreErrors([&] { list->SetVisible(listVisible); });
    if (list) plat::IgnoreErrors([&] { list->Move(0, 0, width, std::max(0.0f, height)); });
}

void XTestInfo::ReadProperties(const plat::PropertyBag& bag)
{
    plat::IgnoreErrors([&] {
        const int32_t color = plat::CLng(bag.ReadProperty("BackColor", plat::Variant(DefaultBackColor)));
        plat::UserControl::SetBackColor(color);
        SetListBackColor(color);
    });
    plat::IgnoreErrors([&] { SetBorderStyle(plat::CInt(bag.ReadProperty("Border", plat::Variant(DefaultBorder)))); });
}

void XTestInfo::WriteProperties(plat::PropertyBag& bag) const
{
    bag.WriteProperty("BackColor", plat::Variant(BackColor()), plat::Variant(DefaultBackColor));
    bag.WriteProperty("Border", plat::Variant(static_cast<int16_t>(BorderStyle())), plat::Variant(DefaultBorder));
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XTestInfo, ztest::XTestInfo::ProgId, ztest::XTestInfo::ClassId)
