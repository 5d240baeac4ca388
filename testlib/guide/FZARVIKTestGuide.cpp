#include "testlib/guide/FZARVIKTestGuide.h"

#include "host/documents/HostTranslator.h"
#include "host/elements/HostTestContext.h"
#include "host/elements/HostTestGuideSettings.h"
#include "host/guide/HostGuideServices.h"
#include "host/guide/HostIconLibrary.h"
#include "host/guide/HostWizardPage.h"
#include "host/interfaces/IConfigData.h"
#include "host/interfaces/IResultData.h"
#include "host/interfaces/ITestElement.h"
#include "host/interfaces/ITestWizard.h"
#include "host/interfaces/ITgContentPane.h"
#include "host/interfaces/ITgToolbar.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "platform/ui/BitmapResources.h"
#include "testlib/config/CConfigBase.h"
#include "testlib/core/CMtiData2.h"
#include "testlib/core/IZARVIKResult.h"
#include "testlib/core/MMiscUtils.h"
#include "testlib/guide/XMTIData.h"
#include "testlib/guide/XTestInstruction.h"
#include "testlib/guide/XTestResult.h"

#include <algorithm>

namespace ztest {

namespace {

constexpr const char* kModuleKey = zarvik::ModuleKey;

template <class Step>
void Try(Step&& step)
{
    plat::IgnoreErrors(std::forward<Step>(step));
}

template <class I>
std::shared_ptr<I> ObjectOf(const std::shared_ptr<plat::ControlExtender>& extender)
{
    return extender ? std::dynamic_pointer_cast<I>(extender->Object()) : nullptr;
}

// The test-guide settings of a configuration record; none for any other object.
std::shared_ptr<host::HostTestGuideSettings> GetTestGuideConfig(const std::shared_ptr<host::IConfigData>& configuration)
{
    auto record = std::dynamic_pointer_cast<CConfigBase>(configuration);
    return record ? record->TestGuideConfig() : nullptr;
}

bool IsChecklistTest(int32_t testId) { return testId == 400 || testId == 500 || testId == 600 || testId == 1100; }

} // namespace

// Counts the window's own handlers that run, so that an unload asked for meanwhile waits until
// the last of them has returned, and keeps the window alive until then.
class FZARVIKTestGuide::HandlerScope {
public:
    explicit HandlerScope(FZARVIKTestGuide& guide)
        : mGuide(guide), mKeep(std::static_pointer_cast<FZARVIKTestGuide>(guide.KeepAlive()))
    {
        ++mGuide.mHandlerDepth;
    }
    ~HandlerScope()
    {
        if (--mGuide.mHandlerDepth == 0 && mGuide.mUnloadPending) {
            mGuide.mUnloadPending = false;
            try {
                mGuide.plat::Form::Unload();
            } catch (...) {
                // Nothing of the window's own reaches the handler that asked for the unload.
            }
        }
    }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

private:
    FZARVIKTestGuide& mGuide;
    std::shared_ptr<FZARVIKTestGuide> mKeep;
};

FZARVIKTestGuide::FZARVIKTestGuide() : plat::Form(FormName), mServices(std::make_shared<host::HostGuideServices>())
{
    SetCaption(DesignCaption);
    Move(0, 0, 9330, 7200);
}

FZARVIKTestGuide::~FZARVIKTestGuide() = default;

void FZARVIKTestGuide::OnLoad()
{
    Try([&] { SetIcon(host::HostIconLibrary().Picture(host::HostIconLibrary::TestGuideIcon)); });
    CreateControls();
    Try([&] { host::HostTranslator::Process()->TranslateObject(kModuleKey, *this); });
    mConnections.emplace_back(Resize.Connect([this] { LayoutWindow(); }));
    mConnections.emplace_back(CloseRequest.Connect([this](bool& cancel) { OnCloseRequest(cancel); }));
    mConnections.emplace_back(Activate.Connect([this] {
        Try([&] {
            if (mEmbedded) mEmbedded->SetFocus();
        });
    }));
}

void FZARVIKTestGuide::CreateControls()
{
    Try([&] { mToolbar = Controls().Add(ToolbarProgId, "xtbToolbar"); });
    Try([&] { mWizard = Controls().Add(ContentPaneProgId, "xtwWizard"); });
    Try([&] { mDetails = Controls().Add(StepListProgId, "xtwDetails"); });
    Try([&] { mPopup = Add<XTestInstruction>("xtipopup"); });
    Try([&] { mMtiData = Add<XMTIData>("xmdMtiData"); });
    if (mToolbar) {
        mToolbar->SetVisible(true);
        mConnections.emplace_back(mToolbar->ObjectEvent.Connect([this](const plat::EventInfo& info) { OnToolbarEvent(info); }));
    }
    if (mWizard) {
        mWizard->SetVisible(true);
        mConnections.emplace_back(mWizard->ObjectEvent.Connect([this](const plat::EventInfo& info) { OnWizardEvent(info); }));
    }
    if (mDetails) mDetails->SetVisible(true);
    if (mPopup) mPopup->SetVisible(false);
    if (mMtiData) mMtiData->SetVisible(false);
}

std::shared_ptr<host::ITestWizard> FZARVIKTestGuide::xtwDetails() const { return ObjectOf<host::ITestWizard>(mDetails); }

std::shared_ptr<host::ITgToolbar> FZARVIKTestGuide::xtbToolbar() const { return ObjectOf<host::ITgToolbar>(mToolbar); }

std::shared_ptr<host::ITgContentPane> FZARVIKTestGuide::xtwWizard() const { return ObjectOf<host::ITgContentPane>(mWizard); }

// ---- Procedures ----

void FZARVIKTestGuide::InitGuide(const std::shared_ptr<host::ITestElement>& element,
                                 const std::shared_ptr<host::HostTestContext>& context, const plat::Variant& steps)
{
    if (!element) return;
    Load();
    mElement = element;
    Try([&] {
        const std::string caption = mServices->CaptionText(element);
        if (!caption.empty()) SetCaption(caption);
    });
    Try([&] {
        if (auto details = xtwDetails()) details->SetSteps(steps);
    });
    Try([&] {
        auto result = element->Result();
        auto list = context ? context->MtiList() : nullptr;
        auto record = MMiscUtils::CreateMtiData(list, result ? result->MTIID() : 0);
        if (record && mMtiData) mMtiData->SetMtiData(record);
    });
    Try([&] { mResultView = CreateResultView(element->TestID()); });
    Try([&] {
        if (mResultView) mResultView->ShowTestResult(element->Result());
    });
    Try([&] {
        if (mResultView) mResultView->SetLimits(element->Limits());
    });
    Try([&] { SetupWizard(element, context); });
    Try([&] { SetupToolbar(element, context); });
}

std::shared_ptr<IZARVIKResult> FZARVIKTestGuide::CreateResultView(int32_t testId)
{
    // A second InitGuide replaces the view it added before.
    Try([&] { Controls().Remove("irvResult"); });
    mEmbedded.reset();
    const char* viewClass = IsChecklistTest(testId) ? ChecklistView : MeasurementView;
    mEmbedded = Controls().Add(viewClass, "irvResult");
    if (!mEmbedded) return nullptr;
    mEmbedded->Move(330, 2310, 8550, 2895);
    mEmbedded->SetVisible(true);
    mConnections.emplace_back(mEmbedded->ObjectEvent.Connect([this](const plat::EventInfo& info) { OnResultViewEvent(info); }));
    return ObjectOf<IZARVIKResult>(mEmbedded);
}

void FZARVIKTestGuide::SetupWizard(const std::shared_ptr<host::ITestElement>& element,
                                   const std::shared_ptr<host::HostTestContext>& context)
{
    auto wizard = xtwWizard();
    if (!wizard) return;
    Try([&] { wizard->Initialize(element, context); });
    Try([&] { wizard->SetResultView(mEmbedded ? mEmbedded->Object() : nullptr); });
    Try([&] { wizard->SetStepList(mDetails ? mDetails->Object() : nullptr); });
    Try([&] {
        if (mMtiData) AddWizardPage("462::MTI Data", mMtiData->BackColor(), "TAB_MTIDATA_1", "TAB_MTIDATA_2", mMtiData);
    });
    Try([&] { wizard->SetWindow(std::static_pointer_cast<plat::Window>(KeepAlive())); });
    LayoutWindow();
}

int16_t FZARVIKTestGuide::AddWizardPage(const std::string& caption, int32_t backColor, const std::string& pictureKey1,
                                        const std::string& pictureKey2, const plat::ObjectPtr& control)
{
    auto wizard = xtwWizard();
    if (!wizard) return 0;
    auto page = std::make_shared<host::HostWizardPage>();
    page->SetStyle(255);
    page->SetBackColor(backColor);
    page->SetTabPicture1(plat::LoadBitmapResource(pictureKey1));
    page->SetTabPicture2(plat::LoadBitmapResource(pictureKey2));
    page->SetCaption(host::HostTranslator::Process()->Translate(kModuleKey, caption));
    return wizard->AddPage(page, control);
}

void FZARVIKTestGuide::SetupToolbar(const std::shared_ptr<host::ITestElement>& element,
                                    const std::shared_ptr<host::HostTestContext>& context)
{
    auto toolbar = xtbToolbar();
    if (!toolbar) return;
    int32_t flags = host::ITgToolbar::ShowSkip | host::ITgToolbar::ShowNA | host::ITgToolbar::ShowAbort;
    Try([&] {
        if (auto settings = GetTestGuideConfig(element->Configuration())) flags = settings->FirstValue() | host::ITgToolbar::ShowAbort;
    });
    Try([&] { toolbar->Configure(flags, host::ITgToolbar::ShowPrevious | host::ITgToolbar::ShowNext); });
    Try([&] { toolbar->Attach(element, context); });
}

void FZARVIKTestGuide::SetRunState(int32_t state, bool done)
{
    Load();
    auto toolbar = xtbToolbar();
    if (!toolbar) return;
    if (state == 1) {
        Try([&] { toolbar->SetRunMode(done ? 2 : 0); });
        Try([&] { toolbar->SetBusy(false, false); });
    } else if (state == 2) {
        Try([&] { toolbar->SetRunMode(1); });
        Try([&] { toolbar->SetBusy(true, true); });
    }
}

void FZARVIKTestGuide::ShowStatusText(const std::string& text)
{
    Load();
    Try([&] {
        auto toolbar = xtbToolbar();
        auto field = toolbar ? toolbar->StatusField() : nullptr;
        if (!field) return;
        // A language-ID text has its "::" within the first six characters.
        const auto p = text.find("::");
        const bool languageText = p != std::string::npos && p < 6;
        field->SetText(languageText ? host::HostTranslator::Process()->Translate(kModuleKey, text, std::vector<plat::Variant>{}) : text);
    });
}

void FZARVIKTestGuide::ShowInstruction(const std::string& iconKey, const std::string& message, bool flash)
{
    Load();
    if (!mPopup) return;
    CoverResultView();
    Try([&] { mPopup->ShowMsg(iconKey, message); });
    Try([&] { mPopup->SetFlash(flash); });
    Try([&] {
        mPopup->SetVisible(true);
        mPopup->ZOrder(0);
    });
}

void FZARVIKTestGuide::HideInstruction()
{
    if (!mPopup) return;
    Try([&] { mPopup->SetFlash(false); });
    Try([&] { mPopup->SetVisible(false); });
}

void FZARVIKTestGuide::HighLightStepList(const std::vector<int16_t>& steps)
{
    Load();
    Try([&] {
        auto details = xtwDetails();
        if (!details) return;
        auto array = plat::VariantArray::OneDim(0, static_cast<int32_t>(steps.size()));
        for (size_t i = 0; i < steps.size(); ++i) array.items[i] = plat::Variant(steps[i]);
        details->HighLight(plat::Variant(std::move(array)));
    });
}

void FZARVIKTestGuide::ShowResult(const std::shared_ptr<host::IResultData>& result)
{
    if (!result || !mResultView) return;
    Try([&] { mResultView->ShowTestResult(result); });
}

void FZARVIKTestGuide::RefuseVerdict()
{
    if (auto checklist = std::dynamic_pointer_cast<XTestResult>(mResultView)) Try([&] { checklist->RefuseVerdict(); });
}

void FZARVIKTestGuide::ShowResultStatus(const std::shared_ptr<host::IResultData>& result)
{
    if (!result) return;
    Load();
    Try([&] {
        auto toolbar = xtbToolbar();
        auto field = toolbar ? toolbar->StatusField() : nullptr;
        if (field) field->SetStatus(plat::CInt(plat::Variant(result->Status())));
    });
}

void FZARVIKTestGuide::EnableNext(bool enable)
{
    Load();
    Try([&] {
        auto toolbar = xtbToolbar();
        auto next = toolbar ? toolbar->Button(host::ITgToolbar::ButtonNext) : nullptr;
        if (next) next->SetEnabled(enable);
    });
}

std::shared_ptr<CMtiData2> FZARVIKTestGuide::GetMtiData()
{
    std::shared_ptr<CMtiData2> record;
    Try([&] {
        if (mMtiData) record = mMtiData->GetMtiData();
    });
    return record;
}

// ---- Events of the controls ----

void FZARVIKTestGuide::RaiseGuideEvent(plat::Event<>& event)
{
    if (IsDestroyed()) return;
    HandlerScope scope(*this);
    event.Fire();
}

void FZARVIKTestGuide::ToolbarButtonClick(const plat::ObjectPtr& buttonObject, bool clickFlag)
{
    auto button = std::dynamic_pointer_cast<host::ITgButton>(buttonObject);
    if (!button) return;
    switch (button->ID()) {
    case host::ITgToolbar::ButtonAbort:
        if (mServices->ConfirmAbort()) RaiseGuideEvent(AbortTest);
        break;
    case host::ITgToolbar::ButtonPrevious:
        RaiseGuideEvent(Previous);
        break;
    case host::ITgToolbar::ButtonNext:
        Try([&] {
            if (mMtiData) mMtiData->RegSave();
        });
        RaiseGuideEvent(NextTest);
        break;
    case host::ITgToolbar::ButtonStop:
        RaiseGuideEvent(StopTest);
        break;
    case host::ITgToolbar::ButtonStart: {
        auto toolbar = xtbToolbar();
        auto next = toolbar ? toolbar->Button(host::ITgToolbar::ButtonNext) : nullptr;
        if (next && next->Enabled() && clickFlag) {
            Try([&] {
                if (mMtiData) mMtiData->RegSave();
            });
            RaiseGuideEvent(NextTest);
        } else if (button->Pressed() && clickFlag) {
            RaiseGuideEvent(StopTest);
        } else {
            RaiseGuideEvent(StartTest);
        }
        break;
    }
    case host::ITgToolbar::ButtonNA:
        RaiseGuideEvent(NA);
        break;
    case host::ITgToolbar::ButtonSkip:
        RaiseGuideEvent(Skip);
        break;
    default:
        break;
    }
}

void FZARVIKTestGuide::OnToolbarEvent(const plat::EventInfo& info)
{
    if (info.name == host::ITgToolbar::EventButtonClick) {
        bool clickFlag = false;
        Try([&] { clickFlag = plat::CBool(info.Parameter(1)); });
        const plat::Variant button = info.Parameter(0);
        ToolbarButtonClick(button.IsObject() ? button.AsObject() : nullptr, clickFlag);
    } else if (info.name == host::ITgToolbar::EventSizeChanged) {
        LayoutWindow();
    } else if (info.name == host::ITgToolbar::EventStandardChanged) {
        Try([&] {
            auto toolbar = xtbToolbar();
            auto selection = toolbar ? toolbar->CurrentStandard() : nullptr;
            if (selection && mResultView) {
                mResultView->SelectStandard(selection->AlphaName(), selection->CompleteName(), selection->Calculate());
            }
        });
    }
}

void FZARVIKTestGuide::OnResultViewEvent(const plat::EventInfo& info)
{
    // A missing argument reads as 0, so the view's "ItemClicked" without one still reaches the
    // test.
    int16_t argument = 0;
    Try([&] { argument = plat::CInt(info.Parameter(0)); });
    if (info.name == "ItemClicked") {
        if (IsDestroyed()) return;
        HandlerScope scope(*this);
        ItemClicked.Fire(argument != 0);
    } else if (info.name == "MouseDown" && argument == 2) {
        Try([&] {
            if (auto toolbar = xtbToolbar()) toolbar->ShowMenu();
        });
    }
}

void FZARVIKTestGuide::OnWizardEvent(const plat::EventInfo& info)
{
    if (info.name == host::ITgContentPane::EventLayoutChanged) CoverResultView();
}

// Closing the window from its frame is an abort: the operator confirms it, the test hears
// AbortTest and ends the run; the window itself never goes while the test still runs.
void FZARVIKTestGuide::OnCloseRequest(bool& cancel)
{
    cancel = true;
    if (mServices->ConfirmAbort()) RaiseGuideEvent(AbortTest);
}

void FZARVIKTestGuide::LayoutWindow()
{
    if (!mWizard || IsDestroyed()) return;
    float toolbarHeight = 0;
    Try([&] {
        if (auto toolbar = xtbToolbar()) toolbarHeight = toolbar->ToolbarHeight();
    });
    Try([&] { mWizard->Move(0, 0, std::max(0.0f, ScaleWidth()), std::max(0.0f, ScaleHeight() - toolbarHeight)); });
}

void FZARVIKTestGuide::CoverResultView()
{
    if (!mPopup || !mEmbedded) return;
    Try([&] {
        mPopup->Move(mEmbedded->Left(), mEmbedded->Top(), std::max(0.0f, mEmbedded->Width()), std::max(0.0f, mEmbedded->Height()));
        mPopup->ZOrder(0);
    });
}

// ---- Lifecycle ----

void FZARVIKTestGuide::Unload()
{
    if (mHandlerDepth > 0) {
        mUnloadPending = true;
        Try([&] { Hide(); });
        return;
    }
    plat::Form::Unload();
}

void FZARVIKTestGuide::OnUnload()
{
    if (auto wizard = xtwWizard()) {
        Try([&] { wizard->ReleaseWindow(); });
        Try([&] { wizard->Terminate(); });
    }
    HideInstruction();
    mElement.reset();
    mEmbedded.reset();
    mResultView.reset();
}

} // namespace ztest
