#include "platform/base/Conversions.h"

#include "platform/base/ComError.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace plat {

namespace {

constexpr int SingleDigits = 7;
constexpr int DoubleDigits = 15;

// The blanks that the leading-number rule skips.
bool IsValBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// The blanks allowed around a strict numeric text.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// A number that has been taken apart: its sign and the plain text of its magnitude, made only
// of digits, at most one "." and an optional exponent ("12.5", ".5", "3e-7"). This is the form
// that std::from_chars reads without looking at any locale.
struct NumberText {
    bool negative = false;
    std::string magnitude;
};

// Whether a magnitude text that std::from_chars found out of range is too large (true) or too
// small (false) for the type: the decimal exponent of its first significant digit decides.
bool IsTooLarge(std::string_view magnitude)
{
    size_t ePos = magnitude.find_first_of("eE");
    std::string_view mantissa = magnitude.substr(0, ePos);
    int64_t exponent = 0;
    if (ePos != std::string_view::npos) {
        size_t i = ePos + 1;
        bool negative = false;
        if (i < magnitude.size() && (magnitude[i] == '+' || magnitude[i] == '-')) negative = magnitude[i++] == '-';
        for (; i < magnitude.size(); ++i) {
            // Saturate: beyond a million the answer no longer depends on the mantissa.
            if (exponent < 1000000) exponent = exponent * 10 + (magnitude[i] - '0');
        }
        if (negative) exponent = -exponent;
    }
    // Position of the first significant digit relative to the point.
    size_t point = mantissa.find('.');
    if (point == std::string_view::npos) point = mantissa.size();
    int64_t firstDigitExponent = 0;
    bool found = false;
    for (size_t i = 0; i < mantissa.size(); ++i) {
        char c = mantissa[i];
        if (c == '.' || c == '0') continue;
        firstDigitExponent = (i < point) ? static_cast<int64_t>(point - i) - 1 : -static_cast<int64_t>(i - point);
        found = true;
        break;
    }
    if (!found) return false;
    return firstDigitExponent + exponent > 0;
}

// Reads a magnitude text into T; a value beyond T's range raises Overflow, one below its
// smallest magnitude gives 0.
template <class T>
T ReadMagnitude(const NumberText& number)
{
    T value{};
    const char* first = number.magnitude.data();
    const char* last = first + number.magnitude.size();
    auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (IsTooLarge(number.magnitude)) RaiseRuntime(rt::Overflow);
        value = T{0};
    } else if (ec != std::errc() || end != last) {
        // The texts are built by this file; a failure here means a text that is no number.
        RaiseRuntime(rt::TypeMismatch);
    }
    return number.negative ? -value : value;
}

// Reads a strict numeric text (IsNumericText) into its parts; false when it is no number.
bool ParseNumericText(std::string_view text, NumberText& out)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsSpace(text[begin])) ++begin;
    while (end > begin && IsSpace(text[end - 1])) --end;
    std::string_view s = text.substr(begin, end - begin);
    size_t i = 0;
    out = NumberText{};
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) out.negative = s[i++] == '-';
    bool anyDigit = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (IsDigit(s[i])) {
            anyDigit = true;
        } else if (s[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
        out.magnitude += s[i];
    }
    if (!anyDigit) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        out.magnitude += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) out.magnitude += s[i++];
        size_t digitsStart = i;
        while (i < s.size() && IsDigit(s[i])) out.magnitude += s[i++];
        if (i == digitsStart) return false;
    }
    return i == s.size();
}

// A value's decimal digits: value = 0.d1 d2 d3 ... x 10^exponent, without leading or trailing
// zeros; no digits for zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// Takes apart the output of std::to_chars in scientific form ("-1.25e-07").
Decimal FromScientific(std::string_view text)
{
    Decimal d;
    size_t i = 0;
    if (i < text.size() && text[i] == '-') {
        d.negative = true;
        ++i;
    }
    size_t ePos = text.find('e', i);
    for (size_t j = i; j < ePos; ++j) {
        if (IsDigit(text[j])) d.digits += text[j];
    }
    int exponent = 0;
    std::from_chars(text.data() + ePos + 1 + (text[ePos + 1] == '+' ? 1 : 0), text.data() + text.size(), exponent);
    d.exponent = exponent + 1;
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) d.exponent = 0;
    return d;
}

// The shortest decimal digits that read back to v, or v rounded to maxDigits significant
// digits when the shortest form needs more. v must be finite.
template <class T>
Decimal DecimalOf(T v, int maxDigits)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific);
    Decimal d = FromScientific(std::string_view(buffer, static_cast<size_t>(result.ptr - buffer)));
    if (static_cast<int>(d.digits.size()) > maxDigits) {
        result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, maxDigits - 1);
        d = FromScientific(std::string_view(buffer, static_cast<size_t>(result.ptr - buffer)));
    }
    if (d.digits.empty()) d.negative = false;
    return d;
}

Decimal DecimalOfWhole(int64_t v)
{
    Decimal d;
    d.negative = v < 0;
    uint64_t magnitude = d.negative ? static_cast<uint64_t>(0) - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    d.digits = std::to_string(magnitude);
    if (magnitude == 0) {
        d.digits.clear();
        return d;
    }
    d.exponent = static_cast<int>(d.digits.size());
    while (d.digits.back() == '0') d.digits.pop_back();
    return d;
}

// The language's text of a number with the given precision (7 for a Single, 15 for a Double).
std::string LanguageText(const Decimal& d, int precision)
{
    if (d.digits.empty()) return "0";
    std::string text = d.negative ? "-" : "";
    int firstDigitExponent = d.exponent - 1;
    int count = static_cast<int>(d.digits.size());
    if (firstDigitExponent < -4 || firstDigitExponent >= precision) {
        text += d.digits[0];
        if (count > 1) text += "." + d.digits.substr(1);
        text += firstDigitExponent < 0 ? "E-" : "E+";
        int magnitude = std::abs(firstDigitExponent);
        if (magnitude < 10) text += '0';
        text += std::to_string(magnitude);
    } else if (d.exponent <= 0) {
        text += "0." + std::string(static_cast<size_t>(-d.exponent), '0') + d.digits;
    } else if (count <= d.exponent) {
        text += d.digits + std::string(static_cast<size_t>(d.exponent - count), '0');
    } else {
        text += d.digits.substr(0, static_cast<size_t>(d.exponent)) + "." + d.digits.substr(static_cast<size_t>(d.exponent));
    }
    return text;
}

template <class T>
std::string NonFiniteText(T v)
{
    if (std::isnan(v)) return "NaN";
    return v < 0 ? "-Inf" : "Inf";
}

// A value cut at a number of decimal places: the whole part without leading zeros (empty for
// 0) and exactly `decimals` fraction digits.
struct FixedDigits {
    std::string whole;
    std::string fraction;
};

enum class Rounding { HalfAwayFromZero, HalfToEven };

FixedDigits RoundToDecimals(const Decimal& d, int decimals, Rounding rounding)
{
    auto digitAt = [&](int64_t index) -> char {
        // index 0 is the first digit of d.digits; the place of 10^(exponent - 1 - index).
        if (index < 0 || index >= static_cast<int64_t>(d.digits.size())) return '0';
        return d.digits[static_cast<size_t>(index)];
    };
    FixedDigits out;
    for (int64_t i = 0; i < d.exponent; ++i) out.whole += digitAt(i);
    for (int j = 0; j < decimals; ++j) out.fraction += digitAt(static_cast<int64_t>(d.exponent) + j);

    int64_t next = static_cast<int64_t>(d.exponent) + decimals; // the first digit cut off
    char cut = digitAt(next);
    bool up = false;
    if (cut > '5') {
        up = true;
    } else if (cut == '5') {
        bool beyond = next + 1 < static_cast<int64_t>(d.digits.size());
        if (rounding == Rounding::HalfAwayFromZero || beyond) {
            up = true;
        } else {
            char last = digitAt(next - 1);
            up = (last - '0') % 2 == 1;
        }
    }
    if (up) {
        std::string all = out.whole + out.fraction;
        int i = static_cast<int>(all.size()) - 1;
        for (; i >= 0; --i) {
            if (all[static_cast<size_t>(i)] == '9') {
                all[static_cast<size_t>(i)] = '0';
            } else {
                ++all[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0) all.insert(all.begin(), '1');
        out.whole = all.substr(0, all.size() - static_cast<size_t>(decimals));
        out.fraction = all.substr(all.size() - static_cast<size_t>(decimals));
    }
    size_t firstNonZero = out.whole.find_first_not_of('0');
    out.whole = firstNonZero == std::string::npos ? std::string() : out.whole.substr(firstNonZero);
    return out;
}

bool IsPlaceholder(char c) { return c == '0' || c == '#'; }

std::string ApplyMask(const Decimal& d, std::string_view mask)
{
    size_t pointPos = mask.find('.');
    std::string_view wholeMask = mask.substr(0, pointPos);
    std::string_view fractionMask = pointPos == std::string_view::npos ? std::string_view() : mask.substr(pointPos + 1);

    int decimals = 0;
    for (char c : fractionMask) decimals += IsPlaceholder(c) ? 1 : 0;
    FixedDigits fixed = RoundToDecimals(d, decimals, Rounding::HalfAwayFromZero);
    bool isZero = fixed.whole.empty() && fixed.fraction.find_first_not_of('0') == std::string::npos;

    std::string text;
    if (d.negative && !isZero) text += '-';

    // Whole part: digits fill the placeholders from the right.
    int placeholders = 0;
    for (char c : wholeMask) placeholders += IsPlaceholder(c) ? 1 : 0;
    const std::string& digits = fixed.whole;
    int digitCount = static_cast<int>(digits.size());
    int seen = 0;
    bool wroteDigit = false;
    for (char c : wholeMask) {
        if (IsPlaceholder(c)) {
            int index = digitCount - placeholders + seen;
            if (seen == 0 && index > 0) {
                // More digits than placeholders: the leftmost placeholder takes the extra ones.
                text += digits.substr(0, static_cast<size_t>(index) + 1);
                wroteDigit = true;
            } else if (index >= 0) {
                text += digits[static_cast<size_t>(index)];
                wroteDigit = true;
            } else if (c == '0') {
                text += '0';
                wroteDigit = true;
            }
            ++seen;
        } else {
            bool between = seen > 0 && seen < placeholders;
            if (!between || wroteDigit) text += c;
        }
    }
    if (placeholders == 0) text += digits;

    // Fraction part: trailing zeros at "#" places are dropped.
    int keep = decimals;
    for (auto it = fractionMask.rbegin(); it != fractionMask.rend(); ++it) {
        if (!IsPlaceholder(*it)) continue;
        if (*it != '#' || fixed.fraction[static_cast<size_t>(keep - 1)] != '0') break;
        --keep;
    }
    if (keep > 0) text += '.';
    int place = 0;
    for (char c : fractionMask) {
        if (IsPlaceholder(c)) {
            if (place < keep) text += fixed.fraction[static_cast<size_t>(place)];
            ++place;
        } else {
            text += c;
        }
    }
    return text;
}

[[noreturn]] void RaiseNull() { RaiseRuntime(rt::InvalidUseOfNull); }

} // namespace

double Val(std::string_view text)
{
    size_t i = 0;
    const size_t n = text.size();
    auto skipBlanks = [&] {
        while (i < n && IsValBlank(text[i])) ++i;
    };
    NumberText number;
    skipBlanks();
    if (i < n && (text[i] == '+' || text[i] == '-')) number.negative = text[i++] == '-';
    bool anyDigit = false;
    bool point = false;
    for (;;) {
        skipBlanks();
        if (i >= n) break;
        char c = text[i];
        if (IsDigit(c)) {
            anyDigit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
        number.magnitude += c;
        ++i;
    }
    if (!anyDigit) return 0.0;
    // The exponent counts only when it is complete: a letter, an optional sign and digits.
    skipBlanks();
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::string exponent = "e";
        ++i;
        skipBlanks();
        if (i < n && (text[i] == '+' || text[i] == '-')) exponent += text[i++];
        bool expDigit = false;
        for (;;) {
            skipBlanks();
            if (i >= n || !IsDigit(text[i])) break;
            exponent += text[i++];
            expDigit = true;
        }
        if (expDigit) number.magnitude += exponent;
    }
    return ReadMagnitude<double>(number);
}

bool IsNumericText(std::string_view text)
{
    NumberText number;
    return ParseNumericText(text, number);
}

double RoundHalfEven(double v)
{
    if (!std::isfinite(v)) return v;
    double floor = std::floor(v);
    double diff = v - floor; // exact for every double
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

double Round(double v, int decimals)
{
    if (decimals < 0 || decimals > DoubleDigits) RaiseRuntime(rt::InvalidCall);
    if (!std::isfinite(v)) return v;
    Decimal d = DecimalOf(v, DoubleDigits);
    FixedDigits fixed = RoundToDecimals(d, decimals, Rounding::HalfToEven);
    NumberText number;
    number.negative = d.negative;
    number.magnitude = (fixed.whole.empty() ? "0" : fixed.whole) + "." + fixed.fraction + "0";
    // At the top of the range the 15-digit text can lie beyond it (the largest Double shows as
    // 1.79769313486232E+308); a value that large is whole already and comes back as it is.
    const std::string& text = number.magnitude;
    double probe = 0.0;
    const auto read = std::from_chars(text.data(), text.data() + text.size(), probe, std::chars_format::general);
    if (read.ec == std::errc::result_out_of_range && IsTooLarge(text)) return v;
    double result = ReadMagnitude<double>(number);
    return result == 0.0 ? 0.0 : result;
}

int16_t CInt(double v)
{
    double r = RoundHalfEven(v);
    if (!(r >= std::numeric_limits<int16_t>::min() && r <= std::numeric_limits<int16_t>::max())) {
        RaiseRuntime(rt::Overflow);
    }
    return static_cast<int16_t>(r);
}

int32_t CLng(double v)
{
    double r = RoundHalfEven(v);
    if (!(r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max())) {
        RaiseRuntime(rt::Overflow);
    }
    return static_cast<int32_t>(r);
}

int16_t CInt(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Integer: return v.AsInteger();
    case VarType::Long: {
        int32_t l = v.AsLong();
        if (l < std::numeric_limits<int16_t>::min() || l > std::numeric_limits<int16_t>::max()) {
            RaiseRuntime(rt::Overflow);
        }
        return static_cast<int16_t>(l);
    }
    default: return CInt(CDbl(v));
    }
}

int32_t CLng(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Integer: return v.AsInteger();
    case VarType::Long: return v.AsLong();
    default: return CLng(CDbl(v));
    }
}

double CDbl(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Empty: return 0.0;
    case VarType::Null: RaiseNull();
    case VarType::Boolean: return v.AsBool() ? -1.0 : 0.0;
    case VarType::Integer: return v.AsInteger();
    case VarType::Long: return v.AsLong();
    case VarType::Single: return v.AsSingle();
    case VarType::Double: return v.AsDouble();
    case VarType::String: {
        NumberText number;
        if (!ParseNumericText(v.AsString(), number)) RaiseRuntime(rt::TypeMismatch);
        return ReadMagnitude<double>(number);
    }
    case VarType::Object:
    case VarType::Array: break;
    }
    RaiseRuntime(rt::TypeMismatch);
}

float CSng(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Single: return v.AsSingle();
    case VarType::String: {
        NumberText number;
        if (!ParseNumericText(v.AsString(), number)) RaiseRuntime(rt::TypeMismatch);
        return ReadMagnitude<float>(number);
    }
    default: {
        // A number becomes the nearest Single, as a text does: a Double a little above the
        // largest Single (its shortest text, 3.4028235E+38, read as a Double) is that Single.
        // Only a number that rounds beyond it overflows: from half a unit in the last place
        // above it, 2^128 - 2^103, where the nearest Single would be infinite.
        constexpr double kFirstBeyondSingle = 0x1.ffffffp+127;
        double d = CDbl(v);
        if (std::isfinite(d) && std::fabs(d) >= kFirstBeyondSingle) RaiseRuntime(rt::Overflow);
        return static_cast<float>(d);
    }
    }
}

bool CBool(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Boolean: return v.AsBool();
    case VarType::String: {
        std::string_view s = v.AsString();
        while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
        while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
        std::string lower;
        for (char c : s) lower += Lower(c);
        if (lower == "true") return true;
        if (lower == "false") return false;
        return CDbl(v) != 0.0;
    }
    default: return CDbl(v) != 0.0;
    }
}

std::string CStr(float v)
{
    if (!std::isfinite(v)) return NonFiniteText(v);
    return LanguageText(DecimalOf(v, SingleDigits), SingleDigits);
}

std::string CStr(double v)
{
    if (!std::isfinite(v)) return NonFiniteText(v);
    return LanguageText(DecimalOf(v, DoubleDigits), DoubleDigits);
}

std::string CStr(int32_t v) { return std::to_string(v); }

std::string CStr(bool v) { return v ? "True" : "False"; }

std::string CStr(const char* v) { return v ? std::string(v) : std::string(); }

std::string CStr(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Empty: return {};
    case VarType::Null: RaiseNull();
    case VarType::Boolean: return CStr(v.AsBool());
    case VarType::Integer: return CStr(static_cast<int32_t>(v.AsInteger()));
    case VarType::Long: return CStr(v.AsLong());
    case VarType::Single: return CStr(v.AsSingle());
    case VarType::Double: return CStr(v.AsDouble());
    case VarType::String: return v.AsString();
    case VarType::Object:
    case VarType::Array: break;
    }
    RaiseRuntime(rt::TypeMismatch);
}

std::string Format(const Variant& v, std::string_view mask)
{
    if (v.IsEmpty() || v.IsNull()) return {};
    if (mask.empty()) return CStr(v);
    Decimal d;
    switch (v.Type()) {
    case VarType::Boolean: d = DecimalOfWhole(v.AsBool() ? -1 : 0); break;
    case VarType::Integer: d = DecimalOfWhole(v.AsInteger()); break;
    case VarType::Long: d = DecimalOfWhole(v.AsLong()); break;
    case VarType::Single: {
        float f = v.AsSingle();
        if (!std::isfinite(f)) return CStr(f);
        d = DecimalOf(f, SingleDigits);
        break;
    }
    case VarType::Double: {
        double x = v.AsDouble();
        if (!std::isfinite(x)) return CStr(x);
        d = DecimalOf(x, DoubleDigits);
        break;
    }
    case VarType::String: {
        NumberText number;
        if (!ParseNumericText(v.AsString(), number)) return v.AsString();
        double x = 0.0;
        try {
            x = ReadMagnitude<double>(number);
        } catch (const ComError&) {
            return v.AsString(); // beyond the Double range: no number that a mask can show
        }
        d = DecimalOf(x, DoubleDigits);
        break;
    }
    default: RaiseRuntime(rt::TypeMismatch);
    }
    return ApplyMask(d, mask);
}

int32_t Mod(int32_t a, int32_t b)
{
    if (b == 0) RaiseRuntime(rt::DivisionByZero);
    if (b == -1) return 0; // INT32_MIN % -1 would overflow; the remainder is 0 anyway.
    return a % b;
}

} // namespace plat
