#include "testlib/core/CMeasurement.h"

#include "host/documents/HostErrorRaiser.h"
#include "host/standards/HostFormulaLimit.h"
#include "host/standards/HostLimitItem.h"
#include "host/documents/HostLoadLog.h"
#include "host/report/HostReport.h"
#include "host/standards/HostStandard.h"
#include "host/standards/HostStandards.h"
#include "host/documents/HostTranslator.h"
#include "host/documents/HostUtilities.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlHelper.h"
#include "host/documents/HostXmlNodeList.h"
#include "host/interfaces/ILimitData.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"

#include <cmath>
#include <exception>
#include <vector>

namespace ztest {

namespace {

constexpr const char* kModuleKey = zarvik::ModuleKey;
// The text that stands for a value the analyzer could not measure.
constexpr const char* kNoSync = "NOSYNC";
// The child that keeps the preset value, as a typed "Value" element inside it.
constexpr const char* kPresetElement = "PresetValue";

// The plain text of a value as the service record and the text value types show it. A value
// that has no text (Null, an object) shows nothing rather than failing the caller.
std::string PlainText(const plat::Variant& value)
{
    switch (value.Type()) {
    case plat::VarType::Empty:
    case plat::VarType::Null:
    case plat::VarType::Object:
    case plat::VarType::Array: return {};
    case plat::VarType::String: return value.AsString();
    default: return plat::CStr(value);
    }
}

// The stored text of a number. A value that is no number keeps its plain text ("NOSYNC", and
// nothing for Empty), so that the service record shows what was measured: an unmeasured value
// must not turn into 0, nor a text fail the record.
std::string NumberText(const plat::Variant& value)
{
    const bool isNumber = (value.IsNumeric() && value.Type() != plat::VarType::Boolean) ||
                          (value.IsString() && plat::IsNumericText(value.AsString()));
    if (isNumber) {
        try {
            return host::HostUtilities::NumberToText(value);
        } catch (const plat::ComError&) {
            // Infinite and NaN values have no stored text; they show as the language writes them.
        }
    }
    return PlainText(value);
}

bool IsTrue(const plat::Variant& value)
{
    if (value.IsEmpty() || value.IsNull()) return false;
    try {
        return plat::CBool(value);
    } catch (const plat::ComError&) {
        return false;
    }
}

} // namespace

CMeasurement::CMeasurement()
{
    mStatus = StatusNotRated;
}

void CMeasurement::Initialize(const std::string& key, const std::string& description, const std::string& unit,
                              int32_t valueType)
{
    mKey = key;
    mDescription = description;
    mUnit = unit;
    mValueType = valueType;
}

std::string CMeasurement::Description()
{
    return host::HostTranslator::Process()->Translate(kModuleKey, mDescription, std::vector<plat::Variant>{});
}

// ---- Rating ---------------------------------------------------------------------------------

std::optional<float> CMeasurement::NumericValue() const
{
    switch (mValue.Type()) {
    case plat::VarType::Boolean:
    case plat::VarType::Integer:
    case plat::VarType::Long:
    case plat::VarType::Single:
    case plat::VarType::Double: break;
    case plat::VarType::String:
        if (!plat::IsNumericText(mValue.AsString())) return std::nullopt;
        break;
    default: return std::nullopt; // Empty, Null, objects and arrays are no measured number
    }
    try {
        float value = plat::CSng(mValue);
        if (std::isnan(value)) return std::nullopt;
        return value;
    } catch (const plat::ComError&) {
        return std::nullopt; // beyond the range of a Single
    }
}

std::optional<float> CMeasurement::LimitOf(const host::HostLimitItem& item, int32_t bound) const
{
    try {
        float limit = 0.0f;
        if (const auto* formula = dynamic_cast<const host::HostFormulaLimit*>(&item)) {
            limit = formula->Evaluate(bound, plat::CSng(mPresetValue));
        } else {
            limit = item.Value(bound);
        }
        if (std::isnan(limit)) return std::nullopt;
        return limit;
    } catch (const plat::ComError&) {
        return std::nullopt;
    }
}

float CMeasurement::CalculateLimitValue(const std::shared_ptr<host::HostLimitItem>& item, int32_t bound)
{
    if (!item) return 0.0f;
    return LimitOf(*item, bound).value_or(0.0f);
}

int32_t CMeasurement::EvaluateLimit(const host::HostLimitItem& item) const
{
    const std::optional<float> value = NumericValue();
    for (int32_t bound : {host::HostLimitItem::UpperBound, host::HostLimitItem::LowerBound}) {
        if (!item.Enabled(bound)) continue;
        // A value or a limit that cannot be judged fails: it must never be reported as passed.
        const std::optional<float> limit = LimitOf(item, bound);
        if (!value || !limit) return StatusFailed;
        if (bound == host::HostLimitItem::UpperBound && *limit < *value) return StatusFailed;
        if (bound == host::HostLimitItem::LowerBound && *limit > *value) return StatusFailed;
    }
    return StatusNotRated;
}

int16_t CMeasurement::ValidateLimits(const std::shared_ptr<host::HostStandard>& standard)
{
    if (!standard) return 0;
    try {
        // Numbered keys ("ENGY3") are judged by the item of their quantity, as the limits do.
        const std::string key = LimitItemKey();
        for (const auto& item : *standard) {
            if (!item || item->Key() != key) continue;
            if (EvaluateLimit(*item) == StatusFailed) return static_cast<int16_t>(StatusFailed);
        }
    } catch (const std::exception&) {
        // The walk ends at the first failing host call with the status reached so far.
    }
    return 0;
}

bool CMeasurement::HasEnabledLimit(host::ILimitData& limits, const host::HostStandards& standards) const
{
    const std::shared_ptr<host::HostStandards> own = limits.Standards();
    if (!own) return false;
    const std::string key = LimitItemKey();
    for (const auto& given : standards) {
        if (!given) continue;
        const std::shared_ptr<host::HostStandard> standard = own->Find(given->AlphaName(), given->CompleteName());
        if (!standard) continue;
        for (const auto& item : *standard) {
            if (!item || item->Key() != key) continue;
            if (item->Enabled(host::HostLimitItem::UpperBound) || item->Enabled(host::HostLimitItem::LowerBound))
                return true;
        }
    }
    return false;
}

void CMeasurement::UpdateStatus(const std::shared_ptr<host::ILimitData>& limits,
                                const std::shared_ptr<host::HostStandards>& standards)
{
    mStatus = RatingBy(limits, standards);
}

int32_t CMeasurement::RatingBy(const std::shared_ptr<host::ILimitData>& limits,
                               const std::shared_ptr<host::HostStandards>& standards) const
{
    int32_t status = StatusPassed;
    if (!limits) return status;
    try {
        // A number that was never measured, or that the analyzer could not give ("NOSYNC"),
        // fails wherever a limit waits for it; the limits would otherwise read it as 0 or skip it.
        if (IsNumericType() && !NumericValue()) {
            if (standards && HasEnabledLimit(*limits, *standards)) status = StatusFailed;
            return status;
        }
        // The limits take the host's interface, which has no read-only form; they only read it.
        std::shared_ptr<host::IMeasurement> self =
            std::const_pointer_cast<CMeasurement>(weak_from_this().lock());
        // A measurement that no shared pointer owns is lent for the call only.
        if (!self) self = std::shared_ptr<host::IMeasurement>(std::shared_ptr<void>{}, const_cast<CMeasurement*>(this));
        const std::shared_ptr<host::HostStandards> failed = limits->FindFailedStandards(self, standards);
        if (failed && failed->Count() > 0) status = StatusFailed;
    } catch (const std::exception&) {
        // A failing host call leaves the rating as far as it got.
    }
    return status;
}

bool CMeasurement::SupportsLimit(int32_t /*bound*/)
{
    return IsNumericType();
}

// ---- Limit values and formatting ------------------------------------------------------------

void CMeasurement::DescribeLimit(int32_t bound, const host::HostStandard& standard, bool useFormula, bool& found,
                                 float& limit, std::string& unit) const
{
    const std::string key = LimitItemKey();
    for (const auto& item : standard) {
        if (!item || item->Key() != key || !item->Enabled(bound)) continue;

        float candidate = 0.0f;
        std::string candidateUnit;
        const auto* formula = dynamic_cast<const host::HostFormulaLimit*>(item.get());
        if (formula && useFormula) {
            candidate = formula->Evaluate(bound, plat::CSng(mPresetValue));
            candidateUnit = mUnit;
        } else {
            // The plain value of a percentage formula is the percentage itself. The bound's own
            // formula decides, so that a plain lower bound beside an upper "X+(X*Y%)" keeps the unit.
            candidate = item->Value(bound);
            candidateUnit = item->Formula(bound).find('%') != std::string::npos ? "%" : mUnit;
        }

        // Several items of one key all apply, so the strictest bound is the one shown: the
        // smallest upper and the largest lower limit.
        const bool stricter = bound == host::HostLimitItem::LowerBound ? candidate > limit : candidate < limit;
        if (!found || stricter) {
            limit = candidate;
            unit = candidateUnit;
            found = true;
        }
    }
}

plat::Variant CMeasurement::GetLimitValue(const std::shared_ptr<host::HostStandard>& standard, int32_t bound,
                                          int32_t flags)
{
    if (!standard) return {};
    try {
        bool found = false;
        float limit = 0.0f;
        std::string unit;
        DescribeLimit(bound, *standard, (flags & FlagEvaluateFormula) != 0, found, limit, unit);
        if (!found) return {};
        if (flags & FlagFormatted) {
            std::string text = plat::Format(plat::Variant(limit), mValueFormat);
            if (flags & FlagAppendUnit) text += " " + unit;
            return text;
        }
        return limit;
    } catch (const std::exception&) {
        return {};
    }
}

plat::Variant CMeasurement::GetResultValue(int32_t flags)
{
    if (!(flags & FlagFormatted)) return mValue;
    try {
        std::string text = FormatValue(mValue);
        if ((flags & FlagAppendUnit) && !mUnit.empty()) text += " " + mUnit;
        return text;
    } catch (const std::exception&) {
        return {};
    }
}

std::string CMeasurement::FormatValue(const plat::Variant& value) const
{
    if (value.IsEmpty() || value.IsNull()) return {};
    if (mKey.starts_with("::") && mValueType == ValueTypeBoolean) return {};
    // Charge times and pulse widths may arrive as texts with more after the number: their
    // leading number is printed. A number is formatted itself, never sent through its text and
    // back (that overflows at the edge of the range), and a text whose number cannot be read
    // is printed as it stands, so that its report row is never lost.
    if ((mKey == "CHTI" || mKey == "PULW") && value.IsString()) {
        try {
            return plat::Format(plat::Variant(plat::Val(value.AsString())), mValueFormat);
        } catch (const plat::ComError&) {
            return value.AsString();
        }
    }
    return plat::Format(value, mValueFormat);
}

void CMeasurement::ValueToString(std::string& text, int32_t& status) const
{
    if (IsNumericType()) {
        text = NumberText(mValue);
    } else if (mValueType == ValueTypeBoolean) {
        text = IsTrue(mValue) ? "True" : "False";
    } else {
        text = PlainText(mValue);
    }
    status = mStatus;
}

void CMeasurement::GetReportLine(const std::shared_ptr<host::HostReport>& report, std::string& line) const
{
    line.clear();
    if (!report) return;
    if ((report->Flags() & host::HostReport::FlagFailedOnly) && mStatus != StatusFailed) return;
    const std::string caption = report->Translate(kModuleKey, mDescription, std::vector<plat::Variant>{});
    line = host::HostReport::Row({"", "      " + caption, FormatValue(mPresetValue), FormatValue(mValue), mUnit});
}

// ---- Persistence ----------------------------------------------------------------------------

std::shared_ptr<host::HostXmlElement> CMeasurement::Save(const std::shared_ptr<host::HostXmlDocument>& document)
{
    if (mKey.empty()) return nullptr;
    const host::HostErrorRaiser raiser;
    try {
        std::shared_ptr<host::HostXmlElement> element = document ? document->CreateElement("Measurement") : nullptr;
        if (!element) raiser.Raise(kModuleKey, ErrorSave, ErrorSource, 4);

        element->SetAttribute("Key", mKey);
        if (!mDescription.empty()) element->AddChildWithText("Description", mDescription);
        // A "NOSYNC" delay is marked in the stored element only: the measurement keeps its own
        // type, so that a later number in it is still saved and rated as a number.
        const bool noSync = mValue.IsString() && mValue.AsString() == kNoSync;
        const host::HostXmlHelper helper;
        if (auto valueElement = helper.CreateValueElement(document, mValue, noSync ? ValueTypeNoSync : mValueType))
            element->AppendChild(valueElement);
        if (!mUnit.empty()) element->AddChildWithText("Unit", mUnit);
        if (auto statusElement = helper.CreateStatusElement(document, mStatus, mStatusText))
            element->AppendChild(statusElement);
        // The preset the value was rated against travels with it, so that a result reopened
        // after its configuration changed is judged and printed as it was rated. It comes last:
        // readers that do not know it skip it and lose nothing before it.
        if (!mPresetValue.IsEmpty()) {
            try {
                std::shared_ptr<host::HostXmlElement> preset = document->CreateElement(kPresetElement);
                preset->AppendChild(helper.CreateValueElement(document, mPresetValue, mValueType));
                element->AppendChild(preset);
            } catch (const plat::ComError&) {
                // A preset that no element can hold (an object) is left out; the measurement is kept.
            }
        }
        return element;
    } catch (...) {
        raiser.PassOnOrReport(ErrorSource, {ErrorSave});
        return nullptr;
    }
}

void CMeasurement::Load(const std::shared_ptr<host::HostXmlElement>& element,
                        const std::shared_ptr<host::HostLoadLog>& log)
{
    const host::HostErrorRaiser raiser;
    std::optional<int32_t> section;
    // The section opened here is closed on every way out, errors included.
    auto closeSection = [&] {
        if (!section) return;
        try {
            log->CloseSection(*section);
        } catch (...) {
        }
        section.reset();
    };

    try {
        if (log) section = log->OpenSection(kModuleKey, "");
        if (!element || element->Name() != "Measurement") raiser.Raise(kModuleKey, ErrorLoad, ErrorSource, 4);

        mPresetRefused = false;
        mKey = element->GetAttribute("Key");
        if (mKey.empty()) {
            if (section)
                log->AddEntry(ErrorLoad, 2, "Can not load a measurement because its key is missing",
                              plat::VariantArray{});
            raiser.Raise(kModuleKey, ErrorLoad, ErrorSource, 2);
        }
        LoadChildren(*element, log);
    } catch (...) {
        closeSection();
        raiser.PassOnOrReport(ErrorSource, {ErrorLoad});
        return;
    }
    closeSection();
}

void CMeasurement::LoadChildren(const host::HostXmlElement& element, const std::shared_ptr<host::HostLoadLog>& log)
{
    const host::HostXmlHelper helper;
    const std::shared_ptr<host::HostXmlNodeList> children = element.ChildNodes();
    for (int32_t i = 0; i < children->Count(); ++i) {
        const std::shared_ptr<host::HostXmlElement> child = children->Item(i);
        const std::string name = child->Name();
        // Save writes no empty description or unit, so an empty one stored is taken as a
        // missing one: the record's own stays, and a second load and save changes nothing.
        if (name == "Description") {
            if (std::string text = child->Text(); !text.empty()) mDescription = std::move(text);
        } else if (name == "Value") {
            helper.ReadValueElement(child, mValue, mValueType);
            // "NOSYNC" is stored under a type of its own but is a number that could not be had.
            if (mValue.IsString() && mValue.AsString() == kNoSync) mValueType = ValueTypeNumber;
        } else if (name == "Unit") {
            if (std::string text = child->Text(); !text.empty()) mUnit = std::move(text);
        } else if (name == "Status") {
            helper.ReadStatusElement(child, mStatus, mStatusText);
        } else if (name == kPresetElement) {
            // A measurement stored without one (older documents) keeps the preset the record gave.
            LoadPreset(*child, log);
        }
    }
}

std::string CMeasurement::PresetRefusal(const plat::Variant& preset)
{
    switch (preset.Type()) {
    case plat::VarType::Integer:
    case plat::VarType::Long:
    case plat::VarType::Single:
    case plat::VarType::Double: break;
    default: return "it holds no number";
    }
    const double number = plat::CDbl(preset);
    if (!std::isfinite(number)) return "it is no finite number";
    try {
        plat::CSng(preset);
    } catch (const plat::ComError&) {
        return "it is beyond the range of a preset";
    }
    return {};
}

void CMeasurement::LoadPreset(const host::HostXmlElement& element, const std::shared_ptr<host::HostLoadLog>& log)
{
    // Only a finite number that a preset can hold is taken: any other would give the formula
    // limits no X, or a wrong one, and the record would be printed against limits it was not
    // rated on. A refused preset is logged, and the record's own (the configuration's) stays.
    const std::shared_ptr<host::HostXmlElement> stored = element.SelectChild("Value");
    std::string text;
    std::string refusal = "it holds no value";
    int32_t code = ErrorLoad;
    if (stored) {
        text = stored->Text();
        try {
            plat::Variant preset;
            int32_t ignoredType = 0;
            host::HostXmlHelper().ReadValueElement(stored, preset, ignoredType);
            refusal = PresetRefusal(preset);
            if (refusal.empty()) {
                mPresetValue = std::move(preset);
                return;
            }
        } catch (const plat::ComError& error) {
            code = error.Number();
            refusal = error.Description();
        }
    }
    mPresetRefused = true;
    if (!log) return;
    try {
        plat::VariantArray arguments = plat::VariantArray::OneDim(0, 2);
        arguments.At(0) = plat::Variant(text);
        arguments.At(1) = plat::Variant(mKey);
        log->AddEntry(code, 2,
                      "Can not load the preset value '%%1' of the measurement '%%2': " + refusal +
                          "; the configured preset is kept",
                      arguments);
    } catch (const std::exception&) {
        // A log that cannot take the entry costs the measurement nothing.
    }
}

} // namespace ztest
