#include "instrument/ReplyCollector.h"

#include "instrument/LinkProtocol.h"
#include "platform/serial/SerialPort.h"

namespace vti {

// The port drops what arrives beyond its bound while nobody reads; such a delivery must still
// overflow the collection, or noise that arrived in one burst would pass for a reply still
// under way and wait out the whole reply time.
static_assert(plat::SerialPort::MaxReceived > ReplyCollector::MaxText);

ReplyCollector::ReplyCollector(Completion completion, int minChunks) : mCompletion(completion), mMinChunks(minChunks) {}

void ReplyCollector::Add(std::string_view piece)
{
    if (piece.empty() || mOverflowed) return;
    if (mText.size() + piece.size() > MaxText) {
        Overflow();
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

void ReplyCollector::Overflow()
{
    mOverflowed = true;
    mText.clear();
    mLastPiece.clear();
}

bool ReplyCollector::IsComplete() const
{
    if (mOverflowed || mChunks < mMinChunks) return false;
    return mCompletion == Completion::PieceEndsLf ? LinkProtocol::EndsWithLf(mLastPiece)
                                                  : LinkProtocol::EndsWithCrLf(mText);
}

} // namespace vti
