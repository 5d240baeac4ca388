#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"

#include <cstdint>
#include <memory>
#include <string>

namespace plat {
class Window;
}

namespace host {

class HostWizardPage;

// The host's page container of the test-guide window ("TelvoTGCL2.XTgContentPane"). Its first
// page (0) holds the step list above the result view; further pages, each with a tab, hold
// one control. The container lays its pages out whenever it is moved or sized, and then raises
// "LayoutChanged" (no arguments) through its extender. Controls it is given stay on the window
// that holds them; the container only places them and shows the page that is chosen.
class ITgContentPane : public virtual plat::IUnknown {
public:
    static constexpr const char* EventLayoutChanged = "LayoutChanged";

    virtual void Initialize(const std::shared_ptr<ITestElement>& element, const std::shared_ptr<HostTestContext>& context) = 0;
    // The result view and the step list of the first page (the control objects).
    virtual void SetResultView(const plat::ObjectPtr& control) = 0;
    virtual void SetStepList(const plat::ObjectPtr& control) = 0;
    // Adds a page with its control and gives its index (1 for the first added page).
    virtual int16_t AddPage(const std::shared_ptr<HostWizardPage>& page, const plat::ObjectPtr& control) = 0;
    // The window the pages live on: taken at set-up, released at unload.
    virtual void SetWindow(const std::shared_ptr<plat::Window>& window) = 0;
    virtual void ReleaseWindow() = 0;
    // The last call before the window goes: drops everything the container was given.
    virtual void Terminate() = 0;

    // What the operator sees.
    virtual int16_t PageCount() = 0;
    // The caption of a page's tab ("" for page 0 and for an index outside).
    virtual std::string PageCaption(int16_t index) = 0;
    virtual int16_t SelectedPage() = 0;
    // The operator clicks a page's tab; false for an index outside.
    virtual bool UserSelectPage(int16_t index) = 0;
};

} // namespace host
