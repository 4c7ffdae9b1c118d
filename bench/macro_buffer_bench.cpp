// Cost of one AppendEvent, the work the input hooks do per event.
#include <benchmark/benchmark.h>

#include "macro/macro_buffer.h"

static void BM_AppendEvent(benchmark::State& state) {
    BeginBuffer(1000, 0);
    uint32_t t = 0;
    for (auto _ : state) {
        if (GetEventCount() >= 4000000) {
            state.PauseTiming();
            BeginBuffer(1000, 0);
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(AppendEvent(0x200, t, t, t));
        ++t;
    }
    ClearBuffer();
}
BENCHMARK(BM_AppendEvent);

BENCHMARK_MAIN();
