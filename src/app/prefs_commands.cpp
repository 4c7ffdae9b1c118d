#include "app/prefs_commands.h"

#include "base/format_text.h"
#include "settings/settings.h"
#include "ui/number_parse.h"
#include "ui/prefs_menu.h"

int ApplySpeedChoice(int id) {
    switch (id) {
    case IDM_SPEED_HALF: PlaybackSpeed = 0.5f; return 1;
    case IDM_SPEED_1X: PlaybackSpeed = 1.0f; return 1;
    case IDM_SPEED_2X: PlaybackSpeed = 2.0f; return 1;
    case IDM_SPEED_100X: PlaybackSpeed = 100.0f; return 1;
    case IDM_SPEED_CUSTOM: PlaybackSpeed = CustomSpeed.load(); return 1;
    default: return 0;
    }
}

void ToggleContinuousPlayback() {
    // A playing worker reads both values before each pass; the order of the writes
    // keeps it from ever seeing a counted mode with the count -1 (no more passes).
    if (RepeatMode.load() == kRepeatContinuous) {
        RepeatCount = 1;
        RepeatMode = 0;
    } else {
        RepeatMode = kRepeatContinuous;
        RepeatCount = -1;
    }
}

void FormatCustomSpeedPrompt(char* buffer, size_t size) {
    FormatText(buffer, size, "%.0f", (double)CustomSpeed.load());
}

SpeedEntry ApplyCustomSpeedEntry(const char* text) {
    float value = 0.0f;
    if (!ParseSpeed(text, &value)) return SpeedEntry::BadFormat;
    if (!(value >= kMinCustomSpeed && value <= kMaxCustomSpeed)) return SpeedEntry::OutOfRange;
    CustomSpeed = value;
    PlaybackSpeed = value;
    return SpeedEntry::Accepted;
}

void FormatLoopsPrompt(char* buffer, size_t size) {
    int count = RepeatCount.load();
    if (count > 0) {
        FormatText(buffer, size, "%d", count);
    } else {
        FormatText(buffer, size, "%s", "1");
    }
}

int ApplyLoopsEntry(const char* text) {
    int count = 0;
    if (!ParseIntInRange(text, &count, 1, kMaxLoops)) return 0;
    RepeatCount = count;  // count first, for the same reason as above
    RepeatMode = 1;
    return 1;
}
