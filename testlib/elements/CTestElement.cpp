#include "testlib/elements/CTestElement.h"

#include "host/documents/HostErrorRaiser.h"
#include "host/documents/HostTranslator.h"
#include "host/elements/HostTestContext.h"
#include "host/elements/HostTestElement.h"
#include "host/interfaces/IConfigData.h"
#include "host/interfaces/ILimitData.h"
#include "host/interfaces/IResultData.h"
#include "host/standards/HostStandards.h"
#include "host/documents/HostXmlElement.h"
#include "instrument/IZarvikVTi.h"
#include "platform/base/Conversions.h"
#include "platform/com/ComRuntime.h"
#include "platform/loop/EventLoop.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "testlib/core/CLimitData.h"
#include "testlib/core/CMtiData2.h"
#include "testlib/core/LibraryInfo.h"
#include "testlib/core/MMiscUtils.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "testlib/results/CResultRecord.h"
#include "testlib/elements/AnalyzerReply.h"

namespace ztest {

namespace {

constexpr const char* kAnalyzerTitle = "20471::Telvo Plug-In MTI response";

} // namespace

void CTestElement::DescribeCurrent(int32_t& number, std::string& description)
{
    try {
        throw;
    } catch (const plat::ComError& error) {
        number = error.Number();
        description = error.Description();
    } catch (const std::exception& error) {
        number = plat::rt::InvalidCall;
        description = error.what();
    }
}

CTestElement::CTestElement(int32_t typeCode, std::string progId) : mTypeCode(typeCode), mProgId(std::move(progId)) {}

CTestElement::~CTestElement() = default;

void CTestElement::Construct()
{
    mTestElement = std::make_shared<host::HostTestElement>();
    mTestElement->Initialize(ModuleKey, mTypeCode, 0);
    mTestElement->SetConfiguration(NewConfiguration());
    auto limits = std::make_shared<CLimitData>();
    limits->SetOwner(shared_from_this(), true);
    mTestElement->SetLimits(limits);
}

// ---- Forwarded bookkeeping ----

std::string CTestElement::PlugInID()
{
    return mTestElement->PlugInID();
}

int32_t CTestElement::TestID()
{
    return mTestElement->TestID();
}

int32_t CTestElement::ID()
{
    return mTestElement->ID();
}

void CTestElement::SetID(int32_t id)
{
    mTestElement->SetID(id);
}

plat::ObjectPtr CTestElement::Parent()
{
    return mTestElement->Parent();
}

void CTestElement::SetParent(const plat::ObjectPtr& parent)
{
    plat::IgnoreErrors([&] { mTestElement->SetParent(parent); });
}

std::shared_ptr<host::HostTestInfo> CTestElement::Info()
{
    return mTestElement->Info();
}

std::shared_ptr<host::HostTestFilter> CTestElement::Filter()
{
    std::shared_ptr<host::HostTestFilter> filter;
    plat::IgnoreErrors([&] { filter = mTestElement->Filter(); });
    return filter;
}

std::shared_ptr<host::IResultData> CTestElement::Result()
{
    return mTestElement->Result();
}

std::shared_ptr<host::ILimitData> CTestElement::Limits()
{
    return mTestElement->Limits();
}

std::shared_ptr<host::IConfigData> CTestElement::Configuration()
{
    return mTestElement->Configuration();
}

void CTestElement::Initialize(const std::string& moduleKey, int32_t testId, int32_t id)
{
    plat::IgnoreErrors([&] { mTestElement->Initialize(moduleKey, testId, id); });
}

std::shared_ptr<host::HostTestElement> CTestElement::CloneBase() const
{
    return mTestElement->Clone();
}

void CTestElement::CopyFrom(const CTestElement& source)
{
    if (mTestElement) mTestElement->Terminate();
    mTestElement = source.CloneBase();
    mResult = nullptr;
    if (auto limits = std::dynamic_pointer_cast<CLimitData>(mTestElement->Limits()))
        limits->SetOwner(shared_from_this(), LimitsHaveDialog());
}

std::shared_ptr<host::ITestElement> CTestElement::Clone()
{
    try {
        auto copy = NewInstance();
        copy->CopyFrom(*this);
        return copy;
    } catch (...) {
        host::HostErrorRaiser().ReportCurrent(ErrorSource());
        return nullptr;
    }
}

void CTestElement::Load(const std::shared_ptr<host::HostXmlElement>& element, const std::shared_ptr<host::HostLoadLog>& log)
{
    try {
        if (element && element->Name() == CResultRecord::ElementName) EnsureResult(true);
        mTestElement->Load(element, log);
    } catch (...) {
        host::HostErrorRaiser().PassOnOrReport(ErrorSource(), {ErrLoadFirst, ErrLoadFirst + 1, ErrLoadLast, ErrLoadOther});
    }
}

std::shared_ptr<host::HostXmlElement> CTestElement::Save(const std::shared_ptr<host::HostXmlDocument>& document)
{
    try {
        return mTestElement->Save(document);
    } catch (...) {
        host::HostErrorRaiser().PassOnOrReport(ErrorSource(), {ErrSave});
        return nullptr;
    }
}

void CTestElement::PrintReport(const std::shared_ptr<host::HostReport>& report, const plat::Variant& argument)
{
    plat::IgnoreErrors([&] { mTestElement->PrintReport(report, argument); });
}

bool CTestElement::QuerySetParent(const plat::ObjectPtr& /*parent*/)
{
    return true;
}

void CTestElement::Terminate()
{
    plat::IgnoreErrors([&] { mTestElement->Terminate(); });
}

void CTestElement::UpdateReferences()
{
    plat::IgnoreErrors([&] {
        if (auto limits = mTestElement->Limits()) {
            if (auto standards = limits->Standards()) standards->UpdateReferences(shared_from_this());
        }
    });
}

plat::Variant CTestElement::GetMeasurementList()
{
    const auto rows = MeasurementList();
    const auto count = static_cast<int32_t>(rows.size());
    plat::VariantArray list = plat::VariantArray::TwoDim(0, count, 0, 2);
    for (int32_t i = 0; i < count; ++i) {
        list.At(i, 0) = plat::Variant(std::string(rows[static_cast<std::size_t>(i)].key));
        list.At(i, 1) = plat::Variant(Translate(rows[static_cast<std::size_t>(i)].caption));
    }
    return plat::Variant(std::move(list));
}

// ---- The result record ----

void CTestElement::EnsureResult(bool force)
{
    if (force || !mTestElement->Result()) {
        auto result = NewResult(true);
        mTestElement->SetResult(result);
        mResult = result;
    } else {
        mResult = std::dynamic_pointer_cast<CResultRecord>(mTestElement->Result());
    }
}

std::shared_ptr<host::IResultData> CTestElement::PresetRecord()
{
    std::shared_ptr<host::IResultData> record;
    plat::IgnoreErrors([&] { record = NewResult(true); });
    return record;
}

std::shared_ptr<host::HostStandards> CTestElement::SelectedStandards() const
{
    return mTestContext ? mTestContext->SelectedStandards() : nullptr;
}

// ---- Perform ----

void CTestElement::Perform(const std::shared_ptr<host::HostTestContext>& context)
{
    try {
        if (!context || !context->AskRun(shared_from_this())) return;
        EnsureResult(false);
        bool hasPrevious = false;
        if (auto result = mTestElement->Result()) {
            hasPrevious = result->Status() != 0;
        } else {
            mTestElement->SetResult(NewResult(false));
        }
        mTestContext = context;
        // A run starts with clean flags: an earlier run's never rates or discards this one's.
        mfStarted = false;
        mfStopped = false;
        mfNotApplicable = false;
        mfDiscardResult = false;
        mfResultCompleted = false;
        mKeptResult = nullptr;
        mfKeptCompleted = false;

        mfrmTestGuide = std::make_shared<FZARVIKTestGuide>();
        ConnectGuide();
        mfrmTestGuide->Load();
        PrepareGuide(hasPrevious);
        mfrmTestGuide->Show(plat::vbModal);

        auto mtiData = mfrmTestGuide->GetMtiData();
        CloseGuide();
        FinishTest(mtiData);
    } catch (...) {
        int32_t number = 0;
        std::string description;
        DescribeCurrent(number, description);
        plat::IgnoreErrors([&] {
            if (mVti) mVti->CloseChannel();
        });
        plat::IgnoreErrors([&] {
            if (mfrmTestGuide) mfrmTestGuide->SetRunState(1, false);
        });
        mfStarted = false;
        mfBusy = false;
        ShowTrappedError(number, description);
        // The window goes on the error path too: nothing is left shown or subscribed.
        plat::IgnoreErrors([&] { CloseGuide(); });
    }
}

void CTestElement::PrepareGuide(bool hasPrevious)
{
    mfrmTestGuide->SetRunState(1, hasPrevious);
    mfrmTestGuide->ShowResultStatus(mTestElement->Result());
    mfrmTestGuide->InitGuide(shared_from_this(), mTestContext, BuildInstructions());
}

void CTestElement::ShowRunInProgress()
{
    mfrmTestGuide->ShowStatusText("20531::Test in progress");
    mfrmTestGuide->ShowInstruction("TI:WAIT", "20178::Please wait... ", false);
}

void CTestElement::ConnectGuide()
{
    mGuideConnections.clear();
    auto& guide = *mfrmTestGuide;
    mGuideConnections.emplace_back(guide.StartTest.Connect([this] { mfrmTestGuide_StartTest(); }));
    mGuideConnections.emplace_back(guide.StopTest.Connect([this] { mfrmTestGuide_StopTest(); }));
    mGuideConnections.emplace_back(guide.AbortTest.Connect([this] { mfrmTestGuide_AbortTest(); }));
    mGuideConnections.emplace_back(guide.NA.Connect([this] { mfrmTestGuide_NA(); }));
    mGuideConnections.emplace_back(guide.NextTest.Connect([this] { mfrmTestGuide_NextTest(); }));
    mGuideConnections.emplace_back(guide.Previous.Connect([this] { mfrmTestGuide_Previous(); }));
    mGuideConnections.emplace_back(guide.Skip.Connect([this] { mfrmTestGuide_Skip(); }));
    mGuideConnections.emplace_back(guide.ItemClicked.Connect([this](bool value) { mfrmTestGuide_ItemClicked(value); }));
}

void CTestElement::CloseGuide()
{
    mGuideConnections.clear();
    if (auto guide = std::move(mfrmTestGuide)) guide->Unload();
}

void CTestElement::ShowTrappedError(int32_t number, const std::string& description) const
{
    if (number == ErrInstrument) return;
    plat::IgnoreErrors([&] {
        plat::MsgBox("Error #" + std::to_string(number) + "\r\n" + description, plat::vbExclamation, LibraryInfo::Title);
    });
}

void CTestElement::FinishTest(const std::shared_ptr<CMtiData2>& mtiData)
{
    if (mfDiscardResult) {
        mTestElement->SetResult(nullptr);
        mResult = nullptr;
        return;
    }
    // Only a result that a run of this window stored is rated, or N/A.
    if (!mfNotApplicable && !mfResultCompleted) return;
    mResult = std::dynamic_pointer_cast<CResultRecord>(mTestElement->Result());
    if (!mResult) return;
    plat::IgnoreErrors([&] { RateResult(mfNotApplicable); });
    plat::IgnoreErrors([&] {
        const int32_t index = MMiscUtils::RegisterMti(mTestContext ? mTestContext->MtiList() : nullptr, mtiData);
        mResult->SetMTIID(index);
    });
    plat::IgnoreErrors([&] {
        if (mTestContext) mTestContext->ResultChanged(shared_from_this());
    });
}

// ---- The run ----

void CTestElement::mfrmTestGuide_StartTest()
{
    if (mfBusy) return;
    BeginRun();
    try {
        KeepResultForRun();

        mfrmTestGuide->SetRunState(2, false);
        mfrmTestGuide->HighLightStepList(StepsHighlightedAtStart());
        ShowRunInProgress();

        bool runStored = false;
        Vti().OpenChannel();
        if (Vti().State() == vti::evtiIdle && !mfStopped) {
            RunMeasurement();
            runStored = !mfStopped;
        } else {
            // Nothing was measured: the run rates nothing.
            mfStopped = true;
        }
        Vti().CloseChannel();
        SettleKeptResult(runStored);

        mfrmTestGuide->HideInstruction();
        mfrmTestGuide->ShowStatusText("");
        mfrmTestGuide->ShowResult(mResult);
        mfrmTestGuide->ShowResultStatus(mTestElement->Result());
        // The finished form over a result: this run's, or the one a stopped rerun put back.
        mfrmTestGuide->SetRunState(1, mfResultCompleted || HoldsRatedResult());
        const auto steps = StepsHighlightedAtEnd();
        if (!steps.empty()) mfrmTestGuide->HighLightStepList(steps);
        mfBusy = false;
    } catch (...) {
        int32_t number = 0;
        std::string description;
        DescribeCurrent(number, description);
        plat::IgnoreErrors([&] { SettleKeptResult(false); });
        EndRunAfterError(number, description);
    }
}

bool CTestElement::HoldsRatedResult() const
{
    const auto result = mTestElement->Result();
    return result && result->Status() != 0;
}

void CTestElement::KeepResultForRun()
{
    // Every run measures into a fresh record of the current configuration; the record it
    // replaces is kept aside until the run has stored a result, so a run that measures nothing
    // never loses a stored one.
    mKeptResult = mTestElement->Result();
    mfKeptCompleted = mfResultCompleted;
    mfResultCompleted = false;
    const std::string comment = mKeptResult ? mKeptResult->Comment() : std::string();
    EnsureResult(true);
    mResult->SetComment(comment);
    mfrmTestGuide->ShowResult(mResult);
    mfrmTestGuide->ShowResultStatus(mResult);
}

void CTestElement::SettleKeptResult(bool runStored)
{
    if (runStored) {
        mfResultCompleted = true;
    } else if (mKeptResult) {
        RestoreKeptResult();
        mfResultCompleted = mfKeptCompleted;
    }
    mKeptResult = nullptr;
    mfKeptCompleted = false;
}

void CTestElement::BeginRun()
{
    mfBusy = true;
    mfStopped = false;
    mfStarted = true;
    mfNotApplicable = false;
    mfDiscardResult = false;
}

void CTestElement::EndRunAfterError(int32_t number, const std::string& description)
{
    plat::IgnoreErrors([&] {
        if (mfrmTestGuide) mfrmTestGuide->HideInstruction();
    });
    plat::IgnoreErrors([&] {
        if (mVti) mVti->CloseChannel();
    });
    // The window returns to the form it had over the record it holds (the stored one is back).
    plat::IgnoreErrors([&] {
        if (mfrmTestGuide) mfrmTestGuide->SetRunState(1, mfResultCompleted || HoldsRatedResult());
    });
    plat::IgnoreErrors([&] {
        if (mfrmTestGuide) mfrmTestGuide->ShowStatusText("");
    });
    mfStarted = false;
    mfBusy = false;
    ShowTrappedError(number, description);
}

void CTestElement::RestoreKeptResult()
{
    if (!mKeptResult) return;
    mTestElement->SetResult(mKeptResult);
    mResult = std::dynamic_pointer_cast<CResultRecord>(mKeptResult);
    if (mfrmTestGuide) {
        mfrmTestGuide->ShowResult(mKeptResult);
        mfrmTestGuide->ShowResultStatus(mKeptResult);
    }
    mKeptResult = nullptr;
}

void CTestElement::mfrmTestGuide_StopTest()
{
    mfStopped = true;
    plat::IgnoreErrors([&] { Vti().Abort(); });
}

void CTestElement::Navigate(int32_t code)
{
    // Leaving while a run goes on ends the run first: nothing polls behind a hidden window.
    if (mfBusy) mfrmTestGuide_StopTest();
    plat::IgnoreErrors([&] {
        if (mTestContext) mTestContext->SetNavigation(code);
    });
    plat::IgnoreErrors([&] {
        if (mfrmTestGuide) mfrmTestGuide->Hide();
    });
}

void CTestElement::mfrmTestGuide_AbortTest()
{
    mfrmTestGuide_StopTest();
    mfDiscardResult = true;
    Navigate(host::HostTestContext::NavigateAbort);
}

void CTestElement::mfrmTestGuide_NextTest()
{
    Navigate(host::HostTestContext::NavigateNext);
}

void CTestElement::mfrmTestGuide_Previous()
{
    Navigate(host::HostTestContext::NavigatePrevious);
}

void CTestElement::mfrmTestGuide_Skip()
{
    mfDiscardResult = true;
    Navigate(host::HostTestContext::NavigateSkip);
}

void CTestElement::mfrmTestGuide_NA()
{
    Navigate(host::HostTestContext::NavigateNext);
    mfDiscardResult = false;
    mfNotApplicable = true;
    mfStarted = true;
}

// ---- Helpers of the measurement procedures ----

void CTestElement::HighLight(const std::vector<int16_t>& steps)
{
    plat::IgnoreErrors([&] {
        if (mfrmTestGuide) mfrmTestGuide->HighLightStepList(steps);
    });
}

vti::IZarvikVTi& CTestElement::Vti()
{
    if (!mVti) {
        mVti = plat::CreateObjectAs<vti::IZarvikVTi>(vti::CLSID_CZarvikVTi);
        if (!mVti) throw plat::ComError(plat::rt::ObjectLacksMember, mProgId, "The instrument lacks its interface");
    }
    return *mVti;
}

std::string CTestElement::Send(const std::string& command)
{
    const plat::Variant reply = Vti().SendCommand(command, false);
    return reply.IsString() ? reply.AsString() : std::string();
}

bool CTestElement::TimedOut()
{
    return Vti().mfTimeOut();
}

void CTestElement::Wait(int32_t milliseconds)
{
    Vti().Wait(milliseconds);
}

void CTestElement::PumpOnce()
{
    plat::IgnoreErrors([] { plat::Loop().RunPending(); });
}

void CTestElement::ShowAnalyzerErrorBox()
{
    plat::MsgBox(Translate("20464::Unexpected response from MTI.\nPlease try again") + "\n" +
                     Translate("20465::Please try again"),
                 plat::vbCritical, Translate(kAnalyzerTitle));
}

void CTestElement::ShowAnalyzerBox(std::string_view text)
{
    plat::MsgBox(Translate(text), plat::vbCritical, Translate(kAnalyzerTitle));
}

bool CTestElement::Begins(std::string_view reply, std::string_view token)
{
    return AnalyzerReply::Begins(reply, token);
}

double CTestElement::ErrorCode(std::string_view reply)
{
    return AnalyzerReply::ErrorCode(reply);
}

void CTestElement::HandleErrorReply(std::string_view reply, bool stopWhenNegative)
{
    if (ErrorCode(reply) >= 0) {
        plat::IgnoreErrors([] { ShowAnalyzerErrorBox(); });
        mfStopped = true;
    } else if (stopWhenNegative) {
        mfStopped = true;
    }
}

bool CTestElement::IsEmptyReply(std::string_view reply)
{
    return AnalyzerReply::Text(reply).empty();
}

std::string CTestElement::Translate(std::string_view text)
{
    return host::HostTranslator::Process()->Translate(ModuleKey, text, std::vector<plat::Variant>{});
}

std::string CTestElement::Translate(std::string_view text, const plat::Variant& argument)
{
    return host::HostTranslator::Process()->Translate(ModuleKey, text, std::vector<plat::Variant>{argument});
}

} // namespace ztest
