#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Variant.h"
#include "platform/ui/ControlExtender.h"
#include "platform/ui/Event.h"
#include "platform/ui/Form.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host {
class HostGuideServices;
class ITestWizard;
class ITgContentPane;
class ITgToolbar;
} // namespace host

namespace ztest {

class CMtiData2;
class IZARVIKResult;
class XMTIData;
class XTestInstruction;

// The modal window through which the operator runs one test element. A test creates it for
// each Perform, prepares it (SetRunState, InitGuide, ShowResultStatus), shows it modally and
// drives it while the test runs; the window raises an event for every toolbar button the
// operator presses and never hides itself. After the modal show the test reads GetMtiData and
// unloads the window.
//
// What the operator sees, all reachable from outside by name on the form (Name()
// "FZARVIKTestGuide"):
//   "xtbToolbar"  the toolbar (host::ITgToolbar through the extender's object): buttons by ID
//                 with their enabled, pressed and visible state, the status field's value and
//                 text, the standard selector;
//   "xtwDetails"  the step list (host::ITestWizard): its lines and the marked ones;
//   "xtipopup"    the instruction popup (a user control with "imgIcon" (plat::Image, picture
//                 key), "lblHelpTxt" (plat::Label: its caption the translated message, its tag
//                 the message as the test gave it), "tmrFlash" (enabled while it flashes) and
//                 its BackColor (red or the window colour));
//   "xtwWizard"   the page container (host::ITgContentPane): pages and the chosen one;
//   "xmdMtiData"  the analyzer identity page; "irvResult" the result view.
// Every procedure runs with its failing steps skipped and reports nothing to its caller.
class FZARVIKTestGuide : public plat::Form {
public:
    static constexpr const char* FormName = "FZARVIKTestGuide";
    static constexpr const char* DesignCaption = "Telvo Test Guide";
    static constexpr const char* ChecklistView = "TelvoZarvikTest.XTestResult";
    static constexpr const char* MeasurementView = "TelvoZarvikTest.XChargeResult";
    static constexpr const char* ToolbarProgId = "TelvoTGCL2.XTgToolbar";
    static constexpr const char* ContentPaneProgId = "TelvoTGCL2.XTgContentPane";
    static constexpr const char* StepListProgId = "TelvoView.XTestWizard";

    FZARVIKTestGuide();
    ~FZARVIKTestGuide() override;

    // ---- Procedures the tests call (each loads the window first when needed) ----

    // Prepares the window for an element: caption, step texts (a Variant holding a String
    // array), analyzer identity, result view, page container and toolbar. Nothing happens
    // without an element.
    void InitGuide(const std::shared_ptr<host::ITestElement>& element, const std::shared_ptr<host::HostTestContext>& context,
                   const plat::Variant& steps);
    // state 1 ready (done: finished, else initial), 2 running; any other state changes nothing.
    void SetRunState(int32_t state, bool done);
    // A language-ID text ("::" within the first six characters) is translated; any other text
    // is shown as it is ("" clears the field).
    void ShowStatusText(const std::string& text);
    // Lays the popup over the result view, gives it the picture of iconKey (an empty key keeps
    // the picture) and the translated message, and makes it flash or stay steady.
    void ShowInstruction(const std::string& iconKey, const std::string& message, bool flash);
    void HideInstruction();
    // Marks exactly these steps of the step list (counted from 1); no arguments clears all marks.
    template <class... N>
    void HighLightSteps(N... steps)
    {
        HighLightStepList(std::vector<int16_t>{static_cast<int16_t>(steps)...});
    }
    void HighLightStepList(const std::vector<int16_t>& steps);
    void ShowResult(const std::shared_ptr<host::IResultData>& result);
    void ShowResultStatus(const std::shared_ptr<host::IResultData>& result);
    void EnableNext(bool enable);
    // Called from an ItemClicked handler that does not take the click: the checklist view puts
    // back the verdict the click wrote, so the record and the view stay as they were.
    void RefuseVerdict();
    // The analyzer unit on the identity page as the operator left it; none when its slot is empty.
    std::shared_ptr<CMtiData2> GetMtiData();

    // ---- Members the tests and the operator reach ----
    std::shared_ptr<XTestInstruction> xtipopup() const { return mPopup; }
    std::shared_ptr<XMTIData> xmdMtiData() const { return mMtiData; }
    std::shared_ptr<host::ITestWizard> xtwDetails() const;
    std::shared_ptr<host::ITgToolbar> xtbToolbar() const;
    std::shared_ptr<host::ITgContentPane> xtwWizard() const;
    // The result view and its container; none before InitGuide or when its class is missing.
    std::shared_ptr<IZARVIKResult> ResultView() const { return mResultView; }
    std::shared_ptr<plat::ControlExtender> EmbeddedControl() const { return mEmbedded; }

    // ---- Events ----
    plat::Event<> StartTest;
    plat::Event<> StopTest;
    plat::Event<> AbortTest;
    plat::Event<> NA;
    plat::Event<> NextTest;
    plat::Event<> Previous;
    plat::Event<> Skip;
    plat::Event<bool> ItemClicked;

    // An unload asked for while one of the window's own handlers runs is done once the last of
    // them has returned; meanwhile the window is hidden.
    void Unload() override;

protected:
    void OnLoad() override;
    void OnUnload() override;

private:
    class HandlerScope;

    void CreateControls();
    std::shared_ptr<IZARVIKResult> CreateResultView(int32_t testId);
    void SetupWizard(const std::shared_ptr<host::ITestElement>& element, const std::shared_ptr<host::HostTestContext>& context);
    int16_t AddWizardPage(const std::string& caption, int32_t backColor, const std::string& pictureKey1,
                          const std::string& pictureKey2, const plat::ObjectPtr& control);
    void SetupToolbar(const std::shared_ptr<host::ITestElement>& element, const std::shared_ptr<host::HostTestContext>& context);
    void ToolbarButtonClick(const plat::ObjectPtr& button, bool clickFlag);
    void OnToolbarEvent(const plat::EventInfo& info);
    void OnResultViewEvent(const plat::EventInfo& info);
    void OnWizardEvent(const plat::EventInfo& info);
    void OnCloseRequest(bool& cancel);
    void LayoutWindow();
    void CoverResultView();
    // Raises one of the window's events with the window kept alive and a pending unload held
    // back until the handlers have returned.
    void RaiseGuideEvent(plat::Event<>& event);

    std::weak_ptr<host::ITestElement> mElement;
    std::shared_ptr<host::HostGuideServices> mServices;
    std::shared_ptr<IZARVIKResult> mResultView;
    std::shared_ptr<plat::ControlExtender> mEmbedded;
    std::shared_ptr<plat::ControlExtender> mToolbar;
    std::shared_ptr<plat::ControlExtender> mWizard;
    std::shared_ptr<plat::ControlExtender> mDetails;
    std::shared_ptr<XTestInstruction> mPopup;
    std::shared_ptr<XMTIData> mMtiData;
    std::vector<plat::ScopedConnection> mConnections;
    int mHandlerDepth = 0;
    bool mUnloadPending = false;
};

} // namespace ztest
