#pragma once

#include <string_view>

namespace ztest {

// Readings of an analyzer reply as the link returns it: with its line end. Every test of
// emptiness or length, and every number read from a reply, works on the text without it, so
// that a line end alone is an empty reply and "X" CR LF a one-character one.
struct AnalyzerReply {
    // The reply without the CR and LF characters that end it.
    static std::string_view Text(std::string_view reply);
    // The reply begins with the token (compared by its leading characters, never by equality).
    static bool Begins(std::string_view reply, std::string_view token);
    // The code of an "ERR" reply: the leading number of characters 5 and 6 ("ERR=06" gives 6;
    // a minus sign and a digit read negative; no number reads 0).
    static double ErrorCode(std::string_view reply);
    // An "ERR" reply whose code is 0 or more: the analyzer refused the command.
    static bool IsError(std::string_view reply);
};

} // namespace ztest
