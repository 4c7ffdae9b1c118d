// The playback engine's public face: start and stop, the playing flag, the stop
// keys and the counters the progress caption reads. Start/Stop/OnPlaybackFinished
// run on the UI thread; the accessors may be called from any thread.
#pragma once
#include <cstdint>
#include "macro/macro_event.h"

constexpr unsigned WM_PLAYBACK_FINISHED = 0x0400 + 100;  // posted by the worker as its last act
constexpr uintptr_t TIMER_PLAY_PROGRESS = 102;          // 200 ms caption refresh on the main window
constexpr unsigned kPlayProgressPeriodMs = 200;

// Plays a copy of `events` on a worker thread: the caller may change or free its
// array once this returns. `startKey`, when not 0, is a stop
// key whose press started this playback: it stops it only once it has been
// seen up. 1 started, 0 refused or failed.
int StartPlayback(const MacroEvent* events, int count, int startKey = 0);
// Asks the worker to stop and waits for it up to 2000 ms. 0 when idle.
int StopPlayback();
int IsPlaying();
// 1 when a key that stops playback is held now.
int IsStopKeyDown();
// Estimated length of one pass of the playback being started, 1000..3,600,000 ms.
uint32_t EstimateLoopDuration();
// The main window calls this when WM_PLAYBACK_FINISHED arrives: the worker has
// ended, so its thread handle can be closed.
void OnPlaybackFinished();

int GetCurrentLoop();
uint32_t GetLoopStartTick();
uint32_t GetEstimatedLoopMs();
int GetTotalLoopsShown();
