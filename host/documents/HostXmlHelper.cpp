#include "host/documents/HostXmlHelper.h"

#include "host/documents/HostUtilities.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlErrors.h"
#include "platform/base/ComError.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <utility>

namespace host {

namespace {

const char* const kSource = "HostXmlHelper";

// Texts of the numbers that have no decimal text; the helper reads them back itself.
const char* const kInfinity = "INF";
const char* const kMinusInfinity = "-INF";
const char* const kNotANumber = "NaN";

std::string_view Trim(std::string_view text)
{
    const char* blanks = " \t\r\n";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

[[noreturn]] void RaiseBadValue(const std::string& elementName, std::string_view text, const char* kind)
{
    throw plat::ComError(xmlerr::BadValue, kSource,
                         "The " + elementName + " element holds '" + std::string(text) + "', which is no " + kind);
}

[[noreturn]] void RaiseOutOfRange(const std::string& elementName, std::string_view text, const char* kind)
{
    throw plat::ComError(plat::rt::Overflow, kSource,
                         "Overflow: the " + elementName + " element holds '" + std::string(text) +
                             "', which is outside the range of a " + kind);
}

template <class T>
T ReadWhole(std::string_view text, const std::string& elementName, const char* kind)
{
    std::string_view number = Trim(text);
    long long value = 0;
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || end != number.data() + number.size()) RaiseBadValue(elementName, text, kind);
    if (ec == std::errc::result_out_of_range || value < std::numeric_limits<T>::min() ||
        value > std::numeric_limits<T>::max()) {
        RaiseOutOfRange(elementName, text, kind);
    }
    return static_cast<T>(value);
}

template <class T>
T ReadFloat(std::string_view text, const std::string& elementName, const char* kind)
{
    std::string_view number = Trim(text);
    if (number == kInfinity) return std::numeric_limits<T>::infinity();
    if (number == kMinusInfinity) return -std::numeric_limits<T>::infinity();
    if (number == kNotANumber) return std::numeric_limits<T>::quiet_NaN();
    T value{};
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::general);
    if (number.empty() || end != number.data() + number.size() || ec == std::errc::invalid_argument) {
        RaiseBadValue(elementName, text, kind);
    }
    if (ec == std::errc::result_out_of_range) RaiseOutOfRange(elementName, text, kind);
    return value;
}

template <class T>
std::string FloatText(T number)
{
    if (std::isnan(number)) return kNotANumber;
    if (std::isinf(number)) return number > 0 ? kInfinity : kMinusInfinity;
    return HostUtilities::NumberToText(number);
}

// The kind and the text under which a value is kept.
std::pair<std::string, std::string> Encode(const plat::Variant& value)
{
    std::string kind = plat::VarTypeName(value.Type());
    switch (value.Type()) {
    case plat::VarType::Empty:
    case plat::VarType::Null: return {kind, {}};
    case plat::VarType::Boolean: return {kind, value.AsBool() ? "True" : "False"};
    case plat::VarType::Integer: return {kind, std::to_string(value.AsInteger())};
    case plat::VarType::Long: return {kind, std::to_string(value.AsLong())};
    case plat::VarType::Single: return {kind, FloatText(value.AsSingle())};
    case plat::VarType::Double: return {kind, FloatText(value.AsDouble())};
    case plat::VarType::String: return {kind, value.AsString()};
    default: break;
    }
    throw plat::ComError(plat::rt::TypeMismatch, kSource,
                         "Type mismatch: a value of kind " + kind + " cannot be kept in an XML element");
}

plat::Variant Decode(const std::string& kind, const std::string& text, const std::string& elementName)
{
    if (kind == "Empty") return {};
    if (kind == "Null") return plat::Variant::Null();
    if (kind == "String") return plat::Variant(text);
    if (kind == "Boolean") {
        if (text == "True") return plat::Variant(true);
        if (text == "False") return plat::Variant(false);
        RaiseBadValue(elementName, text, "Boolean");
    }
    if (kind == "Integer") return plat::Variant(ReadWhole<int16_t>(text, elementName, "Integer"));
    if (kind == "Long") return plat::Variant(ReadWhole<int32_t>(text, elementName, "Long"));
    if (kind == "Single") return plat::Variant(ReadFloat<float>(text, elementName, "Single"));
    if (kind == "Double") return plat::Variant(ReadFloat<double>(text, elementName, "Double"));
    throw plat::ComError(xmlerr::BadValue, kSource,
                         "The " + elementName + " element names the unknown kind '" + kind + "'");
}

void CheckElement(const std::shared_ptr<HostXmlElement>& element, const char* name)
{
    if (!element) plat::RaiseRuntime(plat::rt::ObjectNotSet, kSource);
    if (element->Name() != name) {
        throw plat::ComError(xmlerr::WrongNode, kSource,
                             "Expected a " + std::string(name) + " element, not <" + element->Name() + ">");
    }
}

void CheckDocument(const std::shared_ptr<HostXmlDocument>& document)
{
    if (!document) plat::RaiseRuntime(plat::rt::ObjectNotSet, kSource);
}

} // namespace

std::shared_ptr<HostXmlDocument> HostXmlHelper::CreateDocument() const
{
    return HostXmlDocument::Create();
}

std::shared_ptr<HostXmlElement> HostXmlHelper::CreateValueElement(const std::shared_ptr<HostXmlDocument>& document,
                                                                  const plat::Variant& value, int32_t valueType) const
{
    CheckDocument(document);
    auto [kind, text] = Encode(value);
    auto element = document->CreateElement("Value");
    element->SetAttribute("Type", kind);
    element->SetAttribute("ValueType", std::to_string(valueType));
    element->SetText(text);
    return element;
}

void HostXmlHelper::ReadValueElement(const std::shared_ptr<HostXmlElement>& element, plat::Variant& value,
                                     int32_t& valueType) const
{
    CheckElement(element, "Value");
    int32_t type = 0;
    if (element->HasAttribute("ValueType")) type = ReadWhole<int32_t>(element->GetAttribute("ValueType"), "Value", "Long");
    plat::Variant read;
    std::string text = element->Text();
    if (element->HasAttribute("Type")) {
        read = Decode(element->GetAttribute("Type"), text, "Value");
    } else if (!text.empty()) {
        read = plat::Variant(std::move(text));
    }
    value = std::move(read);
    valueType = type;
}

std::shared_ptr<HostXmlElement> HostXmlHelper::CreateStatusElement(const std::shared_ptr<HostXmlDocument>& document,
                                                                   int32_t status, const plat::Variant& statusText) const
{
    CheckDocument(document);
    std::pair<std::string, std::string> text;
    if (!statusText.IsEmpty()) text = Encode(statusText);
    auto element = document->CreateElement("Status");
    if (!statusText.IsEmpty()) {
        element->SetAttribute("Text", text.second);
        element->SetAttribute("TextType", text.first);
    }
    element->SetText(std::to_string(status));
    return element;
}

void HostXmlHelper::ReadStatusElement(const std::shared_ptr<HostXmlElement>& element, int32_t& status,
                                      plat::Variant& statusText) const
{
    CheckElement(element, "Status");
    std::string text = element->Text();
    int32_t read = Trim(text).empty() ? 0 : ReadWhole<int32_t>(text, "Status", "Long");
    plat::Variant readText;
    if (element->HasAttribute("TextType")) {
        readText = Decode(element->GetAttribute("TextType"), element->GetAttribute("Text"), "Status");
    } else if (element->HasAttribute("Text")) {
        readText = plat::Variant(element->GetAttribute("Text"));
    }
    status = read;
    statusText = std::move(readText);
}

std::optional<std::string> HostXmlHelper::ChildText(const HostXmlElement& element, const std::string& name)
{
    auto child = element.SelectChild(name);
    if (!child) return std::nullopt;
    return child->Text();
}

} // namespace host
