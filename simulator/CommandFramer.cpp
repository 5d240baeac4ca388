#include "simulator/CommandFramer.h"

namespace zsim {

std::vector<CommandFramer::Line> CommandFramer::Feed(std::string_view bytes)
{
    std::vector<Line> lines;
    for (char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (c == mPairEnd) {
                mPairEnd = 0;
                continue;
            }
            mPairEnd = c == '\r' ? '\n' : '\r';
            if (mNoise) {
                mNoise = false;
                continue;
            }
            lines.push_back({mCurrent, mOverlong});
            mCurrent.clear();
            mOverlong = false;
            continue;
        }
        mPairEnd = 0;
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E) {
            mCurrent.clear();
            mOverlong = false;
            mNoise = true;
            continue;
        }
        mNoise = false;
        if (mCurrent.size() < MaxLine) {
            mCurrent.push_back(c);
        } else {
            mOverlong = true;
        }
    }
    return lines;
}

void CommandFramer::Reset()
{
    mCurrent.clear();
    mOverlong = false;
    mNoise = false;
    mPairEnd = 0;
}

} // namespace zsim
