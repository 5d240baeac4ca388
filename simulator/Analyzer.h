#pragma once

#include "platform/loop/EventLoop.h"
#include "platform/serial/LineSettings.h"
#include "simulator/AnalyzerModel.h"
#include "simulator/CommandFramer.h"
#include "simulator/FaultPlan.h"
#include "simulator/ReplySchedule.h"

#include <chrono>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zsim {

class AnalyzerLine;

// The simulated analyzer on the event loop: it frames the bytes it receives into commands, has
// the model answer them, shapes the answers by the injected faults and sends them out on
// timers, so that under the virtual clock every reply time is exact. The transport (an
// in-process line or a pseudo-terminal) feeds Receive and carries Transmit.
//
// The analyzer talks at its own speed with 8 data bits and no parity. Bytes from a port set to
// other settings reach it as noise, and its replies reach such a port as noise; a speed change
// ("BAUD=") takes effect once its reply is out.
class Analyzer {
public:
    using Millis = std::chrono::milliseconds;

    struct Heard {
        plat::TimePoint at;
        std::string command;
        // Not answered: the command was silenced by a fault.
        bool ignored = false;
    };
    struct Sent {
        plat::TimePoint at;
        std::string bytes;
    };

    static constexpr Millis DefaultReplyDelay{10};
    // Entries each log keeps at most; a long-running simulator forgets the oldest half beyond.
    static constexpr size_t MaxLogEntries = 100000;

    // Runs on the loop of the process as it is at construction.
    Analyzer();
    ~Analyzer();
    Analyzer(const Analyzer&) = delete;
    Analyzer& operator=(const Analyzer&) = delete;

    AnalyzerModel& Model() { return mModel; }
    FaultPlan& Faults() { return mFaults; }

    // Time from the arrival of a command's line end to its reply.
    void SetReplyDelay(Millis delay) { mReplyDelay = delay; }
    Millis ReplyDelay() const { return mReplyDelay; }

    int Baud() const { return mModel.Baud(); }
    void SetBaud(int baud) { mModel.SetBaud(baud); }

    // The transport.
    void Connect(AnalyzerLine* line);
    void Receive(std::string_view bytes, const std::optional<plat::LineSettings>& senderSettings);

    // The physical world; each also sets the model's clock.
    void Discharge(const Pulse& pulse);
    void Charge(double seconds);
    void AttachPacemaker(const Pacemaker& pacemaker = {});
    void DetachPacemaker();

    // What the analyzer heard and sent, with times.
    const std::vector<Heard>& HeardLog() const { return mHeard; }
    const std::vector<Sent>& SentLog() const { return mSent; }
    // The commands heard, in order (ignored ones included).
    std::vector<std::string> Commands() const;
    void ClearLogs();

    // No reply is waiting to go out.
    bool Idle() const;

private:
    bool Matches(const std::optional<plat::LineSettings>& settings) const;
    void Answer(const CommandFramer::Line& line);
    void Schedule(const std::vector<ReplyPiece>& pieces, std::optional<int> switchBaud, bool refractory);
    // A refractory measurement is under way: its answer has not gone out yet.
    bool RefractoryRunning() const;
    struct Pending;
    // Sends the pending piece, and first every piece scheduled before it that has not gone out.
    void FireThrough(Pending* last);
    void Fire(const std::string& bytes, std::optional<int> switchBaud);
    void SyncClock();

    std::shared_ptr<plat::EventLoop> mLoop;
    plat::TimePoint mStart;
    AnalyzerModel mModel;
    CommandFramer mFramer;
    FaultPlan mFaults;
    Millis mReplyDelay = DefaultReplyDelay;
    AnalyzerLine* mLine = nullptr;
    struct Pending {
        plat::Timer timer;
        plat::TimePoint due;
        std::string bytes;
        std::optional<int> switchBaud;
        bool done = false;
        // A piece of the reply of a refractory measurement.
        bool refractory = false;
    };
    std::list<Pending> mPending;
    // Replies go out in order: a reply never starts before the one before it has ended.
    plat::TimePoint mBusyUntil;
    std::vector<Heard> mHeard;
    std::vector<Sent> mSent;
};

} // namespace zsim
