#include "platform/loop/EventLoopImpl.h"

namespace plat {

Timer::Timer(Timer&& other) noexcept : mState(std::move(other.mState)) {}

Timer& Timer::operator=(Timer&& other) noexcept
{
    if (this != &other) {
        Stop();
        mState = std::move(other.mState);
    }
    return *this;
}

Timer::~Timer()
{
    Stop();
}

void Timer::Stop()
{
    if (!mState) return;
    State& state = *mState;
    state.mActive = false;
    if (state.mScheduled) {
        if (auto loop = state.mLoop.lock()) loop->Unschedule(state);
        state.mScheduled = false;
    }
    // A handler that stops its own timer is still running inside mFn: the loop releases the
    // function once the handler has returned.
    if (!state.mRunning) state.mFn = nullptr;
}

bool Timer::IsActive() const
{
    return mState && mState->mActive;
}

} // namespace plat
