#pragma once

#include "platform/loop/EventLoop.h"
#include "platform/serial/SerialDevice.h"

#include <memory>
#include <string>

namespace plat {

// A serial device through termios: opened non-blocking and for exclusive use, raw mode with
// CLOCAL (no modem control lines needed), queues flushed on open. Received bytes are read when
// the event loop reports the descriptor readable; output that the driver cannot take at once
// is kept and sent when the descriptor becomes writable, so nothing ever blocks.
class TermiosDevice : public SerialDevice {
public:
    // Opens the device; a failure raises the ComError that ClassifyOpenErrno gives.
    static std::unique_ptr<TermiosDevice> Open(const std::string& path, const LineSettings& settings);

    ~TermiosDevice() override;

    void Start(DataHandler onData) override;
    void Configure(const LineSettings& settings) override;
    void Write(std::string_view bytes) override;
    void DiscardInput() override;
    void DiscardOutput() override;
    std::string Condition() const override;
    void Close() override;

    int Descriptor() const { return mFd; }

private:
    TermiosDevice(int fd, std::string path);
    void Apply(const LineSettings& settings, bool raiseAsOpen);
    void OnReadable();
    void OnWritable();
    void FlushPending();
    void StopWriteWatch();
    void MarkLost(int error);

    int mFd = -1;
    std::string mPath;
    // Weak: a closed device may wait in a posted event, and must not keep the loop alive.
    std::weak_ptr<EventLoop> mLoop;
    DataHandler mOnData;
    FdWatch mReadWatch;
    FdWatch mWriteWatch;
    bool mWriteWatching = false;
    std::string mPending;
    std::string mLost;
};

} // namespace plat
