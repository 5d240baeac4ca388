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
// only moves when the loop jumps it to the next deadline (or a test advances it).
class Clock {
public:
    virtual ~Clock() = default;
    virtual TimePoint Now() const = 0;
    virtual bool IsVirtual() const = 0;
    // Virtual clocks only: move the time forward (never backward).
    virtual void AdvanceTo(TimePoint t) = 0;
};

std::shared_ptr<Clock> MakeSystemClock();
std::shared_ptr<Clock> MakeVirtualClock();

// Raised by a turn of a loop on the virtual clock that has nothing scheduled at all: nothing
// could ever change, so a wait would hang forever.
class DeadlockError : public ComError {
public:
    explicit DeadlockError(const std::string& what);
};

class EventLoop;

// RAII handle of a timer. Destroying or stopping it guarantees the callback never runs again.
// A periodic timer never re-enters its own callback: a tick that falls due while its callback
// is still running (for example inside a nested loop) is delivered after the callback returns.
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

// RAII handle of a file-descriptor watch.
class FdWatch {
public:
    FdWatch() = default;
    FdWatch(FdWatch&&) noexcept;
    FdWatch& operator=(FdWatch&&) noexcept;
    FdWatch(const FdWatch&) = delete;
    FdWatch& operator=(const FdWatch&) = delete;
    ~FdWatch();

    void Stop();

private:
    friend class EventLoop;
    struct State;
    std::shared_ptr<State> mState;
};

// The one event loop of the user-interface thread. Everything that waits pumps this loop;
// nested loops (a modal form, a wait for a reply) are normal.
class EventLoop {
public:
    explicit EventLoop(std::shared_ptr<Clock> clock);
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    Clock& GetClock() const;
    TimePoint Now() const;

    // Runs fn on a later turn, after what is already posted.
    void Post(std::function<void()> fn);

    // One-shot timer after delay; periodic timer every interval (interval 0 or below never
    // ticks and gives an inactive handle). Timers fall due in order of deadline, then of
    // creation.
    [[nodiscard]] Timer StartOneShot(Millis delay, std::function<void()> fn);
    [[nodiscard]] Timer StartPeriodic(Millis interval, std::function<void()> fn);

    // Calls fn when fd is readable (events as for poll(): POLLIN by default).
    [[nodiscard]] FdWatch WatchFd(int fd, std::function<void()> fn, short events = 0x001);

    // One turn: runs what is due (posted events, due timers, ready descriptors). When nothing
    // is due it waits for the next thing: on the system clock it blocks in poll() until the
    // next deadline, descriptor or post; on the virtual clock it jumps to the next deadline,
    // and with nothing scheduled and no descriptor watched it throws DeadlockError.
    void PumpOnce();

    // Pumps until the predicate holds (checked before every turn). Nestable.
    void RunUntil(const std::function<bool()>& predicate);

    // Runs what is due now without waiting or moving the clock.
    void RunPending();

    // The loop's nesting depth (0 outside any PumpOnce).
    int Depth() const;

    struct Impl;

private:
    std::unique_ptr<Impl> mImpl;
};

// The loop of this process. Tests install their own (on a virtual clock); otherwise a loop on
// the system clock is made on first use.
EventLoop& Loop();
void SetLoop(std::shared_ptr<EventLoop> loop);
std::shared_ptr<EventLoop> CurrentLoopPtr();

} // namespace plat
