// The core's cost per one-second tick: the clock timer's RunTimers (ClockTick
// and the plan) over the quiet host, idle, counting and with the beep pending,
// as the shell's timer handler runs it.
#include <string.h>

#include <benchmark/benchmark.h>

#include "clock.h"
#include "quiet_host.h"

namespace {

void Prepare(ClockData* data)
{
    memset(data, 0, sizeof *data);
    memset(&quietHost, 0, sizeof quietHost);
    quietHost.time = {2003, 2, 0, 9, 13, 45, 0, 0};
    data->TimerFormat = 1;
    data->TimerMinute = 5;
    data->DurationMs = PresetDurationMs(5, 0);
    data->RestartSec = 10;
}

// Each tick sees a new second, as the real one does.
void NextSecond(uint32_t i)
{
    quietHost.tick = 1000u * i;
    quietHost.time.wSecond = (uint16_t)(i % 60);
}

void Tick(ClockData* data)
{
    ClockNow now = {quietHost.tick, quietHost.time};
    TimerPlan plan;
    RunTimers(data, data, &now, ClockTimer, &plan);
    benchmark::DoNotOptimize(plan);
}

void BM_ClockTickIdle(benchmark::State& state)
{
    static ClockData data;
    Prepare(&data);
    uint32_t i = 0;
    for (auto _ : state) {
        NextSecond(++i);
        Tick(&data);
    }
    benchmark::DoNotOptimize(quietHost.lines);
}
BENCHMARK(BM_ClockTickIdle);

void BM_ClockTickCounting(benchmark::State& state)
{
    static ClockData data;
    Prepare(&data);
    StartTimer(&data, 0);  // at tick 0; the ticks below stay within the 5-minute run
    uint32_t i = 0;
    for (auto _ : state) {
        NextSecond(1 + ++i % 290);
        Tick(&data);
    }
    benchmark::DoNotOptimize(quietHost.lines);
    if (quietHost.raises != 0)
        state.SkipWithError("the run ended inside the benchmark");
}
BENCHMARK(BM_ClockTickCounting);

void BM_ClockTickBeeping(benchmark::State& state)
{
    static ClockData data;
    Prepare(&data);
    data.BeepPending = 1;
    uint32_t i = 0;
    for (auto _ : state) {
        NextSecond(++i);
        Tick(&data);
    }
    benchmark::DoNotOptimize(quietHost.beeps);
}
BENCHMARK(BM_ClockTickBeeping);

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
