#include "instrument/MComm.h"

#include "instrument/LinkProtocol.h"
#include "instrument/MCommUtils.h"
#include "platform/base/ComError.h"
#include "platform/loop/EventLoop.h"
#include "platform/serial/SerialErrors.h"
#include "platform/serial/SerialPort.h"

#include <algorithm>
#include <utility>

namespace vti {

namespace {

// The port drops what arrives beyond its bound while nobody reads; a burst of that size must still
// run beyond the ledger's bound of a line, or it would pass for an answer still under way.
static_assert(plat::SerialPort::MaxReceived > LineLedger::DefaultMaxLine);

std::shared_ptr<MComm>& ProcessEngine()
{
    static std::shared_ptr<MComm> engine;
    return engine;
}

// Marks the machine as running for the life of one run.
class RunningScope {
public:
    explicit RunningScope(bool& running) : mRunning(running) { mRunning = true; }
    ~RunningScope() { mRunning = false; }
    RunningScope(const RunningScope&) = delete;
    RunningScope& operator=(const RunningScope&) = delete;

private:
    bool& mRunning;
};

} // namespace

MComm::MComm() = default;

MComm::~MComm() = default;

std::shared_ptr<MComm> MComm::Process()
{
    auto& engine = ProcessEngine();
    if (!engine) engine = std::make_shared<MComm>();
    return engine;
}

std::shared_ptr<MComm> MComm::SetProcess(std::shared_ptr<MComm> engine)
{
    auto previous = std::move(ProcessEngine());
    ProcessEngine() = std::move(engine);
    return previous;
}

FTestVTI& MComm::Form()
{
    if (mForm && mForm->IsUnloaded()) {
        // An unloaded form is made anew on its next use, as forms are; its port goes with it.
        plat::IgnoreErrors([&] { mForm->Comm().SetPortOpen(false); });
        mForm.reset();
    }
    if (!mForm) mForm = std::make_shared<FTestVTI>([this] { CommTimeoutElapsed(); });
    return *mForm;
}

void MComm::CommTimeoutElapsed()
{
    mfLinkTimeOut = true;
}

bool MComm::PortStep(const std::function<void()>& step)
{
    for (int attempt = 0;; ++attempt) {
        try {
            step();
            return true;
        } catch (const plat::ComError& error) {
            // A wait that can never end (nothing left to run in virtual time) is no fault of the port.
            if (!error.Ignorable()) throw;
            if (error.Number() == plat::serr::PermissionDenied) return true;
            // A busy device may come free: the step runs again, a bounded number of times.
            if (error.Number() == plat::serr::DeviceUnavailable && attempt < MaxDeviceRetries) continue;
            mPortError = true;
            return false;
        }
    }
}

void MComm::PumpPending()
{
    plat::Loop().RunPending();
}

void MComm::WaitForLinkTick()
{
    plat::Loop().RunUntil([this] { return mfLinkTimeOut; });
}

std::string MComm::TakeInput()
{
    auto& comm = Form().Comm();
    size_t waiting = 0;
    PortStep([&] { waiting = comm.InBufferCount(); });
    std::string text;
    if (waiting > 0) PortStep([&] { text = comm.Input(); });
    return text;
}

std::string MComm::TakeLandedInput()
{
    PumpPending();
    return TakeInput();
}

void MComm::Collect(ReplyCollector& collector, bool watchAbort)
{
    for (;;) {
        collector.Add(TakeInput());
        miChunks = static_cast<int16_t>(std::min(collector.Chunks(), 32767));
        if (collector.Overflowed()) {
            mfLinkTimeOut = true;
            return;
        }
        if (collector.IsComplete() || mfLinkTimeOut || (watchAbort && mfAbort)) return;
        plat::Loop().PumpOnce();
    }
}

void MComm::CollectReply(const std::function<bool()>& done)
{
    miChunks = 0;
    for (;;) {
        const std::string text = TakeInput();
        if (!text.empty()) {
            miChunks = static_cast<int16_t>(std::min(miChunks + 1, 32767));
            mLedger.Received(text);
        }
        if (done() || mfLinkTimeOut || mfAbort) return;
        plat::Loop().PumpOnce();
    }
}

bool MComm::WriteForExchange(const std::string& text)
{
    // The last turn pumped may have brought a Stop: nothing is written after it.
    if (mfAbort) return false;
    auto& comm = Form().Comm();
    size_t unseen = 0;
    PortStep([&] { unseen = comm.InBufferCount(); });
    PortStep([&] { comm.SetInBufferCount(0); });
    mLedger.Discarded(unseen);
    PortStep([&] { comm.SetOutput(text); });
    mLedger.Wrote(plat::Loop().Now());
    return true;
}

int16_t MComm::CommInit()
{
    // A channel cannot be prepared under an exchange that is still running.
    if (mRunning) return 0;
    int16_t result = 0;
    plat::IgnoreErrors([&] {
        Form().Load();
        mfStopSearch = false;
        miLinkState = lnkClosed;
        miMinChunks = 1;
        msTerminator = std::string(1, LinkProtocol::CR);
        msLinkCommand = LinkProtocol::LinkCommand;
        // Every channel starts counting retransmissions afresh, also after an abort.
        miRetries = 0;
        mLedger.Reset();
        mPortError = false;
        result = CommStateMachine(levEnter);
    });
    plat::IgnoreErrors([&] {
        if (mForm && mForm->Comm().PortOpen()) mForm->Comm().SetPortOpen(false);
    });
    return result;
}

int16_t MComm::CommOpenPort(int16_t port)
{
    if (mRunning) return lnkFailed;
    int16_t result = lnkFailed;
    plat::IgnoreErrors([&] {
        if (miPort > 0) CommClose();
        miPort = port;
        if (mfStopSearch) {
            result = 0;
            return;
        }
        CommStateMachine(levOpen);
        const int16_t outcome = mfStopSearch ? 0 : (miLinkState == lnkIdle ? lnkIdle : lnkFailed);
        // A failed attempt, and one the search was stopped in, leave no port open behind.
        if (outcome != lnkIdle) CommClose();
        result = outcome;
    });
    return result;
}

int16_t MComm::CommSendCommand(const std::string& command)
{
    // An exchange started from inside a message pumped by a running one would overwrite the
    // command the running one may still retransmit: it writes nothing.
    if (mRunning) return miLinkState;
    mExchangeError = nullptr;
    try {
        msLastCommand = LinkProtocol::FrameCommand(command);
        // The reply of the command before is never taken for this one's.
        msReply.clear();
        // Every command gets its own retransmissions.
        miRetries = 0;
        CommStateMachine(levSend);
    } catch (const std::exception& error) {
        if (!plat::IsIgnorable(error)) throw;
        // The sending raises nothing; the reply that the exchange cannot have does.
        mExchangeError = std::current_exception();
    }
    return miLinkState;
}

int16_t MComm::CommGetReply(std::string& reply)
{
    if (mRunning) {
        reply.clear();
        return miLinkState;
    }
    if (mExchangeError) {
        reply.clear();
        std::rethrow_exception(std::exchange(mExchangeError, nullptr));
    }
    miRetries = 0;
    const int16_t state = CommStateMachine(levFetch);
    reply = state == lnkIdle ? msReply : std::string();
    return state;
}

void MComm::CommClose()
{
    if (mRunning) return;
    plat::IgnoreErrors([&] { CommStateMachine(levClose); });
    miPort = 0;
}

int16_t MComm::CommStateMachine(int16_t event)
{
    if (mRunning) return miLinkState;
    RunningScope running(mRunning);
    const bool closeRequested = event == levClose;
    mfAbort = false;
    try {
        for (;;) {
            PumpPending();
            if (mfAbort || !Handle(event) || mfAbort) break;
        }
    } catch (...) {
        // An error out of a handler that ran while the machine pumped must not leave the link
        // in a passing state that no later event leads out of: it rests as after an abort.
        SettleAfterAbort(closeRequested);
        throw;
    }
    if (mfAbort) SettleAfterAbort(closeRequested);
    return miLinkState;
}

void MComm::Enter(int16_t state, int16_t& event)
{
    miLinkState = state;
    event = levEnter;
}

bool MComm::Handle(int16_t& event)
{
    auto& comm = Form().Comm();
    switch (miLinkState) {
    case lnkClosed:
        if (event != levOpen) return false;
        mConnectChecks = 0;
        Enter(lnkConnecting, event);
        return true;
    case lnkConnecting:
        switch (event) {
        case levEnter: ConnectAction(event); return true;
        case levGoodReply: Enter(lnkIdle, event); return true;
        case levFailure: Enter(lnkFailed, event); return true;
        case levClose: Enter(lnkClosing, event); return true;
        default: return false;
        }
    case lnkIdle:
        switch (event) {
        case levSend: Enter(lnkSending, event); return true;
        case levClose: Enter(lnkClosing, event); return true;
        default: return false;
        }
    case lnkSending:
        switch (event) {
        case levEnter: SendAction(event); return true;
        case levDone: Enter(lnkAwaitingReply, event); return true;
        case levClose: Enter(lnkClosing, event); return true;
        default: return false;
        }
    case lnkAwaitingReply:
        switch (event) {
        case levEnter: ReadAction(event); return true;
        case levGoodReply: Enter(lnkIdle, event); return true;
        case levTimeOut: Enter(lnkRetrying, event); return true;
        case levClose: Enter(lnkClosing, event); return true;
        default: return false;
        }
    case lnkRetrying:
        switch (event) {
        case levEnter: RetryAction(event); return true;
        case levDone: Enter(lnkAwaitingReply, event); return true;
        case levFailure: Enter(lnkFailed, event); return true;
        case levClose: Enter(lnkClosing, event); return true;
        default: return false;
        }
    case lnkFailed:
        switch (event) {
        case levEnter: event = levDone; return true;
        case levDone:
        case levClose: Enter(lnkClosing, event); return true;
        default: return false;
        }
    case lnkClosing:
        switch (event) {
        case levEnter:
            PortStep([&] { comm.SetPortOpen(false); });
            event = levDone;
            return true;
        case levDone: Enter(lnkClosed, event); return true;
        default: return false;
        }
    default:
        return false;
    }
}

void MComm::ConnectAction(int16_t& event)
{
    auto& form = Form();
    auto& comm = form.Comm();
    const bool again = ++mConnectChecks > 1;

    // Settle before the port is (re)opened; this wait does not look at mfAbort.
    mfLinkTimeOut = false;
    form.StartTimer(SettleTime);
    WaitForLinkTick();
    form.StopTimer();
    mfLinkTimeOut = false;

    form.StartTimer(CheckTime);

    mPortError = false;
    PortStep([&] { comm.SetCommPort(miPort); });
    PortStep([&] { comm.SetSettings(LinkProtocol::LinkSettings); });
    PortStep([&] { comm.SetPortOpen(true); });
    PortStep([&] { MCommUtils::CheckPortStatus(comm.StatusText()); });
    if (mPortError) {
        // The check timer is not left ticking for a port that never opened.
        form.StopTimer();
        Enter(lnkClosing, event);
        return;
    }
    if (again) {
        // The check written before is still owed its answer, which may come yet.
        mLedger.Received(TakeLandedInput());
    } else {
        // Whatever the line held before the check is no answer to it, nor to anything after.
        PortStep([&] { comm.SetInBufferCount(0); });
        mLedger.Reset();
        mLedger.Begin(LineLedger::Kind::LinkCheck);
    }
    if (!mLedger.HasReply()) WriteForExchange(LinkProtocol::LinkCheckText());
    CollectReply([this] { return mLedger.HasReply() || mLedger.NoiseLines() > 0; });
    form.StopTimer();
    miChunks = 0;

    if (mLedger.HasReply()) {
        // A whole answer wins over a tick of the check timer in the same turn.
        mfLinkTimeOut = false;
        event = levGoodReply;
        return;
    }
    if (mfLinkTimeOut || mfAbort) mLedger.ReplyTimeEnded(plat::Loop().Now());
    if (mfLinkTimeOut) {
        event = levFailure;
    } else if (mLedger.NoiseLines() > 0 && mConnectChecks >= MaxConnectChecks) {
        // A line that is no answer gets one more check on this port, not an endless search.
        event = levFailure;
    }
}

void MComm::SendAction(int16_t& event)
{
    mLedger.Begin(LinkProtocol::IsRefractoryCommand(msLastCommand) ? LineLedger::Kind::Refractory
                                                                   : LineLedger::Kind::Command);
    DropOwedAnswers();
    if (mfAbort) return;
    // What is still on the line is told before the discard; a measurement's answer that has
    // come whole is the reply of this ask, which then writes nothing.
    mLedger.Received(TakeLandedInput());
    if (!mLedger.HasReply() && !WriteForExchange(msLastCommand)) return;
    event = levDone;
}

void MComm::ReadAction(int16_t& event)
{
    auto& form = Form();
    msReply.clear();
    mfLinkTimeOut = false;
    form.StartTimer(ReplyTime);
    CollectReply([this] { return mLedger.HasReply() || mLedger.Overflowed(); });
    form.StopTimer();

    if (mLedger.HasReply()) {
        // A whole reply wins over a tick of the reply time in the same turn.
        msReply = mLedger.Reply();
        mfLinkTimeOut = false;
        event = levGoodReply;
        return;
    }
    const bool overflowed = mLedger.Overflowed();
    mLedger.ReplyTimeEnded(plat::Loop().Now());
    if (LinkProtocol::IsRefractoryCommand(msLastCommand) && !overflowed) {
        // The refractory measurement may take longer than the reply time: its end is no
        // failure, the reply is empty and the measurement's answer is still to come.
        event = levGoodReply;
        if (!mfAbort) mfLinkTimeOut = false;
        return;
    }
    // A line that runs beyond the bound of a reply is no answer: the attempt has failed.
    if (overflowed) mfLinkTimeOut = true;
    if (mfLinkTimeOut) event = levTimeOut;
}

void MComm::DropOwedAnswers()
{
    auto& form = Form();
    plat::TimePoint armedFor{};
    for (;;) {
        mLedger.Received(TakeInput());
        if (mfAbort || mLedger.HasReply()) break;
        const auto until = mLedger.OwedUntil();
        if (!until) break;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*until - plat::Loop().Now()).count();
        if (left <= 0) break;
        if (*until != armedFor) {
            form.StartTimer(static_cast<int32_t>(left));
            armedFor = *until;
        }
        plat::Loop().PumpOnce();
    }
    form.StopTimer();
    // Answers that did not begin in their time will not come; an abort leaves them owed.
    if (!mfAbort) mLedger.Expire(plat::Loop().Now());
    mfLinkTimeOut = false;
}

void MComm::RetryAction(int16_t& event)
{
    auto& form = Form();
    ++miRetries;
    if (miRetries > MaxRetries) {
        event = levFailure;
        return;
    }
    // Pause first, then discard, then write: a late tail of the dropped reply that arrives
    // during the pause is never taken for the reply to the command sent again.
    form.StartSleepTimer(RetryPause);
    plat::Loop().RunUntil([&] { return !form.IsSleeping() || mfAbort; });
    if (!mfAbort) {
        mLedger.Received(TakeLandedInput());
        WriteForExchange(msLastCommand);
    }
    event = levDone;
}

void MComm::SettleAfterAbort(bool closeRequested)
{
    // A close that was asked for is finished whatever interrupted it.
    if (closeRequested && miLinkState == lnkIdle) miLinkState = lnkClosing;
    switch (miLinkState) {
    case lnkSending:
    case lnkAwaitingReply:
    case lnkRetrying:
        // An interrupted exchange: the link stays open for the next one, and what was
        // collected so far is no reply. The answers its writes may still get stay owed.
        msReply.clear();
        miLinkState = lnkIdle;
        break;
    case lnkConnecting:
    case lnkFailed:
    case lnkClosing:
        // An interrupted opening or closing is finished: the port is closed.
        if (mForm) {
            mForm->StopTimer();
            PortStep([&] { mForm->Comm().SetPortOpen(false); });
        }
        miLinkState = lnkClosed;
        break;
    default:
        break;
    }
}

} // namespace vti
