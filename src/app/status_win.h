// The title-bar status texts: idle, recording clock, playback countdown. The
// texts themselves are built by status.cpp (portable). UI thread only.
#pragma once
#include <windows.h>

#include "base/engine_events.h"

constexpr int kCaptionIdle = 0;
constexpr int kCaptionRecording = 1;

// Sets "Quorrel" (state 0) or the recording clock "REC mm:ss" (state 1).
void SetStateCaption(HWND window, int state);
// Sets the playback countdown on the main window, or "Quorrel" when not playing.
void UpdatePlaybackCaption();
// The engines' state changes as the title bar and its timers show them: the
// recording clock (timer 101) and the playback countdown (timer 102). Set as
// the engine listener when the main window is created; UI thread.
void ShowEngineChange(EngineChange change);
