// Synthetic input for one recorded event: mouse records through PlayMouseEvent,
// key records through PlayKeyEvent. Called on the playback worker; touches no
// program state.
#pragma once
#include <windows.h>
#include <cstdint>

// Each returns 0 when the system took none of an input it was given (the lock
// screen, a secure desktop), 1 otherwise.
int PlayMouseEvent(uint32_t message, int32_t x, int32_t y, uint32_t wheelWord);
// The same with its fixed pauses taken by `sleep` instead of Sleep, so that the
// playback worker can keep their timer overshoot out of the total.
using SynthSleepFn = void (*)(void* context, uint32_t ms);
int PlayMouseEventWith(uint32_t message, int32_t x, int32_t y, uint32_t wheelWord, SynthSleepFn sleep,
                       void* context);
int PlayKeyEvent(uint32_t message, uint32_t virtualKey, uint32_t scanCode, uint32_t flagsByte);
// One mouse input carrying only the left-button release, no position.
void SendLeftButtonRelease();

// Seam for tests and benchmarks: where the input records go (SendInput by default).
using SendInputFn = UINT(WINAPI*)(UINT count, LPINPUT inputs, int size);
void SetInputSink(SendInputFn sink);
