#include "instrument/CZarvikQuery.h"

#include "instrument/FTimer.h"
#include "instrument/LinkProtocol.h"
#include "instrument/ReplyCollector.h"
#include "platform/base/ComError.h"
#include "platform/com/ServerEntryPoints.h"
#include "platform/loop/EventLoop.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/SerialErrors.h"
#include "platform/serial/SerialPort.h"

namespace vti {

namespace {

// Whether the port leads to a device at all; the port is not touched.
bool HasDevice(int32_t port)
{
    if (port < 1 || port > 32767) return false;
    try {
        return plat::PortMap::Resolve(port).kind != plat::PortMap::Target::Kind::None;
    } catch (const plat::ComError&) {
        return false;
    }
}

} // namespace

CZarvikQuery::CZarvikQuery() : moComm(std::make_unique<plat::SerialPort>()), mfrmTimer(std::make_shared<FTimer>())
{
    mTimerEvents = mfrmTimer->Timer.Connect([this] { mfrmTimer_Timer(); });
    mfrmTimer->Load();
}

CZarvikQuery::~CZarvikQuery()
{
    try {
        if (moComm && moComm->PortOpen()) moComm->SetPortOpen(false);
    } catch (const std::exception&) {
    }
    moComm.reset();
    if (mfrmTimer) {
        mTimerEvents = plat::ScopedConnection();
        mfrmTimer->Unload();
        mfrmTimer.reset();
    }
}

host::MlcQueryRecord CZarvikQuery::QueryMTI(int32_t port)
{
    host::MlcQueryRecord record;
    // A port that cannot be or leads to no device is not found without touching the port.
    if (!HasDevice(port)) return record;
    OpenPort(static_cast<int16_t>(port));
    std::string status;
    plat::IgnoreErrors([&] { status = moComm->StatusText(); });
    if (status == plat::serr::StatusConnected) record = ProbeInstrument();
    ClosePort();
    return record;
}

void CZarvikQuery::OpenPort(int16_t port)
{
    plat::IgnoreErrors([&] { moComm->SetCommPort(port); });
    plat::IgnoreErrors([&] { moComm->SetSettings(LinkProtocol::ProbeSettings); });
    plat::IgnoreErrors([&] { moComm->SetPortOpen(true); });
}

void CZarvikQuery::ClosePort()
{
    plat::IgnoreErrors([&] { moComm->SetPortOpen(false); });
}

host::MlcQueryRecord CZarvikQuery::ProbeInstrument()
{
    std::string reply = Probe(LinkProtocol::BaudProbeText());
    // Either way the line goes on at the link's speed; an analyzer that did not take the
    // change is asked once more there, with the link command.
    plat::IgnoreErrors([&] { moComm->SetSettings(LinkProtocol::LinkSettings); });
    if (!LinkProtocol::AcceptsBaudChange(reply)) reply = Probe(LinkProtocol::LinkProbeText());

    host::MlcQueryRecord record;
    if (LinkProtocol::IsProbeAnswer(reply)) {
        record.mtiType = MtiTypeName;
        record.found = 1;
    }
    return record;
}

std::string CZarvikQuery::Probe(const std::string& text)
{
    plat::IgnoreErrors([&] { moComm->SetInBufferCount(0); });
    mfTimedOut = false;
    ReplyCollector reply(ReplyCollector::Completion::TextEndsCrLf);
    plat::IgnoreErrors([&] { mfrmTimer->StartTimeout(ProbeTime); });
    plat::IgnoreErrors([&] { moComm->SetOutput(text); });
    for (;;) {
        size_t waiting = 0;
        plat::IgnoreErrors([&] { waiting = moComm->InBufferCount(); });
        if (waiting > 0) plat::IgnoreErrors([&] { reply.Add(moComm->Input()); });
        // A line that keeps talking without a line end is no answer.
        if (reply.IsComplete() || reply.Overflowed() || mfTimedOut) break;
        plat::Loop().PumpOnce();
    }
    plat::IgnoreErrors([&] { mfrmTimer->StopTimeout(); });
    return reply.Text();
}

void CZarvikQuery::mfrmTimer_Timer()
{
    mfTimedOut = true;
}

} // namespace vti

ZARVIK_REGISTER_CLASS(vti::CZarvikQuery, vti::ProgID_CZarvikQuery, vti::CLSID_CZarvikQuery)
