#include "host/documents/HostUtilities.h"

#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace host {

namespace {

const char* const kSource = "HostUtilities";

template <class T>
bool ReadsBack(const std::string& text, T number)
{
    T back{};
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), back, std::chars_format::general);
    // The sign of zero counts too: -0 is written as such.
    return ec == std::errc() && end == text.data() + text.size() && back == number &&
           std::signbit(back) == std::signbit(number);
}

template <class T>
std::string StoredText(T number)
{
    if (!std::isfinite(number)) {
        throw plat::ComError(plat::rt::Overflow, kSource, "Overflow: an infinite or undefined number has no stored text");
    }
    std::string text = plat::CStr(number);
    if (ReadsBack(text, number)) return text;

    // The language's text keeps at most 7 (Single) or 15 (Double) digits, which some numbers
    // need more of to read back; the shortest exact text is written in the same style.
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, number);
    if (ec != std::errc()) return text;
    std::string exact(buffer, end);
    for (char& c : exact) {
        if (c == 'e') c = 'E';
    }
    return exact;
}

} // namespace

std::string HostUtilities::NumberToText(double number)
{
    return StoredText(number);
}

std::string HostUtilities::NumberToText(float number)
{
    return StoredText(number);
}

std::string HostUtilities::NumberToText(int32_t number)
{
    return std::to_string(number);
}

std::string HostUtilities::NumberToText(const plat::Variant& number)
{
    switch (number.Type()) {
    case plat::VarType::Integer: return std::to_string(number.AsInteger());
    case plat::VarType::Long: return std::to_string(number.AsLong());
    case plat::VarType::Single: return StoredText(number.AsSingle());
    case plat::VarType::Double: return StoredText(number.AsDouble());
    case plat::VarType::Boolean: return number.AsBool() ? "-1" : "0";
    case plat::VarType::Empty: return "0";
    case plat::VarType::Null: plat::RaiseRuntime(plat::rt::InvalidUseOfNull, kSource);
    case plat::VarType::String: return StoredText(plat::CDbl(number));
    default: plat::RaiseRuntime(plat::rt::TypeMismatch, kSource);
    }
}

std::string HostUtilities::FormatValue(const plat::Variant& value, std::string_view mask)
{
    return plat::Format(value, mask);
}

std::string HostUtilities::NormalizeFolder(std::string_view folder)
{
    if (folder.empty()) return "./";
    std::string normal = std::filesystem::path(folder).lexically_normal().string();
    if (normal.empty()) return "./";
    if (normal.back() != '/') normal += '/';
    return normal;
}

} // namespace host
