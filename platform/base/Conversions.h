#pragma once

#include "platform/base/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>

// The language's conversions, exactly as the system relies on them. None of them looks at the
// locale: "." is always the decimal point.
namespace plat {

// The leading-number rule: blanks, tabs and line feeds are skipped, "." is the decimal point,
// reading stops at the first character that cannot continue the number (an exponent is read
// only when complete), a text that does not begin with a number gives 0.
double Val(std::string_view text);

// Whole-number conversions: round half to even; a result outside the type raises Overflow (6);
// a text that is no number raises Type mismatch (13); Empty is 0; Null raises Invalid use of Null.
int16_t CInt(const Variant& v);
int32_t CLng(const Variant& v);
int16_t CInt(double v);
int32_t CLng(double v);

// Strict conversions to floats: Empty is 0, Boolean True is -1, a numeric text is read in full
// (blanks around it allowed), any other text raises Type mismatch; a Double outside the Single
// range raises Overflow.
float CSng(const Variant& v);
double CDbl(const Variant& v);

// Booleans: numbers are True when not 0; the texts "True" and "False" (any case) and numeric
// texts convert; other texts raise Type mismatch.
bool CBool(const Variant& v);

// The text of a value: Empty "", Boolean "True"/"False", a Single in at most 7 significant
// digits and a Double in at most 15, shortest form, no trailing zeros ("0.1", "1E+20",
// "-2.5E-07"); Null raises Invalid use of Null; objects and arrays raise Type mismatch.
std::string CStr(const Variant& v);
std::string CStr(float v);
std::string CStr(double v);

// Format(value, mask) with masks made of "0" (mandatory digit), "#" (optional digit), "."
// (decimal point) and literal characters ("# ##0.0", "#0", "0.00"). Numbers, and texts that
// are numbers, are rounded half away from zero to the mask's decimals; an empty mask gives
// CStr; a value that is no number is passed through as its text.
std::string Format(const Variant& v, std::string_view mask);

// Remainder with the sign of the dividend (the language's Mod on whole numbers);
// a divisor of 0 raises Division by zero.
int32_t Mod(int32_t a, int32_t b);

// Rounds half to even without range checks, for callers that check the range themselves.
double RoundHalfEven(double v);

// True when the text is a number in full (blanks around allowed), as the language's IsNumeric.
bool IsNumericText(std::string_view text);

} // namespace plat
