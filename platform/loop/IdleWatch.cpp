#include "platform/loop/EventLoopImpl.h"

namespace plat {

IdleWatch::IdleWatch(IdleWatch&& other) noexcept : mState(std::move(other.mState)) {}

IdleWatch& IdleWatch::operator=(IdleWatch&& other) noexcept
{
    if (this != &other) {
        Stop();
        mState = std::move(other.mState);
    }
    return *this;
}

IdleWatch::~IdleWatch()
{
    Stop();
}

void IdleWatch::Stop()
{
    if (!mState) return;
    State& state = *mState;
    if (state.mActive) {
        state.mActive = false;
        if (auto loop = state.mLoop.lock()) loop->RemoveIdleWatch(state);
    }
    // As with timers: a callback that stops its own watch still runs inside mFn.
    if (!state.mRunning) state.mFn = nullptr;
}

bool IdleWatch::IsActive() const
{
    return mState && mState->mActive;
}

} // namespace plat
