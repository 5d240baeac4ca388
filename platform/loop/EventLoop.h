#pragma once

#include "platform/base/ComError.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace plat {

using Millis = std::chrono::milliseconds;
using TimePoint = std::chrono::steady_clock::time_point;

// Where the loop reads the time. The system clock is the real steady clock; the virtual clock
// only moves when the loop jumps it to the next deadline (or a test advances it). A virtual
// clock starts at a fixed point one day after the steady clock's epoch, so that code which
// keeps "never" as a zero time point still sees a long gap.
class Clock {
public:
    virtual ~Clock() = default;
    virtual TimePoint Now() const = 0;
    virtual bool IsVirtual() const = 0;
    // Virtual clocks only: move the time forward (a time in the past is ignored). The system
    // clock refuses it with an invalid-call error.
    virtual void AdvanceTo(TimePoint t) = 0;
};

std::shared_ptr<Clock> MakeSystemClock();
std::shared_ptr<Clock> MakeVirtualClock();

// Raised by a turn of a loop on the virtual clock that has nothing scheduled at all: nothing
// could ever change, so a wait would hang forever. Number DeadlockError::Code, source
// "EventLoop", the description says what the loop was left with.
class DeadlockError : public ComError {
public:
    static constexpr int32_t Code = Hr(0x8000FFFFu);
    explicit DeadlockError(const std::string& what);
    // Skipping it would leave a wait that can never end: a test would hang instead of failing.
    bool Ignorable() const noexcept override { return false; }
};

class EventLoop;

// RAII handle of a timer. Destroying or stopping it guarantees the callback never runs again,
// even when it is stopped by another handler of the same turn in which it fell due.
// A periodic timer never re-enters its own callback: a tick that falls due while its callback
// is still running (for example inside a nested loop) is delivered after the callback returns,
// on a later turn. Ticks missed meanwhile are not piled up: at most one is held back. Ticks
// otherwise keep to the grid start + k * interval; a loop that was not pumped for several
// intervals delivers one tick, not one per interval missed.
// IsActive is true from the start until a one-shot timer fires or the timer is stopped.
class Timer {
public:
    Timer() = default;
    Timer(Timer&&) noexcept;
    Timer& operator=(Timer&&) noexcept;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    void Stop();
    bool IsActive() const;

private:
    friend class EventLoop;
    struct State;
    std::shared_ptr<State> mState;
};

// RAII handle of an idle watch. Destroying or stopping it guarantees the callback never runs
// again. An idle watch's callback is not re-entered: while it runs (say, inside a nested loop)
// that loop's turns leave it out.
class IdleWatch {
public:
    IdleWatch() = default;
    IdleWatch(IdleWatch&&) noexcept;
    IdleWatch& operator=(IdleWatch&&) noexcept;
    IdleWatch(const IdleWatch&) = delete;
    IdleWatch& operator=(const IdleWatch&) = delete;
    ~IdleWatch();

    void Stop();
    bool IsActive() const;

private:
    friend class EventLoop;
    struct State;
    std::shared_ptr<State> mState;
};

// RAII handle of a file-descriptor watch. Destroying or stopping it guarantees the callback
// never runs again. A watch's callback is not re-entered: while it runs (say, inside a nested
// loop) its descriptor is left out of the poll, so a still-readable descriptor cannot make the
// nested loop spin.
class FdWatch {
public:
    FdWatch() = default;
    FdWatch(FdWatch&&) noexcept;
    FdWatch& operator=(FdWatch&&) noexcept;
    FdWatch(const FdWatch&) = delete;
    FdWatch& operator=(const FdWatch&) = delete;
    ~FdWatch();

    void Stop();
    bool IsActive() const;

private:
    friend class EventLoop;
    struct State;
    std::shared_ptr<State> mState;
};

// The one event loop of the user-interface thread. Everything that waits pumps this loop;
// nested loops (a modal form, a wait for a reply) are normal. Handlers may post, start and stop
// timers and watches, and nest RunUntil freely. An exception thrown by a handler leaves the
// turn at once and propagates out of PumpOnce (or RunUntil, RunPending) to its caller; the loop
// stays consistent: what was not yet run stays queued for the next turn, a periodic timer whose
// handler threw keeps ticking.
// Only Post may be called from another thread; everything else belongs to the loop's thread.
class EventLoop {
public:
    explicit EventLoop(std::shared_ptr<Clock> clock);
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    Clock& GetClock() const;
    TimePoint Now() const;

    // Runs fn on a later turn, after what is already posted. Safe from any thread: a post from
    // another thread wakes a loop blocked in poll(). An empty function is ignored.
    void Post(std::function<void()> fn);

    // One-shot timer after delay (0 or below: due on the next turn); periodic timer every
    // interval (interval 0 or below never ticks and gives an inactive handle). Timers fall due
    // in order of deadline, then of creation; a timer started during a turn never runs in that
    // same turn. Delays beyond ten years are cut to ten years. An empty function gives an
    // inactive handle.
    [[nodiscard]] Timer StartOneShot(Millis delay, std::function<void()> fn);
    [[nodiscard]] Timer StartPeriodic(Millis interval, std::function<void()> fn);

    // Calls fn while fd is ready (events as for poll(): POLLIN by default; hang-up and error
    // conditions also call it). A descriptor that turns out to be closed (POLLNVAL) calls fn
    // once and ends the watch. A negative fd is an invalid-call error; an empty function gives
    // an inactive handle.
    [[nodiscard]] FdWatch WatchFd(int fd, std::function<void()> fn, short events = 0x001);

    // Calls fn each time a waiting turn (PumpOnce, RunUntil) has run everything that was due and
    // is about to wait for the next deadline, descriptor or post, at whatever nesting depth.
    // What the handlers of the loop changed is complete then, and nothing else can change it
    // before the wait ends: a watcher of state that only the loop's handlers change (the user
    // interface) looks here instead of polling on a timer. What fn starts or posts for now runs
    // in the same turn, before the wait; the turn then waits as it would have (so a RunUntil
    // predicate that only fn changes is seen once that wait is over). RunPending never calls
    // it. An empty function gives an inactive handle.
    [[nodiscard]] IdleWatch WatchIdle(std::function<void()> fn);

    // One turn: runs what is due (posted events first, then due timers, then ready
    // descriptors). When nothing is due it first waits for the next thing and then runs it.
    // System clock: blocks in poll() until the next deadline, descriptor or post; with nothing
    // at all scheduled it blocks until a post from another thread (or a watched descriptor).
    // Virtual clock: jumps to the next deadline. With no timer but watched descriptors it
    // blocks in poll() on them for at most the real-time guard, since a real peer may still
    // write; then, as with nothing scheduled at all, it throws DeadlockError. Watched
    // descriptors are only polled, never waited for, while a timer is scheduled, so virtual
    // time runs ahead of a real peer: tests with real peers belong on the system clock.
    void PumpOnce();

    // Pumps until the predicate holds (checked before every turn). Nestable.
    void RunUntil(const std::function<bool()>& predicate);

    // One turn without waiting or moving the clock: runs what is due now (not what those
    // handlers post or start for now). Returns whether anything ran.
    bool RunPending();

    // The loop's nesting depth (0 outside any PumpOnce or RunPending).
    int Depth() const;

    // How long a virtual-clock turn that has only watched descriptors waits in real time for
    // one of them before it gives up with DeadlockError (default 5000 ms).
    void SetRealTimeGuard(Millis guard);

    struct Impl;

private:
    std::unique_ptr<Impl> mImpl;
};

// The loop of this process. Tests install their own (on a virtual clock); otherwise a loop on
// the system clock is made on first use. SetLoop(nullptr) removes the installed loop (the next
// Loop() makes a fresh one). CurrentLoopPtr gives the installed loop, or null when none has
// been installed or made yet; it never makes one.
EventLoop& Loop();
void SetLoop(std::shared_ptr<EventLoop> loop);
std::shared_ptr<EventLoop> CurrentLoopPtr();

} // namespace plat
