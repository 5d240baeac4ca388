#pragma once

#include "host/interfaces/HostForward.h"
#include "host/interfaces/IMeasurement.h"
#include "host/interfaces/IMeasurement2.h"
#include "platform/base/Variant.h"
#include "testlib/core/RatingStatus.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace ztest {

// One measured quantity of a test result: key, caption, unit, value, the preset value that limit
// formulas start from, the kind of value, its pass/fail status and the mask it is printed with.
// A result record creates it, fills it, rates it against the test's limits and persists it as a
// "Measurement" element inside its own element, with the preset it was rated against. The host sees it only through IMeasurement and
// IMeasurement2; the result records also use the accessors and operations below.
class CMeasurement : public host::IMeasurement,
                     public host::IMeasurement2,
                     public std::enable_shared_from_this<CMeasurement> {
public:
    // Kinds of value.
    static constexpr int32_t ValueTypeText = 0;
    static constexpr int32_t ValueTypeNumber = 1;
    static constexpr int32_t ValueTypeNumber2 = 2;
    static constexpr int32_t ValueTypeBoolean = 3;
    static constexpr int32_t ValueTypeNoSync = 5;

    // Status values.
    static constexpr int32_t StatusNotRated = rating::NotRated;
    static constexpr int32_t StatusPassed = rating::Passed;
    static constexpr int32_t StatusFailed = rating::Failed;

    // Flags of GetLimitValue and GetResultValue.
    static constexpr int32_t FlagEvaluateFormula = 1;
    static constexpr int32_t FlagFormatted = 2;
    static constexpr int32_t FlagAppendUnit = 4;

    static constexpr const char* ErrorSource = "TelvoZarvikTest.CMeasurement";
    static constexpr int32_t ErrorLoad = static_cast<int32_t>(0x8004A3FFu);
    static constexpr int32_t ErrorSave = static_cast<int32_t>(0x8004A400u);

    CMeasurement();

    // Sets the four identity fields; the others keep their values.
    void Initialize(const std::string& key, const std::string& description, const std::string& unit,
                    int32_t valueType);

    // Accessors of the result records; each reads or writes its field and nothing else.
    const std::string& GetKey() const { return mKey; }
    void SetKey(const std::string& key) { mKey = key; }
    const plat::Variant& GetValue() const { return mValue; }
    void SetValue(const plat::Variant& value) { mValue = value; }
    const plat::Variant& GetPresetValue() const { return mPresetValue; }
    void SetPresetValue(const plat::Variant& value) { mPresetValue = value; }
    const std::string& GetValueFormat() const { return mValueFormat; }
    void SetValueFormat(const std::string& format) { mValueFormat = format; }
    const std::string& GetUnit() const { return mUnit; }
    int32_t GetValueType() const { return mValueType; }
    int32_t GetStatus() const { return mStatus; }
    void SetStatus(int32_t status) { mStatus = status; }

    // Rates the measurement through the test's limits: passed unless the limits find a standard
    // among the given ones in which it fails. A number that was not measured (Empty, "NOSYNC")
    // fails wherever one of those standards has an enabled limit for its key. Never raises.
    void UpdateStatus(const std::shared_ptr<host::ILimitData>& limits,
                      const std::shared_ptr<host::HostStandards>& standards);
    // The status UpdateStatus would give, leaving the measurement as it is.
    int32_t RatingBy(const std::shared_ptr<host::ILimitData>& limits,
                     const std::shared_ptr<host::HostStandards>& standards) const;

    // Whether the last Load found a stored preset that it refused (and logged), so that the
    // preset the value was rated against is not known.
    bool PresetRefused() const { return mPresetRefused; }

    // The value as text for the host's service record, and the current status.
    void ValueToString(std::string& text, int32_t& status) const;

    // One table row "|      caption|preset|value|unit;" for the report, or an empty line when
    // the report lists failed measurements only and this one did not fail.
    void GetReportLine(const std::shared_ptr<host::HostReport>& report, std::string& line) const;

    // IMeasurement
    std::string Description() override;
    std::string Key() override { return mKey; }
    std::string LimitKey() override { return mKey; }
    int32_t Status() override { return mStatus; }
    std::string Unit() override { return mUnit; }
    plat::Variant value() override { return mValue; }
    plat::Variant PresetValue() override { return mPresetValue; }
    int32_t ValueType() override { return mValueType; }
    std::string ValueFormat() override { return mValueFormat; }
    int32_t Flags() override { return 0; }
    std::string ToolTipText() override { return {}; }
    void Load(const std::shared_ptr<host::HostXmlElement>& element,
              const std::shared_ptr<host::HostLoadLog>& log) override;
    std::shared_ptr<host::HostXmlElement> Save(const std::shared_ptr<host::HostXmlDocument>& document) override;

    // IMeasurement2
    plat::Variant GetLimitValue(const std::shared_ptr<host::HostStandard>& standard, int32_t bound,
                                int32_t flags) override;
    plat::Variant GetResultValue(int32_t flags) override;
    bool SupportsLimit(int32_t bound) override;
    float CalculateLimitValue(const std::shared_ptr<host::HostLimitItem>& item, int32_t bound) override;
    int16_t ValidateLimits(const std::shared_ptr<host::HostStandard>& standard) override;

private:
    // The value or preset value as it is printed: through the mask, with the leading number of
    // a text taken for charge times and pulse widths.
    std::string FormatValue(const plat::Variant& value) const;
    // The limit of one bound that GetLimitValue shows: the strictest enabled item of the key.
    void DescribeLimit(int32_t bound, const host::HostStandard& standard, bool useFormula, bool& found,
                       float& limit, std::string& unit) const;
    // 2 when the value fails the item, else 0.
    int32_t EvaluateLimit(const host::HostLimitItem& item) const;
    // The bound's limit for this measurement, or none when it cannot be worked out.
    std::optional<float> LimitOf(const host::HostLimitItem& item, int32_t bound) const;
    // The value as a 32-bit float, or none when it is not a number (Empty, "NOSYNC", ...).
    std::optional<float> NumericValue() const;
    // A stored "NOSYNC" mark (type 5) is a number that could not be had: rated like a number.
    bool IsNumericType() const
    {
        return mValueType == ValueTypeNumber || mValueType == ValueTypeNumber2 || mValueType == ValueTypeNoSync;
    }
    // The first four characters of the key: limit items are found through them.
    std::string LimitItemKey() const { return mKey.substr(0, 4); }
    // Whether the limits hold an enabled bound for this key in one of the given standards.
    bool HasEnabledLimit(host::ILimitData& limits, const host::HostStandards& standards) const;
    void LoadChildren(const host::HostXmlElement& element, const std::shared_ptr<host::HostLoadLog>& log);
    // Takes the stored preset when it is one (see PresetRefusal); otherwise logs why not and
    // keeps the preset the record gave.
    void LoadPreset(const host::HostXmlElement& element, const std::shared_ptr<host::HostLoadLog>& log);
    // Why a value read back is no preset (not a number, not finite, beyond a Single), or
    // nothing when it is one.
    static std::string PresetRefusal(const plat::Variant& preset);

    std::string mKey;
    std::string mDescription;
    int32_t mValueType = 0;
    int32_t mStatus = StatusNotRated;
    plat::Variant mValue;
    plat::Variant mPresetValue;
    std::string mUnit;
    plat::Variant mStatusText;
    std::string mValueFormat;
    bool mPresetRefused = false;
};

} // namespace ztest
