#include "app/status.h"

#include "base/format_text.h"

int FormatRecordingCaption(char* buffer, size_t size, uint32_t startTick, uint32_t now) {
    if (startTick == 0) return FormatText(buffer, size, "REC 00:00");
    uint32_t seconds = (now - startTick) / 1000;  // modular: survives the 49.7-day wrap
    return FormatText(buffer, size, "REC %02d:%02d", (int)(seconds / 60), (int)(seconds % 60));
}

int FormatPlaybackCaption(char* buffer, size_t size, uint32_t now, const PlaybackProgress& progress) {
    // The worker may restart the pass between our reading of the clock and of its
    // start tick; a start that lies "ahead" of now therefore counts as just begun.
    // Any other difference is taken modulo 2^32 so a tick-counter wrap mid-pass
    // does not throw the countdown back to the full estimate.
    uint32_t elapsed = now - progress.loopStartTick;
    if ((int32_t)elapsed < 0) elapsed = 0;
    uint32_t remaining = elapsed < progress.estimatedLoopMs ? progress.estimatedLoopMs - elapsed : 0;
    uint32_t seconds = remaining / 1000;
    int minutes = (int)(seconds / 60);
    int secs = (int)(seconds % 60);
    if (progress.continuous)
        return FormatText(buffer, size, "%02d:%02d (%d/-)", minutes, secs, progress.currentLoop);
    return FormatText(buffer, size, "%02d:%02d (%d/%d)", minutes, secs, progress.currentLoop,
                      progress.totalLoopsShown);
}
