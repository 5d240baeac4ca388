#pragma once

#include "host/interfaces/CustomControl.h"
#include "instrument/ZarvikModule.h"
#include "platform/ui/Label.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/TabStrip.h"
#include "platform/ui/UpDown.h"

#include <array>
#include <memory>
#include <string>

namespace zplugin {

class CZARVIKSetup;

// The plug-in's preferences page, shown by the host inside a dialog wrapper: two tabs, "General"
// with the pacer refractory time-out and "Communications" with the communication time-out.
// Every change goes straight into the settings object it was given and is announced to the
// host with "Change"; the page never saves, the host does that through the settings' RegSave.
class XPluginPrefs : public host::CustomControl {
public:
    static constexpr const char* ProgId = "TelvoZARVIK.XPluginPrefs";
    static constexpr const char* ClassId = "{1352A005-8A46-42EC-9E19-A45BAB03B048}";
    static constexpr const char* ModuleKey = zarvik::ModuleKey;

    // The up-downs' ranges and steps.
    static constexpr int PacRefTimeMin = 10;
    static constexpr int PacRefTimeMax = 240;
    static constexpr int PacRefTimeStep = 10;
    static constexpr int CommTimeOutMin = 300;
    static constexpr int CommTimeOutMax = 3000;
    static constexpr int CommTimeOutStep = 100;

    XPluginPrefs();

    // ICustomControl
    // Locking disables both up-downs; unlocking enables them.
    void SetLocked(bool locked) override;
    // Takes the data as the settings object to edit, reads the settings again from the registry
    // and shows them; nothing is announced to the host meanwhile. Errors are ignored.
    void Initialize(const plat::Variant& data) override;
    // Gives the focus to the tab strip.
    void SetFocus() override;

    // The settings object being edited; none before Initialize.
    const std::shared_ptr<CZARVIKSetup>& Settings() const { return mSettings; }
    // The page shown: 0 general, 1 communications.
    int PageIndex() const { return mPageIndex; }

private:
    void BuildPages();
    void TabStripClick();
    void CommsChange();
    void PacRefTimeChange();
    void RaiseChange();
    void EnableControls();

    std::shared_ptr<CZARVIKSetup> mSettings;
    int mPageIndex = 0;
    bool mLoading = false;
    bool mInitializing = false;

    std::shared_ptr<plat::TabStrip> mTabStrip;
    std::array<std::shared_ptr<plat::PictureBox>, 2> mPages;
    std::shared_ptr<plat::Label> mComms;
    std::shared_ptr<plat::Label> mPacRefTime;
    std::shared_ptr<plat::UpDown> mCommTimeOut;
    std::shared_ptr<plat::UpDown> mPacRefTimeUpDown;
};

} // namespace zplugin
