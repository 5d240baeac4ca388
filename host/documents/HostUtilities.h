#pragma once

#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace host {

// The host's utilities: the stored text of numbers and the display text of values.
class HostUtilities : public plat::IUnknown {
public:
    // The text under which a number is stored: "." as decimal point whatever the locale, the
    // language's text of the number (CStr) when it reads back to the same number, else the
    // shortest text that does ("0.30000000000000004"). Whole numbers are written in decimal.
    // A Variant is taken as its number: numeric texts are converted, Empty is 0, a Boolean
    // is -1 or 0, other texts raise Type mismatch (13); infinite and NaN values raise
    // Overflow (6), since no stored text could read them back.
    static std::string NumberToText(const plat::Variant& number);
    static std::string NumberToText(double number);
    static std::string NumberToText(float number);
    static std::string NumberToText(int32_t number);
    // A Boolean is no number to store; this overload keeps true from being stored as 1.
    static std::string NumberToText(bool) = delete;

    // The value as shown to the user, through the mask ("# ##0.0"); see plat::Format.
    static std::string FormatValue(const plat::Variant& value, std::string_view mask);

    // A folder in the form that file names are appended to: normalised, with one trailing
    // separator ("/opt/zarvik/lib/"); an empty folder is the current one ("./").
    static std::string NormalizeFolder(std::string_view folder);
};

} // namespace host
