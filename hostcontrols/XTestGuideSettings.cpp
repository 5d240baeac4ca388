#include "hostcontrols/XTestGuideSettings.h"

#include "host/elements/HostTestGuideSettings.h"
#include "platform/com/ServerEntryPoints.h"

namespace host {

XTestGuideSettings::XTestGuideSettings() : plat::UserControl("XTestGuideSettings")
{
    Move(0, 0, 1815, 735);
    mShowInstructions = Add<plat::CheckBox>("chkShowInstructions");
    mShowInstructions->Move(0, 0, 1815, 240);
    mShowInstructions->SetCaption("Show instructions");
    mSkip = Add<plat::CheckBox>("chkSkip");
    mSkip->Move(0, 245, 900, 240);
    mSkip->SetCaption("Skip");
    mNotApplicable = Add<plat::CheckBox>("chkNotApplicable");
    mNotApplicable->Move(915, 245, 900, 240);
    mNotApplicable->SetCaption("N/A");
    mRemark = Add<plat::TextBox>("txtRemark");
    mRemark->Move(0, 490, 1815, 245);

    mShowInstructions->Click.Connect([this] {
        Edited([](HostTestGuideSettings& s, XTestGuideSettings& self) {
            s.SetShowInstructions(self.mShowInstructions->Value() == plat::vbChecked);
        });
    });
    mSkip->Click.Connect([this] {
        Edited([](HostTestGuideSettings&, XTestGuideSettings& self) {
            self.SetFlag(HostTestGuideSettings::ToolbarSkip, self.mSkip->Value() == plat::vbChecked);
        });
    });
    mNotApplicable->Click.Connect([this] {
        Edited([](HostTestGuideSettings&, XTestGuideSettings& self) {
            self.SetFlag(HostTestGuideSettings::ToolbarNotApplicable, self.mNotApplicable->Value() == plat::vbChecked);
        });
    });
    mRemark->Change.Connect([this] {
        Edited([](HostTestGuideSettings& s, XTestGuideSettings& self) { s.SetRemark(self.mRemark->Text()); });
    });
}

void XTestGuideSettings::BindSettings(const std::shared_ptr<HostTestGuideSettings>& settings)
{
    mSettings = settings;
    ShowSettings();
}

void XTestGuideSettings::SetSettingsLocked(bool locked)
{
    mSettingsLocked = locked;
    for (plat::Control* control :
         {static_cast<plat::Control*>(mShowInstructions.get()), static_cast<plat::Control*>(mSkip.get()),
          static_cast<plat::Control*>(mNotApplicable.get()), static_cast<plat::Control*>(mRemark.get())}) {
        control->SetEnabled(!locked);
    }
}

void XTestGuideSettings::ShowSettings()
{
    if (!mSettings) return;
    mShowing = true;
    mShowInstructions->SetValue(mSettings->ShowInstructions() ? plat::vbChecked : plat::vbUnchecked);
    mSkip->SetValue((mSettings->ToolbarFlags() & HostTestGuideSettings::ToolbarSkip) ? plat::vbChecked : plat::vbUnchecked);
    mNotApplicable->SetValue((mSettings->ToolbarFlags() & HostTestGuideSettings::ToolbarNotApplicable) ? plat::vbChecked
                                                                                                       : plat::vbUnchecked);
    mRemark->SetText(mSettings->Remark());
    mShowing = false;
}

void XTestGuideSettings::Edited(void (*write)(HostTestGuideSettings&, XTestGuideSettings&))
{
    if (mShowing || !mSettings) return;
    write(*mSettings, *this);
    RaiseEvent(ChangeEvent);
}

void XTestGuideSettings::SetFlag(int32_t flag, bool on)
{
    const int32_t flags = mSettings->ToolbarFlags();
    mSettings->SetToolbarFlags(on ? (flags | flag) : (flags & ~flag));
}

} // namespace host

ZARVIK_REGISTER_CLASS(host::XTestGuideSettings, host::XTestGuideSettings::ProgId, host::XTestGuideSettings::ClassId)
