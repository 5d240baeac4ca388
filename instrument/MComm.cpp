#include "instrument/MComm.h"

#include "instrument/LinkProtocol.h"
#include "instrument/MCommUtils.h"
#include "platform/base/ComError.h"
#include "platform/loop/EventLoop.h"
#include "platform/serial/SerialErrors.h"

#include <algorithm>
#include <utility>

namespace vti {

namespace {

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
    Collect(collector, watchAbort, [this] { return TakeInput(); });
}

void MComm::Collect(ReplyCollector& collector, bool watchAbort, const std::function<std::string()>& take)
{
    for (;;) {
        collector.Add(take());
        miChunks = static_cast<int16_t>(std::min(collector.Chunks(), 32767));
        if (collector.Overflowed()) {
            mfLinkTimeOut = true;
            return;
        }
        if (collector.IsComplete() || mfLinkTimeOut || (watchAbort && mfAbort)) return;
        plat::Loop().PumpOnce();
    }
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
        ForgetLine();
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
    ++mConnectChecks;

    // Settle before the port is (re)opened; this wait does not look at mfAbort.
    mfLinkTimeOut = false;
    form.StartTimer(SettleTime);
    WaitForLinkTick();
    form.StopTimer();
    mfLinkTimeOut = false;

    ReplyCollector answer(ReplyCollector::Completion::TextEndsCrLf, miMinChunks);
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
    // Whatever the line held before the check is no answer to it, nor to anything after.
    PortStep([&] { comm.SetInBufferCount(0); });
    ForgetLine();

    PortStep([&] { comm.SetOutput(LinkProtocol::LinkCheckText()); });
    miChunks = 0;
    Collect(answer, true);
    form.StopTimer();
    miChunks = 0;

    if (LinkProtocol::IsConnectAnswer(answer.Text())) event = levGoodReply;
    if (mfLinkTimeOut) {
        event = levFailure;
    } else if (event == levEnter && answer.IsComplete() && mConnectChecks >= MaxConnectChecks) {
        // A line that is no answer gets one more check on this port, not an endless search.
        event = levFailure;
    }
}

void MComm::SendAction(int16_t& event)
{
    auto& comm = Form().Comm();
    mWrites = 0;
    if (LinkProtocol::IsRefractoryCommand(msLastCommand) && mMeasurementRunning) {
        // The measurement still running answers this ask: nothing that came of its answer is
        // dropped. Once it has ended, its answer is this ask's reply, and asking again would
        // only start another measurement.
        mMeasurementText += TakeLandedInput();
        const std::string lines = LinkProtocol::CompleteLines(mMeasurementText);
        if (!lines.empty()) {
            DropText(std::string_view(mMeasurementText).substr(lines.size()));
            mMeasurementText = lines;
            event = levDone;
            return;
        }
    } else {
        if (mMeasurementRunning) {
            // Another command: the measurement's answer is no reply of it.
            mMeasurementRunning = false;
            DropText(std::exchange(mMeasurementText, {}));
        }
        DropOwedAnswers();
        if (mfAbort) return;
        // What is still on the line is no reply, but its answers count.
        DropText(TakeLandedInput());
        PortStep([&] { comm.SetInBufferCount(0); });
    }
    PortStep([&] { comm.SetOutput(msLastCommand); });
    Wrote();
    event = levDone;
}

void MComm::ReadAction(int16_t& event)
{
    auto& form = Form();
    const bool refractory = LinkProtocol::IsRefractoryCommand(msLastCommand);
    ReplyCollector reply(ReplyCollector::Completion::PieceEndsLf, miMinChunks);
    if (refractory && mMeasurementRunning) {
        // What has come of the running measurement's answer begins this ask's reply.
        mMeasurementRunning = false;
        reply.Add(std::exchange(mMeasurementText, {}));
    }
    msReply.clear();
    miChunks = 0;
    mfLinkTimeOut = false;
    form.StartTimer(ReplyTime);
    Collect(reply, true, [this, &reply] { return TakeReplyInput(reply); });
    form.StopTimer();

    const bool overflowed = reply.Overflowed();
    const std::string text = reply.Text();
    if (refractory && !overflowed) {
        // The refractory measurement may take the whole reply time: its end is no failure.
        // What arrived complete is the reply.
        msReply = LinkProtocol::CompleteLines(text);
        SeeAnswers(msReply);
        if (msReply.empty()) {
            // Nothing whole yet, whether the reply time ended or an abort came: the
            // measurement goes on, and its answer, whole, is the reply of the next
            // "PACEREFRACT". It is not owed.
            mMeasurementRunning = true;
            mMeasurementText = text;
            mOwedAnswers = static_cast<int16_t>(std::max(0, mOwedAnswers - 1));
        } else {
            // A fragment after the answer is no part of it.
            DropText(std::string_view(text).substr(msReply.size()));
        }
        event = levGoodReply;
        if (!mfAbort) mfLinkTimeOut = false;
        return;
    }
    if (reply.IsComplete()) {
        SeeAnswers(text);
        // After a resend, a second line that came with the first is the answer to a resend.
        msReply = mWrites > 1 ? LinkProtocol::FirstLine(text) : text;
        event = levGoodReply;
        return;
    }
    // A partial reply is dropped (and the command sent again); the rest of its line is owed.
    DropText(text);
    if (mfLinkTimeOut) event = levTimeOut;
}

void MComm::SeeAnswers(std::string_view text)
{
    const int lines = LinkProtocol::CountLines(text);
    if (lines == 0) return;
    mOwedAnswers = static_cast<int16_t>(std::max(0, mOwedAnswers - lines));
    mOwedSince = plat::Loop().Now();
}

void MComm::DropText(std::string_view text)
{
    if (text.empty()) return;
    SeeAnswers(text);
    const size_t last = text.rfind(LinkProtocol::LF);
    if (last == std::string_view::npos) {
        mOpenLength = (mLineOpen ? mOpenLength : 0) + text.size();
    } else {
        mOpenLength = text.size() - last - 1;
    }
    mLineOpen = mOpenLength > 0;
}

void MComm::Wrote()
{
    ++mWrites;
    mOwedAnswers = static_cast<int16_t>(std::min(32767, mOwedAnswers + 1));
    mOwedSince = plat::Loop().Now();
}

std::string MComm::TakeReplyInput(ReplyCollector& reply)
{
    std::string text = TakeInput();
    if (!mLineOpen || text.empty()) return text;
    const size_t end = text.find(LinkProtocol::LF);
    const size_t rest = end == std::string::npos ? text.size() : end + 1;
    DropText(std::string_view(text).substr(0, rest));
    if (mLineOpen && mOpenLength > ReplyCollector::MaxText) {
        // A line that keeps talking without a line end is no answer, whether its start was
        // dropped or not: the collection ends at once, and what follows is judged afresh.
        mLineOpen = false;
        mOpenLength = 0;
        reply.Overflow();
        return {};
    }
    return text.substr(rest);
}

void MComm::ForgetLine()
{
    mOwedAnswers = 0;
    mLineOpen = false;
    mOpenLength = 0;
    mMeasurementRunning = false;
    mMeasurementText.clear();
}

void MComm::DropOwedAnswers()
{
    auto& form = Form();
    plat::TimePoint armedFor{};
    for (;;) {
        DropText(TakeInput());
        if (mOwedAnswers <= 0 || mfAbort) break;
        // An owed answer can come until the reply time after the last write or answer seen.
        const plat::TimePoint until = mOwedSince + std::chrono::milliseconds(ReplyTime);
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - plat::Loop().Now()).count();
        if (left <= 0) break;
        if (until != armedFor) {
            form.StartTimer(static_cast<int32_t>(left));
            armedFor = until;
        }
        plat::Loop().PumpOnce();
    }
    form.StopTimer();
    // Answers that did not come in their time are not waited for again, but the rest of an
    // open line still is; an abort leaves them all owed.
    if (!mfAbort) mOwedAnswers = static_cast<int16_t>(std::min<int>(mOwedAnswers, mLineOpen ? 1 : 0));
    mfLinkTimeOut = false;
}

void MComm::RetryAction(int16_t& event)
{
    auto& form = Form();
    auto& comm = form.Comm();
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
        // What is dropped here may hold a late answer to a write before.
        DropText(TakeLandedInput());
        PortStep([&] { comm.SetInBufferCount(0); });
        PortStep([&] { comm.SetOutput(msLastCommand); });
        Wrote();
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
