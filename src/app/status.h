// The title-bar status texts: idle, recording clock, playback countdown. The
// texts themselves are built by status_text (portable). UI thread only.
#pragma once
#include <windows.h>

constexpr int kCaptionIdle = 0;
constexpr int kCaptionRecording = 1;

// Sets "Quorrel" (state 0) or the recording clock "REC mm:ss" (state 1).
void SetStateCaption(HWND window, int state);
// Sets the playback countdown on the main window, or "Quorrel" when not playing.
void UpdatePlaybackCaption();
