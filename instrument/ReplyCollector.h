#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vti {

// Joins the pieces of an answer as the serial port hands them over and tells when the answer
// is complete. Two rules are in use: a command's reply is complete when the piece just read
// ends with LF; the link check, the release and the detection probes wait for the whole text
// to end with CR LF. Either way at least MinChunks reads must have delivered data.
//
// The collection is bounded: a line that keeps talking without a line end would otherwise grow
// without limit. Beyond MaxText characters the collector counts as overflowed, keeps no text
// and takes nothing more; its owner treats that as a reply that never completed. The serial
// port keeps more than MaxText, so this holds however the line hands the bytes over.
class ReplyCollector {
public:
    enum class Completion { PieceEndsLf, TextEndsCrLf };

    static constexpr size_t MaxText = 64 * 1024;

    explicit ReplyCollector(Completion completion, int minChunks = 1);

    // One read; an empty piece delivered no data and is not counted.
    void Add(std::string_view piece);
    void Clear();
    // Counts the collection as overflowed: the line it would continue has already run beyond
    // MaxText.
    void Overflow();

    bool IsComplete() const;
    bool Overflowed() const { return mOverflowed; }
    const std::string& Text() const { return mText; }
    const std::string& LastPiece() const { return mLastPiece; }
    int Chunks() const { return mChunks; }

private:
    Completion mCompletion;
    int mMinChunks;
    std::string mText;
    std::string mLastPiece;
    int mChunks = 0;
    bool mOverflowed = false;
};

} // namespace vti
