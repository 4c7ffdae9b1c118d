// The worker's pass loop, the gap arithmetic and the shared playback counters.
// Pure logic: time, waits, stop keys and injection come in through PlaybackHooks,
// so tests drive it with a fake clock. The worker thread runs RunPlaybackWorker;
// the counters are written by it and read by the UI thread.
#pragma once
#include <atomic>
#include <cstdint>
#include "macro/macro_event.h"

// One playback: its macro and its own stop state. A worker only ever looks at
// its own run, so a worker that outlives a stop cannot act on a later playback.
struct PlaybackRun {
    const MacroEvent* events;
    int count;
    uint32_t id;                     // nonzero; the engine's active id while this run plays
    std::atomic<int> stopRequested;  // set by StopPlayback (UI) or the worker on a stop key
    void* context;                   // owned by the platform layer (wake-up event)
};

struct PlaybackHooks {
    // Waits up to `ms`, returning early once the run's stop was requested.
    void (*wait)(PlaybackRun* run, uint32_t ms);
    uint32_t (*tickCount)();
    int (*isStopKeyDown)();
    // Injection of one record for the run (which owns the timing of its pauses).
    void (*playKey)(PlaybackRun* run, uint32_t message, uint32_t virtualKey, uint32_t scanCode,
                    uint32_t flagsByte);
    void (*playMouse)(PlaybackRun* run, uint32_t message, int32_t x, int32_t y, uint32_t wheelWord);
    // One mouse input with only the left-button release.
    void (*releaseLeftButton)();
    // Sets the cursor to where it is, so the system refreshes its shape.
    void (*refreshCursor)();
    // Posts the end notice to the window the run was started for.
    void (*postFinished)(PlaybackRun* run);
};

constexpr uint32_t kPassPauseMs = 100;
constexpr int kContinuousLoopsShown = 9999;

// The wait for a recorded gap at `speed`: gap / speed truncated, low 32 bits;
// 0 when the speed is not above 0.
uint32_t ScaleGap(uint32_t gap, float speed);
// One pass's estimated length at `speed`, clamped to 1000..3,600,000 ms.
uint32_t EstimatePassMs(const MacroEvent* events, int count, float speed);
// Hands one record to the injection hooks by its kind; other kinds play nothing.
void PlayRecord(PlaybackRun* run, const MacroEvent& event, const PlaybackHooks& hooks);
// The passes of one playback, as long as the repeat settings (read before every
// pass) ask for more and no stop was requested or seen.
void RunPasses(PlaybackRun* run, const PlaybackHooks& hooks);
// The whole worker: the passes, then the end of the playing state (only if this
// run is still the active one), the cursor refresh and the end notice.
void RunPlaybackWorker(PlaybackRun* run, const PlaybackHooks& hooks);

// Engine state shared with the UI thread.
// Marks `id` as the playing run and resets the counters for its first pass.
void BeginActiveRun(uint32_t id, uint32_t tick, uint32_t estimatedMs, int totalLoopsShown);
// Ends whatever run is active (StopPlayback, failed start).
void ClearActiveRun();
// Ends the playing state only when `id` is still the active run; 1 if it was.
int EndActiveRun(uint32_t id);
uint32_t ActiveRunId();

// The stop-key test against the settings, in order: the stop key when enabled,
// then the single-key playback and recording hotkeys. `keyDown` tells whether a
// virtual key is held now.
int StopKeyHeld(int (*keyDown)(int virtualKey));
