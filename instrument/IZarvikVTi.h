#pragma once

// The virtual test instrument as the test library sees it. The test library compiles against
// this header only and creates the object through the component runtime by its class
// identifier (plat::CreateObjectAs<vti::IZarvikVTi>(vti::CLSID_CZarvikVTi)), never by linking.

#include "instrument/VtiClasses.h"
#include "platform/base/ComError.h"
#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <string>

namespace vti {

// The state of the instrument.
enum EVtiState : int32_t {
    evtiNotConnected = 0,
    evtiConnecting = 1,
    evtiIdle = 2,
    evtiBusy = 3,
    evtiTransmitting = 4,
    evtiDisconnecting = 5,
};

// The code of every error the instrument raises.
enum EVTIError : int32_t {
    eeVTI_Error = plat::Hr(0x8004A462u),
};

// The instrument's own interface. A test opens the channel, checks that State is evtiIdle,
// sends commands (checking mfTimeOut after each) and waits between them, and closes the
// channel; Abort may come at any time from a handler that runs while one of these waits.
class IZarvikVTi : public virtual plat::IUnknown {
public:
    // True when the last command of this object lost the link.
    virtual bool mfTimeOut() = 0;
    virtual void SetmfTimeOut(bool value) = 0;
    virtual EVtiState State() = 0;
    // Ends a running wait, exchange or port search; never raises.
    virtual void Abort() = 0;
    // Sends the command (CR appended when missing) and returns its reply with its line end: a
    // String, empty after a lost link, or Empty after Abort. fIgnoreErrors suppresses the
    // operator messages. Raises eeVTI_Error after an unexpected error.
    virtual plat::Variant SendCommand(const std::string& sCommand, bool fIgnoreErrors = false) = 0;
    // The reply of the last command again; empty unless the link is idle. Never raises.
    virtual std::string GetResults() = 0;
    // Finds the analyzer (the configured port, or a search of ports 1 to 16 in an older host);
    // State then tells whether it answered. Raises eeVTI_Error when no analyzer answered.
    virtual void OpenChannel() = 0;
    // Releases the analyzer (unless the link was lost) and closes the port; never raises.
    virtual void CloseChannel() = 0;
    // Waits iTime ms while events are handled; ends early after Abort. Never raises.
    virtual void Wait(int32_t iTime) = 0;
};

} // namespace vti
