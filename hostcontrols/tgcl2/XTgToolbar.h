#pragma once

#include "host/interfaces/ITgToolbar.h"
#include "platform/ui/UserControl.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace host {

// The host's test-guide toolbar (see ITgToolbar for its buttons, run modes and events). It
// keeps itself along the bottom of its container, across its whole width.
class XTgToolbar : public plat::UserControl, public ITgToolbar {
public:
    static constexpr const char* ProgId = "TelvoTGCL2.XTgToolbar";
    static constexpr const char* ClassId = "{89A9A9E5-1B40-4EED-98D2-46BB9F42B95B}";
    static constexpr float DefaultHeight = 420;

    XTgToolbar();
    ~XTgToolbar() override;

    // ITgToolbar
    std::shared_ptr<ITgButton> Button(int32_t id) override;
    std::shared_ptr<ITgStatusField> StatusField() override;
    std::shared_ptr<ITgStandardSelection> CurrentStandard() override;
    void SetRunMode(int32_t mode) override;
    int32_t RunMode() override { return mRunMode; }
    void SetBusy(bool busy, bool lock) override;
    bool Busy() override { return mBusy; }
    bool Locked() override { return mLocked; }
    void Configure(int32_t& flags, int32_t buttons) override;
    void Attach(const std::shared_ptr<ITestElement>& element, const std::shared_ptr<HostTestContext>& context) override;
    void ShowMenu() override;
    float ToolbarHeight() override { return Height(); }
    std::vector<StandardName> ListedStandards() override { return mStandards; }
    int32_t SelectedStandardIndex() override { return mSelected; }
    int32_t MenuShownCount() override { return mMenuShown; }
    bool UserClickButton(int32_t id) override;
    bool UserChooseStart() override;
    bool UserSelectStandard(int32_t index) override;
    bool UserSetCalculate(bool calculate) override;

private:
    class TgButton;
    class TgStatusField;

    std::shared_ptr<TgButton> Find(int32_t id) const;
    bool Operable(const std::shared_ptr<TgButton>& button) const;
    void RaiseButtonClick(const std::shared_ptr<TgButton>& button, bool clickFlag);
    void FollowContainer();

    std::map<int32_t, std::shared_ptr<TgButton>> mButtons;
    std::shared_ptr<TgStatusField> mStatus;
    std::vector<StandardName> mStandards;
    int32_t mSelected = -1;
    bool mCalculate = true;
    int32_t mRunMode = 0;
    bool mBusy = false;
    bool mLocked = false;
    int32_t mMenuShown = 0;
    plat::ScopedConnection mContainerResize;
    plat::ScopedConnection mOwnResize;
};

} // namespace host
