#pragma once

// Stand-in for the editor family base until it lands; replaced at merge.
#include "host/elements/HostTestGuideSettings.h"
#include "host/interfaces/CustomControl.h"
#include "platform/ui/ControlExtender.h"
#include "platform/ui/Frame.h"
#include "testlib/editors/GroupSite.h"
#include <utility>

#include <memory>
#include <string>

namespace ztest {

class EditorShim : public host::CustomControl {
protected:
    explicit EditorShim(std::string kind) : host::CustomControl(std::move(kind)) {}

    std::shared_ptr<plat::Frame> AddSettingsFrame(float left, float top, float width, float height);
    void AddHelpText(const std::string& caption, float left, float top, float width, float height);
    void TranslateCaptions();
    void BindSettings(const std::shared_ptr<host::HostTestGuideSettings>& settings);
    void SetSettingsLocked(bool locked);
    float FitHelpText(float height);
    void MoveSettingsEditor(float left, float top);
    void SendChange() { NotifyHost("Change"); }
    GroupSite Hooks()
    {
        return {[this] { return mfLoading; },
                [this](const std::function<void()>& step) {
                    const bool was = std::exchange(mfLoading, true);
                    plat::IgnoreErrors(step);
                    mfLoading = was;
                },
                [this] { SendChange(); }};
    }

    bool mfLoading = false;
    std::shared_ptr<plat::Frame> mSettingsFrame;
    std::shared_ptr<plat::ControlExtender> mSettings;
    std::shared_ptr<plat::ControlExtender> mHelp;
};

} // namespace ztest
