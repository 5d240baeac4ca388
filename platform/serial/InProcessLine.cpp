#include "platform/serial/InProcessLine.h"

#include "platform/base/ComError.h"
#include "platform/loop/EventLoop.h"
#include "platform/serial/LinePeer.h"
#include "platform/serial/SerialErrors.h"

namespace plat {

std::shared_ptr<InProcessLine> InProcessLine::Open(std::shared_ptr<LinePeer> peer, const LineSettings& settings)
{
    if (!peer) {
        throw SerialOpenError(serr::DeviceUnavailable, serr::StatusNotFound, "Device unavailable (no such in-process device)");
    }
    if (peer->IsAttached()) {
        throw SerialOpenError(serr::DeviceUnavailable, serr::StatusUnavailable, "Device unavailable (in use by another port)");
    }
    std::shared_ptr<InProcessLine> line(new InProcessLine(std::move(peer), settings));
    line->mPeer->mLine = line;
    line->mPeer->OnAttached();
    return line;
}

InProcessLine::InProcessLine(std::shared_ptr<LinePeer> peer, const LineSettings& settings)
    : mPeer(std::move(peer)), mSettings(settings)
{
    Loop();
    mLoop = CurrentLoopPtr();
}

InProcessLine::~InProcessLine()
{
    Close();
}

void InProcessLine::Start(DataHandler onData)
{
    mOnData = std::move(onData);
    if (!mToPort.empty()) ScheduleToPort();
}

void InProcessLine::Configure(const LineSettings& settings)
{
    mSettings = settings;
}

void InProcessLine::Write(std::string_view bytes)
{
    if (mClosed || bytes.empty()) return;
    mToPeer.emplace_back(std::string(bytes), mSettings);
    ScheduleToPeer();
}

void InProcessLine::DiscardInput()
{
    mToPort.clear();
}

void InProcessLine::DiscardOutput()
{
    mToPeer.clear();
}

std::string InProcessLine::Condition() const
{
    return {};
}

void InProcessLine::Close()
{
    if (mClosed) return;
    mClosed = true;
    mToPeer.clear();
    mToPort.clear();
    mOnData = nullptr;
    auto peer = std::move(mPeer);
    if (peer) {
        peer->mLine.reset();
        peer->OnDetached();
    }
}

void InProcessLine::SendToPort(std::string_view bytes)
{
    if (mClosed || bytes.empty()) return;
    mToPort.append(bytes);
    ScheduleToPort();
}

void InProcessLine::ScheduleToPeer()
{
    auto loop = mLoop.lock();
    if (mToPeerPosted || !loop) return;
    mToPeerPosted = true;
    std::weak_ptr<InProcessLine> weak = weak_from_this();
    loop->Post([weak] {
        auto self = weak.lock();
        if (!self) return;
        self->mToPeerPosted = false;
        // The peer may write back or close the port while handling a piece: take one piece at a
        // time and look at the state again after each.
        while (!self->mClosed && !self->mToPeer.empty()) {
            auto [bytes, settings] = std::move(self->mToPeer.front());
            self->mToPeer.pop_front();
            auto peer = self->mPeer;
            peer->OnReceived(bytes, settings);
        }
    });
}

void InProcessLine::ScheduleToPort()
{
    auto loop = mLoop.lock();
    if (mToPortPosted || !loop || !mOnData) return;
    mToPortPosted = true;
    std::weak_ptr<InProcessLine> weak = weak_from_this();
    loop->Post([weak] {
        auto self = weak.lock();
        if (!self) return;
        self->mToPortPosted = false;
        if (self->mClosed || self->mToPort.empty() || !self->mOnData) return;
        std::string bytes = std::move(self->mToPort);
        self->mToPort.clear();
        auto onData = self->mOnData;
        onData(bytes);
    });
}

} // namespace plat
