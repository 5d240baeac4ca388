#include "testlib/config/CConfigBase.h"

#include "host/documents/HostErrorRaiser.h"
#include "host/documents/HostLoadLog.h"
#include "host/report/HostReport.h"
#include "host/elements/HostTestGuideSettings.h"
#include "host/documents/HostTranslator.h"
#include "host/documents/HostUtilities.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "platform/base/Conversions.h"
#include "testlib/core/FDialogWrapper.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <type_traits>

namespace ztest {

namespace {

constexpr int kRaiseLevelLoad = 4;
constexpr int kRaiseLevelSave = 3;
constexpr int32_t kLogSeverityWarning = 2;

// A text written where the decimal point is a comma ("0,5") reads as the same number: a lone
// comma, with no point beside it, is taken as the decimal point.
std::string WithDecimalPoint(std::string text)
{
    if (std::count(text.begin(), text.end(), ',') == 1 && text.find('.') == std::string::npos) {
        std::replace(text.begin(), text.end(), ',', '.');
    }
    return text;
}

template <class T>
T NumberInto(double number)
{
    if constexpr (std::is_same_v<T, float>) {
        return plat::CSng(plat::Variant(number));
    } else if constexpr (std::is_same_v<T, int32_t>) {
        return plat::CLng(number);
    } else {
        return plat::CInt(number);
    }
}

template <class T>
T WholeTextInto(const std::string& text)
{
    const plat::Variant value(text);
    if constexpr (std::is_same_v<T, float>) {
        return plat::CSng(value);
    } else if constexpr (std::is_same_v<T, int32_t>) {
        return plat::CLng(value);
    } else {
        return plat::CInt(value);
    }
}

// A record's table names a way of writing or reading that its field cannot take: a fault of
// the record's code, not of the stored data.
[[noreturn]] void TableFault(std::string_view name)
{
    throw std::logic_error("The value child \"" + std::string(name) + "\" does not fit its field");
}

} // namespace

CConfigBase::CConfigBase() : mTestGuideConfig(std::make_shared<host::HostTestGuideSettings>()) {}

CConfigBase::~CConfigBase() = default;

std::shared_ptr<host::IConfigData> CConfigBase::Clone()
{
    const host::HostErrorRaiser raiser;
    try {
        std::shared_ptr<CConfigBase> copy = Copy();
        copy->mTestGuideConfig =
            mTestGuideConfig ? mTestGuideConfig->Clone() : std::make_shared<host::HostTestGuideSettings>();
        copy->AfterCopy();
        return copy;
    } catch (...) {
        raiser.PassOnOrReport(std::string(Info().errorSource), {});
        return nullptr;
    }
}

std::shared_ptr<host::IDialog> CConfigBase::CreateDialog()
{
    try {
        auto wrapper = std::make_shared<FDialogWrapper>();
        wrapper->Load();
        // The wrapper swallows a ProgID it cannot create; the dialog then hosts no editor.
        wrapper->CreateSetupCtrl(std::string(Info().editorProgId));
        std::shared_ptr<host::IDialog> dialog = wrapper;
        // The editor edits this record itself, not a copy.
        dialog->Initialize(plat::Variant(plat::ObjectPtr(shared_from_this())));
        return dialog;
    } catch (const std::exception&) {
        return nullptr;
    }
}

void CConfigBase::Load(const std::shared_ptr<host::HostXmlElement>& element, const std::shared_ptr<host::HostLoadLog>& log)
{
    const host::HostErrorRaiser raiser;
    const std::string source(Info().errorSource);
    try {
        // Checked before anything is replaced: a refused element leaves the record as it was.
        if (!element || element->Name() != ElementName || element->GetAttribute(PlugInAttribute) != ModuleKey) {
            raiser.Raise(ModuleKey, ErrorLoad, source, kRaiseLevelLoad);
        }
        // A record loaded from an element without settings gets default settings, not the
        // ones it held before. The settings object itself stays: an editor bound to it goes
        // on editing the record's settings, not an orphan.
        if (mTestGuideConfig) {
            *mTestGuideConfig = host::HostTestGuideSettings();
        } else {
            mTestGuideConfig = std::make_shared<host::HostTestGuideSettings>();
        }
        for (const ValueChild& child : Info().loadOrder) {
            if (child.reading == Reading::None) continue;
            std::shared_ptr<host::HostXmlElement> node = element->SelectChild(std::string(child.name));
            if (!node) continue;
            if (child.reading == Reading::Settings) {
                mTestGuideConfig->Load(node, log);
            } else {
                ReadChild(child, node->Text(), log);
            }
        }
    } catch (...) {
        raiser.PassOnOrReport(source, {ErrorLoad, ErrorSave});
    }
}

std::shared_ptr<host::HostXmlElement> CConfigBase::Save(const std::shared_ptr<host::HostXmlDocument>& document)
{
    const host::HostErrorRaiser raiser;
    const std::string source(Info().errorSource);
    try {
        if (!document) plat::RaiseRuntime(plat::rt::ObjectNotSet, source);
        std::shared_ptr<host::HostXmlElement> element = document->CreateElement(ElementName);
        if (!element) raiser.Raise(ModuleKey, ErrorSave, source, kRaiseLevelSave);
        element->SetAttribute(PlugInAttribute, ModuleKey);
        for (const ValueChild& child : Info().saveOrder) {
            if (child.stored == Stored::Settings) {
                if (!mTestGuideConfig) continue;
                if (std::shared_ptr<host::HostXmlElement> settings = mTestGuideConfig->Save(document)) {
                    element->AppendChild(settings);
                }
            } else {
                element->AddChildWithText(std::string(child.name), StoredText(child));
            }
        }
        return element;
    } catch (...) {
        raiser.PassOnOrReport(source, {ErrorLoad, ErrorSave});
        return nullptr;
    }
}

void CConfigBase::PrintReport(const std::shared_ptr<host::HostReport>& report)
{
    if (!report) return;
    std::string header;
    std::string format;
    std::string rows;
    plat::IgnoreErrors([&] { header = BuildReportHeader(*report); });
    plat::IgnoreErrors([&] { format = ColumnFormat(Info().layout, *report); });
    plat::IgnoreErrors([&] { rows = BuildReportRows(*report); });
    if (rows.empty()) return;
    plat::IgnoreErrors([&] { report->SetFontSize(7); });
    plat::IgnoreErrors([&] { report->SetIndent(0); });
    plat::IgnoreErrors([&] { report->SetBorder(1); });
    plat::IgnoreErrors([&] { report->WriteTable(format, header, rows, 0, 0, 0); });
}

std::string CConfigBase::BuildReportHeader(const host::HostReport& report) const
{
    return "|{\\i\\b " + report.Translate(ModuleKey, "310::Configuration") + "}|{\\i\\b " +
           report.Translate(ModuleKey, "231::Value") + "}|{\\i\\b " + report.Translate(ModuleKey, "234::Unit") + "};";
}

std::string CConfigBase::BuildReportRows(const host::HostReport& report) const
{
    std::string rows;
    for (const ReportRow& row : ReportRows()) {
        rows += host::HostReport::Row({"", "      " + report.Translate(ModuleKey, row.label), row.value, row.unit});
    }
    return rows;
}

std::string CConfigBase::ColumnFormat(ReportLayout layout, const host::HostReport& report)
{
    if (layout == ReportLayout::BodyWidth) {
        const std::string w = std::to_string((report.PageMetric(host::HostReport::MetricBodyWidth) - 3360) / 4);
        return ">+560|<2240|>+" + w + "|>+" + w + "|>+" + w + "|>+!" + w + "|<+560;";
    }
    const std::string w = std::to_string((report.PageMetric(host::HostReport::MetricInnerWidth) - 2240) / 4);
    return "<+560|<2240|>+" + w + "|>+" + w + "|>+" + w + "|>+" + w + "!|<+560;";
}

const CConfigBase::WaveEntry* CConfigBase::FindWave(std::span<const WaveEntry> table, int32_t id)
{
    auto found = std::find_if(table.begin(), table.end(), [id](const WaveEntry& entry) { return entry.id == id; });
    return found == table.end() ? nullptr : &*found;
}

std::string CConfigBase::Translate(std::string_view text)
{
    return host::HostTranslator::Process()->Translate(ModuleKey, text);
}

std::string CConfigBase::NoneUnit()
{
    return Translate("20459::None");
}

std::string CConfigBase::DeriveWave(std::span<const WaveEntry> table, int32_t id, std::string& description)
{
    const WaveEntry* entry = FindWave(table, id);
    if (entry) description = std::string(entry->caption);
    description = Translate(description);
    return entry ? std::string(entry->code) : std::string();
}

std::string CConfigBase::DescribeWave(std::span<const WaveEntry> table, int32_t id, const std::string& held)
{
    const WaveEntry* entry = FindWave(table, id);
    return entry ? Translate(entry->caption) : held;
}

std::string CConfigBase::StoredText(const ValueChild& child)
{
    if (child.stored == Stored::Version) return LibraryVersion;
    if (!child.field) TableFault(child.name);
    return std::visit(
        [&](auto* field) -> std::string {
            using T = std::remove_pointer_t<decltype(field)>;
            if constexpr (std::is_same_v<T, std::string>) {
                if (child.stored != Stored::Text) TableFault(child.name);
                return *field;
            } else if constexpr (std::is_same_v<T, bool>) {
                if (child.stored != Stored::Boolean) TableFault(child.name);
                return *field ? "True" : "False";
            } else if constexpr (std::is_same_v<T, float>) {
                if (child.stored == Stored::HostNumber) return host::HostUtilities::NumberToText(*field);
                if (child.stored == Stored::Plain) return plat::CStr(*field);
                TableFault(child.name);
            } else {
                if (child.stored == Stored::HostNumber) return host::HostUtilities::NumberToText(static_cast<int32_t>(*field));
                if (child.stored == Stored::Plain) return std::to_string(*field);
                TableFault(child.name);
            }
        },
        child.field(*this));
}

void CConfigBase::ReadChild(const ValueChild& child, const std::string& text, const std::shared_ptr<host::HostLoadLog>& log)
{
    if (!child.field) TableFault(child.name);
    try {
        std::visit(
            [&](auto* field) {
                using T = std::remove_pointer_t<decltype(field)>;
                if constexpr (std::is_same_v<T, std::string>) {
                    if (child.reading != Reading::Text) TableFault(child.name);
                    *field = text;
                } else if constexpr (std::is_same_v<T, bool>) {
                    if (child.reading != Reading::Boolean) TableFault(child.name);
                    *field = text == "True";
                } else {
                    // The value is converted in full before the field is touched, so a value
                    // that cannot be read leaves the field as it was.
                    switch (child.reading) {
                    case Reading::Number: *field = NumberInto<T>(plat::Val(text)); break;
                    case Reading::NumberOrComma: *field = NumberInto<T>(plat::Val(WithDecimalPoint(text))); break;
                    case Reading::LocaleInteger: *field = WholeTextInto<T>(text); break;
                    default: TableFault(child.name);
                    }
                }
            },
            child.field(*this));
    } catch (const plat::ComError& error) {
        if (log) {
            log->AddEntry(error.Number(), kLogSeverityWarning,
                          std::string(Info().errorSource) + ": the stored value \"" + text + "\" of \"" +
                              std::string(child.name) + "\" cannot be read (" + error.Description() +
                              "); the record keeps its value");
        }
    }
}

} // namespace ztest
