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
    try {
        OpenPort(static_cast<int16_t>(port));
        std::string status;
        plat::IgnoreErrors([&] { status = moComm->StatusText(); });
        // Only the port asked about is probed, never one the object still had set.
        if (status == plat::serr::StatusConnected && moComm->CommPort() == port) record = ProbeInstrument();
    } catch (const std::exception& error) {
        // A line that fails under a probe has no analyzer to report, and the port is still
        // closed, so that the next query can take another port.
        record = host::MlcQueryRecord();
        ClosePort();
        if (!plat::IsIgnorable(error)) throw;
        return record;
    }
    ClosePort();
    return record;
}

void CZarvikQuery::OpenPort(int16_t port)
{
    // A port still open would keep its number: the query would probe it instead.
    if (moComm->PortOpen()) ClosePort();
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
    try {
        for (;;) {
            size_t waiting = 0;
            plat::IgnoreErrors([&] { waiting = moComm->InBufferCount(); });
            if (waiting > 0) plat::IgnoreErrors([&] { reply.Add(moComm->Input()); });
            // A line that keeps talking without a line end is no answer.
            if (reply.IsComplete() || reply.Overflowed() || mfTimedOut) break;
            plat::Loop().PumpOnce();
        }
    } catch (...) {
        // A failing line ends the probe; its time-out does not tick on.
        plat::IgnoreErrors([&] { mfrmTimer->StopTimeout(); });
        throw;
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
