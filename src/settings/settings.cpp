#include "settings/settings.h"

std::atomic<float> PlaybackSpeed{1.0f};
std::atomic<float> CustomSpeed{8.0f};
std::atomic<int> RepeatMode{0};
std::atomic<int> RepeatCount{1};
int AlwaysOnTop = 0;
int ShowCaptions = 1;
std::atomic<int> RecordingHotkey{82};
int RecordingModifiers = 0;
std::atomic<int> UseComplexRecord{1};
std::atomic<int> PlaybackHotkey{80};
int PlaybackModifiers = 0;
std::atomic<int> UseComplexPlayback{1};
std::atomic<int> StopHotkey{27};
std::atomic<int> StopHotkeyEnabled{1};
int UseCustom = 0;
char CustomPath[260] = "";
int defaultToolbarMark = 1;

void ResetSettingsToDefaults() {
    PlaybackSpeed = 1.0f;
    CustomSpeed = 8.0f;
    RepeatMode = 0;
    RepeatCount = 1;
    AlwaysOnTop = 0;
    ShowCaptions = 1;
    RecordingHotkey = 82;
    RecordingModifiers = 0;
    UseComplexRecord = 1;
    PlaybackHotkey = 80;
    PlaybackModifiers = 0;
    UseComplexPlayback = 1;
    StopHotkey = 27;
    StopHotkeyEnabled = 1;
    UseCustom = 0;
    CustomPath[0] = '\0';
    defaultToolbarMark = 1;
}
