// The title-bar texts of the status display, built from tick counts and the
// playback counters passed in: no clock, no window. Portable.
#pragma once
#include <cstddef>
#include <cstdint>

// "REC mm:ss" for a recording started at `startTick`, `now` being the current
// tick count; a start tick of 0 reads "REC 00:00". Minutes are not wrapped at
// 60, and a wrap of the tick counter between start and now is harmless.
int FormatRecordingCaption(char* buffer, size_t size, uint32_t startTick, uint32_t now);

struct PlaybackProgress {
    uint32_t loopStartTick;    // tick count at the start of the pass under way
    uint32_t estimatedLoopMs;  // estimated length of one pass
    int currentLoop;           // 1-based pass number
    int totalLoopsShown;       // passes shown after the slash
    int continuous;            // 1: "(n/-)" instead of "(n/total)"
};

// The countdown of the pass under way, "mm:ss (n/total)" or "mm:ss (n/-)"; it
// stays at 00:00 once the pass runs longer than estimated.
int FormatPlaybackCaption(char* buffer, size_t size, uint32_t now, const PlaybackProgress& progress);
