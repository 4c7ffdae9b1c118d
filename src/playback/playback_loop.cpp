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

namespace {

// Only codes a key can have are filed; the injection takes the low 16 bits of
// the record's key, and anything above 255 names no key.
bool Fileable(uint32_t vk) { return vk > 0 && vk < 256; }

void NotePress(HeldInputs& in, uint32_t vk, uint8_t scan, uint8_t flags) {
    if (!Fileable(vk)) return;
    in.scan[vk] = scan;
    in.flags[vk] = flags;
    in.ignoreUntilUp[vk] = 0;
    if (in.held[vk]) return;  // a repeat of a held key
    in.held[vk] = 1;
    in.order[in.count++] = (uint8_t)vk;
}

void NoteRelease(HeldInputs& in, uint32_t vk) {
    if (!Fileable(vk)) return;
    // The system may report an injected key-up late; until the key is seen up
    // it is the playback's own, not the user's stop.
    in.ignoreUntilUp[vk] = 1;
    if (!in.held[vk]) return;
    in.held[vk] = 0;
    int w = 0;
    for (int i = 0; i < in.count; ++i)
        if (in.order[i] != vk) in.order[w++] = in.order[i];
    in.count = w;
}

void NoteMouse(HeldInputs& in, uint32_t message, int32_t x, int32_t y) {
    in.mouseX = x;
    in.mouseY = y;
    switch (message) {
    case msg::LButtonDown: NotePress(in, vkbutton::Left, 0, 0); break;
    case msg::RButtonDown: NotePress(in, vkbutton::Right, 0, 0); break;
    case msg::MButtonDown: NotePress(in, vkbutton::Middle, 0, 0); break;
    case msg::LButtonUp: NoteRelease(in, vkbutton::Left); break;
    case msg::RButtonUp: NoteRelease(in, vkbutton::Right); break;
    case msg::MButtonUp: NoteRelease(in, vkbutton::Middle); break;
    default: break;  // moves, the wheel and double-clicks (which end released)
    }
}

uint32_t ButtonUpMessage(uint8_t vk) {
    return vk == vkbutton::Left ? msg::LButtonUp : vk == vkbutton::Right ? msg::RButtonUp : msg::MButtonUp;
}

bool IsButton(uint8_t vk) {
    return vk == vkbutton::Left || vk == vkbutton::Right || vk == vkbutton::Middle;
}

}  // namespace

int PlayRecord(PlaybackRun* run, const MacroEvent& event, const PlaybackHooks& hooks) {
    uint32_t message = event.message;
    HeldInputs& in = run->input;
    int taken = 1;
    if (IsKeyMessage(message)) {
        uint8_t scan = event.paramH & 0xFF, flags = (event.paramH >> 8) & 0xFF;
        taken = hooks.playKey(run, message, event.paramL, scan, flags);
        uint32_t vk = event.paramL & 0xFFFF;
        if (message == msg::KeyDown || message == msg::SysKeyDown) NotePress(in, vk, scan, flags);
        else NoteRelease(in, vk);
    } else if (message == msg::MouseWheel) {
        // The record keeps only the low 16 bits of y; read them as the signed
        // number they were, so a wheel on a monitor above the primary one is
        // replayed there and not at the bottom of the desktop.
        int32_t y = (int32_t)(int16_t)(uint16_t)(event.paramH & 0xFFFF);
        taken = hooks.playMouse(run, message, (int32_t)event.paramL, y, event.paramH);
        NoteMouse(in, message, (int32_t)event.paramL, y);
    } else if (IsMouseMessage(message)) {
        taken = hooks.playMouse(run, message, (int32_t)event.paramL, (int32_t)event.paramH, 0);
        NoteMouse(in, message, (int32_t)event.paramL, (int32_t)event.paramH);
    }
    return taken;
}

void ReleaseHeldInputs(PlaybackRun* run, const PlaybackHooks& hooks) {
    HeldInputs& in = run->input;
    while (in.count > 0) {
        uint8_t vk = in.order[in.count - 1];
        // Buttons go up where the macro last put the pointer, so a drag ends
        // where it was heading and the pointer does not jump.
        if (IsButton(vk)) hooks.playMouse(run, ButtonUpMessage(vk), in.mouseX, in.mouseY, 0);
        else hooks.playKey(run, msg::KeyUp, vk, in.scan[vk], in.flags[vk]);
        NoteRelease(in, vk);
    }
}

void IgnoreUntilReleased(PlaybackRun* run, int virtualKey) {
    if (Fileable((uint32_t)virtualKey)) run->input.ignoreUntilUp[virtualKey] = 1;
}

namespace {

// `in` may be null: then every stop key counts.
int StopKeyAmong(HeldInputs* in, int (*keyDown)(int virtualKey)) {
    int keys[3];
    int n = 0;
    if (StopHotkeyEnabled.load(std::memory_order_acquire)) keys[n++] = StopHotkey.load(std::memory_order_acquire);
    if (!UseComplexPlayback.load(std::memory_order_acquire)) keys[n++] = PlaybackHotkey.load(std::memory_order_acquire);
    if (!UseComplexRecord.load(std::memory_order_acquire)) keys[n++] = RecordingHotkey.load(std::memory_order_acquire);
    for (int i = 0; i < n; ++i) {
        int vk = keys[i];
        int down = keyDown(vk);
        if (in && Fileable((uint32_t)vk)) {
            if (in->held[vk]) continue;  // the macro's own key
            if (in->ignoreUntilUp[vk]) {
                if (down) continue;
                in->ignoreUntilUp[vk] = 0;
            }
        }
        if (down) return 1;
    }
    return 0;
}

}  // namespace

int RunSeesStopKey(PlaybackRun* run, int (*keyDown)(int virtualKey)) {
    return StopKeyAmong(&run->input, keyDown);
}

namespace {

// A person still holding Ctrl+Shift+Alt a moment after the play hotkey would
// turn the first records into shortcuts, as the system does not reset keys that
// are already down; and letting go of them for the person is not ours to do.
void AwaitModifiersUp(PlaybackRun* run, const PlaybackHooks& hooks) {
    static constexpr int kModifiers[] = {0x10, 0x11, 0x12, 0x5B, 0x5C};  // Shift, Ctrl, Alt, both Windows keys
    const uint32_t start = hooks.tickCount();
    for (;;) {
        int held = 0;
        for (int vk : kModifiers) held = held || hooks.keyDown(vk);
        if (!held || hooks.tickCount() - start >= kModifierWaitMs) return;
        if (StopSeen(run) || RunSeesStopKey(run, hooks.keyDown)) {
            MarkStopped(run);
            return;
        }
        hooks.wait(run, kModifierPollMs);
    }
}

}  // namespace

void RunPasses(PlaybackRun* run, const PlaybackHooks& hooks) {
    for (int64_t pass = 0; WantsPass(pass) && !StopSeen(run); ++pass) {
        if (pass == 0) {
            AwaitModifiersUp(run, hooks);
            if (StopSeen(run)) break;
        }
        currentLoop.store((int)(pass + 1), std::memory_order_release);
        loopStartTick.store(hooks.tickCount(), std::memory_order_release);

        uint32_t previousTime = 0;
        for (int j = 0; j < run->count && !StopSeen(run); ++j) {
            if (RunSeesStopKey(run, hooks.keyDown)) {
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
            if (StopSeen(run) || RunSeesStopKey(run, hooks.keyDown)) {
                MarkStopped(run);
                break;
            }
            // Input the system refuses (the lock screen, a secure desktop) ends
            // the playback as a stop key would: played on blind, it would go on
            // mid-pass into whatever screen is there after the unlock.
            if (!PlayRecord(run, event, hooks)) {
                MarkStopped(run);
                break;
            }
        }
        if (StopSeen(run)) break;
        ReleaseHeldInputs(run, hooks);
        hooks.releaseLeftButton();
        int count = RepeatCount.load(std::memory_order_acquire);
        int continuous = RepeatMode.load(std::memory_order_acquire) == kRepeatContinuous;
        if (count != 1 && (continuous || pass < (int64_t)count - 1)) hooks.wait(run, kPassPauseMs);
    }
}

void RunPlaybackWorker(PlaybackRun* run, const PlaybackHooks& hooks) {
    RunPasses(run, hooks);
    // A stopped pass lets go of what it holds too; a worker that a later
    // playback has overtaken leaves that playback's keys alone.
    uint32_t active = ActiveRunId();
    if (active == run->id || active == 0) ReleaseHeldInputs(run, hooks);
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

int StopKeyHeld(int (*keyDown)(int virtualKey)) { return StopKeyAmong(nullptr, keyDown); }
