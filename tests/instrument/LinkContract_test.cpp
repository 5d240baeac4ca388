// The contract of the link, searched at random in virtual time: an analyzer model that answers
// every write in order with one line (whole, in pieces, late, cut for good or not at all, with
// CR LF, LF or LF CR line ends and stray bytes between lines; a refractory measurement that may
// outlast the reply time), a random run of commands with Stops at random moments and channels
// closed and opened; every reply is checked against the contract:
//   1. a reply is one whole line the analyzer sent to that command (or to its resend, or, for a
//      refractory ask, to an ask before it with no other command between);
//   2. no line is the reply of two exchanges;
//   3. stray bytes are in no reply;
//   4. a reply never comes with the time-out flag set;
//   5. nothing is written for an exchange after its Stop.
#include "LinkFixture.h"

#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <random>
#include <set>

namespace {

using namespace linktest;

class Rng {
public:
    explicit Rng(uint32_t seed) : mEngine(seed) {}
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(mEngine); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(mEngine); }

private:
    std::mt19937 mEngine;
};

// One write the analyzer heard, and the line it answered with (empty: none, or cut).
struct Heard {
    int exchange;
    std::string command;
};

// The analyzer: answers in order, one line per write; a refractory ask heard while its
// measurement runs is not answered on its own (the measurement's one answer ends it).
class ModelAnalyzer : public plat::LinePeer {
public:
    ModelAnalyzer(Rng& rng, vti::MComm& engine, const int& exchange) : mRng(rng), mEngine(engine), mExchange(exchange) {}

    std::vector<Heard> heard;
    // Whole lines sent, as the engine sees them (up to their LF), to the index of their write.
    std::map<std::string, int> lines;
    // No write went unanswered or was answered in part on this channel, and every answer is out.
    bool Clean() const { return mClean && plat::Loop().Now() >= mBusyUntil; }
    int writesAfterStop = 0;
    bool stopMarked = false;

    void SendNow(std::string_view bytes) { SendToPort(bytes); }

protected:
    void OnReceived(std::string_view bytes, const plat::LineSettings&) override
    {
        if (stopMarked) ++writesAfterStop;
        mPending.append(bytes);
        size_t end;
        while ((end = mPending.find('\r')) != std::string::npos) {
            std::string command = mPending.substr(0, end);
            mPending.erase(0, end + 1);
            std::erase(command, '\n');
            Answer(command);
        }
    }

private:
    void At(plat::TimePoint when, std::string bytes, bool tick = false)
    {
        const auto delay = std::chrono::ceil<Millis>(when - plat::Loop().Now());
        mTimers.push_back(plat::Loop().StartOneShot(std::max(delay, Millis(0)), [this, bytes, tick] {
            SendToPort(bytes);
            // A tick of the reply time in the same turn as the piece, as on the real clock.
            if (tick) plat::Loop().Post([this] { mEngine.CommTimeoutElapsed(); });
        }));
    }

    void Answer(const std::string& command)
    {
        const plat::TimePoint now = plat::Loop().Now();
        if (command == "LOC") {
            // A banner now and then before the answer; the answer may come late.
            if (mChecks++ == 0 && mRng.Chance(0.1)) {
                At(now + 10ms, "HELLO\r\n");
                At(now + Millis(mRng.Between(110, 300)), "OK\r\n");
            } else {
                At(now + 10ms, "OK\r\n");
            }
            mBusyUntil = std::max(mBusyUntil, now + 400ms);
            return;
        }
        const bool refractory = command == "PACEREFRACT";
        if (refractory && now < mMeasuringUntil) return;
        const int index = static_cast<int>(heard.size());
        heard.push_back({mExchange, command});

        const int mode = mRng.Between(0, 99);
        if (mode < 7) {
            mClean = false; // not at all
            return;
        }
        plat::TimePoint start = now + Millis(mRng.Between(5, 200));
        if (mode >= 7 && mode < 17) start = now + Millis(mRng.Between(2900, 2999)); // late
        if (refractory) start = now + Millis(mRng.Between(100, 4500));             // measuring
        start = std::max(start, mBusyUntil);

        const std::string body = command + "#" + std::to_string(index);
        const int ends = mRng.Between(0, 9);
        const std::string end = ends < 7 ? "\r\n" : (ends < 9 ? "\n" : "\n\r");
        std::string line = body + end;
        if (mode >= 17 && mode < 25) {
            // Cut for good.
            line = line.substr(0, static_cast<size_t>(mRng.Between(1, static_cast<int>(body.size()) - 1)));
            mClean = false;
        } else {
            lines[line.substr(0, line.find('\n') + 1)] = index;
        }
        // In one to three pieces, the later ones up to 300 ms apart (a line end may split).
        const int pieces = mode >= 25 && mode < 45 ? mRng.Between(2, 3) : 1;
        plat::TimePoint at = start;
        size_t from = 0;
        for (int p = 0; p < pieces; ++p) {
            const size_t left = line.size() - from;
            if (left == 0) break;
            const size_t take = p + 1 == pieces ? left : static_cast<size_t>(mRng.Between(1, static_cast<int>(left)));
            const bool last = from + take == line.size();
            At(at, line.substr(from, take), last && mRng.Chance(0.05));
            from += take;
            if (!last) at += Millis(mRng.Between(1, 300));
        }
        // A stray control byte after the line now and then.
        if (mRng.Chance(0.2)) {
            static const std::string strays[] = {std::string(1, '\0'), "\x13", "\r"};
            at += 1ms;
            At(at, strays[mRng.Between(0, 2)]);
        }
        mBusyUntil = at + 1ms;
        if (refractory) mMeasuringUntil = mBusyUntil;
    }

    Rng& mRng;
    vti::MComm& mEngine;
    const int& mExchange;
    std::string mPending;
    plat::TimePoint mBusyUntil{};
    plat::TimePoint mMeasuringUntil{};
    bool mClean = true;
    int mChecks = 0;
    std::list<plat::Timer> mTimers;
};

class LinkContract : public LinkTest {
protected:
    int mExchanges = 0;
    int mReplies = 0;
    static constexpr const char* ModelName = "contract-model";

    // Runs one seeded case; returns the first breach of the contract, or "".
    std::string RunCase(uint32_t seed)
    {
        Rng rng(seed);
        int exchange = 0;
        auto model = std::make_shared<ModelAnalyzer>(rng, *engine, exchange);
        plat::InProcessDevices::Register(ModelName, [&model] { return model; });
        plat::PortMap::SetOverride(1, ModelName);
        std::string breach;
        auto fail = [&](const std::string& what) {
            if (breach.empty()) breach = "seed " + std::to_string(seed) + ", exchange " + std::to_string(exchange) + ": " + what;
        };

        auto open = [&] {
            model->heard.clear();
            engine->CommInit();
            if (engine->CommOpenPort(1) != vti::lnkIdle) fail("the link check failed");
        };
        open();
        static const char* commands[] = {"QDATA", "ENERGYDATA", "PACEREFRACT", "ECGDATA"};
        std::set<std::string> replied;
        int chainStart = 0; // the first exchange of the run of refractory asks in hand
        const int count = rng.Between(3, 7);
        for (int i = 0; i < count && breach.empty(); ++i) {
            if (engine->LinkState() != vti::lnkIdle || rng.Chance(0.08)) {
                engine->CommClose();
                FastForwardBy(Millis(rng.Between(0, 500)));
                model = std::make_shared<ModelAnalyzer>(rng, *engine, exchange);
                open();
                replied.clear();
                chainStart = exchange + 1;
            }
            const std::string command = commands[rng.Between(0, 3)];
            ++exchange;

            std::optional<plat::Timer> stop;
            bool stopped = false;
            auto stopNow = [&] {
                AbortEngine();
                stopped = true;
                // Writes made before the Stop are delivered before this marker.
                plat::Loop().Post([m = model] { m->stopMarked = true; });
            };
            const int stopKind = rng.Between(0, 19);
            if (stopKind == 0) stop = plat::Loop().StartOneShot(Millis(rng.Between(0, 7000)), stopNow);
            if (stopKind == 1) WhenState(vti::lnkSending, [&] { plat::Loop().Post(stopNow); });

            const std::string reply = Exchange(command);
            ++mExchanges;
            if (!reply.empty()) ++mReplies;
            RunUntilIdle();
            if (model->writesAfterStop > 0) fail("written after the Stop");
            model->stopMarked = false;
            model->writesAfterStop = 0;
            stop.reset();

            if (command != "PACEREFRACT" &&
                std::any_of(model->heard.begin(), model->heard.end(), [&](const Heard& h) { return h.exchange == exchange; })) {
                // Another command was written: the measurement's answer is no refractory reply.
                chainStart = exchange + 1;
            }
            if (!reply.empty()) {
                if (engine->mfLinkTimeOut) fail("a reply with the time-out flag: " + reply);
                const auto line = model->lines.find(reply);
                if (line == model->lines.end()) {
                    fail("a reply the analyzer never sent whole: " + ::testing::PrintToString(reply));
                } else {
                    const Heard& write = model->heard[static_cast<size_t>(line->second)];
                    const bool own = write.exchange == exchange ||
                                     (command == "PACEREFRACT" && write.command == command && write.exchange >= chainStart);
                    if (!own) fail(reply + " is the answer of exchange " + std::to_string(write.exchange));
                    if (!replied.insert(reply).second) fail(reply + " is the reply of two exchanges");
                }
            }
            if (stopped && !reply.empty() && engine->LinkState() == vti::lnkIdle && reply != engine->Reply()) {
                fail("a reply after a Stop");
            }
            // A prompt or a banner while nothing is owed.
            if (model->Clean() && rng.Chance(0.2)) {
                model->SendNow(rng.Chance(0.5) ? ">" : "READY\r\n");
            }
            FastForwardBy(Millis(rng.Between(0, 1500)));
        }
        engine->CommClose();
        RunUntilIdle();
        plat::InProcessDevices::Unregister(ModelName);
        return breach;
    }
};

TEST_F(LinkContract, EveryReplyKeepsTheContractAtRandom)
{
    int breaches = 0;
    std::string first;
    const auto start = Now();
    for (uint32_t seed = 1; seed <= 1500; ++seed) {
        const std::string breach = RunCase(seed);
        if (!breach.empty()) {
            if (first.empty()) first = breach;
            ++breaches;
        }
    }
    EXPECT_EQ(breaches, 0) << first;
    std::cout << "virtual hours: " << std::chrono::duration_cast<std::chrono::minutes>(Now() - start).count() / 60.0
              << ", exchanges: " << mExchanges << ", replies: " << mReplies << "\n";
}

} // namespace
