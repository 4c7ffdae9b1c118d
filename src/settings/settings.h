// The process-wide settings, named after their INI keys, with their initial
// values. Written on the UI thread; the playback worker reads some of them live,
// so every value the worker can see is atomic. Portable: no windows.h.
#pragma once
#include <atomic>

#include "base/path_size.h"

// Each setting's initial value, defined once: the globals start from it, the
// reset goes back to it and a key missing from the file reads as it.
namespace initial {
constexpr float PlaybackSpeed = 1.0f;
constexpr float CustomSpeed = 8.0f;
constexpr int RepeatMode = 0;
constexpr int RepeatCount = 1;
constexpr int AlwaysOnTop = 0;
constexpr int ShowCaptions = 1;
constexpr int RecordingHotkey = 82;  // R
constexpr int RecordingModifiers = 0;
constexpr int UseComplexRecord = 1;
constexpr int PlaybackHotkey = 80;   // P
constexpr int PlaybackModifiers = 0;
constexpr int UseComplexPlayback = 1;
constexpr int StopHotkey = 27;       // Esc
constexpr int StopHotkeyEnabled = 1;
constexpr int UseCustom = 0;
}  // namespace initial

extern std::atomic<float> PlaybackSpeed;
extern std::atomic<float> CustomSpeed;
extern std::atomic<int> RepeatMode;  // 0 one pass, 1 RepeatCount passes, 2 continuous
extern std::atomic<int> RepeatCount;
extern int AlwaysOnTop;
extern int ShowCaptions;
extern std::atomic<int> RecordingHotkey;
extern int RecordingModifiers;
extern std::atomic<int> UseComplexRecord;
extern std::atomic<int> PlaybackHotkey;
extern int PlaybackModifiers;
extern std::atomic<int> UseComplexPlayback;
extern std::atomic<int> StopHotkey;
extern std::atomic<int> StopHotkeyEnabled;
// [Toolbar]
extern int UseCustom;
extern char CustomPath[kPathBytes];  // UTF-8
// Tick of "Use Default Toolbar"; not saved.
extern int defaultToolbarMark;

constexpr int kRepeatContinuous = 2;

// Puts every setting back to its initial value (start-up, and tests).
void ResetSettingsToDefaults();
