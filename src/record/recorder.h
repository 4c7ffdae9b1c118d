// The recording engine: low-level keyboard and mouse hooks that append to the
// working macro, the key filters, the stop key and the tail trimming.
// UI thread only (the hooks run on the thread that installed them).
#pragma once
#include <windows.h>

constexpr UINT_PTR TIMER_REC_CLOCK = 101;

int StartRecording();
int StopRecording();
int IsRecording();
