#include "testlib/results/CResultRecord.h"

#include "host/documents/HostErrorRaiser.h"
#include "host/documents/HostLoadLog.h"
#include "host/report/HostReport.h"
#include "host/units/HostServiceRecord.h"
#include "host/elements/HostTestFilter.h"
#include "host/documents/HostTranslator.h"
#include "host/documents/HostUtilities.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlHelper.h"
#include "host/documents/HostXmlNodeList.h"
#include "host/interfaces/ITestElement.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "testlib/core/CMeasurement.h"
#include "testlib/core/FDialogWrapper.h"

#include <exception>
#include <utility>

namespace ztest {

namespace {

// Severity of the load log entries of a part that could not be loaded and was skipped.
constexpr int32_t kSkippedSeverity = 2;

// Runs one step of a procedure that goes on past a failing step.
template <class Step>
void SkipOnError(Step&& step)
{
    try {
        std::forward<Step>(step)();
    } catch (const std::exception&) {
        // The step is left undone; the procedure goes on with the next one.
    }
}

plat::VariantArray Arguments(std::initializer_list<plat::Variant> values)
{
    plat::VariantArray arguments = plat::VariantArray::OneDim(0, static_cast<int32_t>(values.size()));
    int32_t i = 0;
    for (const plat::Variant& value : values) arguments.At(i++) = value;
    return arguments;
}

void AddLogEntry(const std::shared_ptr<host::HostLoadLog>& log, int32_t code, const std::string& text,
                 std::initializer_list<plat::Variant> arguments = {})
{
    if (!log) return;
    SkipOnError([&] { log->AddEntry(code, kSkippedSeverity, text, Arguments(arguments)); });
}

// The description and number of the error being handled, for a load log entry.
std::pair<int32_t, std::string> CurrentError()
{
    try {
        throw;
    } catch (const plat::ComError& error) {
        return {error.Number(), error.Description()};
    } catch (const std::exception& error) {
        return {plat::E_FAIL_CODE, error.what()};
    }
}

} // namespace

CResultRecord::CResultRecord(std::string errorSource, std::string loadText)
    : mErrorSource(std::move(errorSource)), mLoadText(std::move(loadText))
{
}

CResultRecord::~CResultRecord() = default;

std::string CResultRecord::Translate(std::string_view text)
{
    return host::HostTranslator::Process()->Translate(ModuleKey, text, std::vector<plat::Variant>{});
}

// ---- The measurement set --------------------------------------------------------------------

void CResultRecord::BuildMeasurements(std::span<const MeasurementSpec> specs, const PresetOf& presetOf)
{
    mMeasurements.clear();
    for (const MeasurementSpec& spec : specs) {
        auto measurement = std::make_shared<CMeasurement>();
        measurement->Initialize(spec.key, spec.caption, spec.unit, spec.valueType);
        if (spec.format) measurement->SetValueFormat(spec.format);
        if (presetOf) {
            plat::Variant preset = presetOf(spec);
            if (!preset.IsEmpty()) measurement->SetPresetValue(preset);
        }
        AddMeasurement(std::move(measurement));
    }
}

void CResultRecord::AddMeasurement(std::shared_ptr<CMeasurement> measurement)
{
    InsertMeasurement(mMeasurements.size(), std::move(measurement));
}

void CResultRecord::InsertMeasurement(std::size_t position, std::shared_ptr<CMeasurement> measurement)
{
    // The set is keyed: a second measurement of a key would never be found.
    if (!measurement || FindMeasurement(measurement->GetKey())) return;
    if (position > mMeasurements.size()) position = mMeasurements.size();
    mMeasurements.insert(mMeasurements.begin() + static_cast<std::ptrdiff_t>(position), std::move(measurement));
}

std::shared_ptr<CMeasurement> CResultRecord::FindMeasurement(std::string_view key) const
{
    for (const auto& measurement : mMeasurements) {
        if (measurement->GetKey() == key) return measurement;
    }
    return nullptr;
}

std::shared_ptr<host::IMeasurement> CResultRecord::Measurement(const plat::Variant& indexOrKey)
{
    try {
        if (indexOrKey.IsString()) return FindMeasurement(indexOrKey.AsString());
        if (!indexOrKey.IsNumeric()) return nullptr;
        const int32_t position = plat::CLng(indexOrKey);
        if (position < 1 || position > MeasurementCount()) return nullptr;
        return mMeasurements[static_cast<std::size_t>(position - 1)];
    } catch (const std::exception&) {
        return nullptr; // a position beyond every number names no measurement
    }
}

// ---- Service record -------------------------------------------------------------------------

void CResultRecord::CreateServiceRecord(const std::shared_ptr<host::HostTestFilter>& filter)
{
    if (!filter || !filter->MakesServiceRecord() || mStatus == StatusNotRated) return;

    std::string code;
    std::string text;
    if (mStatus == StatusSkipped) {
        code = "NA";
    } else {
        for (const auto& measurement : mMeasurements) {
            std::string valueText;
            int32_t status = StatusNotRated;
            measurement->ValueToString(valueText, status);
            if (status == StatusFailed) code = "F";
            if (!valueText.empty()) text += "/" + valueText;
        }
    }
    auto record = std::make_shared<host::HostServiceRecord>();
    mServiceRecord = record;
    record->Initialize(filter, code, text);
}

std::shared_ptr<host::HostTestFilter> CResultRecord::FilterOf(const std::shared_ptr<host::ITestElement>& element)
{
    try {
        if (element) return element->Filter();
    } catch (const std::exception&) {
        // Without a filter no service record is made.
    }
    return nullptr;
}

// ---- Dialog ---------------------------------------------------------------------------------

std::shared_ptr<host::IDialog> CResultRecord::CreateDialog()
{
    try {
        auto wrapper = std::make_shared<FDialogWrapper>();
        wrapper->Load();
        wrapper->CreateSetupCtrl(DialogProgId);
        std::shared_ptr<host::IDialog> dialog = wrapper;
        dialog->Initialize(plat::Variant(plat::ObjectPtr(shared_from_this())));
        return dialog;
    } catch (const std::exception&) {
        return nullptr;
    }
}

// ---- Persistence ----------------------------------------------------------------------------

std::shared_ptr<host::HostXmlElement> CResultRecord::Save(const std::shared_ptr<host::HostXmlDocument>& document)
{
    const host::HostErrorRaiser raiser;
    try {
        std::shared_ptr<host::HostXmlElement> element = document ? document->CreateElement(ElementName) : nullptr;
        if (!element) raiser.Raise(ModuleKey, ErrorElementNotCreated, mErrorSource, 3);

        if (mMTIID > 0) element->SetAttribute("MTI", host::HostUtilities::NumberToText(mMTIID));
        const host::HostXmlHelper helper;
        if (auto status = helper.CreateStatusElement(document, mStatus, mStatusText)) element->AppendChild(status);
        if (!mComment.empty()) element->AddChildWithText("Comment", mComment);
        if (mServiceRecord) {
            if (auto record = mServiceRecord->Save(document)) element->AppendChild(record);
        }
        if (mStatus == StatusPassed || mStatus == StatusFailed) {
            for (const auto& measurement : mMeasurements) {
                if (auto child = measurement->Save(document)) element->AppendChild(child);
            }
        }
        return element;
    } catch (...) {
        raiser.PassOnOrReport(mErrorSource, {ErrorElementNotCreated});
        return nullptr;
    }
}

void CResultRecord::Load(const std::shared_ptr<host::HostXmlElement>& element,
                         const std::shared_ptr<host::HostLoadLog>& log)
{
    const host::HostErrorRaiser raiser;
    int32_t section = 0;
    // The section opened here is closed on every way out, errors included.
    auto closeSection = [&] {
        if (section != 0) SkipOnError([&] { log->CloseSection(section); });
        section = 0;
    };

    try {
        if (log) section = log->OpenSection(Translate(mLoadText), "");
        if (!element || element->Name() != ElementName) raiser.Raise(ModuleKey, ErrorWrongElement, mErrorSource, 4);

        LoadMTI(*element, log);
        mComment.clear();
        mStatusText = plat::Variant();
        mStatus = StatusNotRated;

        const std::string testName = TestNameOf(*element);
        // The keys of the measurements read so far: a key stored twice keeps its first.
        std::set<std::string> loadedKeys;
        const std::shared_ptr<host::HostXmlNodeList> children = element->ChildNodes();
        for (int32_t i = 0; i < children->Count(); ++i) LoadChild(children->Item(i), log, testName, loadedKeys);
        SkipOnError([&] { CheckStoredStatus(*element, loadedKeys, log); });
    } catch (...) {
        closeSection();
        raiser.PassOnOrReport(mErrorSource, {ErrorWrongElement});
        return;
    }
    closeSection();
}

void CResultRecord::LoadMTI(const host::HostXmlElement& element, const std::shared_ptr<host::HostLoadLog>& log)
{
    const std::string stored = element.GetAttribute("MTI");
    if (stored.empty()) return;
    try {
        mMTIID = plat::CLng(plat::Val(stored));
    } catch (const plat::ComError& error) {
        // A number that does not fit keeps the index the record had; the rest is read all the same.
        AddLogEntry(log, error.Number(), "Can not load the analyzer index '%%1': " + error.Description(), {stored});
    }
}

void CResultRecord::LoadChild(const std::shared_ptr<host::HostXmlElement>& child,
                              const std::shared_ptr<host::HostLoadLog>& log, const std::string& testName,
                              std::set<std::string>& loadedKeys)
{
    const std::string name = child->Name();
    try {
        if (name == "Comment") {
            mComment = child->Text();
        } else if (name == "Status") {
            const host::HostXmlHelper helper;
            helper.ReadStatusElement(child, mStatus, mStatusText);
        } else if (name == "Measurement") {
            LoadMeasurement(child, log, testName, loadedKeys);
        } else if (name == host::HostServiceRecord::ElementName) {
            // Every result reads its service record back, so that a load and a save keep it.
            auto record = std::make_shared<host::HostServiceRecord>();
            record->Load(child, log);
            mServiceRecord = record;
        }
    } catch (const std::exception&) {
        // One part that cannot be read loses nothing else: it is logged and the load goes on.
        const auto [number, description] = CurrentError();
        AddLogEntry(log, number, "Can not load the result's element '%%1': " + description, {name});
    }
}

void CResultRecord::LoadMeasurement(const std::shared_ptr<host::HostXmlElement>& child,
                                    const std::shared_ptr<host::HostLoadLog>& log, const std::string& testName,
                                    std::set<std::string>& loadedKeys)
{
    // A child that names no measurement of the record is skipped with a log entry, so that one
    // bad child never costs the rest of the result.
    const std::string key = child->GetAttribute("Key");
    if (key.empty()) {
        AddLogEntry(log, CMeasurement::ErrorLoad, "Can not load a measurement because its key is missing");
        return;
    }
    // A second element of a key would mix into the first (the preset of one, the value of the
    // other): the first is kept and the repeat is told.
    if (loadedKeys.contains(key)) {
        LogContradiction(log,
                         "The measurement '%%2' of the test '%%1' is stored more than once; the first is kept and "
                         "the repeat is passed over",
                         {testName, key});
        return;
    }
    const std::shared_ptr<CMeasurement> measurement = MeasurementForStoredKey(key);
    if (!measurement) {
        AddLogEntry(log, CMeasurement::ErrorLoad, "Can not load the measurement '%%1' because the result has no such measurement",
                    {key});
        return;
    }
    loadedKeys.insert(key);
    try {
        measurement->Load(child, log);
    } catch (const plat::ComError& error) {
        // The measurement refuses the element (its own code): it is skipped and the load goes on.
        if (error.Number() != CMeasurement::ErrorLoad) throw;
    }
}

std::shared_ptr<CMeasurement> CResultRecord::MeasurementForStoredKey(const std::string& key)
{
    return FindMeasurement(key);
}

// ---- What a stored result says of itself ----------------------------------------------------

void CResultRecord::LogContradiction(const std::shared_ptr<host::HostLoadLog>& log, const std::string& text,
                                     std::initializer_list<plat::Variant> arguments)
{
    AddLogEntry(log, CMeasurement::ErrorLoad, text, arguments);
}

std::string CResultRecord::TestNameOf(const host::HostXmlElement& element) const
{
    // A result inside a stored test element is named after the test, else after its record.
    try {
        if (const auto test = element.ParentElement()) {
            if (std::string name = test->GetAttribute("Name"); !name.empty()) return name;
            if (std::string id = test->GetAttribute("TestID"); !id.empty()) return id;
        }
    } catch (const std::exception&) {
        // Without its test element the record names itself.
    }
    return mErrorSource;
}

void CResultRecord::CheckStoredStatus(const host::HostXmlElement& element, const std::set<std::string>& loadedKeys,
                                      const std::shared_ptr<host::HostLoadLog>& log) const
{
    // Only a rated record is stored with its measurements, each rated: a passed record has
    // every measurement passed, a failed one at least one failed.
    if (mStatus != StatusPassed && mStatus != StatusFailed) return;
    const std::string testName = TestNameOf(element);
    const char* const recordWord = mStatus == StatusPassed ? "passed" : "failed";
    bool anyFailed = false;
    for (const auto& measurement : mMeasurements) {
        const std::string& key = measurement->GetKey();
        if (!loadedKeys.contains(key)) {
            LogContradiction(log,
                             std::string("The result of the test '%%1' is stored as ") + recordWord +
                                 ", but its measurement '%%2' is missing",
                             {testName, key});
            continue;
        }
        const int32_t status = measurement->GetStatus();
        if (status == CMeasurement::StatusFailed) anyFailed = true;
        if (mStatus == StatusPassed && status != CMeasurement::StatusPassed) {
            LogContradiction(log,
                             std::string("The result of the test '%%1' is stored as passed, but its measurement "
                                         "'%%2' is stored as ") +
                                 (status == CMeasurement::StatusFailed ? "failed" : "not rated"),
                             {testName, key});
        }
    }
    if (mStatus == StatusFailed && !anyFailed) {
        LogContradiction(log,
                         "The result of the test '%%1' is stored as failed, but none of its measurements is stored "
                         "as failed",
                         {testName});
    }
    CheckStoredRatings(element, testName, log);
}

// ---- Report ---------------------------------------------------------------------------------

void CResultRecord::BuildReportHeader(const std::shared_ptr<host::HostReport>& report, std::string& columnFormat,
                                      std::string& header) const
{
    const std::vector<plat::Variant> none;
    header = "|{\\i\\b " + report->Translate(ModuleKey, "312::Result:", none) + "}|{\\i\\b " +
             report->Translate(ModuleKey, "20520::Preset Value", none) + "}|{\\i\\b " +
             report->Translate(ModuleKey, "231::Value", none) + "}|{\\i\\b " +
             report->Translate(ModuleKey, "234::Unit", none) + "};";

    // Four value columns share what the caption columns leave of the body width.
    const std::string width = std::to_string((report->PageMetric(host::HostReport::MetricBodyWidth) - 3360) / 4);
    columnFormat = "<+560|<2240|>+" + width + "|>+" + width + "|^+" + width + "|<+!" + width + "|<+560;";
}

void CResultRecord::BuildReportBody(const std::shared_ptr<host::HostReport>& report, std::string& rows) const
{
    rows.clear();
    for (const auto& measurement : mMeasurements) {
        std::string line;
        try {
            measurement->GetReportLine(report, line);
        } catch (const std::exception&) {
            // A row that cannot be written still shows which measurement it was, and costs
            // none of the rows after it.
            line = "|      " + measurement->GetKey() + "|||;";
        }
        rows += line;
    }
}

void CResultRecord::PrintReport(const std::shared_ptr<host::HostReport>& report, const plat::ObjectPtr& /*unused*/)
{
    if (!report) return;
    std::string columnFormat;
    std::string header;
    std::string rows;
    SkipOnError([&] { BuildReportHeader(report, columnFormat, header); });
    SkipOnError([&] { BuildReportBody(report, rows); });
    if (rows.empty()) return;
    SkipOnError([&] {
        report->SetFontSize(7);
        report->SetIndent(0);
        report->SetBorder(1);
        report->WriteTable(columnFormat, header, rows, 0, 0, 0);
    });
}

} // namespace ztest
