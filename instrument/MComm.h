#pragma once

#include "instrument/FTestVTI.h"
#include "instrument/LineLedger.h"
#include "instrument/ReplyCollector.h"
#include "platform/loop/EventLoop.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vti {

// The states of the link.
enum ELinkState : int16_t {
    lnkClosed = 0,        // port closed
    lnkConnecting = 1,    // port being opened and the analyzer checked with the link command
    lnkIdle = 2,          // connected, no exchange running
    lnkSending = 3,       // receive buffer discarded and the command written
    lnkAwaitingReply = 5, // reply being collected
    lnkRetrying = 6,      // command being retransmitted
    lnkFailed = 7,        // connection attempt or exchange failed
    lnkClosing = 8,       // port being closed
};

// The events of the link's state machine.
enum ELinkEvent : int16_t {
    levOpen = 0,       // open the port miPort
    levSend = 1,       // send msLastCommand
    levFetch = 2,      // no transition; the machine returns the current state
    levClose = 3,      // close the link from any open state
    levGoodReply = 10, // the analyzer answered
    levFailure = 11,   // the attempt failed
    levDone = 12,      // the action of the current state is finished
    levEnter = 13,     // carry out the action of the state just entered
    levTimeOut = 14,   // no complete reply within the reply time
};

// The link protocol engine: the one serial connection of the process to the analyzer. Every
// public procedure feeds one event into CommStateMachine, which runs transitions until it
// rests and returns that state. Waiting never blocks the thread: every wait pumps the event
// loop until a timer tick or received data changes a flag, so Abort (from a handler that runs
// during such a wait) is seen at once.
//
// Calling order of a channel: CommInit; CommOpenPort for each port tried until one gives 2;
// pairs of CommSendCommand / CommGetReply; CommClose.
//
// There is one engine per process (Process); tests install their own with SetProcess so that
// each starts from a fresh engine.
class MComm {
public:
    // The engine's fixed times (ms); the "CommTimeOut" setting is deliberately not used.
    static constexpr int32_t SettleTime = 100;
    static constexpr int32_t CheckTime = 2000;
    static constexpr int32_t ReplyTime = 3000;
    static constexpr int32_t RetryPause = 200;
    // Retransmissions of one command.
    static constexpr int16_t MaxRetries = 2;
    // Runs of the link check on one port that got a complete line that is not an answer.
    static constexpr int MaxConnectChecks = 2;
    // Re-runs of a port step that raised "Device unavailable".
    static constexpr int MaxDeviceRetries = 3;

    MComm();
    ~MComm();
    MComm(const MComm&) = delete;
    MComm& operator=(const MComm&) = delete;

    // The engine of this process, made on first use.
    static std::shared_ptr<MComm> Process();
    // Installs an engine as the engine of the process (null: a fresh one is made on next use)
    // and returns the one it replaces.
    static std::shared_ptr<MComm> SetProcess(std::shared_ptr<MComm> engine);

    // Prepares the engine for a new channel: state lnkClosed, port closed. 0 on success; 0 also
    // when it failed, as the state it then reports.
    int16_t CommInit();
    // Opens and checks one port: 2 connected, 7 failed, 0 stopped by mfStopSearch.
    int16_t CommOpenPort(int16_t port);
    // Sends one command (CR appended when missing) and collects its reply; the state after.
    int16_t CommSendCommand(const std::string& command);
    // The state; reply receives the collected reply when that state is lnkIdle, else "".
    int16_t CommGetReply(std::string& reply);
    void CommClose();
    // The link timer's tick.
    void CommTimeoutElapsed();
    int16_t CommStateMachine(int16_t event);

    // The hidden form with the port and the timers, made on first use.
    FTestVTI& Form();

    // The state that the instrument and the query read or set.
    bool mfAbort = false;       // abort the running machine; cleared when the machine is entered
    bool mfStopSearch = false;  // stop the port search; cleared by CommInit
    bool mfLinkTimeOut = false; // set by each tick of the link timer
    std::string msLinkCommand;  // "LOC" once CommInit ran

    ELinkState LinkState() const { return static_cast<ELinkState>(miLinkState); }
    int16_t Port() const { return miPort; }
    const std::string& LastCommand() const { return msLastCommand; }
    const std::string& Reply() const { return msReply; }
    int16_t Retries() const { return miRetries; }
    // Which line answers which write: what is owed, open and running on the line.
    const LineLedger& Ledger() const { return mLedger; }
    // Answers the analyzer may still send to writes made (a running measurement's among them).
    int16_t OwedAnswers() const { return static_cast<int16_t>(std::min(mLedger.Owed(), 32767)); }
    // A refractory measurement asked for has not answered whole yet.
    bool MeasurementRunning() const { return mLedger.MeasurementRunning(); }
    // A state machine is running (an exchange is in progress further up the stack).
    bool IsRunning() const { return mRunning; }

    // Runs one access of the serial port under the engine's error rules: "Permission denied"
    // (70) is ignored, "Device unavailable" (68) re-runs the access up to MaxDeviceRetries
    // times, and any other error of the port sets PortError. False when the access failed.
    bool PortStep(const std::function<void()>& step);
    bool PortError() const { return mPortError; }

    // Collects an answer from the port outside any exchange (the release before closing) until
    // it is complete, the link timer ticks, an abort comes or the collection overflows (which
    // sets mfLinkTimeOut). With watchAbort false an abort does not end it.
    void Collect(ReplyCollector& collector, bool watchAbort);

private:
    // One (state, event) step; false when the machine stops.
    bool Handle(int16_t& event);
    void Enter(int16_t state, int16_t& event);
    void ConnectAction(int16_t& event);
    void SendAction(int16_t& event);
    void ReadAction(int16_t& event);
    void RetryAction(int16_t& event);
    // Before a command is written: waits for the answers still owed to earlier writes and
    // drops them, as long as they can still come; ends early when the exchange's reply is
    // already here (a measurement's).
    void DropOwedAnswers();
    // Writes `text` for the exchange in hand, after discarding the port's buffer, and tells the
    // ledger; writes nothing once an abort has come. False when nothing was written.
    bool WriteForExchange(const std::string& text);
    // Feeds the ledger what the port receives until `done` holds, the link timer ticks or an
    // abort comes.
    void CollectReply(const std::function<bool()>& done);
    // Where an abort (or an error out of a pumped handler) leaves the link: an interrupted
    // exchange rests in lnkIdle with the port open; an interrupted opening, failure or close
    // (asked for or under way) is finished and rests in lnkClosed.
    void SettleAfterAbort(bool closeRequested);

    // What the port has received so far, taken from it; empty when nothing (or the read failed).
    std::string TakeInput();
    // The same after what is on its way from the line has landed: taken before a discard, so
    // that the discard throws nothing away unseen.
    std::string TakeLandedInput();
    void PumpPending();
    void WaitForLinkTick();

    int16_t miLinkState = lnkClosed;
    int16_t miPort = 0;
    std::string msTerminator;
    std::string msLastCommand;
    std::string msReply;
    int16_t miRetries = 0;
    int16_t miChunks = 0;
    int16_t miMinChunks = 0;

    int mConnectChecks = 0;
    LineLedger mLedger;
    bool mPortError = false;
    bool mRunning = false;
    // An error raised under the exchange that CommSendCommand ran (a failing device's error out
    // of a pumped turn), kept for CommGetReply to raise: a failed exchange never reads as an
    // empty reply.
    std::exception_ptr mExchangeError;
    std::shared_ptr<FTestVTI> mForm;
};

} // namespace vti
