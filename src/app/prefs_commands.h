// The settings changes behind the preferences commands, apart from the windows
// and prompts that surround them. Pure logic (no windows.h); UI thread, since the
// playback worker only reads these settings.
#pragma once
#include <cstddef>

// Ids 2001..2005: sets PlaybackSpeed to 0.5, 1, 2, 100 or CustomSpeed. 1 when `id`
// is one of them, 0 (nothing changed) otherwise.
int ApplySpeedChoice(int id);

// Continuous playback on (RepeatMode 2, RepeatCount -1) or back to one pass.
void ToggleContinuousPlayback();

enum class SpeedEntry { Accepted, BadFormat, OutOfRange };

// The custom-speed prompt's initial text: CustomSpeed rounded to a whole number.
void FormatCustomSpeedPrompt(char* buffer, size_t size);
// Accepted: CustomSpeed and PlaybackSpeed take the entered value. Otherwise
// nothing changes and the caller tells the user which rule the text broke.
SpeedEntry ApplyCustomSpeedEntry(const char* text);

// The loops prompt's initial text: RepeatCount when positive, else "1".
void FormatLoopsPrompt(char* buffer, size_t size);
// 1..9999 switches to counted playback with that many passes; anything else is
// ignored (0, nothing changed).
int ApplyLoopsEntry(const char* text);

constexpr float kMinCustomSpeed = 0.1f;
constexpr float kMaxCustomSpeed = 1000.0f;
constexpr int kMaxLoops = 9999;
