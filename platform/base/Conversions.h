#pragma once

#include "platform/base/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>

// The language's conversions, exactly as the system relies on them. None of them looks at the
// locale: "." is always the decimal point, whatever LC_NUMERIC or the global C++ locale says.
namespace plat {

// The leading-number rule: blanks, tabs and line feeds are skipped wherever they stand (as the
// language strips them, so "1 234" reads 1234), "." is the decimal point, one sign may lead,
// reading stops at the first character that cannot continue the number, an exponent ("E" or
// "e", optional sign, digits) is read only when complete ("1e" reads 1), and a text that does
// not begin with a decimal number gives 0 ("&H10" too: only decimal numbers are read).
// A number beyond the Double range raises Overflow (6); one too small for it reads 0.
double Val(std::string_view text);

// Whole-number conversions: round half to even; a result outside the type raises Overflow (6),
// and so do NaN and the infinities; a text that is no number raises Type mismatch (13); Empty
// is 0; Boolean True is -1; Null raises Invalid use of Null (94); objects and arrays raise
// Type mismatch.
int16_t CInt(const Variant& v);
int32_t CLng(const Variant& v);
int16_t CInt(double v);
int32_t CLng(double v);

// Strict conversions to floats: Empty is 0, Boolean True is -1, a numeric text is read in full
// (blanks, tabs and line ends around it allowed, see IsNumericText), any other text raises Type
// mismatch; a value or text outside the Single (Double) range raises Overflow. A number or a
// text becomes the nearest Single, so a Double that rounds to the largest Single is that Single
// and only one that rounds beyond it overflows. A text is read straight into a Single, so
// CSng(CStr(x)) gives x back for every Single x that CStr shows in full.
float CSng(const Variant& v);
double CDbl(const Variant& v);

// Booleans: numbers are True when not 0; the texts "True" and "False" (any case, blanks around
// allowed) and numeric texts convert; other texts raise Type mismatch.
bool CBool(const Variant& v);

// The text of a value: Empty "", Boolean "True"/"False", whole numbers in decimal, a Single in
// at most 7 significant digits and a Double in at most 15: the shortest text that reads back to
// the same value when that many digits suffice, else the value rounded to 7 (15) digits; no
// trailing zeros. Exponent form is used, as the language does, when the decimal exponent of the
// first digit is below -4 or at least the digit count (7 for a Single, 15 for a Double):
// "0.0001", "1E-05", "1234567", "1.234568E+07" (Single), "1E+15" (Double), "-2.5E-07"; the
// exponent has a sign and at least two digits. Negative zero is "0". NaN is "NaN", the
// infinities "Inf" and "-Inf" (the language has no text of its own for them).
// Null raises Invalid use of Null; objects and arrays raise Type mismatch.
std::string CStr(const Variant& v);
std::string CStr(float v);
std::string CStr(double v);
std::string CStr(int32_t v);
// Given so that CStr(true) is "True" and CStr("x") is "x" instead of converting to a number.
std::string CStr(bool v);
std::string CStr(const char* v);

// Format(value, mask) with masks made of "0" (a mandatory digit), "#" (an optional digit), the
// first "." (the decimal point) and literal characters ("# ##0.0", "# ##0.000", "#0", "0.00",
// "##.0"). Any other character, including ",", ";" and "%", is a literal.
// - Numbers (Boolean True is -1), and texts that are numbers, are rounded half away from zero to
//   the mask's decimals, working on the value's decimal text (the digits that CStr shows), so
//   the Double 2.675 gives "2.68" with "0.00".
// - Whole-number digits fill the placeholders from the right; digits beyond the placeholders
//   go where the leftmost one stands; a "0" with no digit writes 0, a "#" nothing (0.5 with
//   "##.0" gives ".5"); a mask without whole-number placeholders writes the whole digits
//   after its literals, before the point ("$.00" gives "$1.50").
// - A literal between two whole-number placeholders is written only when a digit stands on
//   its left ("1 234.5" but "5.0", not " 5.0"); other literals are always written.
// - Trailing zeros at "#" decimal places are dropped, and the point with them when no decimal
//   digit is left ("0.##" gives "5" for 5).
// - A minus sign leads the whole text, except when the rounded value is zero ("0.0", never
//   "-0.0").
// An empty mask gives CStr; Empty and Null give ""; a text that is no number is passed through;
// NaN and the infinities give their CStr text; objects and arrays raise Type mismatch.
std::string Format(const Variant& v, std::string_view mask);

// Remainder with the sign of the dividend (the language's Mod on whole numbers);
// a divisor of 0 raises Division by zero.
int32_t Mod(int32_t a, int32_t b);

// Rounds half to even without range checks, for callers that check the range themselves.
// NaN and the infinities come back unchanged.
double RoundHalfEven(double v);

// The language's Round(v, decimals): half to even at the given number of decimal places
// (0 to 15), worked on the value's decimal text in 15 digits so that 8.4000001 kept to four
// places is 8.4 and 0.125 to two places is 0.12. Every finite value rounds (one whose 15-digit
// text lies beyond the range comes back as it is); other decimals raise Invalid procedure call.
double Round(double v, int decimals);

// True when the text is a number in full, as the language's IsNumeric sees texts: blanks,
// tabs, CR and LF around it, one optional sign, decimal digits with at most one "." (at least
// one digit), an optional complete exponent ("E" or "e", optional sign, digits). No thousands
// separators, no "&H": the locale never changes what is a number.
bool IsNumericText(std::string_view text);

} // namespace plat
