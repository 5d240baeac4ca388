#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace vti {

// Which whole line of the serial line answers which write. The protocol has no sequence
// numbers: the analyzer answers every write with one line, in the order of the writes, and a
// line ends with LF. The ledger is told of every write, every text received, every discard of
// the port's buffer and every end of a reply time; from that alone it decides which line is the
// reply of the exchange in hand and which lines, or rests of lines, are owed to earlier writes
// and dropped. It does no I/O and keeps no timers: times come in with the events.
//
// What it keeps:
//   owed answers  one per write not yet answered, oldest first, each with the exchange it
//                 belongs to. An ordinary answer can begin until the reply time after its
//                 write; after that it counts as never coming (Expire). The answer of a
//                 refractory measurement whose ask ended before it began has no such time: it
//                 stays owed until it comes or the channel is opened anew.
//   the open line a line whose first byte came and whose LF has not: either the candidate
//                 reply of the exchange in hand (its text kept, up to MaxLine characters) or a
//                 dropped line whose rest, up to its LF, is dropped too. A measurement's
//                 fragment is waited for, a reply time after its ask ended, before the ask is
//                 written again.
//   the exchange  the command in hand, whether it is collecting a reply (from each write to
//                 the end of that write's reply time), and its reply once a whole line gave it.
//   a kept answer the whole answer of a running measurement that came after its ask ended:
//                 the reply of the next refractory ask, which then writes nothing.
//
// Rules:
//   - A line is taken by the oldest owed answer when its first byte comes; when nothing is
//     owed, text is noise and opens no line. A control character (NUL, XON/XOFF, a lone CR,
//     the CR of LF CR line ends) never begins a line.
//   - A line is the reply only if the answer it came for belongs to the exchange in hand and
//     the exchange is collecting (a measurement's answer: at any time). Any other line is
//     dropped whole, also its part that comes after a later write.
//   - At a write, an open line is dropped: the rest of a line begun before the write is never
//     the start of the write's answer.
//   - A link check's answer is a line beginning "OK" or "ERR" and ending CR LF; another line
//     during a check (a banner) is noise and leaves the check's answer owed.
//   - A refractory ask heard while its measurement runs gets no answer of its own (the
//     analyzer's one answer ends the measurement): it owes nothing more.
class LineLedger {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    enum class Kind { Command, Refractory, LinkCheck };

    static constexpr std::chrono::milliseconds DefaultReplyTime{3000};
    static constexpr size_t DefaultMaxLine = 64 * 1024;

    explicit LineLedger(std::chrono::milliseconds replyTime = DefaultReplyTime, size_t maxLine = DefaultMaxLine);

    // A new channel: the port was opened and flushed; nothing earlier is owed or open.
    void Reset();
    // An exchange begins: the command in hand from now on. Its reply may already be here (the
    // kept answer of a running measurement, for a refractory ask).
    void Begin(Kind kind);
    // A write of the exchange in hand (its first or a resend; a link check run again).
    void Wrote(TimePoint at);
    // Text from the line, in the order it came.
    void Received(std::string_view text);
    // The port's buffer was discarded; `unseen` characters in it were never received here.
    void Discarded(size_t unseen);
    // The reply time of the last write ended at `at`, or an abort ended the wait, without a
    // reply.
    void ReplyTimeEnded(TimePoint at);
    // Owed answers whose time has passed by `now` will not come any more.
    void Expire(TimePoint now);

    // The reply of the exchange in hand: one whole line, its line end included.
    bool HasReply() const { return mHasReply; }
    const std::string& Reply() const { return mReply; }
    // A line ran beyond MaxLine characters without a line end since the last write.
    bool Overflowed() const { return mOverflowed; }
    // Whole lines ending CR LF that came since the last write of a link check and were no
    // answer to it.
    int NoiseLines() const { return mNoiseLines; }
    // The time until which an answer owed to an earlier write may still begin (or an open
    // dropped line still end); none when nothing that can be waited for is owed.
    std::optional<TimePoint> OwedUntil() const;
    // Answers owed, the measurement's among them.
    int Owed() const { return static_cast<int>(mOwed.size()); }
    bool LineOpen() const { return mLine.open; }
    // A refractory measurement's answer is still to come (not begun, or begun and not ended).
    bool MeasurementRunning() const;
    // A measurement's whole answer waits for the next refractory ask.
    bool HasKeptAnswer() const { return mKept.has_value(); }

private:
    struct Debt {
        uint64_t exchange;
        bool measurement; // no time limit
        TimePoint until;  // for the others: the answer begins before this, or never
    };
    struct Line {
        bool open = false;
        bool candidate = false;   // the text is kept: it may be the reply
        bool check = false;       // taken for a link check's answer, not yet judged
        bool measurement = false; // a measurement's answer
        uint64_t exchange = 0;
        std::optional<TimePoint> until; // its rest is waited for until then
        size_t run = 0;                 // characters since it began or since the last write
        std::string text;
    };

    enum class Phase { Before, Collecting, Ended };

    void OpenLine();
    void CloseLine();
    void DropLine();

    std::chrono::milliseconds mReplyTime;
    size_t mMaxLine;
    std::deque<Debt> mOwed;
    Line mLine;
    uint64_t mExchange = 0;
    Kind mKind = Kind::Command;
    Phase mPhase = Phase::Ended;
    bool mHasReply = false;
    std::string mReply;
    bool mOverflowed = false;
    int mNoiseLines = 0;
    std::optional<std::string> mKept;
};

} // namespace vti
