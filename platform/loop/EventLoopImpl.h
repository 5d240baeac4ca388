#pragma once

// Inside of the event loop, shared by EventLoop.cpp, Timer.cpp and FdWatch.cpp only.

#include "platform/loop/EventLoop.h"

#include <poll.h>

#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace plat {

using Duration = std::chrono::steady_clock::duration;

struct Timer::State {
    // Weak, so that a handle outliving its loop stops cleanly instead of touching freed memory.
    std::weak_ptr<EventLoop::Impl> mLoop;
    std::function<void()> mFn;
    Duration mInterval{}; // Zero for a one-shot timer.
    TimePoint mOrigin{};  // Periodic ticks keep to mOrigin + k * mInterval.
    TimePoint mDeadline{};
    uint64_t mSeq = 0;      // Creation order: breaks ties between equal deadlines.
    uint64_t mArmStamp = 0; // When it was last armed: a turn runs only what was armed before it.
    bool mActive = false;
    bool mScheduled = false;
    bool mRunning = false;
};

struct FdWatch::State {
    std::weak_ptr<EventLoop::Impl> mLoop;
    std::function<void()> mFn;
    int mFd = -1;
    short mEvents = 0;
    uint64_t mLastDispatch = 0;
    bool mActive = false;
    bool mRunning = false;
};

struct IdleWatch::State {
    std::weak_ptr<EventLoop::Impl> mLoop;
    std::function<void()> mFn;
    bool mActive = false;
    bool mRunning = false;
};

struct EventLoop::Impl {
    using TimerPtr = std::shared_ptr<Timer::State>;
    using WatchPtr = std::shared_ptr<FdWatch::State>;
    using IdlePtr = std::shared_ptr<IdleWatch::State>;
    using TimerKey = std::pair<TimePoint, uint64_t>;

    // What a turn may run: posts queued and timers armed before the turn began.
    struct TurnLimits {
        uint64_t mPostSeq;
        uint64_t mArmStamp;
    };

    struct ReadyWatch {
        WatchPtr mWatch;
        bool mInvalid;
    };

    explicit Impl(std::shared_ptr<Clock> clock);
    ~Impl();

    bool Turn(bool mayWait);

    void Post(std::function<void()> fn);
    TimerPtr MakeTimer(Duration delay, Duration interval, std::function<void()> fn);
    void Schedule(const TimerPtr& timer, TimePoint deadline);
    void Unschedule(Timer::State& timer);
    WatchPtr MakeWatch(int fd, short events, std::function<void()> fn);
    void RemoveWatch(const FdWatch::State& watch);
    IdlePtr MakeIdleWatch(std::function<void()> fn);
    void RemoveIdleWatch(const IdleWatch::State& watch);
    // Runs the idle watches that are not running already; whether any ran.
    bool RunIdleWatches();

    TurnLimits Limits();
    bool HasDuePost(const TurnLimits& limits);
    bool HasDueTimer(const TurnLimits& limits) const;
    bool HasPollableWatches() const;
    std::vector<ReadyWatch> Wait();
    std::vector<ReadyWatch> PollWatches(std::optional<Duration> timeout, bool blocking);
    void Dispatch(const TurnLimits& limits, std::vector<ReadyWatch>& ready, uint64_t mark);
    bool RunOnePost(const TurnLimits& limits);
    TimerPtr PopDueTimer(const TurnLimits& limits);
    void FireTimer(const TimerPtr& timer);
    void AfterPeriodicTick(const TimerPtr& timer, TimePoint deadline, TimePoint started);
    void FireWatch(const ReadyWatch& ready, uint64_t mark);

    std::shared_ptr<Clock> mClock;
    // A non-owning pointer to this Impl that handles observe through weak pointers; reset first
    // thing in the destructor.
    std::shared_ptr<Impl> mAnchor;

    std::map<TimerKey, TimerPtr> mTimers;
    uint64_t mNextTimerSeq = 0;
    uint64_t mNextArmStamp = 0;

    std::vector<WatchPtr> mWatches;
    std::vector<IdlePtr> mIdleWatches;
    std::vector<pollfd> mPollFds; // Kept between turns to spare an allocation.
    std::vector<WatchPtr> mPolled;

    uint64_t mDispatchCount = 0;
    int mDepth = 0;
    Millis mRealTimeGuard{5000};
    int mWakeFd = -1;

    // Posts may come from other threads; everything else is the loop thread's alone.
    std::mutex mPostMutex;
    std::deque<std::pair<uint64_t, std::function<void()>>> mPosts;
    uint64_t mNextPostSeq = 0;
    bool mBlocked = false; // True while the loop thread sleeps in poll() and needs a wake-up.
};

} // namespace plat
