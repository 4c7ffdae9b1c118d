// The portable part of what the keyboard hook does per key event (filter,
// pack, append), and the caption texts the timers build, natively.
#include <benchmark/benchmark.h>

#include "app/status.h"
#include "macro/macro_buffer.h"
#include "record/recorder.h"

static void BM_KeyEventFilterPackAppend(benchmark::State& state) {
    BeginBuffer(1000, 0);
    uint32_t t = 0;
    for (auto _ : state) {
        if (GetEventCount() >= 4000000) {
            state.PauseTiming();
            BeginBuffer(1000, 0);
            state.ResumeTiming();
        }
        uint32_t message = (t & 1) ? msg::KeyUp : msg::KeyDown;
        uint32_t vkCode = 'A' + (t % 26);
        if (ClassifyKeyEvent(message, vkCode, 0, 1, 27) == KeyAction::Record)
            AppendEvent(message, vkCode, PackKeyParamH(0x1E, (t & 1) << 7), t);
        ++t;
    }
    ClearBuffer();
}
BENCHMARK(BM_KeyEventFilterPackAppend);

static void BM_TrimRecordingTail(benchmark::State& state) {
    MacroEvent events[3] = {{msg::MouseMove, 1, 2, 0, 0}, {msg::LButtonDown, 1, 2, 5, 0}, {msg::LButtonUp, 1, 2, 9, 0}};
    for (auto _ : state) benchmark::DoNotOptimize(TrimRecordingTail(events, 3));
}
BENCHMARK(BM_TrimRecordingTail);

static void BM_PlaybackCaption(benchmark::State& state) {
    char text[64];
    PlaybackProgress progress{1000, 125000, 3, 9999, 1};
    uint32_t now = 1000;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatPlaybackCaption(text, sizeof text, now, progress));
        now += 200;
    }
}
BENCHMARK(BM_PlaybackCaption);

BENCHMARK_MAIN();
