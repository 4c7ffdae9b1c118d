// The worker's pass loop, the gap arithmetic and the shared playback counters.
// Pure logic: time, waits, stop keys and injection come in through PlaybackHooks,
// so tests drive it with a fake clock. The worker thread runs RunPlaybackWorker;
// the counters are written by it and read by the UI thread.
#pragma once
#include <atomic>
#include <cstdint>
#include "macro/macro_event.h"

// Virtual-key codes of the mouse buttons, as the held set files them.
namespace vkbutton {
constexpr uint8_t Left = 0x01;
constexpr uint8_t Right = 0x02;
constexpr uint8_t Middle = 0x04;
}  // namespace vkbutton

// What a run has pressed and not released (keys by virtual key, mouse buttons
// by their key codes), so that no playback leaves input held, and which keys
// its stop-key test must pass over. Worker only, apart from the start key the
// UI thread sets before the worker exists.
struct HeldInputs {
    uint8_t order[256] = {};          // pressed keys, oldest first
    int count = 0;
    uint8_t held[256] = {};           // 1 while in `order`
    uint8_t scan[256] = {};           // scan byte and flags byte of the key's press
    uint8_t flags[256] = {};
    uint8_t ignoreUntilUp[256] = {};  // released by the run (or the start key): not a stop yet
    int32_t mouseX = 0, mouseY = 0;   // where the run last put the pointer
};

// One playback: its macro and its own stop state. A worker only ever looks at
// its own run, so a worker that outlives a stop cannot act on a later playback.
struct PlaybackRun {
    const MacroEvent* events;
    int count;
    uint32_t id;                     // nonzero; the engine's active id while this run plays
    std::atomic<int> stopRequested;  // set by StopPlayback (UI) or the worker on a stop key
    void* context;                   // owned by the platform layer (wake-up event)
    HeldInputs input;
};

struct PlaybackHooks {
    // Waits up to `ms`, returning early once the run's stop was requested.
    void (*wait)(PlaybackRun* run, uint32_t ms);
    uint32_t (*tickCount)();
    // Whether the user (or anything) holds a virtual key down now.
    int (*keyDown)(int virtualKey);
    // Injection of one record for the run (which owns the timing of its pauses):
    // 0 when the system took none of its input (a locked or secure desktop).
    int (*playKey)(PlaybackRun* run, uint32_t message, uint32_t virtualKey, uint32_t scanCode,
                   uint32_t flagsByte);
    int (*playMouse)(PlaybackRun* run, uint32_t message, int32_t x, int32_t y, uint32_t wheelWord);
    // One mouse input with only the left-button release.
    void (*releaseLeftButton)();
    // Sets the cursor to where it is, so the system refreshes its shape.
    void (*refreshCursor)();
    // Posts the end notice to the window the run was started for.
    void (*postFinished)(PlaybackRun* run);
};

constexpr uint32_t kPassPauseMs = 100;
constexpr int kContinuousLoopsShown = 9999;
// Before the first record, how often and how long the keys of the gesture that
// started the playback are looked at.
constexpr uint32_t kModifierPollMs = 10;
constexpr uint32_t kModifierWaitMs = 5000;

// The wait for a recorded gap at `speed`: gap / speed truncated, low 32 bits;
// 0 when the speed is not above 0.
uint32_t ScaleGap(uint32_t gap, float speed);
// One pass's estimated length at `speed`, clamped to 1000..3,600,000 ms.
uint32_t EstimatePassMs(const MacroEvent* events, int count, float speed);
// Hands one record to the injection hooks by its kind, and notes what it
// presses or releases; other kinds play nothing. 0 when the system refused it.
int PlayRecord(PlaybackRun* run, const MacroEvent& event, const PlaybackHooks& hooks);
// Releases what the run still holds, last pressed first, through the same
// injection hooks; releases nothing the run did not press.
void ReleaseHeldInputs(PlaybackRun* run, const PlaybackHooks& hooks);
// A key that stops playback is down, leaving out the keys the run itself holds
// and those it released (or was started with) until they have been seen up.
int RunSeesStopKey(PlaybackRun* run, int (*keyDown)(int virtualKey));
// The key whose press started the run: not a stop until it has been up once.
void IgnoreUntilReleased(PlaybackRun* run, int virtualKey);
// The passes of one playback, as long as the repeat settings (read before every
// pass) ask for more and no stop was requested or seen, and the system takes
// the input. The first pass waits (kModifierPollMs, at most kModifierWaitMs)
// until Ctrl, Shift, Alt and both Windows keys are up, never releasing them itself.
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
