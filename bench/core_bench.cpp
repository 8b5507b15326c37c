// The core's cost per one-second tick: the clock timer's RunEngine (ClockTick,
// the lines and the plan), idle, counting and with the beep pending, as the
// shell's timer handler runs it.
#include <benchmark/benchmark.h>

#include "engine.h"

namespace {

enum State { Idle, Counting, Beeping };

// Each tick sees a new second, as the real one does; a run started at tick 0
// lasts 5 minutes, so the counting ticks stay within it.
void BM_ClockTick(benchmark::State& state, State what)
{
    const LocalTime time = {2003, 2, 0, 9, 13, 45, 0, 0};
    static ClockData data;
    data = ClockData();
    data.TimerFormat = 1;
    data.TimerMinute = 5;
    data.DurationMs = PresetDurationMs(5, 0);
    data.RestartSec = 10;
    if (what == Counting)
        StartTimer(&data, 0);
    data.BeepPending = what == Beeping;
    uint32_t i = 0;
    int raises = 0;
    for (auto _ : state) {
        ++i;
        uint32_t second = what == Counting ? 1 + i % 290 : i;
        ClockNow now = {1000u * second, time};
        now.local.wSecond = (uint16_t)(second % 60);
        Effects effects;
        RunEngine(&data, &now, ClockTimer, &effects);
        raises += effects.raise;
        benchmark::DoNotOptimize(effects);
    }
    if (what == Counting && raises != 0)
        state.SkipWithError("the run ended inside the benchmark");
}
BENCHMARK_CAPTURE(BM_ClockTick, Idle, Idle)->Name("BM_ClockTickIdle");
BENCHMARK_CAPTURE(BM_ClockTick, Counting, Counting)->Name("BM_ClockTickCounting");
BENCHMARK_CAPTURE(BM_ClockTick, Beeping, Beeping)->Name("BM_ClockTickBeeping");

}  // namespace

int main(int argc, char** argv)
{
#if defined(__SANITIZE_ADDRESS__)
    benchmark::AddCustomContext("velmaris", "built with AddressSanitizer: figures are not representative");
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
