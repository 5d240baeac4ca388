#include "testlib/elements/SeriesReadings.h"

#include "platform/base/Conversions.h"
#include "testlib/elements/AnalyzerReply.h"
#include "testlib/results/ReplyFieldReader.h"

#include <cctype>
#include <exception>

namespace ztest {

namespace {

constexpr std::size_t kChargeTimeField = 3;

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Blanks, then an optional sign, then a digit or a decimal point with a digit after it; and a
// number within the range of a Double.
bool BeginsWithNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i < text.size() && text[i] == '.') ++i;
    if (i >= text.size() || !IsDigit(text[i])) return false;
    try {
        (void)plat::Val(text);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

std::optional<std::string> Reading(std::string_view field)
{
    if (!BeginsWithNumber(field)) return std::nullopt;
    // The series record reads the kept text back: a number whose 15-digit text lies beyond the
    // range (the largest Doubles round up) would be counted and shown blank, so it is no reading.
    try {
        (void)ReplyFieldReader::LeadingNumber(ReadingText(field));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return std::string(field);
}

} // namespace

std::optional<std::string> EnergyField(std::string_view reply)
{
    const std::string_view line = AnalyzerReply::Text(reply);
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    return Reading(line.substr(0, comma));
}

std::optional<std::string> ChargeTimeField(std::string_view reply)
{
    const std::string_view line = AnalyzerReply::Text(reply);
    std::size_t start = 0;
    std::size_t commas = 0;
    std::string_view field = line;
    for (std::size_t comma = line.find(','); comma != std::string_view::npos; comma = line.find(',', comma + 1)) {
        ++commas;
        if (commas > kChargeTimeField) {
            // Four or more commas: the fourth field ends at the fourth comma.
            field = line.substr(start, comma - start);
            break;
        }
        start = comma + 1;
        field = line.substr(start);
    }
    return Reading(field);
}

std::string ReadingText(std::string_view field)
{
    return plat::CStr(plat::Val(field));
}

} // namespace ztest
