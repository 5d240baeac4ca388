#include "testlib/core/CLimitData.h"

#include "host/documents/HostErrorRaiser.h"
#include "host/standards/HostLimitItem.h"
#include "host/report/HostPrintContext.h"
#include "host/standards/HostStandard.h"
#include "host/standards/HostStandards.h"
#include "host/documents/HostTranslator.h"
#include "host/documents/HostXmlElement.h"
#include "host/interfaces/ILimitView.h"
#include "host/interfaces/IMeasurement.h"
#include "host/interfaces/ITestElement.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/Conversions.h"
#include "testlib/core/FDialogWrapper.h"
#include "testlib/core/IPresetRecord.h"
#include "testlib/core/MMiscUtils.h"

#include <cmath>
#include <exception>
#include <vector>

namespace ztest {

namespace {

constexpr const char* kModuleKey = zarvik::ModuleKey;
// The formula that new energy limits start with: a percentage of the preset energy.
constexpr const char* kPercentOfPreset = "X+(X*Y%)";

// One default limit item of a test type.
struct DefaultLimit {
    int32_t testType;
    const char* key;
    const char* unit;
    const char* formula;
};

// The items a new standard starts with, per test type, in order. The units are those the
// result records print after their values, leading blanks included.
const DefaultLimit kDefaultLimits[] = {
    {100, "ENGY", "J", kPercentOfPreset}, {100, "PULW", "ms", ""}, {100, "PEAC", "A", ""}, {100, "PEAV", "V", ""},
    {200, "ENGY", "J", kPercentOfPreset}, {200, "CHTI", "s", ""},  {200, "PEAC", "A", ""}, {200, "PEAV", "V", ""},
    {300, "ENGY", "J", kPercentOfPreset}, {300, "CADT", "ms", ""}, {300, "PEAC", "A", ""}, {300, "PEAV", "V", ""},
    {700, "PACR", " ppm", ""},            {700, "PACC", " A", ""}, {700, "PACW", " ms", ""},
    {800, "SENS", "ms", ""},              {800, "PACE", "ms", ""},
    {900, "CHTI", "s", ""},
    // The repeated discharges are judged by the plain energy, not by the preset.
    {1000, "ENGY", "J", ""},              {1000, "PLSC", "s", ""},
};

// One row of the limit view per test type, in order; withOperators offers the formula forms.
struct DialogRow {
    int32_t testType;
    const char* key;
    const char* caption;
    const char* unit;
    bool withOperators;
};

const DialogRow kDialogRows[] = {
    {100, "ENGY", "20120::Energy", "J", true},
    {100, "PULW", "20123::Pulse Width", "ms", true},
    {100, "PEAC", "20122::Peak Current", "A", true},
    {100, "PEAV", "20121::Peak Voltage", "V", false},
    {200, "ENGY", "20120::Energy", "J", true},
    {200, "CHTI", "20124::Charge Time", "s", true},
    {200, "PEAC", "20122::Peak Current", "A", true},
    {200, "PEAV", "20121::Peak Voltage", "V", false},
    {300, "ENGY", "20120::Energy", "J", true},
    {300, "CADT", "20125::Cardio Delay Time", "ms", true},
    {300, "PEAC", "20122::Peak Current", "A", true},
    {300, "PEAV", "20121::Peak Voltage", "V", false},
    {700, "PACR", "20126::Pacer Rate", "", true},
    {700, "PACC", "20127::Pacer Current", "", true},
    {700, "PACW", "20128::Pacer Width", "ms", false},
    {800, "SENS", "20129::Sensed Rp", "ms", false},
    {800, "PACE", "20130::Paced Rp", "ms", false},
    {900, "CHTI", "20124::Charge Time", "s", false},
    {1000, "ENGY", "20120::Energy", "J", true},
    {1000, "PLSC", "20133::Pulse Count", "", false},
};

// A value as the limits compare it: a 32-bit float, or NaN for a value that is no number (never
// measured, or a text the analyzer gave instead), which fails every enabled bound.
float LimitNumber(const plat::Variant& value)
{
    if (value.IsEmpty() || value.IsNull()) return std::nanf("");
    try {
        return plat::CSng(value);
    } catch (const plat::ComError&) {
        return std::nanf("");
    }
}

} // namespace

void CLimitData::SetOwner(const std::shared_ptr<host::ITestElement>& owner, bool hasDialog)
{
    mOwner = owner;
    mHasDialog = hasDialog;
}

std::optional<int32_t> CLimitData::OwnerTestId() const
{
    const std::shared_ptr<host::ITestElement> owner = mOwner.lock();
    if (!owner) return std::nullopt;
    return owner->TestID();
}

void CLimitData::CopyStandards(const std::shared_ptr<host::ILimitData>& source)
{
    const host::HostErrorRaiser raiser;
    mStandards.reset();
    raiser.Guard(ErrorSource, {}, [&] {
        const std::shared_ptr<host::HostStandards> standards = source ? source->Standards() : nullptr;
        if (standards) mStandards = standards->Copy();
    });
}

void CLimitData::AddLimit(const std::shared_ptr<host::HostStandard>& standard, const std::string& key,
                          const std::string& unit, const std::string& formula)
{
    if (!standard) plat::RaiseRuntime(plat::rt::ObjectNotSet, ErrorSource);
    auto item = host::HostLimitItem::Create();
    item->Initialize(key, unit, "", "");
    if (!formula.empty()) item->SetFormula(host::HostLimitItem::UpperBound, formula);
    standard->AddItem(item);
}

void CLimitData::CreateTestLimits(const std::shared_ptr<host::HostStandard>& standard, int32_t testType)
{
    for (const DefaultLimit& limit : kDefaultLimits) {
        if (limit.testType == testType) AddLimit(standard, limit.key, limit.unit, limit.formula);
    }
}

void CLimitData::ParseLimitsToDialog(const std::shared_ptr<host::ILimitView>& limitView, int32_t testType)
{
    if (!limitView) plat::RaiseRuntime(plat::rt::ObjectNotSet, ErrorSource);
    const std::shared_ptr<host::HostTranslator> translator = host::HostTranslator::Process();
    for (const DialogRow& row : kDialogRows) {
        if (row.testType != testType) continue;
        limitView->AddRow(row.key, translator->Translate(kModuleKey, row.caption, std::vector<plat::Variant>{}),
                          row.unit, row.withOperators ? OperatorList : "");
    }
}

std::shared_ptr<host::ILimitData> CLimitData::Clone()
{
    const host::HostErrorRaiser raiser;
    try {
        auto clone = std::make_shared<CLimitData>();
        clone->mHasDialog = mHasDialog;
        if (mStandards) clone->mStandards = mStandards->Copy();
        return clone;
    } catch (...) {
        raiser.ReportCurrent(ErrorSource);
        return nullptr;
    }
}

std::shared_ptr<host::IDialog> CLimitData::CreateDialog()
{
    if (!mHasDialog) return nullptr;

    auto wrapper = std::make_shared<FDialogWrapper>();
    try {
        wrapper->Load();
        const auto control = wrapper->CreateSetupCtrl(LimitViewProgId);
        const auto view = control ? plat::QueryInterface<host::ILimitView>(control->Object()) : nullptr;
        if (!view) {
            wrapper->Unload();
            return nullptr;
        }
        // Without an owner there is no test type, and the view offers no rows.
        ParseLimitsToDialog(view, OwnerTestId().value_or(0));
        wrapper->Initialize(plat::Variant(plat::ObjectPtr(shared_from_this())));
        return wrapper;
    } catch (...) {
        host::HostErrorRaiser().ReportCurrent(ErrorSource);
        wrapper->Unload();
        return nullptr;
    }
}

std::shared_ptr<host::HostStandard> CLimitData::CreateStandard(const std::string& alphaName,
                                                              const std::string& completeName)
{
    const host::HostErrorRaiser raiser;
    try {
        const std::optional<int32_t> testId = OwnerTestId();
        if (!testId) {
            throw plat::ComError(plat::rt::ObjectNotSet, ErrorSource,
                                 "The limits have no test element that gives their test type");
        }
        std::shared_ptr<host::HostStandard> standard = MMiscUtils::LoadStandardFromPlugIn(*testId, alphaName, completeName);
        if (!standard) {
            standard = std::make_shared<host::HostStandard>();
            standard->Initialize(alphaName, completeName, 1);
            CreateTestLimits(standard, *testId);
        }
        if (!mStandards) mStandards = std::make_shared<host::HostStandards>();
        mStandards->Add(standard);
        return standard;
    } catch (...) {
        raiser.ReportCurrent(ErrorSource);
        return nullptr;
    }
}

void CLimitData::Load(const std::shared_ptr<host::HostXmlElement>& element, const std::shared_ptr<host::HostLoadLog>& log)
{
    const host::HostErrorRaiser raiser;
    try {
        if (!element || element->Name() != ElementName) raiser.Raise("", ErrorLoad, ErrorSource, 1);
        // The new standards take the place of the old ones only once they are read in full, so
        // that a load that fails half-way leaves the limits as they were.
        auto loaded = std::make_shared<host::HostStandards>();
        loaded->Load(element, log);
        mStandards = loaded->Count() > 0 ? loaded : nullptr;
    } catch (...) {
        raiser.PassOnOrReport(ErrorSource, {ErrorLoad});
    }
}

std::shared_ptr<host::HostXmlElement> CLimitData::Save(const std::shared_ptr<host::HostXmlDocument>& document)
{
    const host::HostErrorRaiser raiser;
    try {
        if (!mStandards || mStandards->Count() == 0) return nullptr;
        std::shared_ptr<host::HostXmlElement> element = mStandards->Save(document);
        element->SetName(ElementName);
        return element;
    } catch (...) {
        raiser.PassOnOrReport(ErrorSource, {});
        return nullptr;
    }
}

void CLimitData::PrintReport(const std::shared_ptr<host::HostReport>& report,
                             const std::shared_ptr<host::HostPrintContext>& printContext)
{
    const host::HostErrorRaiser raiser;
    try {
        if (!mStandards || mStandards->Count() == 0) return;
        const std::shared_ptr<host::ITestElement> owner = mOwner.lock();
        std::shared_ptr<host::IResultData> result = owner ? owner->Result() : nullptr;
        // A test without a result prints its limits against the presets of its configuration,
        // so that a formula limit shows its number, as it does beside a measured value.
        if (!result) {
            if (auto presets = std::dynamic_pointer_cast<IPresetRecord>(owner)) result = presets->PresetRecord();
        }
        const plat::Variant rows = MMiscUtils::BuildLimitReportRows(report, owner, result);
        const plat::ObjectPtr printObject = printContext ? printContext->ReportObject(report) : nullptr;
        mStandards->PrintReport(report, printObject, rows);
    } catch (...) {
        raiser.ReportCurrent(ErrorSource);
    }
}

std::shared_ptr<host::HostStandards> CLimitData::FindFailedStandards(const std::shared_ptr<host::IMeasurement>& measurement,
                                                                     const std::shared_ptr<host::HostStandards>& standards)
{
    if (!mStandards || mStandards->Count() == 0 || !measurement) return nullptr;

    auto failed = std::make_shared<host::HostStandards>();
    try {
        // Limits judge a measurement by the first four characters of its key, so that the
        // numbered keys of repeated discharges ("ENGY1") meet the items of their quantity.
        const std::string key = measurement->Key().substr(0, 4);
        const float value = LimitNumber(measurement->value());
        // The preset converts as the language converts it (no preset is X = 0, so that "X+Y"
        // stays usable on quantities without one); a text that is no number gives formula
        // bounds no X, and they then fail.
        plat::Variant presetValue = plat::Variant::Null();
        try {
            presetValue = plat::Variant(plat::CSng(measurement->PresetValue()));
        } catch (const plat::ComError&) {
        }
        if (standards) {
            for (const auto& given : *standards) {
                if (!given) continue;
                const std::shared_ptr<host::HostStandard> own = mStandards->Find(given->AlphaName(), given->CompleteName());
                if (own && own->Evaluate(key, value, presetValue) == host::HostStandard::StatusFailed) failed->Add(own);
            }
        }
    } catch (const std::exception&) {
        // A failing host call leaves the result as far as it got.
    }
    return failed->Count() > 0 ? failed : nullptr;
}

} // namespace ztest
