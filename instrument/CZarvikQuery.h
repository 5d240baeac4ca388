#pragma once

#include "host/interfaces/ITelvoMLCQuery.h"
#include "instrument/VtiClasses.h"
#include "instrument/ZarvikModule.h"
#include "platform/ui/Event.h"

#include <cstdint>
#include <memory>
#include <string>

namespace plat {
class SerialPort;
}

namespace vti {

class FTimer;

// How the host finds out whether an analyzer of this kind is on a serial port. The probe
// speaks to the analyzer at 2400 baud and asks it to change to 9600, then checks it at 9600,
// the speed of the link. It uses a port and a timer form of its own, not the link engine's;
// each QueryMTI opens the port and closes it again. QueryMTI never raises.
class CZarvikQuery : public host::ITelvoMLCQuery {
public:
    static constexpr const char* MtiTypeName = zarvik::ModuleKey;
    static constexpr int32_t ProbeTime = 2000;

    CZarvikQuery();
    ~CZarvikQuery() override;
    CZarvikQuery(const CZarvikQuery&) = delete;
    CZarvikQuery& operator=(const CZarvikQuery&) = delete;

    std::string MtiType() override { return {}; }
    std::string SerialNo() override { return {}; }
    std::string FWVersion() override { return {}; }
    host::MlcQueryRecord QueryMTI(int32_t port) override;

private:
    void OpenPort(int16_t port);
    void ClosePort();
    host::MlcQueryRecord ProbeInstrument();
    // Writes the probe and collects its answer until it ends CR LF or the probe time is up.
    std::string Probe(const std::string& text);
    void mfrmTimer_Timer();

    std::unique_ptr<plat::SerialPort> moComm;
    std::shared_ptr<FTimer> mfrmTimer;
    plat::ScopedConnection mTimerEvents;
    bool mfTimedOut = false;
};

} // namespace vti
