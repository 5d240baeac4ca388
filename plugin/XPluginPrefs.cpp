#include "plugin/XPluginPrefs.h"

#include "host/documents/HostTranslator.h"
#include "host/interfaces/IHelpText.h"
#include "platform/base/Conversions.h"
#include "platform/com/ServerEntryPoints.h"
#include "platform/ui/ControlExtender.h"
#include "plugin/CZARVIKSetup.h"
#include "plugin/PlugInErrors.h"

namespace zplugin {

namespace {

constexpr const char* kHelpTextProgId = "TelvoView.XHelpText";

// One row of a page: a caption, a value label with its up-down, and a unit.
struct ValueRow {
    const char* captionName;
    const char* caption;
    const char* valueName;
    const char* upDownName;
    const char* unitName;
    const char* unit;
    const char* helpName;
    const char* help;
    int min;
    int max;
    int step;
};

// The number at the start of a value label, rounded half to even.
int32_t LabelNumber(const plat::Label& label) { return plat::CLng(plat::Val(label.Caption())); }

} // namespace

XPluginPrefs::XPluginPrefs() : host::CustomControl("XPluginPrefs")
{
    mLoading = true;
    IgnoreErrors([&] { BuildPages(); });
    IgnoreErrors([&] { host::HostTranslator::Process()->TranslateObject(ModuleKey, *this); });
    SetCallBack(std::make_shared<host::HostCallback>());
    mLoading = false;
}

void XPluginPrefs::BuildPages()
{
    Move(0, 0, 6000, 3900);

    mTabStrip = Add<plat::TabStrip>("tbsTabStrip");
    mTabStrip->Move(60, 60, 5880, 3780);
    mTabStrip->AddTab("20070::General");
    mTabStrip->AddTab("20075::Communications");
    mTabStrip->Click.Connect([this] { TabStripClick(); });

    const ValueRow rows[2] = {
        {"lblPacRefTimeTitle", "20073::Pacer Refractory time out", "lblPacRefTime", "updPacRefTime", "lblSeconds", "S",
         "XHelpText2",
         "20074::Set the time to wait during the Pacer Refractory Test. At lower PPM set 130s wait time.",
         PacRefTimeMin, PacRefTimeMax, PacRefTimeStep},
        {"lblCommsTitle", "20077::Comms time-out threshold", "lblComms", "updCommTimeOut", "lblMs", "ms", "XHelpText1",
         "20078::Adjust the communication timeout threshold. The threshold set here will only be used when opening "
         "the comminication, as a longer threshold is required during normal operation (eg. when fetching the "
         "discharge waveform).",
         CommTimeOutMin, CommTimeOutMax, CommTimeOutStep},
    };
    const char* titles[2] = {"20071::General preferences", "20076::Communication settings"};

    for (int page = 0; page < 2; ++page) {
        const ValueRow& row = rows[page];
        auto box = AddIndexed<plat::PictureBox>("pboPictureBoxes", page);
        box->Move(180, 480, 5640, 3240);
        box->SetBorderStyle(0);
        box->SetVisible(page == 0);
        mPages[static_cast<size_t>(page)] = box;

        auto title = box->AddIndexed<plat::Label>("lblTitle", page);
        title->Move(120, 120, 5400, 300);
        title->SetFontBold(true);
        title->SetCaption(titles[page]);

        auto caption = box->Add<plat::Label>(row.captionName);
        caption->Move(120, 600, 3000, 300);
        caption->SetCaption(row.caption);

        auto value = box->Add<plat::Label>(row.valueName);
        value->Move(3240, 600, 900, 300);
        value->SetAlignment(1);

        auto upDown = box->Add<plat::UpDown>(row.upDownName);
        upDown->Move(4140, 600, 255, 300);
        upDown->SetMin(row.min);
        upDown->SetMax(row.max);
        upDown->SetIncrement(row.step);
        upDown->SetBuddy(value);
        upDown->SetSyncBuddy(true);

        auto unit = box->Add<plat::Label>(row.unitName);
        unit->Move(4500, 600, 600, 300);
        unit->SetCaption(row.unit);

        // The help panel is the host's own control; a page without it still works.
        IgnoreErrors([&] {
            auto help = Controls().Add(kHelpTextProgId, row.helpName, box.get());
            if (!help) return;
            help->Move(120, 1080, 5400, 2040);
            help->SetVisible(true);
            if (auto text = plat::QueryInterface<host::IHelpText>(help->Object())) text->SetText(row.help);
        });

        if (page == 0) {
            mPacRefTime = value;
            mPacRefTimeUpDown = upDown;
            value->Change.Connect([this] { PacRefTimeChange(); });
        } else {
            mComms = value;
            mCommTimeOut = upDown;
            value->Change.Connect([this] { CommsChange(); });
        }
    }
}

void XPluginPrefs::SetLocked(bool locked)
{
    mLocked = locked;
    EnableControls();
}

void XPluginPrefs::EnableControls()
{
    IgnoreErrors([&] { mPacRefTimeUpDown->SetEnabled(!mLocked); });
    IgnoreErrors([&] { mCommTimeOut->SetEnabled(!mLocked); });
}

void XPluginPrefs::Initialize(const plat::Variant& data)
{
    mInitializing = true;
    IgnoreErrors([&] {
        mSettings = data.IsObject() ? plat::QueryInterface<CZARVIKSetup>(data.AsObject()) : nullptr;
        if (!mSettings) return;
        // The page shows what the registry holds now, not what an earlier page left unsaved.
        mSettings->RegLoad(0, "");
        mComms->SetCaption(std::to_string(mSettings->CommTimeOut()));
        mPacRefTime->SetCaption(std::to_string(mSettings->PacerRefractoryTimeout()));
    });
    mInitializing = false;
}


void XPluginPrefs::SetFocus()
{
    IgnoreErrors([&] { mTabStrip->SetFocus(); });
}

void XPluginPrefs::TabStripClick()
{
    IgnoreErrors([&] {
        auto selected = mTabStrip->SelectedItem();
        if (!selected) return;
        const int index = selected->Index() - 1;
        if (index == mPageIndex || index < 0 || index >= static_cast<int>(mPages.size())) return;
        auto& shown = mPages[static_cast<size_t>(index)];
        shown->SetVisible(true);
        shown->ZOrder(0);
        mPages[static_cast<size_t>(mPageIndex)]->SetVisible(false);
        mPageIndex = index;
    });
}

void XPluginPrefs::CommsChange()
{
    if (mLoading) return;
    IgnoreErrors([&] {
        if (mSettings) mSettings->SetCommTimeOut(LabelNumber(*mComms));
    });
    RaiseChange();
}

void XPluginPrefs::PacRefTimeChange()
{
    if (mLoading) return;
    IgnoreErrors([&] {
        if (mSettings) mSettings->SetPacerRefractoryTimeout(LabelNumber(*mPacRefTime));
    });
    RaiseChange();
}

void XPluginPrefs::RaiseChange()
{
    if (mInitializing) return;
    NotifyHost("Change");
}

} // namespace zplugin

ZARVIK_REGISTER_CLASS(zplugin::XPluginPrefs, zplugin::XPluginPrefs::ProgId, zplugin::XPluginPrefs::ClassId)
