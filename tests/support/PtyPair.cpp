#include "support/PtyPair.h"

#include "platform/loop/EventLoop.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace ztesting {

void PtyPair::Send(std::string_view bytes)
{
    const auto deadline = std::chrono::steady_clock::now() + DefaultTimeout;
    while (!bytes.empty() && std::chrono::steady_clock::now() < deadline) {
        ssize_t n = ::write(MasterFd(), bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<size_t>(n));
        } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
            return;
        } else {
            pollfd fd{MasterFd(), POLLOUT, 0};
            ::poll(&fd, 1, 10);
        }
    }
}

std::string PtyPair::ReceiveUntil(const std::function<bool(const std::string&)>& done, Millis timeout)
{
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done(received)) {
        const auto left = std::chrono::duration_cast<Millis>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd fd{MasterFd(), POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[1024];
        ssize_t n = ::read(MasterFd(), buffer, sizeof buffer);
        if (n > 0) received.append(buffer, static_cast<size_t>(n));
    }
    return received;
}

std::string PtyPair::ReceiveLine(std::string_view ending, Millis timeout)
{
    return ReceiveUntil([ending](const std::string& text) { return text.ends_with(ending); }, timeout);
}

std::string PtyPair::ReceiveFor(Millis time)
{
    return ReceiveUntil([](const std::string&) { return false; }, time);
}

bool PtyPair::PumpUntil(const std::function<bool()>& done, Millis timeout)
{
    bool timedOut = false;
    auto& loop = plat::Loop();
    plat::Timer guard = loop.StartOneShot(timeout, [&timedOut] { timedOut = true; });
    loop.RunUntil([&] { return timedOut || done(); });
    return done();
}

} // namespace ztesting
