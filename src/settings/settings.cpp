#include "settings/settings.h"

std::atomic<float> PlaybackSpeed{initial::PlaybackSpeed};
std::atomic<float> CustomSpeed{initial::CustomSpeed};
std::atomic<int> RepeatMode{initial::RepeatMode};
std::atomic<int> RepeatCount{initial::RepeatCount};
int AlwaysOnTop = initial::AlwaysOnTop;
int ShowCaptions = initial::ShowCaptions;
std::atomic<int> RecordingHotkey{initial::RecordingHotkey};
int RecordingModifiers = initial::RecordingModifiers;
std::atomic<int> UseComplexRecord{initial::UseComplexRecord};
std::atomic<int> PlaybackHotkey{initial::PlaybackHotkey};
int PlaybackModifiers = initial::PlaybackModifiers;
std::atomic<int> UseComplexPlayback{initial::UseComplexPlayback};
std::atomic<int> StopHotkey{initial::StopHotkey};
std::atomic<int> StopHotkeyEnabled{initial::StopHotkeyEnabled};
int UseCustom = initial::UseCustom;
char CustomPath[kPathBytes] = "";
int defaultToolbarMark = 1;

void ResetSettingsToDefaults() {
    PlaybackSpeed = initial::PlaybackSpeed;
    CustomSpeed = initial::CustomSpeed;
    RepeatMode = initial::RepeatMode;
    RepeatCount = initial::RepeatCount;
    AlwaysOnTop = initial::AlwaysOnTop;
    ShowCaptions = initial::ShowCaptions;
    RecordingHotkey = initial::RecordingHotkey;
    RecordingModifiers = initial::RecordingModifiers;
    UseComplexRecord = initial::UseComplexRecord;
    PlaybackHotkey = initial::PlaybackHotkey;
    PlaybackModifiers = initial::PlaybackModifiers;
    UseComplexPlayback = initial::UseComplexPlayback;
    StopHotkey = initial::StopHotkey;
    StopHotkeyEnabled = initial::StopHotkeyEnabled;
    UseCustom = initial::UseCustom;
    CustomPath[0] = '\0';
    defaultToolbarMark = 1;
}
