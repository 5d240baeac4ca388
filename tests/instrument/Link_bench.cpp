// How quickly the instrument hands over a reply once its line end has arrived, and how little
// a process waiting out the reply time costs, over a pseudo-terminal on the system clock.
//
//   ReplyLatency   per exchange, from just before the analyzer (a thread of its own on the
//                  terminal's master) writes its reply to the moment SendCommand returns it;
//                  the counters give the median and the 99th percentile in microseconds.
//   SilentWait     one "PACEREFRACT" that gets no answer: the instrument waits the whole
//                  3000 ms reply time; the counters give the CPU time its thread used (user +
//                  system) and its share of the wait.
#include "LinkFixture.h"
#include "host/units/HostMtiSettings.h"
#include "instrument/CZarvikVTi.h"
#include "platform/serial/PseudoTerminal.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <poll.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// CPU time of the calling thread: the analyzer's thread stands for another process.
double CpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The analyzer on the master of a pseudo-terminal, in a thread of its own: "OK" to the link
// commands, "NODATA" to "QDATA" (noting when it writes), nothing to anything else.
class ThreadedAnalyzer {
public:
    ThreadedAnalyzer() : mThread([this] { Run(); }) {}
    ~ThreadedAnalyzer()
    {
        mStop = true;
        mThread.join();
    }

    const std::string& SlavePath() const { return mPty.SlavePath(); }
    int64_t LastReplyNs() const { return mLastReplyNs.load(); }

private:
    void Run()
    {
        std::string pending;
        while (!mStop) {
            pollfd fd{mPty.MasterFd(), POLLIN, 0};
            if (::poll(&fd, 1, 20) <= 0) continue;
            char buffer[256];
            const ssize_t n = ::read(mPty.MasterFd(), buffer, sizeof buffer);
            if (n <= 0) continue;
            pending.append(buffer, static_cast<size_t>(n));
            size_t end;
            while ((end = pending.find('\r')) != std::string::npos) {
                std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                std::erase(line, '\n');
                if (line == "LOC") Write("OK\r\n");
                if (line == "QDATA") {
                    mLastReplyNs = NowNs();
                    Write("NODATA\r\n");
                }
            }
        }
    }

    void Write(const std::string& text)
    {
        if (::write(mPty.MasterFd(), text.data(), text.size()) < 0) return;
    }

    plat::PseudoTerminal mPty;
    std::atomic<bool> mStop{false};
    std::atomic<int64_t> mLastReplyNs{0};
    std::thread mThread;
};

// An open channel to the threaded analyzer through the instrument, on the system clock.
class Channel {
public:
    static constexpr int Port = 31;

    Channel()
    {
        plat::SetLoop(std::make_shared<plat::EventLoop>(plat::MakeSystemClock()));
        mPreviousEngine = vti::MComm::SetProcess(std::make_shared<vti::MComm>());
        plat::PortMap::SetOverride(Port, analyzer.SlavePath());
        host::HostMtiSettings::SetPortOverride("ZARVIK", Port);
        instrument->OpenChannel();
    }
    ~Channel()
    {
        instrument->CloseChannel();
        instrument.reset();
        vti::MComm::SetProcess(mPreviousEngine);
        host::HostMtiSettings::ClearPortOverrides();
        plat::PortMap::ClearOverrides();
        plat::SetLoop(nullptr);
    }

    linktest::TempRegistry registry;
    linktest::MessageBoxCapture boxes;
    ThreadedAnalyzer analyzer;
    std::shared_ptr<vti::CZarvikVTi> instrument = std::make_shared<vti::CZarvikVTi>();

private:
    std::shared_ptr<vti::MComm> mPreviousEngine;
};

void ReplyLatency(benchmark::State& state)
{
    Channel channel;
    if (channel.instrument->State() != vti::evtiIdle) {
        state.SkipWithError("no channel");
        return;
    }
    std::vector<double> latenciesUs;
    for (auto _ : state) {
        const plat::Variant reply = channel.instrument->SendCommand("QDATA");
        const int64_t returned = NowNs();
        if (!reply.IsString() || reply.AsString() != "NODATA\r\n") {
            state.SkipWithError("wrong reply");
            return;
        }
        const double seconds = static_cast<double>(returned - channel.analyzer.LastReplyNs()) / 1e9;
        state.SetIterationTime(seconds);
        latenciesUs.push_back(seconds * 1e6);
    }
    std::sort(latenciesUs.begin(), latenciesUs.end());
    state.counters["median_us"] = latenciesUs[latenciesUs.size() / 2];
    state.counters["p99_us"] = latenciesUs[std::min(latenciesUs.size() - 1, latenciesUs.size() * 99 / 100)];
}
BENCHMARK(ReplyLatency)->UseManualTime()->Iterations(500)->Unit(benchmark::kMicrosecond);

void SilentWait(benchmark::State& state)
{
    Channel channel;
    if (channel.instrument->State() != vti::evtiIdle) {
        state.SkipWithError("no channel");
        return;
    }
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpuBefore = CpuSeconds();
        const auto wallBefore = Clock::now();
        const plat::Variant reply = channel.instrument->SendCommand("PACEREFRACT");
        wall += std::chrono::duration<double>(Clock::now() - wallBefore).count();
        cpu += CpuSeconds() - cpuBefore;
        benchmark::DoNotOptimize(reply);
    }
    state.counters["cpu_ms"] = cpu * 1e3 / static_cast<double>(state.iterations());
    state.counters["wait_ms"] = wall * 1e3 / static_cast<double>(state.iterations());
    state.counters["cpu_share_pct"] = wall > 0 ? 100.0 * cpu / wall : 0;
}
BENCHMARK(SilentWait)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
