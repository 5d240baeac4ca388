#pragma once

#include "host/elements/HostTestGuideSettings.h"
#include "host/interfaces/IConfigData.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ztest {

namespace config_detail {

// The class that declares a data member, from the type of a pointer to it.
template <class T>
struct MemberOf;
template <class C, class F>
struct MemberOf<F C::*> {
    using Class = C;
};

} // namespace config_detail

// What every configuration record has in common: the host's IConfigData, the owned test-guide
// settings, persistence as a "PlugInData" element with a per-record table of value children, the
// error path of loads, saves and copies, the editor dialog, and the report table.
//
// A record gives its differences as data (Info(): error source, editor ProgID, report layout,
// the value children in load order and in save order) and as overrides (the copy, the report
// rows, what a copy derives again).
//
// Loads are careful with what they are given:
// - the element's name and "PlugIn" attribute are checked before anything is replaced, so a
//   rejected load (ErrorLoad; no element at all too) leaves the record as it was, test-guide
//   settings included;
// - a stored value that cannot be read into its field (an overflow, a text that is no number
//   where a number must be) keeps the field's value, is written to the load log, and the load
//   goes on with the next child.
// Numbers are written with "." as the decimal point whatever the locale.
class CConfigBase : public host::IConfigData, public std::enable_shared_from_this<CConfigBase> {
public:
    static constexpr const char* ModuleKey = zarvik::ModuleKey;
    static constexpr const char* ElementName = "PlugInData";
    static constexpr const char* PlugInAttribute = "PlugIn";
    // The element handed to Load is no "PlugInData" element of this plug-in.
    static constexpr int32_t ErrorLoad = plat::Hr(0x8004A3C2u);
    // The document gave no element to save into.
    static constexpr int32_t ErrorSave = plat::Hr(0x8004A3C3u);
    // The test library's own version (1.00.0002), as the records write it into "Version".
    static constexpr const char* LibraryVersion = "1.0.2";

    // The two column layouts of the report table: the first takes its width from the page's
    // body width (metric 10), the second from its inner width (metric 7).
    enum class ReportLayout { BodyWidth, InnerWidth };

    // How a value child is written.
    enum class Stored {
        HostNumber, // the host's stored text of the number
        Plain,      // the language's text of the number (a whole number in decimal)
        Text,       // the text as held
        Boolean,    // "True" or "False"
        Version,    // the library version; written only
        Settings,   // the test-guide settings element, appended where this row stands
    };
    // How a value child is read.
    enum class Reading {
        None,          // not read back
        Number,        // the leading number of the text, rounded for whole-number fields
        NumberOrComma, // as Number, and a lone "," counts as the decimal point
        Text,          // the text unchanged
        Boolean,       // True only for the exact text "True"
        LocaleInteger, // the whole text must be a number (an error otherwise)
        Settings,      // loaded into the test-guide settings
    };

    // A field of a record, as a value child reaches it.
    using FieldRef = std::variant<float*, int32_t*, int16_t*, std::string*, bool*>;

    // One child of the "PlugInData" element: its name, the field it holds and how the field is
    // written and read.
    struct ValueChild {
        std::string_view name;
        FieldRef (*field)(CConfigBase&);
        Stored stored;
        Reading reading;
    };

    // One wave of a wave table: the ID (or index) the record holds, the analyzer's wave code
    // and the language-ID description.
    struct WaveEntry {
        int32_t id;
        std::string_view code;
        std::string_view caption;
    };

    // What tells one record class from another, as data.
    struct RecordInfo {
        std::string_view errorSource;
        std::string_view editorProgId;
        ReportLayout layout;
        std::span<const ValueChild> loadOrder;
        std::span<const ValueChild> saveOrder;
    };

    // One row of the report table; the label is a language-ID text that the report translates.
    struct ReportRow {
        std::string label;
        std::string value;
        std::string unit;
    };

    CConfigBase();
    ~CConfigBase() override;

    virtual const RecordInfo& Info() const = 0;

    // The record's test-guide settings: the same object, so that changes made through it
    // change the record.
    std::shared_ptr<host::HostTestGuideSettings> TestGuideConfig() const { return mTestGuideConfig; }

    // IConfigData
    bool HasDialog() override { return true; }
    // A new record of the same class with every persisted field copied and the settings
    // cloned; what follows from the fields (a wave description) is derived again. The source
    // is never written to. An error is reported and gives no record.
    std::shared_ptr<host::IConfigData> Clone() override;
    // The record's editor in a dialog wrapper; no dialog when it cannot be built.
    std::shared_ptr<host::IDialog> CreateDialog() override;
    void Load(const std::shared_ptr<host::HostXmlElement>& element, const std::shared_ptr<host::HostLoadLog>& log) override;
    std::shared_ptr<host::HostXmlElement> Save(const std::shared_ptr<host::HostXmlDocument>& document) override;
    // Writes the record's table into the report; nothing without a report. Errors are ignored
    // step by step.
    void PrintReport(const std::shared_ptr<host::HostReport>& report) override;

    // The pieces of the report table.
    std::string BuildReportHeader(const host::HostReport& report) const;
    std::string BuildReportRows(const host::HostReport& report) const;
    static std::string ColumnFormat(ReportLayout layout, const host::HostReport& report);

    // The entry of that ID in a wave table, or none.
    static const WaveEntry* FindWave(std::span<const WaveEntry> table, int32_t id);

protected:
    CConfigBase(const CConfigBase&) = default;
    CConfigBase& operator=(const CConfigBase&) = delete;

    // A new record of the record's own class with the fields of this one (the settings object
    // still shared; Clone replaces it).
    virtual std::shared_ptr<CConfigBase> Copy() const = 0;
    // Derives on a fresh copy what follows from its fields.
    virtual void AfterCopy() {}
    virtual std::vector<ReportRow> ReportRows() const = 0;

    // The field of a value child: Bind<&CConfigEnergy::mPresetEnergy>.
    template <auto Member>
    static FieldRef Bind(CConfigBase& record)
    {
        using Owner = typename config_detail::MemberOf<decltype(Member)>::Class;
        return &(static_cast<Owner&>(record).*Member);
    }
    static constexpr ValueChild SettingsChild{"TestGuideSettings", nullptr, Stored::Settings, Reading::Settings};
    static constexpr ValueChild VersionChild{"Version", nullptr, Stored::Version, Reading::None};

    // Translation through the host's translator with the module key.
    static std::string Translate(std::string_view text);
    // The unit of rows without one: the translation of "20459::None".
    static std::string NoneUnit();

    // Looks the ID up in the table: the description of its entry becomes the held description,
    // which is then translated; the entry's code is returned. An ID outside the table gives
    // the empty code and keeps the held description (translated once more).
    static std::string DeriveWave(std::span<const WaveEntry> table, int32_t id, std::string& description);
    // The description that a report shows for the ID: the translated description of its entry,
    // or the held text for an ID outside the table.
    static std::string DescribeWave(std::span<const WaveEntry> table, int32_t id, const std::string& held);

private:
    std::string StoredText(const ValueChild& child);
    void ReadChild(const ValueChild& child, const std::string& text, const std::shared_ptr<host::HostLoadLog>& log);

    std::shared_ptr<host::HostTestGuideSettings> mTestGuideConfig;
};

} // namespace ztest
