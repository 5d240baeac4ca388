#include "platform/loop/EventLoopImpl.h"

namespace plat {

FdWatch::FdWatch(FdWatch&& other) noexcept : mState(std::move(other.mState)) {}

FdWatch& FdWatch::operator=(FdWatch&& other) noexcept
{
    if (this != &other) {
        Stop();
        mState = std::move(other.mState);
    }
    return *this;
}

FdWatch::~FdWatch()
{
    Stop();
}

void FdWatch::Stop()
{
    if (!mState) return;
    State& state = *mState;
    if (state.mActive) {
        state.mActive = false;
        if (auto loop = state.mLoop.lock()) loop->RemoveWatch(state);
    }
    // As with timers: a handler that stops its own watch still runs inside mFn.
    if (!state.mRunning) state.mFn = nullptr;
}

bool FdWatch::IsActive() const
{
    return mState && mState->mActive;
}

} // namespace plat
