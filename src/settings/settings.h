// The process-wide settings, named after their INI keys, with their initial
// values. Written on the UI thread; the playback worker reads some of them live,
// so every value the worker can see is atomic. Portable: no windows.h.
#pragma once
#include <atomic>

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
extern char CustomPath[260];
// Tick of "Use Default Toolbar"; not saved.
extern int defaultToolbarMark;

constexpr int kRepeatContinuous = 2;

// Puts every setting back to its initial value (start-up, and tests).
void ResetSettingsToDefaults();
