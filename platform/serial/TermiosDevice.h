#pragma once

#include "platform/loop/EventLoop.h"
#include "platform/serial/SerialDevice.h"

#include <memory>
#include <string>

namespace plat {

// A serial device through termios: opened non-blocking and for exclusive use, held by its
// advisory lock (flock) while open so that a second program is refused, raw mode with CLOCAL
// (no modem control lines needed), queues flushed on open. Received bytes are read when
// the event loop reports the descriptor readable; output that the driver cannot take at once
// is kept and sent when the descriptor becomes writable, so nothing ever blocks.
class TermiosDevice : public SerialDevice {
public:
    // Opens the device; a failure raises the ComError that ClassifyOpenErrno gives, and a
    // device that another program holds raises PortInUseError before anything is changed or
    // written.
    static std::unique_ptr<TermiosDevice> Open(const std::string& path, const LineSettings& settings);

    // Raises PortInUseError when another program holds the device now. Nothing is written and
    // the line is left as it is; a device that cannot be opened at all passes (its open tells).
    static void CheckFree(const std::string& path);

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
    // Exclusive use is a mode of the terminal, not of this descriptor: it is given up on close
    // only when this open set it, never for the program whose hold refused this one.
    bool mExclusive = false;
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
