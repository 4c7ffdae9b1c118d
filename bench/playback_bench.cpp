// The engine's own cost per record, without any waiting or injection: the pass
// loop with hooks that do nothing, and the planning of one record's inputs.
#include <benchmark/benchmark.h>

#include <vector>

#include "macro/macro_event.h"
#include "playback/input_synth.h"
#include "playback/playback_loop.h"
#include "settings/settings.h"

namespace {

uint32_t fakeNow;
void NoWait(PlaybackRun*, uint32_t ms) { fakeNow += ms; }
uint32_t Tick() { return fakeNow; }
int NoKey(int) { return 0; }
int NoKeyInput(PlaybackRun*, uint32_t, uint32_t, uint32_t, uint32_t) { return 1; }
int NoMouseInput(PlaybackRun*, uint32_t, int32_t, int32_t, uint32_t) { return 1; }
void Nothing() {}
void NoPost(PlaybackRun*) {}
const PlaybackHooks kQuiet = {NoWait, Tick, NoKey, NoKeyInput, NoMouseInput, Nothing, Nothing, NoPost};

std::vector<MacroEvent> MixedMacro(int n) {
    std::vector<MacroEvent> events;
    for (int i = 0; i < n; ++i) {
        uint32_t kind = i % 3 == 0 ? msg::MouseMove : i % 3 == 1 ? msg::KeyDown : msg::LButtonDown;
        events.push_back({kind, (uint32_t)(i % 1280), (uint32_t)(i % 1024), (uint32_t)(i * 7), 0});
    }
    return events;
}

void BM_PassLoopPerRecord(benchmark::State& state) {
    std::vector<MacroEvent> events = MixedMacro((int)state.range(0));
    ResetSettingsToDefaults();
    PlaybackSpeed = 1.5f;
    PlaybackRun run;
    run.events = events.data();
    run.count = (int)events.size();
    run.id = 1;
    run.context = nullptr;
    for (auto _ : state) {
        run.stopRequested.store(0);
        RunPasses(&run, kQuiet);
        benchmark::DoNotOptimize(fakeNow);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PassLoopPerRecord)->Arg(10000);

void BM_PlanMouseRecord(benchmark::State& state) {
    const VirtualScreen screen = {-1920, -200, 3200, 1280};
    SynthPlan plan;
    uint32_t i = 0;
    for (auto _ : state) {
        PlanMouseEvent(msg::MouseMove + (i % 11), (int32_t)(i % 1280), (int32_t)(i % 1024), 120u << 16, screen,
                       &plan);
        benchmark::DoNotOptimize(plan);
        ++i;
    }
}
BENCHMARK(BM_PlanMouseRecord);

}  // namespace

BENCHMARK_MAIN();
