#include "instrument/ReplyCollector.h"

#include "instrument/LinkProtocol.h"

namespace vti {

ReplyCollector::ReplyCollector(Completion completion, int minChunks) : mCompletion(completion), mMinChunks(minChunks) {}

void ReplyCollector::Add(std::string_view piece)
{
    if (piece.empty() || mOverflowed) return;
    if (mText.size() + piece.size() > MaxText) {
        mOverflowed = true;
        mText.clear();
        mLastPiece.clear();
        return;
    }
    ++mChunks;
    mLastPiece.assign(piece);
    mText.append(piece);
}

void ReplyCollector::Clear()
{
    mText.clear();
    mLastPiece.clear();
    mChunks = 0;
    mOverflowed = false;
}

bool ReplyCollector::IsComplete() const
{
    if (mOverflowed || mChunks < mMinChunks) return false;
    return mCompletion == Completion::PieceEndsLf ? LinkProtocol::EndsWithLf(mLastPiece)
                                                  : LinkProtocol::EndsWithCrLf(mText);
}

} // namespace vti
