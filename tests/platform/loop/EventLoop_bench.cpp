#include "platform/loop/EventLoop.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace std::chrono_literals;

namespace {

// One periodic timer on the virtual clock: every turn jumps to the next tick and delivers it.
void BM_PeriodicTickDispatch(benchmark::State& state)
{
    plat::EventLoop loop(plat::MakeVirtualClock());
    int64_t ticks = 0;
    plat::Timer timer = loop.StartPeriodic(1ms, [&] { ++ticks; });
    for (auto _ : state) loop.PumpOnce();
    state.SetItemsProcessed(ticks);
}
BENCHMARK(BM_PeriodicTickDispatch);

// Many one-shot timers with scattered deadlines: start them all, then run them in order.
void BM_OneShotTimerDispatch(benchmark::State& state)
{
    plat::EventLoop loop(plat::MakeVirtualClock());
    const int count = static_cast<int>(state.range(0));
    std::vector<plat::Timer> timers;
    timers.reserve(static_cast<size_t>(count));
    int64_t fired = 0;
    for (auto _ : state) {
        timers.clear();
        const int64_t target = fired + count;
        for (int i = 0; i < count; ++i) {
            timers.push_back(loop.StartOneShot(plat::Millis((i * 7919) % count), [&] { ++fired; }));
        }
        loop.RunUntil([&] { return fired == target; });
    }
    state.SetItemsProcessed(fired);
}
BENCHMARK(BM_OneShotTimerDispatch)->Arg(10)->Arg(1000);

// Posted events handed out in batches, on either clock (the system clock's turns do not enter
// poll() while posts are waiting).
void BM_PostDispatch(benchmark::State& state)
{
    plat::EventLoop loop(state.range(1) ? plat::MakeSystemClock() : plat::MakeVirtualClock());
    const int batch = static_cast<int>(state.range(0));
    int64_t runs = 0;
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i) loop.Post([&] { ++runs; });
        loop.RunPending();
    }
    state.SetItemsProcessed(runs);
}
BENCHMARK(BM_PostDispatch)->ArgNames({"batch", "system"})->Args({1, 0})->Args({100, 0})->Args({100, 1});

// A handler that waits in a nested RunUntil for one posted event: the price of a nested loop.
void BM_NestedRunUntil(benchmark::State& state)
{
    plat::EventLoop loop(plat::MakeVirtualClock());
    for (auto _ : state) {
        bool done = false;
        loop.Post([&] {
            bool inner = false;
            loop.Post([&] { inner = true; });
            loop.RunUntil([&] { return inner; });
            done = true;
        });
        loop.RunUntil([&] { return done; });
    }
}
BENCHMARK(BM_NestedRunUntil);

} // namespace

BENCHMARK_MAIN();
