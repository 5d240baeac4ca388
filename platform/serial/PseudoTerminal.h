#pragma once

#include "platform/serial/LineSettings.h"

#include <optional>
#include <string>

namespace plat {

// A pseudo-terminal whose slave end stands in for a serial device: a program opens SlavePath()
// as its port, and whoever holds the master plays the device. The slave starts in raw mode.
// The object keeps a descriptor of its own on the slave, so that the master does not report a
// hang-up while no program has the port open (ports come and go; the device stays).
class PseudoTerminal {
public:
    // Raises a ComError when the system has no pseudo-terminal to give.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int MasterFd() const { return mMaster; }
    const std::string& SlavePath() const { return mSlavePath; }

    // The line settings that the program on the slave side has set, as far as a pseudo-terminal
    // keeps them (speed, parity, data and stop bits); nullopt when they cannot be read or name
    // a speed that a port does not use.
    std::optional<LineSettings> SlaveSettings() const;

private:
    int mMaster = -1;
    int mSlaveHold = -1;
    std::string mSlavePath;
};

} // namespace plat
