// Loading and saving a collection of standards as an element.
//
// The form of the element. The collection's element may bear any name: records store it as
// "ExpectedResult", and the catalogue file gives each template's default standards in the same
// element. It holds one "Standard" element per standard, in order; each standard holds one
// "LimitItem" per limit item, in order; each item holds at most one "Upper" (bound 0) and one
// "Lower" (bound 1) element:
//
//   <ExpectedResult>
//     <Standard AlphaName="IEC" CompleteName="IEC 60601-2-4" Kind="1">
//       <LimitItem Key="ENGY" Unit="J" Caption="" Note="" Type="Formula">
//         <Upper Enabled="True" Value="15" Formula="X+(X*Y%)"/>
//         <Lower Enabled="True" Value="-15" Formula="X+(X*Y%)"/>
//       </LimitItem>
//       <LimitItem Key="PACR" Unit=" ppm">
//         <Upper Enabled="True" Value="72"/>
//       </LimitItem>
//     </Standard>
//   </ExpectedResult>
//
// Attributes:
// - "Standard": "AlphaName" and "CompleteName" (required, any text, may be empty); "Kind" (a
//   whole number, 1 when missing).
// - "LimitItem": "Key" (required); "Unit", "Caption" and "Note" (texts kept exactly, leading
//   blanks included; empty when missing); "Type": "Formula" for an item whose bounds may be
//   formulas (the host's new item, and the default when missing) or "Plain" for an item judged
//   by its plain values only.
// - "Upper" and "Lower": "Enabled" ("True" or "False", "False" when missing), "Value" (a decimal
//   number with "." as the point, 0 when missing), "Formula" (empty when missing; on a formula
//   item a formula the evaluator reads: "Y", "X+Y", "X+(X*Y%)" and the like). A missing bound
//   element is a disabled bound with value 0 and no formula.
// Saving writes every attribute, so that loading gives back exactly what was saved. Numbers are
// written in the shortest text that reads back to the same 32-bit float.
//
// Loading is strict, because these elements come from files: an element of another name where
// a standard, an item or a bound belongs, a bound given twice, a missing required attribute, a
// number that is not one or is out of range, an "Enabled" or "Type" other than the texts above,
// stops the load with an error that names the place. A formula the evaluator cannot read is
// kept as it is, with a warning in the log (severity 1): whatever was saved must load again,
// and such a bound fails every measurement until it is corrected, which the rating shows.

#include "host/standards/HostStandards.h"

#include "host/standards/HostFormulaLimit.h"
#include "host/documents/HostLoadLog.h"
#include "host/documents/HostUtilities.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlNodeList.h"
#include "platform/base/Conversions.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace host {

namespace {

constexpr const char* kSource = "Host.HostStandards";

constexpr const char* kStandard = "Standard";
constexpr const char* kLimitItem = "LimitItem";
constexpr const char* kBoundNames[2] = {"Upper", "Lower"};
constexpr const char* kTypeFormula = "Formula";
constexpr const char* kTypePlain = "Plain";

// A fault of the content, with the text that names it.
struct BadContent {
    std::string text;
};

// What the load notes without stopping.
using Warnings = std::vector<std::string>;

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// The element's attribute; a missing one is a fault when required, else the fallback.
std::string Attribute(const HostXmlElement& element, const std::string& name, const std::string& where,
                      const char* fallback = nullptr)
{
    if (element.HasAttribute(name)) return element.GetAttribute(name);
    if (fallback) return fallback;
    throw BadContent{where + " has no attribute " + Quoted(name)};
}

float ReadNumber(const std::string& text, const std::string& what)
{
    if (!plat::IsNumericText(text)) throw BadContent{what + " " + Quoted(text) + " is not a number"};
    try {
        return plat::CSng(plat::Variant(text));
    } catch (const plat::ComError&) {
        throw BadContent{what + " " + Quoted(text) + " is out of range"};
    }
}

int32_t ReadWholeNumber(const std::string& text, const std::string& what)
{
    if (!plat::IsNumericText(text)) throw BadContent{what + " " + Quoted(text) + " is not a number"};
    double value = 0.0;
    try {
        value = plat::Val(text);
    } catch (const plat::ComError&) {
        throw BadContent{what + " " + Quoted(text) + " is not a whole number in range"};
    }
    if (value != std::floor(value) || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max()) {
        throw BadContent{what + " " + Quoted(text) + " is not a whole number in range"};
    }
    return static_cast<int32_t>(value);
}

bool ReadBoolean(const std::string& text, const std::string& what)
{
    if (text == "True") return true;
    if (text == "False") return false;
    throw BadContent{what + " " + Quoted(text) + " is neither \"True\" nor \"False\""};
}

void ReadBound(const HostXmlElement& element, int bound, HostLimitItem& item, bool formulaItem,
               const std::string& where, Warnings& warnings)
{
    const std::string place = kBoundNames[bound] + std::string(" bound of ") + where;
    item.SetEnabled(bound, ReadBoolean(Attribute(element, "Enabled", place, "False"), "the \"Enabled\" of the " + place));
    item.SetValue(bound, ReadNumber(Attribute(element, "Value", place, "0"), "the \"Value\" of the " + place));
    const std::string formula = Attribute(element, "Formula", place, "");
    if (formulaItem && !HostFormulaLimit::IsValidFormula(formula)) {
        warnings.push_back("The formula " + Quoted(formula) + " of the " + place +
                           " cannot be read; the bound fails every measurement until it is corrected");
    }
    item.SetFormula(bound, formula);
}

std::shared_ptr<HostLimitItem> ReadItem(const HostXmlElement& element, int32_t number, const std::string& standardPlace,
                                        Warnings& warnings)
{
    const std::string key = Attribute(element, "Key", "limit item " + std::to_string(number) + " of " + standardPlace);
    const std::string place = "limit item " + Quoted(key) + " of " + standardPlace;

    const std::string type = Attribute(element, "Type", place, kTypeFormula);
    bool formulaItem;
    if (type == kTypeFormula) {
        formulaItem = true;
    } else if (type == kTypePlain) {
        formulaItem = false;
    } else {
        throw BadContent{"the \"Type\" " + Quoted(type) + " of the " + place + " is neither \"Formula\" nor \"Plain\""};
    }

    std::shared_ptr<HostLimitItem> item = formulaItem ? HostLimitItem::Create() : std::make_shared<HostLimitItem>();
    item->Initialize(key, Attribute(element, "Unit", place, ""), Attribute(element, "Caption", place, ""),
                     Attribute(element, "Note", place, ""));

    bool seen[2] = {false, false};
    const auto children = element.ChildNodes();
    for (int32_t i = 0; i < children->Count(); ++i) {
        const auto child = children->Item(i);
        const std::string name = child->Name();
        int bound = name == kBoundNames[0] ? 0 : name == kBoundNames[1] ? 1 : -1;
        if (bound < 0) throw BadContent{"the " + place + " holds an element " + Quoted(name) + " that is no bound"};
        if (seen[bound]) throw BadContent{"the " + place + " gives its " + name + " bound twice"};
        seen[bound] = true;
        ReadBound(*child, bound, *item, formulaItem, place, warnings);
    }
    return item;
}

std::shared_ptr<HostStandard> ReadStandard(const HostXmlElement& element, int32_t number, Warnings& warnings)
{
    const std::string where = "standard " + std::to_string(number);
    const std::string alphaName = Attribute(element, "AlphaName", where);
    const std::string completeName = Attribute(element, "CompleteName", where);
    const std::string place = "standard " + Quoted(alphaName);
    const int32_t kind = ReadWholeNumber(Attribute(element, "Kind", place, "1"), "the \"Kind\" of " + place);

    auto standard = std::make_shared<HostStandard>();
    standard->Initialize(alphaName, completeName, kind);
    const auto children = element.ChildNodes();
    for (int32_t i = 0; i < children->Count(); ++i) {
        const auto child = children->Item(i);
        if (child->Name() != kLimitItem) {
            throw BadContent{place + " holds an element " + Quoted(child->Name()) + " that is no limit item"};
        }
        standard->AddItem(ReadItem(*child, i + 1, place, warnings));
    }
    return standard;
}

} // namespace

void HostStandards::Load(const std::shared_ptr<HostXmlElement>& element, const std::shared_ptr<HostLoadLog>& log)
{
    if (!element) plat::RaiseRuntime(plat::rt::ObjectNotSet, kSource);

    // Everything is read into a list of its own first, so that a fault leaves this collection
    // as it was.
    StandardList loaded;
    Warnings warnings;
    try {
        const auto children = element->ChildNodes();
        for (int32_t i = 0; i < children->Count(); ++i) {
            const auto child = children->Item(i);
            if (child->Name() != kStandard) {
                throw BadContent{"the element " + Quoted(child->Name()) + " is no standard"};
            }
            loaded.push_back(ReadStandard(*child, i + 1, warnings));
        }
    } catch (const BadContent& fault) {
        const std::string text = "Can not load the standards: " + fault.text;
        if (log) log->AddEntry(ErrorBadContent, 2, text);
        throw plat::ComError(ErrorBadContent, kSource, text);
    }
    mStandards = std::move(loaded);
    if (log) {
        for (const std::string& warning : warnings) log->AddEntry(ErrorBadContent, 1, warning);
    }
}

std::shared_ptr<HostXmlElement> HostStandards::Save(const std::shared_ptr<HostXmlDocument>& document) const
{
    if (!document) plat::RaiseRuntime(plat::rt::ObjectNotSet, kSource);

    auto root = document->CreateElement("Standards");
    for (const auto& standard : mStandards) {
        auto standardElement = root->AppendChild(document->CreateElement(kStandard));
        standardElement->SetAttribute("AlphaName", standard->AlphaName());
        standardElement->SetAttribute("CompleteName", standard->CompleteName());
        standardElement->SetAttribute("Kind", std::to_string(standard->Kind()));
        for (const auto& item : *standard) {
            const bool formulaItem = dynamic_cast<const HostFormulaLimit*>(item.get()) != nullptr;
            auto itemElement = standardElement->AppendChild(document->CreateElement(kLimitItem));
            itemElement->SetAttribute("Key", item->Key());
            itemElement->SetAttribute("Unit", item->Unit());
            itemElement->SetAttribute("Caption", item->Caption());
            itemElement->SetAttribute("Note", item->Note());
            itemElement->SetAttribute("Type", formulaItem ? kTypeFormula : kTypePlain);
            for (int bound : {HostLimitItem::UpperBound, HostLimitItem::LowerBound}) {
                auto boundElement = itemElement->AppendChild(document->CreateElement(kBoundNames[bound]));
                boundElement->SetAttribute("Enabled", item->Enabled(bound) ? "True" : "False");
                boundElement->SetAttribute("Value", HostUtilities::NumberToText(item->Value(bound)));
                boundElement->SetAttribute("Formula", item->Formula(bound));
            }
        }
    }
    return root;
}

} // namespace host
