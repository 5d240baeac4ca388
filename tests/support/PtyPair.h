#pragma once

#include "platform/serial/LineSettings.h"
#include "platform/serial/PseudoTerminal.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ztesting {

// A pseudo-terminal for real-time tests of serial code: the code under test opens SlavePath()
// as its device, and the test plays the device on the master. Every wait is bounded, so a
// broken exchange fails the test instead of hanging it.
class PtyPair {
public:
    using Millis = std::chrono::milliseconds;
    static constexpr Millis DefaultTimeout{2000};

    PtyPair() = default;

    const std::string& SlavePath() const { return mPty.SlavePath(); }
    int MasterFd() const { return mPty.MasterFd(); }
    // What the code under test has set on its end (speed, parity, bits).
    std::optional<plat::LineSettings> SlaveSettings() const { return mPty.SlaveSettings(); }

    // Writes to the master, that is, sends to the code under test.
    void Send(std::string_view bytes);

    // Reads from the master until the bytes read so far satisfy the predicate or the time is up;
    // returns what was read. Does not pump the event loop.
    std::string ReceiveUntil(const std::function<bool(const std::string&)>& done, Millis timeout = DefaultTimeout);
    // Reads until the given text has arrived at the end of what was read.
    std::string ReceiveLine(std::string_view ending = "\r", Millis timeout = DefaultTimeout);
    // Everything that arrives within the time.
    std::string ReceiveFor(Millis time);

    // Pumps the event loop of the process until the predicate holds or the real time is up;
    // true when the predicate held.
    static bool PumpUntil(const std::function<bool()>& done, Millis timeout = DefaultTimeout);

private:
    plat::PseudoTerminal mPty;
};

} // namespace ztesting
