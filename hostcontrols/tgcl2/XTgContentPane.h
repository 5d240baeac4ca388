#pragma once

#include "host/interfaces/ITgContentPane.h"
#include "platform/ui/UserControl.h"

#include <memory>
#include <string>
#include <vector>

namespace host {

// The host's page container of the test-guide window (see ITgContentPane). Below a row of
// tabs, page 0 shows the step list over the upper part and the result view under it; every
// added page shows its one control over the whole area.
class XTgContentPane : public plat::UserControl, public ITgContentPane {
public:
    static constexpr const char* ProgId = "TelvoTGCL2.XTgContentPane";
    static constexpr const char* ClassId = "{982A92A5-C714-4CE8-A883-1BE2B3C469BF}";
    static constexpr float TabHeight = 375;
    static constexpr float StepListShare = 0.4f;

    XTgContentPane();

    // ITgContentPane
    void Initialize(const std::shared_ptr<ITestElement>& element, const std::shared_ptr<HostTestContext>& context) override;
    void SetResultView(const plat::ObjectPtr& control) override;
    void SetStepList(const plat::ObjectPtr& control) override;
    int16_t AddPage(const std::shared_ptr<HostWizardPage>& page, const plat::ObjectPtr& control) override;
    void SetWindow(const std::shared_ptr<plat::Window>& window) override;
    void ReleaseWindow() override;
    void Terminate() override;
    int16_t PageCount() override { return static_cast<int16_t>(mPages.size() + 1); }
    std::string PageCaption(int16_t index) override;
    int16_t SelectedPage() override { return mSelected; }
    bool UserSelectPage(int16_t index) override;

    // The window taken at set-up, and the record of an added page (none for page 0 or outside).
    std::shared_ptr<plat::Window> HeldWindow() const { return mWindow.lock(); }
    std::shared_ptr<HostWizardPage> Page(int16_t index) const;

private:
    struct PageEntry {
        std::shared_ptr<HostWizardPage> record;
        std::weak_ptr<plat::Window> control;
    };

    void Layout();

    std::weak_ptr<ITestElement> mElement;
    std::weak_ptr<HostTestContext> mContext;
    std::weak_ptr<plat::Window> mResultView;
    std::weak_ptr<plat::Window> mStepList;
    std::weak_ptr<plat::Window> mWindow;
    std::vector<PageEntry> mPages;
    int16_t mSelected = 0;
    plat::ScopedConnection mResize;
};

} // namespace host
