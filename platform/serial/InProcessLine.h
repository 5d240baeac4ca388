#pragma once

#include "platform/serial/SerialDevice.h"

#include <deque>
#include <memory>
#include <string>
#include <utility>

namespace plat {

class EventLoop;
class LinePeer;

// An in-process serial line between a port and a LinePeer: a pair of byte pipes whose far end
// is driven by code on the same event loop. Bytes in either direction are delivered on a
// posted event, so a write never re-enters its caller and the order of events is that of a
// real line.
class InProcessLine : public SerialDevice, public std::enable_shared_from_this<InProcessLine> {
public:
    // Attaches the peer; a peer that is already attached to another line raises "Device
    // unavailable" (68), as a device held by another program does.
    static std::shared_ptr<InProcessLine> Open(std::shared_ptr<LinePeer> peer, const LineSettings& settings);

    ~InProcessLine() override;

    void Start(DataHandler onData) override;
    void Configure(const LineSettings& settings) override;
    void Write(std::string_view bytes) override;
    void DiscardInput() override;
    void DiscardOutput() override;
    std::string Condition() const override;
    void Close() override;

    // The far end's side, used through LinePeer.
    void SendToPort(std::string_view bytes);
    const LineSettings& Settings() const { return mSettings; }

private:
    InProcessLine(std::shared_ptr<LinePeer> peer, const LineSettings& settings);
    void ScheduleToPeer();
    void ScheduleToPort();

    // Weak: a posted delivery holds the line, and the line must not keep the loop alive.
    std::weak_ptr<EventLoop> mLoop;
    std::shared_ptr<LinePeer> mPeer;
    LineSettings mSettings;
    DataHandler mOnData;
    // Written by the port, not yet handed to the peer, with the settings at the time of writing.
    std::deque<std::pair<std::string, LineSettings>> mToPeer;
    // Sent by the peer, not yet delivered to the port.
    std::string mToPort;
    bool mToPeerPosted = false;
    bool mToPortPosted = false;
    bool mClosed = false;
};

} // namespace plat
