// Puts the status texts into the main window's title bar.
#include "app/status_win.h"

#include "app/app_win.h"
#include "app/status.h"
#include "base/product_name.h"
#include "macro/macro_buffer.h"
#include "macro/slots.h"
#include "playback/playback.h"
#include "record/recorder_win.h"
#include "settings/settings.h"

void SetStateCaption(HWND window, int state) {
    char text[256];
    if (state == kCaptionRecording)
        FormatRecordingCaption(text, sizeof text, GetRecordStartTick(), GetTickCount());
    else
        lstrcpynA(text, kProductName, sizeof text);
    SetWindowTextA(window, text);
}

void UpdatePlaybackCaption() {
    HWND window = GetMainWindow();
    if (!window) return;
    if (!IsPlaying()) {
        SetWindowTextA(window, kProductName);
        return;
    }
    PlaybackProgress progress;
    progress.loopStartTick = GetLoopStartTick();
    progress.estimatedLoopMs = GetEstimatedLoopMs();
    progress.currentLoop = GetCurrentLoop();
    progress.totalLoopsShown = GetTotalLoopsShown();
    progress.continuous = RepeatMode.load() == kRepeatContinuous;
    char text[64];
    // The clock is read after the counters: a pass that restarts in between
    // then shows a little less time left, never a jump past the estimate.
    FormatPlaybackCaption(text, sizeof text, GetTickCount(), progress);
    SetWindowTextA(window, text);
}

void ShowEngineChange(EngineChange change) {
    HWND window = GetMainWindow();
    if (!window) return;
    switch (change) {
    case EngineChange::RecordingStarted:
        SetStateCaption(window, kCaptionRecording);
        SetTimer(window, TIMER_REC_CLOCK, kRecClockPeriodMs, nullptr);
        break;
    case EngineChange::RecordingStopped:
        KillTimer(window, TIMER_REC_CLOCK);
        SetStateCaption(window, kCaptionIdle);
        break;
    case EngineChange::PlaybackStarted:
        UpdatePlaybackCaption();
        SetTimer(window, TIMER_PLAY_PROGRESS, kPlayProgressPeriodMs, nullptr);
        break;
    case EngineChange::PlaybackStartFailed:
        // The countdown drawn a moment ago stays; only its timer goes.
        KillTimer(window, TIMER_PLAY_PROGRESS);
        break;
    case EngineChange::PlaybackStopped:
        KillTimer(window, TIMER_PLAY_PROGRESS);
        SetStateCaption(window, kCaptionIdle);
        break;
    case EngineChange::SlotSwitched: {
        char text[256];
        FormatSlotCaption(text, sizeof text);
        SetWindowTextA(window, text);
        break;
    }
    }
}
