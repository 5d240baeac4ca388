#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace zsim {

// A fault injected into the analyzer's answers. A fault applies to the next matching command
// (or the next few, or every one until the faults are cleared):
//   Silence   the analyzer does not hear the command: no reply, no effect;
//   Reply     the analyzer answers the given line instead ("ERR=07", "OVERRANGE"), without
//             carrying the command out;
//   NoSync    the command is carried out and the last field of its data reply reads "NOSYNC";
//   Pieces    the reply arrives in n pieces, gap apart;
//   Partial   only the first characters of the reply arrive, without a line end;
//   Garbage   line noise arrives instead of the reply (with or without a line end);
//   Delay     the reply comes after the given time instead of the usual reply delay;
//   PortFailure the line fails while the command is in flight: no reply, and the device raises
//             its I/O error into the turn of the event loop that delivered the command.
class Fault {
public:
    using Millis = std::chrono::milliseconds;
    enum class Kind { Silence, Reply, NoSync, Pieces, Partial, Garbage, Delay, PortFailure };

    static Fault Silence();
    static Fault Reply(std::string line);
    static Fault Error(int code);   // Reply("ERR=nn")
    static Fault OverRange();       // Reply("OVERRANGE")
    static Fault NoSync();
    static Fault Pieces(int count, Millis gap);
    static Fault Partial(size_t keep = std::string::npos);
    static Fault Garbage(bool withLineEnd = true);
    static Fault Delay(Millis delay);
    static Fault PortFailure();

    // Only commands that begin with the text ("QDATA", "PACE"); by default every command.
    Fault& For(std::string commandPrefix);
    // The next n matching commands; by default one.
    Fault& Times(int count);
    // Every matching command until the faults are cleared.
    Fault& Always();

    bool Matches(std::string_view command) const;

    Kind GetKind() const { return mKind; }
    const std::string& Line() const { return mLine; }
    int Count() const { return mCount; }
    Millis Gap() const { return mGap; }
    size_t Keep() const { return mKeep; }
    bool WithLineEnd() const { return mWithLineEnd; }
    Millis DelayTime() const { return mDelay; }
    // Times left; 0 means always.
    int Remaining() const { return mRemaining; }
    // Counts one use; true when the fault is used up.
    bool Use();

private:
    explicit Fault(Kind kind) : mKind(kind) {}

    Kind mKind;
    std::string mPrefix;
    std::string mLine;
    int mCount = 1;
    Millis mGap{0};
    size_t mKeep = std::string::npos;
    bool mWithLineEnd = true;
    Millis mDelay{0};
    int mRemaining = 1;
};

} // namespace zsim
