#include "simulator/Analyzer.h"

#include "simulator/AnalyzerLine.h"

#include <algorithm>

namespace zsim {

namespace {

template <typename T>
void Record(std::vector<T>& log, T entry)
{
    if (log.size() >= Analyzer::MaxLogEntries) log.erase(log.begin(), log.begin() + static_cast<long>(log.size() / 2));
    log.push_back(std::move(entry));
}

} // namespace

Analyzer::Analyzer()
{
    plat::Loop();
    mLoop = plat::CurrentLoopPtr();
    mStart = mLoop->Now();
    mBusyUntil = mStart;
}

Analyzer::~Analyzer() = default;

void Analyzer::Connect(AnalyzerLine* line)
{
    mLine = line;
}

bool Analyzer::Matches(const std::optional<plat::LineSettings>& settings) const
{
    // A transport that cannot tell the other end's settings is taken to match.
    if (!settings) return true;
    return settings->baud == mModel.Baud() && settings->parity == 'N' && settings->dataBits == 8;
}

void Analyzer::SyncClock()
{
    mModel.SetTime(std::chrono::duration<double>(mLoop->Now() - mStart).count());
}

void Analyzer::Receive(std::string_view bytes, const std::optional<plat::LineSettings>& senderSettings)
{
    const std::string heard = Matches(senderSettings) ? std::string(bytes) : Garble(bytes);
    for (const auto& line : mFramer.Feed(heard)) Answer(line);
}

void Analyzer::Answer(const CommandFramer::Line& line)
{
    SyncClock();
    std::optional<Fault> fault = mFaults.Take(line.text);
    const bool silenced = fault && fault->GetKind() == Fault::Kind::Silence;
    const bool failed = fault && fault->GetKind() == Fault::Kind::PortFailure;
    Record(mHeard, Heard{mLoop->Now(), line.text, silenced || failed});
    if (silenced) return;
    if (failed) {
        if (mLine) mLine->Fail();
        return;
    }

    AnalyzerModel::Response response;
    if (fault && fault->GetKind() == Fault::Kind::Reply) {
        response.text = fault->Line();
        fault.reset();
    } else {
        response = line.overlong ? mModel.HandleOverlong() : mModel.Handle(line.text);
    }
    // A refractory measurement asked for again while it runs goes on: its one answer goes out
    // when it ends, so a measurement longer than the link's reply time still ends, and no
    // second data line follows the run that asked again.
    if (response.refractory && RefractoryRunning()) return;
    Schedule(ShapeReply(response.text, fault, mReplyDelay + response.work), response.switchBaud, response.refractory);
}

bool Analyzer::RefractoryRunning() const
{
    return std::any_of(mPending.begin(), mPending.end(), [](const Pending& pending) { return pending.refractory && !pending.done; });
}

void Analyzer::Schedule(const std::vector<ReplyPiece>& pieces, std::optional<int> switchBaud, bool refractory)
{
    mPending.remove_if([](const Pending& pending) { return pending.done; });

    const plat::TimePoint now = mLoop->Now();
    // A reply that would overtake the one before it waits for it to end.
    plat::TimePoint last = std::max(now, mBusyUntil);
    auto add = [&](Millis at, std::string bytes, std::optional<int> baud) {
        const plat::TimePoint due = std::max(now + at, last);
        last = due;
        auto& pending = mPending.emplace_back();
        pending.due = due;
        pending.bytes = std::move(bytes);
        pending.switchBaud = baud;
        pending.refractory = refractory;
        auto* entry = &pending;
        // Rounded up, so that no piece goes out before its time; on the real clock the time of
        // the piece waited for is not a whole number of milliseconds from now.
        const auto delay = std::chrono::ceil<Millis>(due - now);
        pending.timer = mLoop->StartOneShot(delay, [this, entry] { FireThrough(entry); });
    };

    if (pieces.empty()) {
        if (switchBaud) add(mReplyDelay, {}, switchBaud);
    } else {
        for (size_t i = 0; i < pieces.size(); ++i) {
            add(pieces[i].at, pieces[i].bytes, i + 1 == pieces.size() ? switchBaud : std::nullopt);
        }
    }
    mBusyUntil = last;
}

void Analyzer::FireThrough(Pending* last)
{
    // Timers of equal or nearly equal times may fall due in either order; the pieces never do.
    std::vector<Pending*> due;
    for (auto& pending : mPending) {
        if (!pending.done) due.push_back(&pending);
        if (&pending == last) break;
    }
    for (Pending* pending : due) {
        pending->done = true;
        pending->timer.Stop();
        Fire(pending->bytes, pending->switchBaud);
    }
}

void Analyzer::Fire(const std::string& bytes, std::optional<int> switchBaud)
{
    if (!bytes.empty()) {
        Record(mSent, Sent{mLoop->Now(), bytes});
        if (mLine) mLine->Transmit(Matches(mLine->RemoteSettings()) ? bytes : Garble(bytes));
    }
    if (switchBaud) mModel.SetBaud(*switchBaud);
}

bool Analyzer::Idle() const
{
    return std::all_of(mPending.begin(), mPending.end(), [](const Pending& pending) { return pending.done; });
}

void Analyzer::Discharge(const Pulse& pulse)
{
    SyncClock();
    mModel.Discharge(pulse);
}

void Analyzer::Charge(double seconds)
{
    SyncClock();
    mModel.Charge(seconds);
}

void Analyzer::AttachPacemaker(const Pacemaker& pacemaker)
{
    mModel.AttachPacemaker(pacemaker);
}

void Analyzer::DetachPacemaker()
{
    mModel.DetachPacemaker();
}

std::vector<std::string> Analyzer::Commands() const
{
    std::vector<std::string> commands;
    for (const auto& heard : mHeard) commands.push_back(heard.command);
    return commands;
}

void Analyzer::ClearLogs()
{
    mHeard.clear();
    mSent.clear();
}

} // namespace zsim
