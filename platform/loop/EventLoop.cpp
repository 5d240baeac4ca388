#include "platform/loop/EventLoopImpl.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <system_error>

namespace plat {
namespace {

// Longer delays are cut to this: it keeps every deadline and tick computation far from the
// limits of the clock's representation.
constexpr Duration kMaxDelay = std::chrono::hours(24 * 365 * 10);

Duration ClampDelay(Millis delay)
{
    if (delay.count() <= 0) return Duration::zero();
    if (delay >= std::chrono::duration_cast<Millis>(kMaxDelay)) return kMaxDelay;
    return std::chrono::duration_cast<Duration>(delay);
}

TimePoint SaturatingAdd(TimePoint t, Duration d)
{
    return TimePoint::max() - t < d ? TimePoint::max() : t + d;
}

// The first tick of the grid origin + k * interval that lies strictly after t.
TimePoint FirstTickAfter(TimePoint origin, Duration interval, TimePoint t)
{
    if (t < origin) return origin + interval;
    const auto passed = (t - origin) / interval;
    return SaturatingAdd(origin, interval * (passed + 1));
}

std::string SystemMessage(int error)
{
    return std::system_category().message(error);
}

struct DepthGuard {
    explicit DepthGuard(int& depth) : mDepth(depth) { ++mDepth; }
    ~DepthGuard() { --mDepth; }
    int& mDepth;
};

} // namespace

EventLoop::Impl::Impl(std::shared_ptr<Clock> clock) : mClock(std::move(clock))
{
    if (!mClock) throw ComError(rt::InvalidCall, "EventLoop", "An event loop needs a clock");
    mWakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (mWakeFd < 0) {
        throw ComError(E_FAIL_CODE, "EventLoop",
                       "Cannot create the loop's wake-up descriptor: " + SystemMessage(errno));
    }
    mAnchor = std::shared_ptr<Impl>(this, [](Impl*) {});
}

EventLoop::Impl::~Impl()
{
    // Handles that outlive the loop see it gone from here on.
    mAnchor.reset();
    // Handlers' captures may hold handles of each other (or of this loop's owner); releasing
    // them from moved-out containers keeps the releases from touching what is being cleared.
    auto timers = std::move(mTimers);
    for (auto& [key, timer] : timers) {
        timer->mActive = false;
        timer->mScheduled = false;
        if (!timer->mRunning) timer->mFn = nullptr;
    }
    auto watches = std::move(mWatches);
    for (auto& watch : watches) {
        watch->mActive = false;
        if (!watch->mRunning) watch->mFn = nullptr;
    }
    auto idleWatches = std::move(mIdleWatches);
    for (auto& watch : idleWatches) {
        watch->mActive = false;
        if (!watch->mRunning) watch->mFn = nullptr;
    }
    decltype(mPosts) posts;
    {
        std::lock_guard<std::mutex> lock(mPostMutex);
        posts.swap(mPosts);
    }
    posts.clear();
    if (mWakeFd >= 0) close(mWakeFd);
}

void EventLoop::Impl::Post(std::function<void()> fn)
{
    if (!fn) return;
    bool wake;
    {
        std::lock_guard<std::mutex> lock(mPostMutex);
        mPosts.emplace_back(mNextPostSeq++, std::move(fn));
        // The loop sets mBlocked under this lock only after it found the queue empty, so a
        // post either is seen by that check or finds the flag set and wakes the poll.
        wake = mBlocked;
    }
    if (wake) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(mWakeFd, &one, sizeof one);
    }
}

EventLoop::Impl::TimerPtr EventLoop::Impl::MakeTimer(Duration delay, Duration interval,
                                                     std::function<void()> fn)
{
    auto timer = std::make_shared<Timer::State>();
    timer->mLoop = mAnchor;
    timer->mFn = std::move(fn);
    timer->mInterval = interval;
    timer->mSeq = mNextTimerSeq++;
    timer->mActive = true;
    timer->mOrigin = mClock->Now();
    Schedule(timer, SaturatingAdd(timer->mOrigin, delay));
    return timer;
}

void EventLoop::Impl::Schedule(const TimerPtr& timer, TimePoint deadline)
{
    timer->mDeadline = deadline;
    timer->mArmStamp = mNextArmStamp++;
    mTimers.emplace(TimerKey{deadline, timer->mSeq}, timer);
    timer->mScheduled = true;
}

void EventLoop::Impl::Unschedule(Timer::State& timer)
{
    mTimers.erase(TimerKey{timer.mDeadline, timer.mSeq});
    timer.mScheduled = false;
}

EventLoop::Impl::WatchPtr EventLoop::Impl::MakeWatch(int fd, short events,
                                                     std::function<void()> fn)
{
    auto watch = std::make_shared<FdWatch::State>();
    watch->mLoop = mAnchor;
    watch->mFn = std::move(fn);
    watch->mFd = fd;
    watch->mEvents = events;
    watch->mActive = true;
    mWatches.push_back(watch);
    return watch;
}

void EventLoop::Impl::RemoveWatch(const FdWatch::State& watch)
{
    auto it = std::find_if(mWatches.begin(), mWatches.end(),
                           [&](const WatchPtr& w) { return w.get() == &watch; });
    if (it != mWatches.end()) mWatches.erase(it);
}

EventLoop::Impl::IdlePtr EventLoop::Impl::MakeIdleWatch(std::function<void()> fn)
{
    auto watch = std::make_shared<IdleWatch::State>();
    watch->mLoop = mAnchor;
    watch->mFn = std::move(fn);
    watch->mActive = true;
    mIdleWatches.push_back(watch);
    return watch;
}

void EventLoop::Impl::RemoveIdleWatch(const IdleWatch::State& watch)
{
    auto it = std::find_if(mIdleWatches.begin(), mIdleWatches.end(),
                           [&](const IdlePtr& w) { return w.get() == &watch; });
    if (it != mIdleWatches.end()) mIdleWatches.erase(it);
}

bool EventLoop::Impl::RunIdleWatches()
{
    if (mIdleWatches.empty()) return false;
    // A callback may start or stop watches: run over a copy.
    const std::vector<IdlePtr> watches = mIdleWatches;
    bool ran = false;
    for (const auto& watch : watches) {
        if (!watch->mActive || watch->mRunning) continue;
        struct Done {
            ~Done()
            {
                mWatch->mRunning = false;
                if (!mWatch->mActive) mWatch->mFn = nullptr;
            }
            const IdlePtr& mWatch;
        };
        Done done{watch};
        watch->mRunning = true;
        ran = true;
        watch->mFn();
    }
    return ran;
}

EventLoop::Impl::TurnLimits EventLoop::Impl::Limits()
{
    std::lock_guard<std::mutex> lock(mPostMutex);
    return TurnLimits{mNextPostSeq, mNextArmStamp};
}

bool EventLoop::Impl::HasDuePost(const TurnLimits& limits)
{
    std::lock_guard<std::mutex> lock(mPostMutex);
    return !mPosts.empty() && mPosts.front().first < limits.mPostSeq;
}

bool EventLoop::Impl::HasDueTimer(const TurnLimits& limits) const
{
    const TimePoint now = mClock->Now();
    for (auto it = mTimers.begin(); it != mTimers.end() && it->first.first <= now; ++it) {
        if (it->second->mArmStamp < limits.mArmStamp) return true;
    }
    return false;
}

bool EventLoop::Impl::HasPollableWatches() const
{
    return std::any_of(mWatches.begin(), mWatches.end(),
                       [](const WatchPtr& w) { return w->mActive && !w->mRunning; });
}

bool EventLoop::Impl::Turn(bool mayWait)
{
    DepthGuard depth(mDepth);
    const uint64_t before = mDispatchCount;
    TurnLimits limits = Limits();
    std::vector<ReadyWatch> ready;
    if (HasPollableWatches()) ready = PollWatches(Duration::zero(), false);
    if (ready.empty() && !HasDuePost(limits) && !HasDueTimer(limits)) {
        if (!mayWait) return false;
        // What the idle watches start or post for now runs in this turn, instead of the wait.
        if (RunIdleWatches()) {
            limits = Limits();
            if (HasPollableWatches()) ready = PollWatches(Duration::zero(), false);
        }
        if (ready.empty() && !HasDuePost(limits) && !HasDueTimer(limits)) {
            ready = Wait();
            limits = Limits();
        }
    }
    Dispatch(limits, ready, before);
    return mDispatchCount != before;
}

std::vector<EventLoop::Impl::ReadyWatch> EventLoop::Impl::Wait()
{
    if (!mClock->IsVirtual()) {
        std::optional<Duration> timeout;
        if (!mTimers.empty()) {
            timeout = std::max(Duration::zero(), mTimers.begin()->first.first - mClock->Now());
        }
        return PollWatches(timeout, true);
    }

    if (!mTimers.empty()) {
        mClock->AdvanceTo(mTimers.begin()->first.first);
        return {};
    }
    auto hasPost = [this] {
        std::lock_guard<std::mutex> lock(mPostMutex);
        return !mPosts.empty();
    };
    if (HasPollableWatches()) {
        // Virtual time cannot make a descriptor ready, but a real peer still may: give it a
        // bounded real-time chance before calling the wait hopeless.
        auto ready = PollWatches(std::chrono::duration_cast<Duration>(mRealTimeGuard), true);
        if (ready.empty() && !hasPost()) {
            throw DeadlockError("Deadlock: the event loop has no timer and no posted event, and "
                                "no watched descriptor became ready within " +
                                std::to_string(mRealTimeGuard.count()) +
                                " ms of real time, so this wait would never end");
        }
        return ready;
    }
    // A post from another thread may have arrived since the turn looked.
    if (hasPost()) return {};
    throw DeadlockError("Deadlock: the event loop has nothing scheduled (no posted event, no "
                        "timer, no watched descriptor), so this wait would never end");
}

std::vector<EventLoop::Impl::ReadyWatch> EventLoop::Impl::PollWatches(std::optional<Duration> timeout,
                                                                      bool blocking)
{
    mPollFds.clear();
    mPolled.clear();
    for (const auto& watch : mWatches) {
        if (!watch->mActive || watch->mRunning) continue;
        mPollFds.push_back(pollfd{watch->mFd, watch->mEvents, 0});
        mPolled.push_back(watch);
    }
    if (blocking) {
        std::lock_guard<std::mutex> lock(mPostMutex);
        if (!mPosts.empty()) return {};
        mBlocked = true;
        mPollFds.push_back(pollfd{mWakeFd, POLLIN, 0});
    }
    std::vector<ReadyWatch> ready;
    if (mPollFds.empty()) return ready;

    timespec ts{};
    timespec* tsp = nullptr;
    if (timeout) {
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(*timeout).count();
        ts.tv_sec = static_cast<time_t>(ns / 1000000000);
        ts.tv_nsec = static_cast<long>(ns % 1000000000);
        tsp = &ts;
    }
    const int rc = ppoll(mPollFds.data(), mPollFds.size(), tsp, nullptr);
    const int error = errno;
    if (blocking) {
        std::lock_guard<std::mutex> lock(mPostMutex);
        mBlocked = false;
    }
    if (rc < 0) {
        mPolled.clear();
        // A signal only cuts the wait short; the next turn looks again.
        if (error == EINTR) return ready;
        throw ComError(E_FAIL_CODE, "EventLoop", "poll() failed: " + SystemMessage(error));
    }
    if (rc > 0) {
        for (size_t i = 0; i < mPolled.size(); ++i) {
            const short revents = mPollFds[i].revents;
            if (revents != 0) ready.push_back(ReadyWatch{mPolled[i], (revents & POLLNVAL) != 0});
        }
        if (blocking && mPollFds.back().revents != 0) {
            uint64_t count;
            [[maybe_unused]] const ssize_t got = read(mWakeFd, &count, sizeof count);
        }
    }
    mPolled.clear();
    return ready;
}

void EventLoop::Impl::Dispatch(const TurnLimits& limits, std::vector<ReadyWatch>& ready,
                               uint64_t mark)
{
    while (RunOnePost(limits)) {
    }
    while (TimerPtr timer = PopDueTimer(limits)) FireTimer(timer);
    for (const auto& r : ready) FireWatch(r, mark);
}

bool EventLoop::Impl::RunOnePost(const TurnLimits& limits)
{
    std::function<void()> fn;
    {
        std::lock_guard<std::mutex> lock(mPostMutex);
        if (mPosts.empty() || mPosts.front().first >= limits.mPostSeq) return false;
        fn = std::move(mPosts.front().second);
        mPosts.pop_front();
    }
    ++mDispatchCount;
    fn();
    return true;
}

EventLoop::Impl::TimerPtr EventLoop::Impl::PopDueTimer(const TurnLimits& limits)
{
    // Timers are taken one at a time, so that a nested loop inside a handler finds the rest of
    // this turn's due timers still scheduled and runs them in order.
    const TimePoint now = mClock->Now();
    for (auto it = mTimers.begin(); it != mTimers.end() && it->first.first <= now; ++it) {
        if (it->second->mArmStamp < limits.mArmStamp) {
            TimerPtr timer = std::move(it->second);
            mTimers.erase(it);
            timer->mScheduled = false;
            return timer;
        }
    }
    return nullptr;
}

void EventLoop::Impl::FireTimer(const TimerPtr& timer)
{
    ++mDispatchCount;
    if (timer->mInterval == Duration::zero()) {
        timer->mActive = false;
        const std::function<void()> fn = std::move(timer->mFn);
        timer->mFn = nullptr;
        fn();
        return;
    }

    // A periodic timer stays out of the schedule while its handler runs, so a nested loop can
    // neither re-enter the handler nor jump virtual time from tick to tick of a timer that
    // cannot fire.
    struct AfterTick {
        ~AfterTick()
        {
            try {
                mImpl.AfterPeriodicTick(mTimer, mDeadline, mStarted);
            } catch (...) {
                // Only an allocation can fail here; the timer then simply stops.
                mTimer->mActive = false;
            }
        }
        Impl& mImpl;
        const TimerPtr& mTimer;
        TimePoint mDeadline;
        TimePoint mStarted;
    };
    AfterTick after{*this, timer, timer->mDeadline, mClock->Now()};
    timer->mRunning = true;
    timer->mFn();
}

void EventLoop::Impl::AfterPeriodicTick(const TimerPtr& timer, TimePoint deadline, TimePoint started)
{
    timer->mRunning = false;
    if (!timer->mActive) {
        timer->mFn = nullptr;
        return;
    }
    // Ticks of the grid that passed before the handler started are folded into the tick just
    // delivered; one that passed while it ran is held back and delivered now, on a later turn.
    const TimePoint next = FirstTickAfter(timer->mOrigin, timer->mInterval, std::max(deadline, started));
    const TimePoint now = mClock->Now();
    Schedule(timer, next <= now ? now : next);
}

void EventLoop::Impl::FireWatch(const ReadyWatch& ready, uint64_t mark)
{
    const WatchPtr& watch = ready.mWatch;
    // Skip a watch stopped meanwhile, or one a nested loop already served after this poll.
    if (!watch->mActive || watch->mRunning || watch->mLastDispatch > mark) return;
    watch->mLastDispatch = ++mDispatchCount;
    if (ready.mInvalid) {
        // A closed descriptor would report itself on every poll: tell the owner once and end
        // the watch rather than spin.
        watch->mActive = false;
        RemoveWatch(*watch);
        const std::function<void()> fn = std::move(watch->mFn);
        watch->mFn = nullptr;
        fn();
        return;
    }
    struct Done {
        ~Done()
        {
            mWatch->mRunning = false;
            if (!mWatch->mActive) mWatch->mFn = nullptr;
        }
        const WatchPtr& mWatch;
    };
    Done done{watch};
    watch->mRunning = true;
    watch->mFn();
}

EventLoop::EventLoop(std::shared_ptr<Clock> clock) : mImpl(std::make_unique<Impl>(std::move(clock))) {}

EventLoop::~EventLoop() = default;

Clock& EventLoop::GetClock() const
{
    return *mImpl->mClock;
}

TimePoint EventLoop::Now() const
{
    return mImpl->mClock->Now();
}

void EventLoop::Post(std::function<void()> fn)
{
    mImpl->Post(std::move(fn));
}

Timer EventLoop::StartOneShot(Millis delay, std::function<void()> fn)
{
    Timer timer;
    if (fn) timer.mState = mImpl->MakeTimer(ClampDelay(delay), Duration::zero(), std::move(fn));
    return timer;
}

Timer EventLoop::StartPeriodic(Millis interval, std::function<void()> fn)
{
    Timer timer;
    if (fn && interval.count() > 0) {
        const Duration step = ClampDelay(interval);
        timer.mState = mImpl->MakeTimer(step, step, std::move(fn));
    }
    return timer;
}

FdWatch EventLoop::WatchFd(int fd, std::function<void()> fn, short events)
{
    if (fd < 0) {
        throw ComError(rt::InvalidCall, "EventLoop",
                       "Cannot watch descriptor " + std::to_string(fd));
    }
    FdWatch watch;
    if (fn) watch.mState = mImpl->MakeWatch(fd, events, std::move(fn));
    return watch;
}

IdleWatch EventLoop::WatchIdle(std::function<void()> fn)
{
    IdleWatch watch;
    if (fn) watch.mState = mImpl->MakeIdleWatch(std::move(fn));
    return watch;
}

void EventLoop::PumpOnce()
{
    mImpl->Turn(true);
}

void EventLoop::RunUntil(const std::function<bool()>& predicate)
{
    while (!predicate()) mImpl->Turn(true);
}

bool EventLoop::RunPending()
{
    return mImpl->Turn(false);
}

int EventLoop::Depth() const
{
    return mImpl->mDepth;
}

void EventLoop::SetRealTimeGuard(Millis guard)
{
    mImpl->mRealTimeGuard = std::max(Millis::zero(), guard);
}

} // namespace plat
