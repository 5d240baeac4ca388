#include "instrument/LineLedger.h"

#include "instrument/LinkProtocol.h"

#include <algorithm>

namespace vti {

namespace {

// NUL, XON/XOFF, CR, LF and the other control characters never begin a line.
bool BeginsLine(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte != 0x7F;
}

bool IsCheckAnswer(std::string_view line)
{
    return LinkProtocol::IsConnectAnswer(line) && LinkProtocol::EndsWithCrLf(line);
}

} // namespace

LineLedger::LineLedger(std::chrono::milliseconds replyTime, size_t maxLine) : mReplyTime(replyTime), mMaxLine(maxLine) {}

void LineLedger::Reset()
{
    mOwed.clear();
    mLine = Line{};
    mPhase = Phase::Ended;
    mHasReply = false;
    mReply.clear();
    mOverflowed = false;
    mNoiseLines = 0;
    mKept.reset();
}

void LineLedger::Begin(Kind kind)
{
    ++mExchange;
    mKind = kind;
    mPhase = Phase::Before;
    mHasReply = false;
    mReply.clear();
    mOverflowed = false;
    mNoiseLines = 0;
    if (kind != Kind::Refractory) return;
    // A refractory ask takes over the measurement still running: its answer, begun or not,
    // whole or not, is this ask's.
    for (auto& owed : mOwed) {
        if (owed.measurement && owed.exchange != 0) owed.exchange = mExchange;
    }
    if (mLine.open && mLine.measurement && mLine.candidate) mLine.exchange = mExchange;
    if (mKept) {
        mHasReply = true;
        mReply = std::move(*mKept);
        mKept.reset();
    }
}

void LineLedger::Wrote(TimePoint at)
{
    const bool measuring = MeasurementRunning();
    // The rest of a line begun before this write is never the start of its answer.
    if (mLine.open) DropLine();
    mLine.run = 0;
    if (mKind != Kind::Refractory) {
        // Another command: the running measurement's answer belongs to nobody any more.
        for (auto& owed : mOwed) {
            if (owed.measurement) owed.exchange = 0;
        }
        mKept.reset();
    }
    // An ask heard while its measurement runs gets no answer of its own.
    if (!(mKind == Kind::Refractory && measuring)) mOwed.push_back({mExchange, false, at + mReplyTime});
    mPhase = Phase::Collecting;
    mOverflowed = false;
    mNoiseLines = 0;
}

void LineLedger::Received(std::string_view text)
{
    for (const char c : text) {
        if (!mLine.open) {
            // Nothing owed: noise, which opens no line.
            if (!BeginsLine(c) || mOwed.empty()) continue;
            OpenLine();
        }
        if (++mLine.run > mMaxLine) {
            // A line that long is no answer: it is dropped to its end, and the attempt that
            // collects while it goes on cannot get one.
            if (mPhase == Phase::Collecting) mOverflowed = true;
            if (mLine.candidate || mLine.check) DropLine();
        } else if (mLine.candidate || mLine.check) {
            mLine.text.push_back(c);
        }
        if (c == LinkProtocol::LF) CloseLine();
    }
}

void LineLedger::OpenLine()
{
    const Debt& first = mOwed.front();
    mLine = Line{};
    mLine.open = true;
    mLine.exchange = first.exchange;
    mLine.measurement = first.measurement;
    if (!first.measurement) mLine.until = first.until;
    if (mKind == Kind::LinkCheck && first.exchange == mExchange && !first.measurement) {
        // Judged when it ends: only an answer takes the check's place.
        mLine.check = true;
        return;
    }
    mLine.candidate = first.exchange == mExchange && first.exchange != 0 && !mHasReply &&
                      (mPhase == Phase::Collecting || first.measurement);
    mOwed.pop_front();
}

void LineLedger::CloseLine()
{
    Line line = std::move(mLine);
    mLine = Line{};
    if (line.check) {
        if (!IsCheckAnswer(line.text)) {
            if (LinkProtocol::EndsWithCrLf(line.text)) ++mNoiseLines;
            return;
        }
        mOwed.pop_front();
        if (!mHasReply && mPhase == Phase::Collecting && line.exchange == mExchange) {
            mHasReply = true;
            mReply = std::move(line.text);
        }
        return;
    }
    if (!line.candidate || line.exchange != mExchange || mHasReply) return;
    if (mPhase == Phase::Collecting || (line.measurement && mPhase == Phase::Before)) {
        mHasReply = true;
        mReply = std::move(line.text);
    } else if (line.measurement) {
        // The ask has ended: the answer waits for the next one.
        mKept = std::move(line.text);
    }
}

void LineLedger::DropLine()
{
    mLine.candidate = false;
    mLine.check = false;
    mLine.text.clear();
    mLine.text.shrink_to_fit();
}

void LineLedger::Discarded(size_t unseen)
{
    if (unseen == 0) return;
    // What was thrown away unread may have begun a line: whatever comes up to the next line
    // end is no start of an answer. The answers it may have held stay owed.
    if (mLine.open) {
        DropLine();
        return;
    }
    mLine = Line{};
    mLine.open = true;
}

void LineLedger::ReplyTimeEnded(TimePoint at)
{
    if (mHasReply || mPhase == Phase::Ended) return;
    mPhase = Phase::Ended;
    if (mKind == Kind::Refractory) {
        // The measurement goes on: its answer has no time limit, and what came of it is kept.
        for (auto& owed : mOwed) {
            if (owed.exchange == mExchange) owed.measurement = true;
        }
        if (mLine.open && mLine.exchange == mExchange) {
            // Its rest is waited for before the ask is written again, for a reply time.
            mLine.measurement = true;
            mLine.until = at + mReplyTime;
        }
        return;
    }
    if (mLine.open && mLine.exchange == mExchange) DropLine();
}

void LineLedger::Expire(TimePoint now)
{
    while (!mOwed.empty() && !mOwed.front().measurement && mOwed.front().exchange != mExchange &&
           mOwed.front().until <= now) {
        mOwed.pop_front();
    }
}

std::optional<LineLedger::TimePoint> LineLedger::OwedUntil() const
{
    std::optional<TimePoint> until;
    auto later = [&until](TimePoint t) { until = until ? std::max(*until, t) : t; };
    if (mLine.open && mLine.until) later(*mLine.until);
    // An answer behind a measurement's cannot come before it: it is not waited for.
    for (const auto& owed : mOwed) {
        if (owed.measurement) break;
        later(owed.until);
    }
    return until;
}

bool LineLedger::MeasurementRunning() const
{
    if (mLine.open && mLine.measurement) return true;
    return std::any_of(mOwed.begin(), mOwed.end(), [](const Debt& owed) { return owed.measurement; });
}

} // namespace vti
