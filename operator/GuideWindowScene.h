#pragma once

#include "operator/Scene.h"

#include <memory>

namespace plat {
class Form;
}

namespace zop {

// The guide window of this process as a person sees it: the form named "FZARVIKTestGuide"
// that is shown, its toolbar ("xtbToolbar"), its step list ("xtwDetails") and its
// instruction popup ("xtipopup" with "imgIcon", "lblHelpTxt" and the flash timer "tmrFlash"),
// its result view ("irvResult": the value list "lvwResult" or the checklist "tliResult") and
// its analyzer identity page ("xmdMtiData"), reached by name and through the host's control
// interfaces only.
class GuideWindowScene : public ISceneSource {
public:
    static constexpr const char* FormName = "FZARVIKTestGuide";

    Scene Look() override;
    bool Press(int buttonId, bool clickFlag) override;
    bool Judge(bool passed) override;
    bool TypeIdentity(const std::string& serial, const std::optional<std::string>& firmware) override;

private:
    // The guide window that is shown, else the last one loaded; none without one.
    static std::shared_ptr<plat::Form> FindWindow();
};

} // namespace zop
