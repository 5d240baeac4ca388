#pragma once

#include "host/interfaces/HostForward.h"
#include "host/interfaces/ITestElement.h"
#include "instrument/ZarvikModule.h"
#include "testlib/core/IPresetRecord.h"
#include "platform/base/ComError.h"
#include "platform/base/Variant.h"
#include "platform/ui/Event.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vti {
class IZarvikVTi;
}

namespace ztest {

class CMtiData2;
class CResultRecord;
class FZARVIKTestGuide;

// One row of a test's measurement list: the key and its language-ID caption.
struct MeasurementListRow {
    const char* key;
    const char* caption;
};

// What the eleven test elements share: the wrapped host element that keeps the bookkeeping,
// Perform with the modal guide window, the frame of a run (StartTest opens the analyzer
// channel, runs the test's own measurement procedure and closes the channel), the handlers of
// the window's buttons and the finishing step that rates, stamps or removes the result.
//
// A test type gives only what is its own (CTestOf below ties it to its records): its type code
// and class name, its records, its instruction lines, its measurement list and its measurement
// procedure; a type whose run differs further overrides the handler in question.
class CTestElement : public host::ITestElement,
                     public IPresetRecord,
                     public std::enable_shared_from_this<CTestElement> {
public:
    static constexpr const char* ModuleKey = zarvik::ModuleKey;
    // The errors of the stored form that Load and Save pass on to their caller.
    static constexpr int32_t ErrLoadFirst = plat::Hr(0x8004A2C0u);
    static constexpr int32_t ErrLoadLast = plat::Hr(0x8004A2C2u);
    static constexpr int32_t ErrLoadOther = plat::Hr(0x8004A2C8u);
    static constexpr int32_t ErrSave = plat::Hr(0x8004A2CDu);
    // The link's own error: the link has shown its message already.
    static constexpr int32_t ErrInstrument = plat::Hr(0x8004A462u);

    ~CTestElement() override;
    CTestElement(const CTestElement&) = delete;
    CTestElement& operator=(const CTestElement&) = delete;

    // ITestElement
    std::string PlugInID() override;
    int32_t TestID() override;
    int32_t ID() override;
    void SetID(int32_t id) override;
    plat::ObjectPtr Parent() override;
    void SetParent(const plat::ObjectPtr& parent) override;
    std::shared_ptr<host::HostTestInfo> Info() override;
    std::shared_ptr<host::HostTestFilter> Filter() override;
    std::shared_ptr<host::IResultData> Result() override;
    std::shared_ptr<host::ILimitData> Limits() override;
    std::shared_ptr<host::IConfigData> Configuration() override;
    void Initialize(const std::string& moduleKey, int32_t testId, int32_t id) override;
    std::shared_ptr<host::ITestElement> Clone() override;
    void Perform(const std::shared_ptr<host::HostTestContext>& context) override;
    void Load(const std::shared_ptr<host::HostXmlElement>& element, const std::shared_ptr<host::HostLoadLog>& log) override;
    std::shared_ptr<host::HostXmlElement> Save(const std::shared_ptr<host::HostXmlDocument>& document) override;
    void PrintReport(const std::shared_ptr<host::HostReport>& report, const plat::Variant& argument) override;
    bool QuerySetParent(const plat::ObjectPtr& parent) override;
    void Terminate() override;
    void UpdateReferences() override;
    plat::Variant GetMeasurementList() override;

    // IPresetRecord: a record of the type built from the current configuration, apart from the
    // element (its own result stays as it is).
    std::shared_ptr<host::IResultData> PresetRecord() override;

    // A clone of the wrapped element.
    std::shared_ptr<host::HostTestElement> CloneBase() const;
    // Takes a clone of the source's wrapped element as its own and becomes the owner of its
    // limits.
    void CopyFrom(const CTestElement& source);

    const std::string& ProgId() const { return mProgId; }

    // The run's flags, for those who watch a run.
    bool Busy() const { return mfBusy; }
    bool Stopped() const { return mfStopped; }

protected:
    CTestElement(int32_t typeCode, std::string progId);

    // The construction every element goes through once it is owned: the wrapped element, the
    // configuration record and the limits owned by this element.
    void Construct();

    // ---- What a test type gives ----
    virtual std::shared_ptr<host::IConfigData> NewConfiguration() const = 0;
    // A new result record of the type, its measurement set built (initialised) or not.
    virtual std::shared_ptr<CResultRecord> NewResult(bool initialise) = 0;
    // A new element of the same class, constructed.
    virtual std::shared_ptr<CTestElement> NewInstance() const = 0;
    // Rates the result record (UpdateStatus) against the run context's selected standards.
    virtual void RateResult(bool skipped) = 0;
    // The numbered instruction lines for the window: a String array of 5 entries.
    virtual plat::Variant BuildInstructions() = 0;
    virtual std::span<const MeasurementListRow> MeasurementList() const = 0;
    // The measurement procedure that StartTest runs between opening and closing the channel;
    // it tests mfStopped and the link's time-out after every exchange.
    virtual void RunMeasurement() = 0;
    // The steps StartTest highlights when the run begins (none: the marks are cleared).
    virtual std::vector<int16_t> StepsHighlightedAtStart() const { return {}; }
    // The steps StartTest highlights when the run ends.
    virtual std::vector<int16_t> StepsHighlightedAtEnd() const { return {1, 2}; }
    // Prepares the loaded window before Perform shows it: run state, result status and the
    // instruction lines, in the type's order.
    virtual void PrepareGuide(bool hasPrevious);
    // What the window shows while a run starts: the status text and the waiting instruction.
    virtual void ShowRunInProgress();
    // Whether the limits that the element owns let the host open their editor.
    virtual bool LimitsHaveDialog() const { return true; }
    // The source of the errors that Load, Save and Clone report.
    virtual std::string ErrorSource() const { return mProgId; }

    // ---- The guide window's events ----
    virtual void mfrmTestGuide_StartTest();
    virtual void mfrmTestGuide_StopTest();
    virtual void mfrmTestGuide_AbortTest();
    virtual void mfrmTestGuide_NextTest();
    virtual void mfrmTestGuide_Previous();
    virtual void mfrmTestGuide_Skip();
    virtual void mfrmTestGuide_NA();
    virtual void mfrmTestGuide_ItemClicked(bool /*value*/) {}

    // ---- Shared procedures ----
    // Makes sure the wrapped element holds a result record of the type (a new one when force).
    void EnsureResult(bool force);
    // After the window closed: rates, stamps or removes the result.
    virtual void FinishTest(const std::shared_ptr<CMtiData2>& mtiData);
    // Navigation from the window: a run still going on is stopped first, as Stop does.
    void Navigate(int32_t code);

    // The flags of a run that starts: busy, started, and nothing stopped, discarded or N/A.
    void BeginRun();
    // The end of a run that an error broke off: the instruction hidden, the channel closed, the
    // window ready again, the run not started, and the "Error #" box unless it is the link's own.
    void EndRunAfterError(int32_t number, const std::string& description);
    // The number and description of the error in hand (inside a catch block).
    static void DescribeCurrent(int32_t& number, std::string& description);
    // The "Error #" box of an error trapped by Perform or StartTest; none for the link's own.
    void ShowTrappedError(int32_t number, const std::string& description) const;

    // The start of every run: the record in hand is kept aside and a fresh record of the current
    // configuration (with the kept one's comment) is shown in its place.
    void KeepResultForRun();
    // The end of a run: a run that stored a result of its own drops the kept record; one that
    // did not puts the kept record back, shown again, and takes over whether that record was
    // stored by a completed run of this Perform (mfResultCompleted).
    void SettleKeptResult(bool runStored);
    // The element holds a rated result (Status not 0).
    bool HoldsRatedResult() const;

    // Marks exactly these steps of the window's step list.
    void HighLight(const std::vector<int16_t>& steps);

    // The analyzer link, made on first use.
    vti::IZarvikVTi& Vti();
    // The command's reply as text, with its line end ("" after an abort).
    std::string Send(const std::string& command);
    bool TimedOut();
    void Wait(int32_t milliseconds);
    // One turn of the event loop.
    static void PumpOnce();

    // The analyzer's error box (text 20464, LF, 20465; title 20471; critical).
    static void ShowAnalyzerErrorBox();
    // A box with a language-ID text and the analyzer title, critical.
    static void ShowAnalyzerBox(std::string_view text);
    // The reply begins with the token.
    static bool Begins(std::string_view reply, std::string_view token);
    // An "ERR" reply's code: characters 5 and 6 read as a number.
    static double ErrorCode(std::string_view reply);
    // An "ERR" reply: a code that is not negative shows the analyzer's error box and stops the
    // run; a negative one stops it only when asked (a data reply is never taken as data).
    void HandleErrorReply(std::string_view reply, bool stopWhenNegative);
    // A reply without anything but its line end.
    static bool IsEmptyReply(std::string_view reply);
    static std::string Translate(std::string_view text);
    static std::string Translate(std::string_view text, const plat::Variant& argument);

    // The run context's selected standards (none without a context).
    std::shared_ptr<host::HostStandards> SelectedStandards() const;

    std::shared_ptr<host::HostTestElement> mTestElement;
    std::shared_ptr<host::HostTestContext> mTestContext;
    std::shared_ptr<vti::IZarvikVTi> mVti;
    std::shared_ptr<CResultRecord> mResult;
    bool mfBusy = false;
    bool mfStopped = false;
    bool mfDiscardResult = false;
    bool mfStarted = false;
    bool mfNotApplicable = false;
    // The element's record was stored by a completed run of this Perform: the finishing step
    // rates, stamps and reports it, also when a later run of the same window was stopped and
    // put it back.
    bool mfResultCompleted = false;
    std::shared_ptr<FZARVIKTestGuide> mfrmTestGuide;

private:
    void ConnectGuide();
    void CloseGuide();
    // Puts the record that the run replaced back, and shows it again.
    void RestoreKeptResult();

    int32_t mTypeCode;
    std::string mProgId;
    std::vector<plat::ScopedConnection> mGuideConnections;
    // The record a run replaced, until the run stores a result of its own.
    std::shared_ptr<host::IResultData> mKeptResult;
    // Whether the kept record was stored by a completed run of this Perform.
    bool mfKeptCompleted = false;
};

} // namespace ztest
