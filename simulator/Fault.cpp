#include "simulator/Fault.h"

#include "simulator/AnalyzerModel.h"

#include <algorithm>
#include <cctype>

namespace zsim {

Fault Fault::Silence()
{
    return Fault(Kind::Silence);
}

Fault Fault::Reply(std::string line)
{
    Fault fault(Kind::Reply);
    fault.mLine = std::move(line);
    return fault;
}

Fault Fault::Error(int code)
{
    return Reply(AnalyzerModel::ErrorLine(code));
}

Fault Fault::OverRange()
{
    return Reply("OVERRANGE");
}

Fault Fault::NoSync()
{
    return Fault(Kind::NoSync);
}

Fault Fault::Pieces(int count, Millis gap)
{
    Fault fault(Kind::Pieces);
    fault.mCount = std::max(1, count);
    fault.mGap = std::max(Millis(0), gap);
    return fault;
}

Fault Fault::Partial(size_t keep)
{
    Fault fault(Kind::Partial);
    fault.mKeep = keep;
    return fault;
}

Fault Fault::Garbage(bool withLineEnd)
{
    Fault fault(Kind::Garbage);
    fault.mWithLineEnd = withLineEnd;
    return fault;
}

Fault Fault::Delay(Millis delay)
{
    Fault fault(Kind::Delay);
    fault.mDelay = std::max(Millis(0), delay);
    return fault;
}

Fault Fault::PortFailure()
{
    return Fault(Kind::PortFailure);
}

Fault& Fault::For(std::string commandPrefix)
{
    mPrefix = std::move(commandPrefix);
    return *this;
}

Fault& Fault::Times(int count)
{
    mRemaining = std::max(1, count);
    return *this;
}

Fault& Fault::Always()
{
    mRemaining = 0;
    return *this;
}

bool Fault::Matches(std::string_view command) const
{
    if (mPrefix.size() > command.size()) return false;
    return std::equal(mPrefix.begin(), mPrefix.end(), command.begin(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    });
}

bool Fault::Use()
{
    if (mRemaining == 0) return false;
    return --mRemaining == 0;
}

} // namespace zsim
