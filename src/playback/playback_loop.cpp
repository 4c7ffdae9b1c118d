#include "playback/playback_loop.h"

#include "playback/playback.h"
#include "settings/settings.h"

namespace {

// Nonzero while a playback runs: the id of its run. One value instead of a flag
// plus an owner, so a worker's "I am done" cannot clear a later playback's state.
std::atomic<uint32_t> activeRunId{0};
std::atomic<int> currentLoop{0};
std::atomic<uint32_t> loopStartTick{0};
// Written before the worker starts and not changed while it runs.
uint32_t estimatedLoopMs;
int totalLoopsShown;

constexpr uint32_t kMinEstimateMs = 1000;
constexpr uint32_t kMaxEstimateMs = 3600000;

int StopSeen(PlaybackRun* run) { return run->stopRequested.load(std::memory_order_acquire); }
void MarkStopped(PlaybackRun* run) { run->stopRequested.store(1, std::memory_order_release); }

// Another pass is due: continuous mode, or passes left in counted mode.
int WantsPass(int64_t pass) {
    return RepeatMode.load(std::memory_order_acquire) == kRepeatContinuous ||
           pass < (int64_t)RepeatCount.load(std::memory_order_acquire);
}

}  // namespace

uint32_t ScaleGap(uint32_t gap, float speed) {
    if (!(speed > 0.0f)) return 0;  // also catches a speed that is not a number
    double quotient = (double)(float)gap / (double)speed;
    // A quotient beyond the 64-bit range has no defined conversion; the processor's
    // own conversion yields the "integer indefinite" value, whose low half is 0.
    if (!(quotient < 9223372036854775808.0)) return 0;
    return (uint32_t)(uint64_t)(int64_t)quotient;
}

uint32_t EstimatePassMs(const MacroEvent* events, int count, float speed) {
    if (count <= 1 || !events) return kMinEstimateMs;
    uint32_t first = events[0].time;
    uint32_t last = events[count - 1].time;
    uint32_t span = last > first ? last - first : 0;
    if (speed > 0.0f) span = ScaleGap(span, speed);
    if (span < kMinEstimateMs) span = kMinEstimateMs;
    if (span > kMaxEstimateMs) span = kMaxEstimateMs;
    return span;
}

void PlayRecord(PlaybackRun* run, const MacroEvent& event, const PlaybackHooks& hooks) {
    uint32_t message = event.message;
    if (IsKeyMessage(message)) {
        hooks.playKey(run, message, event.paramL, event.paramH & 0xFF, (event.paramH >> 8) & 0xFF);
    } else if (message == msg::MouseWheel) {
        // The record keeps only the low 16 bits of y; read them as the signed
        // number they were, so a wheel on a monitor above the primary one is
        // replayed there and not at the bottom of the desktop.
        int32_t y = (int32_t)(int16_t)(uint16_t)(event.paramH & 0xFFFF);
        hooks.playMouse(run, message, (int32_t)event.paramL, y, event.paramH);
    } else if (IsMouseMessage(message)) {
        hooks.playMouse(run, message, (int32_t)event.paramL, (int32_t)event.paramH, 0);
    }
}

void RunPasses(PlaybackRun* run, const PlaybackHooks& hooks) {
    for (int64_t pass = 0; WantsPass(pass) && !StopSeen(run); ++pass) {
        currentLoop.store((int)(pass + 1), std::memory_order_release);
        loopStartTick.store(hooks.tickCount(), std::memory_order_release);

        uint32_t previousTime = 0;
        for (int j = 0; j < run->count && !StopSeen(run); ++j) {
            if (hooks.isStopKeyDown()) {
                MarkStopped(run);
                break;
            }
            const MacroEvent& event = run->events[j];
            // The first record of a pass plays at once; later ones wait for their
            // recorded gap, measured from when the previous record was played.
            if (j > 0 && event.time > previousTime) {
                uint32_t wait = ScaleGap(event.time - previousTime,
                                         PlaybackSpeed.load(std::memory_order_acquire));
                if (wait) hooks.wait(run, wait);
            }
            previousTime = event.time;
            if (StopSeen(run) || hooks.isStopKeyDown()) {
                MarkStopped(run);
                break;
            }
            PlayRecord(run, event, hooks);
        }
        if (StopSeen(run)) break;
        hooks.releaseLeftButton();
        int count = RepeatCount.load(std::memory_order_acquire);
        int continuous = RepeatMode.load(std::memory_order_acquire) == kRepeatContinuous;
        if (count != 1 && (continuous || pass < (int64_t)count - 1)) hooks.wait(run, kPassPauseMs);
    }
}

void RunPlaybackWorker(PlaybackRun* run, const PlaybackHooks& hooks) {
    RunPasses(run, hooks);
    int wasActive = EndActiveRun(run->id);
    hooks.refreshCursor();
    // A worker that a stop gave up on must not tell the window that a later
    // playback has finished.
    if (wasActive || ActiveRunId() == 0) hooks.postFinished(run);
}

void BeginActiveRun(uint32_t id, uint32_t tick, uint32_t estimatedMs, int loopsShown) {
    estimatedLoopMs = estimatedMs;
    totalLoopsShown = loopsShown;
    currentLoop.store(1, std::memory_order_release);
    loopStartTick.store(tick, std::memory_order_release);
    activeRunId.store(id, std::memory_order_release);
}

void ClearActiveRun() { activeRunId.store(0, std::memory_order_release); }

int EndActiveRun(uint32_t id) {
    uint32_t expected = id;
    return activeRunId.compare_exchange_strong(expected, 0, std::memory_order_acq_rel);
}

uint32_t ActiveRunId() { return activeRunId.load(std::memory_order_acquire); }

int IsPlaying() { return ActiveRunId() != 0; }
int GetCurrentLoop() { return currentLoop.load(std::memory_order_acquire); }
uint32_t GetLoopStartTick() { return loopStartTick.load(std::memory_order_acquire); }
uint32_t GetEstimatedLoopMs() { return estimatedLoopMs; }
int GetTotalLoopsShown() { return totalLoopsShown; }

int StopKeyHeld(int (*keyDown)(int virtualKey)) {
    if (StopHotkeyEnabled.load(std::memory_order_acquire) &&
        keyDown(StopHotkey.load(std::memory_order_acquire)))
        return 1;
    if (!UseComplexPlayback.load(std::memory_order_acquire) &&
        keyDown(PlaybackHotkey.load(std::memory_order_acquire)))
        return 1;
    if (!UseComplexRecord.load(std::memory_order_acquire) &&
        keyDown(RecordingHotkey.load(std::memory_order_acquire)))
        return 1;
    return 0;
}
