#include "platform/loop/EventLoop.h"

namespace plat {

DeadlockError::DeadlockError(const std::string& what) : ComError(Code, "EventLoop", what) {}

} // namespace plat
