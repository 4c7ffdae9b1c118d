// The Win32 side of the playback engine: the worker thread, its interruptible
// waits, the stop keys, the progress timer and the caption. The pass loop itself
// is playback_loop.cpp. Everything here except the worker runs on the UI thread;
// the caption and its timer are the shell's, told of each start and stop.
#include "playback/playback.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/engine_events.h"
#include "base/shell_handles_win.h"
#include "base/system_dll_win.h"
#include "playback/input_synth_win.h"
#include "playback/playback_loop.h"
#include "settings/settings.h"

namespace {

constexpr DWORD kStopWaitMs = 2000;
constexpr DWORD kReleaseSettleMs = 10;
constexpr UINT kTimerPeriodMs = 1;
constexpr DWORD kFinishGraceMs = 50;

// A run shared by the UI thread and its worker; each side drops its reference
// when done with it, and the last one frees it. The macro it plays is its own
// copy, in the same block: a stop may give up on a worker held up in SendInput,
// and the window may then free or regrow the macro it was started with.
struct WorkerRun {
    PlaybackRun run;
    HANDLE wake;  // manual-reset; set to cut a wait short when a stop is requested
    HWND window;  // the main window as the worker found it at its start
    std::atomic<int> references;
};
static_assert(sizeof(WorkerRun) % alignof(MacroEvent) == 0, "the copied macro follows the run");

const MacroEvent* playEvents;
int playCount;
HANDLE playbackThread;
WorkerRun* currentRun;  // the UI thread's reference to the latest run
uint32_t lastRunId;

void ReleaseRun(WorkerRun* run) {
    if (run && run->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        CloseHandle(run->wake);
        run->~WorkerRun();
        free(run);
    }
}

WorkerRun* NewRun(const MacroEvent* events, int count) {
    if ((size_t)count > (SIZE_MAX - sizeof(WorkerRun)) / sizeof(MacroEvent)) return nullptr;
    HANDLE wake = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!wake) return nullptr;
    void* block = malloc(sizeof(WorkerRun) + (size_t)count * sizeof(MacroEvent));
    if (!block) {
        CloseHandle(wake);
        return nullptr;
    }
    WorkerRun* run = new (block) WorkerRun();
    MacroEvent* copy = reinterpret_cast<MacroEvent*>(run + 1);
    memcpy(copy, events, (size_t)count * sizeof(MacroEvent));
    run->run.events = copy;
    run->run.count = count;
    if (++lastRunId == 0) ++lastRunId;  // 0 means "nothing playing"
    run->run.id = lastRunId;
    run->run.stopRequested.store(0, std::memory_order_release);
    run->run.context = run;
    run->wake = wake;
    run->references.store(2, std::memory_order_release);  // the UI thread and the worker
    return run;
}

// Every wait lasts at least what it asks for: a gap is measured from when the
// previous record was played, and the pauses around clicks are what let the
// receiving program see a press as a press; so a wait that ran long is never
// made up by a shorter one later. A long wait is cut short by a stop request;
// a short one is a plain Sleep, which a stop outlasts by a few milliseconds at
// most, and which under Wine overshoots by half as much as a wait on an event
// (that one goes through the server). INFINITE itself is never asked.
constexpr uint32_t kShortWaitMs = 20;

void TimedWait(WorkerRun* owner, uint32_t ms) {
    if (ms < kShortWaitMs) Sleep(ms);
    else WaitForSingleObject(owner->wake, ms == INFINITE ? INFINITE - 1 : ms);
}

// A stop request sets the run's event and so cuts any of these waits short.
void WaitForGap(PlaybackRun* run, uint32_t ms) { TimedWait(static_cast<WorkerRun*>(run->context), ms); }

void InputPause(void* context, uint32_t ms) { TimedWait(static_cast<WorkerRun*>(context), ms); }

uint32_t TickCount() { return GetTickCount(); }

int AsyncKeyDown(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

void RefreshCursor() {
    POINT point;
    if (GetCursorPos(&point)) SetCursorPos(point.x, point.y);
}

void PostFinished(PlaybackRun* run) {
    HWND window = static_cast<WorkerRun*>(run->context)->window;
    if (window) PostMessageA(window, WM_PLAYBACK_FINISHED, 0, 0);
}

int PlayKey(PlaybackRun*, uint32_t message, uint32_t virtualKey, uint32_t scanCode, uint32_t flagsByte) {
    return PlayKeyEvent(message, virtualKey, scanCode, flagsByte);
}

int PlayMouse(PlaybackRun* run, uint32_t message, int32_t x, int32_t y, uint32_t wheelWord) {
    return PlayMouseEventWith(message, x, y, wheelWord, InputPause, run->context);
}

const PlaybackHooks kWorkerHooks = {
    WaitForGap, TickCount, AsyncKeyDown, PlayKey, PlayMouse, SendLeftButtonRelease, RefreshCursor, PostFinished,
};

DWORD WINAPI PlaybackThread(LPVOID parameter) {
    WorkerRun* run = static_cast<WorkerRun*>(parameter);
    run->window = GetMainWindow();
    RunPlaybackWorker(&run->run, kWorkerHooks);
    EndTimerPeriod(kTimerPeriodMs);
    ReleaseRun(run);
    return 0;
}

// Windows 11 no longer honours a raised timer resolution for a process whose
// windows are minimised, hidden or covered, which is how a playback usually
// runs (from the tray, or behind its target): every short wait would round up
// to the 15.6 ms tick and a mouse path play at half speed. The process opts out
// once; systems before Windows 11 have nothing to ask.
int timerKeptWhenHidden;

void KeepTimerResolutionWhenHidden() {
    if (timerKeptWhenHidden) return;
    timerKeptWhenHidden = 1;
    struct PowerThrottlingState {
        ULONG version, controlMask, stateMask;
    };
    using SetInformationFn = BOOL(WINAPI*)(HANDLE process, int infoClass, void* info, DWORD size);
    constexpr int kProcessPowerThrottling = 4;
    constexpr ULONG kIgnoreTimerResolution = 0x4;
    auto setInformation = FunctionIn<SetInformationFn>(GetModuleHandleA("kernel32.dll"), "SetProcessInformation");
    PowerThrottlingState state = {1, kIgnoreTimerResolution, 0};
    if (setInformation) setInformation(GetCurrentProcess(), kProcessPowerThrottling, &state, sizeof state);
}

// Lets go of the previous worker once it has ended by itself. Its end notice
// comes a moment before the thread exits, hence the short grace.
void CloseFinishedWorker(DWORD graceMs) {
    if (!playbackThread || IsPlaying()) return;
    if (WaitForSingleObject(playbackThread, graceMs) != WAIT_OBJECT_0) return;
    CloseHandle(playbackThread);
    playbackThread = nullptr;
    ReleaseRun(currentRun);
    currentRun = nullptr;
}

}  // namespace

int StartPlayback(const MacroEvent* events, int count, int startKey) {
    if (IsPlaying() || !events || count <= 0) return 0;
    CloseFinishedWorker(0);
    if (playbackThread) {
        // The last worker has finished its playback but not yet left its thread;
        // it frees its own share of the run, so only the handle is ours to drop.
        CloseHandle(playbackThread);
        playbackThread = nullptr;
    }
    ReleaseRun(currentRun);
    currentRun = nullptr;

    // The short sleeps and gaps need 1 ms timer ticks, not the default ~15.6 ms.
    KeepTimerResolutionWhenHidden();
    BeginTimerPeriod(kTimerPeriodMs);
    ReleaseCapture();
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    SendLeftButtonRelease();
    Sleep(kReleaseSettleMs);

    WorkerRun* run = NewRun(events, count);
    if (!run) {
        EndTimerPeriod(kTimerPeriodMs);
        return 0;
    }
    IgnoreUntilReleased(&run->run, startKey);
    playEvents = events;
    playCount = count;
    int loopsShown = RepeatMode.load(std::memory_order_acquire) == kRepeatContinuous
                         ? kContinuousLoopsShown
                         : RepeatCount.load(std::memory_order_acquire);
    BeginActiveRun(run->run.id, GetTickCount(), EstimateLoopDuration(), loopsShown);
    NotifyEngineChange(EngineChange::PlaybackStarted);

    HANDLE thread = CreateThread(nullptr, 0, PlaybackThread, run, 0, nullptr);
    if (!thread) {
        ClearActiveRun();
        NotifyEngineChange(EngineChange::PlaybackStartFailed);
        run->references.store(1, std::memory_order_release);  // no worker will drop its share
        ReleaseRun(run);
        EndTimerPeriod(kTimerPeriodMs);
        return 0;
    }
    playbackThread = thread;
    currentRun = run;
    return 1;
}

int StopPlayback() {
    if (!IsPlaying()) return 0;
    if (currentRun) {
        currentRun->run.stopRequested.store(1, std::memory_order_release);
        SetEvent(currentRun->wake);
    }
    if (playbackThread) {
        WaitForSingleObject(playbackThread, kStopWaitMs);
        CloseHandle(playbackThread);
        playbackThread = nullptr;
    }
    ClearActiveRun();
    ReleaseRun(currentRun);
    currentRun = nullptr;
    RefreshCursor();
    NotifyEngineChange(EngineChange::PlaybackStopped);
    return 1;
}

int IsStopKeyDown() { return StopKeyHeld(AsyncKeyDown); }

uint32_t EstimateLoopDuration() {
    return EstimatePassMs(playEvents, playCount, PlaybackSpeed.load(std::memory_order_acquire));
}

void OnPlaybackFinished() { CloseFinishedWorker(kFinishGraceMs); }
