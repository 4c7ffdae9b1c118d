// Puts the status texts into the main window's title bar.
#include "app/status.h"

#include "app/app.h"
#include "app/status_text.h"
#include "macro/macro_buffer.h"
#include "playback/playback.h"
#include "settings/settings.h"

void SetStateCaption(HWND window, int state) {
    char text[256];
    if (state == kCaptionRecording)
        FormatRecordingCaption(text, sizeof text, GetRecordStartTick(), GetTickCount());
    else
        lstrcpynA(text, kIdleCaption, sizeof text);
    SetWindowTextA(window, text);
}

void UpdatePlaybackCaption() {
    HWND window = GetMainWindow();
    if (!window) return;
    if (!IsPlaying()) {
        SetWindowTextA(window, kIdleCaption);
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
