#pragma once

#include "host/interfaces/ITestGuideSettings.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/UserControl.h"

#include <memory>

namespace host {

// The host's test-guide settings editor: check boxes for the optional toolbar buttons (Skip,
// N/A) and for the instruction popup, and a remark box. It edits the bound settings object in
// place and raises "Change" after each of the operator's changes, never for what binding shows.
// Unbound, the operator's changes go nowhere and raise nothing.
class XTestGuideSettings : public plat::UserControl, public ITestGuideSettings {
public:
    static constexpr const char* ProgId = "telvoView.XTestGuideSettings";
    static constexpr const char* ClassId = "{6F1B3C2E-58A4-4D0B-9C57-1E2D4A7B9F30}";

    XTestGuideSettings();

    // ITestGuideSettings
    void BindSettings(const std::shared_ptr<HostTestGuideSettings>& settings) override;
    bool SettingsLocked() override { return mSettingsLocked; }
    void SetSettingsLocked(bool locked) override;

    const std::shared_ptr<HostTestGuideSettings>& Settings() const { return mSettings; }

private:
    void ShowSettings();
    void Edited(void (*write)(HostTestGuideSettings&, XTestGuideSettings&));
    void SetFlag(int32_t flag, bool on);

    std::shared_ptr<HostTestGuideSettings> mSettings;
    bool mSettingsLocked = false;
    bool mShowing = false;

    std::shared_ptr<plat::CheckBox> mShowInstructions;
    std::shared_ptr<plat::CheckBox> mSkip;
    std::shared_ptr<plat::CheckBox> mNotApplicable;
    std::shared_ptr<plat::TextBox> mRemark;
};

} // namespace host
