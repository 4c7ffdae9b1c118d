// The recording engine: low-level keyboard and mouse hooks that append to the
// working macro, the key filters, the stop key and the tail trimming.
// UI thread only (the hooks run on the thread that installed them).
#pragma once
#include <windows.h>

#include "record/recorder.h"

constexpr UINT_PTR TIMER_REC_CLOCK = 101;  // the recording caption's clock on the main window
constexpr UINT kRecClockPeriodMs = 1000;

// 1 when the hooks are installed and the working macro was emptied for the new
// recording; 0 when already recording or when a hook or the buffer failed.
int StartRecording();
// Trims the gesture that ended the recording (see TrimStopGesture), removes the
// hooks and restores the caption. 0 when nothing was recording.
int StopRecording(const StopGesture& how = StopGesture{StopSource::Other, 0, 0});
int IsRecording();
// The recording clock's tick: installs both hooks again when the system has
// seen input that they were not called for (see HooksLookLost).
void WatchRecordingHooks();
// The hooks as installed now (null when not recording), for the tests that
// take them away behind the recorder's back as Windows does.
void GetRecordingHooks(HHOOK* keyboard, HHOOK* mouse);

// The hook procedures; exposed so the Win32 tests can feed them records directly.
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam);
