#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zsim {

// Splits the bytes that reach the analyzer into command lines. A line ends at CR or at LF; the
// other character of a CR LF or LF CR pair right after it is part of the same line end, so
// "LOC" CR, "LOC" LF, "LOC" LF CR and "LOC" CR LF are all one command "LOC". A byte that is
// not printable ASCII (line noise, a speed mismatch) throws away what was collected so far, as
// a framing error clears the analyzer's command buffer; a line end that follows such noise
// directly ends nothing.
class CommandFramer {
public:
    static constexpr size_t MaxLine = 128;

    struct Line {
        std::string text;
        // Longer than MaxLine: the text holds its first MaxLine characters.
        bool overlong = false;
    };

    std::vector<Line> Feed(std::string_view bytes);
    void Reset();

private:
    std::string mCurrent;
    bool mOverlong = false;
    bool mNoise = false;
    // The line end character that may follow as the second half of a pair, or 0.
    char mPairEnd = 0;
};

} // namespace zsim
