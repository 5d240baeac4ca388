#include "simulator/PtyServer.h"

#include "simulator/Analyzer.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace zsim {

namespace {

// What the analyzer keeps of replies that nobody reads, at most.
constexpr size_t kMaxPending = 64 * 1024;

} // namespace

PtyServer::PtyServer(std::shared_ptr<Analyzer> analyzer) : mAnalyzer(std::move(analyzer))
{
    plat::Loop();
    mLoop = plat::CurrentLoopPtr();
    mAnalyzer->Connect(this);
    mReadWatch = mLoop->WatchFd(mPty.MasterFd(), [this] { OnReadable(); }, POLLIN);
}

PtyServer::~PtyServer()
{
    mAnalyzer->Connect(nullptr);
}

std::optional<plat::LineSettings> PtyServer::RemoteSettings() const
{
    return mPty.SlaveSettings();
}

void PtyServer::OnReadable()
{
    char buffer[4096];
    while (true) {
        ssize_t n = ::read(mPty.MasterFd(), buffer, sizeof buffer);
        if (n > 0) {
            mAnalyzer->Receive(std::string_view(buffer, static_cast<size_t>(n)), RemoteSettings());
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // EAGAIN: all read. Anything else cannot happen while the terminal keeps its own slave
        // descriptor; should it happen, stop watching rather than spin.
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) mReadWatch.Stop();
        return;
    }
}

void PtyServer::Transmit(std::string_view bytes)
{
    if (mPending.size() + bytes.size() > kMaxPending) return;
    mPending.append(bytes);
    Flush();
}

void PtyServer::Flush()
{
    while (!mPending.empty()) {
        ssize_t n = ::write(mPty.MasterFd(), mPending.data(), mPending.size());
        if (n > 0) {
            mPending.erase(0, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        mPending.clear();
        break;
    }
    if (mPending.empty()) {
        if (mWriteWatching) {
            mWriteWatch.Stop();
            mWriteWatching = false;
        }
    } else if (!mWriteWatching) {
        mWriteWatching = true;
        mWriteWatch = mLoop->WatchFd(mPty.MasterFd(), [this] { Flush(); }, POLLOUT);
    }
}

} // namespace zsim
