#pragma once

#include "instrument/IZarvikVTi.h"
#include "instrument/ZarvikModule.h"

#include <cstdint>
#include <string>

namespace vti {

class MComm;

// The virtual test instrument: what a test element talks to the analyzer through. It adds to
// the process's link protocol engine the search for the port, the operator's message about a
// missing analyzer, the release of the analyzer before closing and the errors reported to the
// host. All instances share the one engine, and so the one port.
class CZarvikVTi : public IZarvikVTi {
public:
    static constexpr const char* ModuleKey = zarvik::ModuleKey;
    static constexpr const char* ErrorSource = "TelvoZarvikVTI.CZARVIKVti";
    static constexpr const char* NoMtiText =
        "20521::No MTI was found connected. Check that your ZARVIK is connected and that it has been powered on.";
    // The title of the operator's message boxes.
    static constexpr const char* AppTitle = "Zarvik instrument link";
    // The host version from which the host keeps a configured port per module.
    static constexpr const char* PortConfigVersion = "2.1.2";
    // The ports an older host's search tries, in this order.
    static constexpr int16_t FirstSearchPort = 1;
    static constexpr int16_t LastSearchPort = 16;
    static constexpr int32_t ReleaseTime = 1000;
    static constexpr int32_t ReleaseSettle = 50;

    bool mfTimeOut() override { return mTimedOut; }
    void SetmfTimeOut(bool value) override { mTimedOut = value; }
    EVtiState State() override { return meState; }
    void Abort() override;
    plat::Variant SendCommand(const std::string& sCommand, bool fIgnoreErrors = false) override;
    std::string GetResults() override;
    void OpenChannel() override;
    void CloseChannel() override;
    void Wait(int32_t iTime) override;

private:
    int16_t TryPort(MComm& engine, int32_t port);
    bool CheckHostVersion(const std::string& version);
    void ReleaseInstrument(MComm& engine);
    void ShowNoMtiMessage();
    [[noreturn]] void RaiseVtiError();

    // The public mfTimeOut: the last command of this object lost the link.
    bool mTimedOut = false;
    EVtiState meState = evtiNotConnected;
    bool mfAborted = false;
};

} // namespace vti
