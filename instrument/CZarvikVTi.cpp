#include "instrument/CZarvikVTi.h"

#include "host/documents/HostErrorRaiser.h"
#include "host/units/HostMtiConfiguration.h"
#include "host/documents/HostTranslator.h"
#include "host/units/HostVersionCheck.h"
#include "instrument/LinkProtocol.h"
#include "instrument/MComm.h"
#include "instrument/ReplyCollector.h"
#include "platform/com/ServerEntryPoints.h"
#include "platform/loop/EventLoop.h"
#include "platform/ui/MessageBox.h"

namespace vti {

void CZarvikVTi::Abort()
{
    plat::IgnoreErrors([this] {
        auto engine = MComm::Process();
        engine->mfAbort = true;
        engine->mfStopSearch = true;
    });
    mfAborted = true;
}

void CZarvikVTi::OpenChannel()
{
    try {
        meState = evtiConnecting;
        mfAborted = false;
        mTimedOut = false;
        auto engine = MComm::Process();
        engine->CommInit();

        if (CheckHostVersion(PortConfigVersion)) {
            int32_t port = 0;
            host::HostMtiConfiguration().Settings()->GetCommPort(ModuleKey, "", port);
            if (port <= 0) {
                // No port configured: nothing is tried and no message follows.
                mfAborted = true;
            } else if (TryPort(*engine, port) == lnkIdle) {
                meState = evtiIdle;
            }
        } else {
            for (int16_t port = FirstSearchPort; port <= LastSearchPort; ++port) {
                if (TryPort(*engine, port) == lnkIdle) {
                    meState = evtiIdle;
                    break;
                }
                if (mfAborted) break;
            }
        }

        if (meState == evtiConnecting) {
            meState = evtiNotConnected;
            if (!mfAborted) ShowNoMtiMessage();
            RaiseVtiError();
        }
    } catch (const std::exception& error) {
        meState = evtiNotConnected;
        // The link's own error goes on to the caller, and so does a wait that can never end.
        const auto* coded = dynamic_cast<const plat::ComError*>(&error);
        if (!plat::IsIgnorable(error) || (coded && coded->Number() == eeVTI_Error)) throw;
        host::HostErrorRaiser().Report(error, ErrorSource);
    }
}

int16_t CZarvikVTi::TryPort(MComm& engine, int32_t port)
{
    if (engine.mfStopSearch) return 0;
    // A port number no port can have leads to no device: no analyzer answers there.
    if (port < 1 || port > 32767) return lnkFailed;
    return engine.CommOpenPort(static_cast<int16_t>(port));
}

bool CZarvikVTi::CheckHostVersion(const std::string& version)
{
    try {
        return host::HostVersionCheck().IsVersionAtLeast(version);
    } catch (const std::exception&) {
        // A host without the check is an older host.
        return false;
    }
}

plat::Variant CZarvikVTi::SendCommand(const std::string& sCommand, bool fIgnoreErrors)
{
    auto engine = MComm::Process();
    // A command sent from a handler that runs while another exchange waits would disturb it:
    // it writes nothing, changes nothing and gets no reply.
    if (engine->IsRunning()) return plat::Variant(std::string());

    plat::Variant result;
    try {
        meState = evtiTransmitting;
        mfAborted = false;
        mTimedOut = false;
        engine->CommSendCommand(sCommand);
        if (!mfAborted) {
            std::string reply;
            engine->CommGetReply(reply);
            result = reply;
            if (!mfAborted && !fIgnoreErrors && sCommand != "ZERO" && engine->mfLinkTimeOut) {
                ShowNoMtiMessage();
                mTimedOut = true;
            }
        }
        meState = evtiIdle;
        return result;
    } catch (const std::exception& error) {
        if (!plat::IsIgnorable(error)) throw;
        auto* coded = dynamic_cast<const plat::ComError*>(&error);
        const int32_t number = coded ? coded->Number() : plat::rt::InvalidCall;
        if (number != eeVTI_Error && !fIgnoreErrors) {
            plat::IgnoreErrors([&] {
                plat::MsgBox("Error #" + std::to_string(number) + "\r\n" + (coded ? coded->Description() : error.what()),
                             plat::vbExclamation, AppTitle);
            });
        }
        // The state follows the link, not the exchange that failed.
        meState = engine->LinkState() == lnkIdle ? evtiIdle : evtiNotConnected;
        RaiseVtiError();
    }
}

std::string CZarvikVTi::GetResults()
{
    std::string reply;
    plat::IgnoreErrors([&] { MComm::Process()->CommGetReply(reply); });
    return reply;
}

void CZarvikVTi::CloseChannel()
{
    auto engine = MComm::Process();
    // Nothing is closed under an exchange that is still running further up the stack.
    if (engine->IsRunning()) return;
    // The release goes out only on a link that is there and idle.
    if (!mTimedOut && engine->LinkState() == lnkIdle) plat::IgnoreErrors([&] { ReleaseInstrument(*engine); });
    plat::IgnoreErrors([&] { engine->CommClose(); });
}

void CZarvikVTi::ReleaseInstrument(MComm& engine)
{
    Wait(ReleaseSettle);
    auto& form = engine.Form();
    engine.mfLinkTimeOut = false;
    form.StartTimer(ReleaseTime);
    plat::IgnoreErrors([&] { form.Comm().SetOutput(LinkProtocol::ReleaseText()); });
    // The answer is read and dropped; this wait does not look at Abort.
    ReplyCollector answer(ReplyCollector::Completion::TextEndsCrLf);
    engine.Collect(answer, false);
    form.StopTimer();
}

void CZarvikVTi::Wait(int32_t iTime)
{
    plat::IgnoreErrors([&] {
        auto& form = MComm::Process()->Form();
        form.StartSleepTimer(iTime);
        plat::Loop().RunUntil([&] { return !form.IsSleeping() || mfAborted; });
    });
}

void CZarvikVTi::ShowNoMtiMessage()
{
    const std::string text = host::HostTranslator::Process()->Translate(ModuleKey, NoMtiText, std::vector<plat::Variant>{});
    plat::MsgBox(text, plat::vbExclamation, AppTitle);
}

void CZarvikVTi::RaiseVtiError()
{
    host::HostErrorRaiser().Raise(ModuleKey, eeVTI_Error, ErrorSource, 1);
}

} // namespace vti

ZARVIK_REGISTER_CLASS(vti::CZarvikVTi, vti::ProgID_CZarvikVTi, vti::CLSID_CZarvikVTi)
