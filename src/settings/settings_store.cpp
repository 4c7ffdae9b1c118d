#include "settings/settings_store.h"

#include <atomic>
#include <cstring>

#include "settings/settings.h"
#include "settings/settings_values.h"

const char kSettingsSection[] = "Settings";
const char kToolbarSection[] = "Toolbar";

namespace {

// One row per [Settings] key in file order. Exactly one of the pointers is set.
struct SettingKey {
    const char* key;
    std::atomic<float>* floatValue;
    std::atomic<int>* atomicValue;
    int* plainValue;
    int initial;  // for the integer keys; floats keep theirs below
    float initialFloat;
};

const SettingKey kSettingKeys[] = {
    {"PlaybackSpeed", &PlaybackSpeed, nullptr, nullptr, 0, initial::PlaybackSpeed},
    {"CustomSpeed", &CustomSpeed, nullptr, nullptr, 0, initial::CustomSpeed},
    {"RepeatMode", nullptr, &RepeatMode, nullptr, initial::RepeatMode, 0},
    {"RepeatCount", nullptr, &RepeatCount, nullptr, initial::RepeatCount, 0},
    {"AlwaysOnTop", nullptr, nullptr, &AlwaysOnTop, initial::AlwaysOnTop, 0},
    {"ShowCaptions", nullptr, nullptr, &ShowCaptions, initial::ShowCaptions, 0},
    {"RecordingHotkey", nullptr, &RecordingHotkey, nullptr, initial::RecordingHotkey, 0},
    {"RecordingModifiers", nullptr, nullptr, &RecordingModifiers, initial::RecordingModifiers, 0},
    {"UseComplexRecord", nullptr, &UseComplexRecord, nullptr, initial::UseComplexRecord, 0},
    {"PlaybackHotkey", nullptr, &PlaybackHotkey, nullptr, initial::PlaybackHotkey, 0},
    {"PlaybackModifiers", nullptr, nullptr, &PlaybackModifiers, initial::PlaybackModifiers, 0},
    {"UseComplexPlayback", nullptr, &UseComplexPlayback, nullptr, initial::UseComplexPlayback, 0},
    {"StopHotkey", nullptr, &StopHotkey, nullptr, initial::StopHotkey, 0},
    {"StopHotkeyEnabled", nullptr, &StopHotkeyEnabled, nullptr, initial::StopHotkeyEnabled, 0},
};
static_assert(sizeof kSettingKeys / sizeof kSettingKeys[0] == 14, "fourteen [Settings] keys");

}  // namespace

float ReadFloatFrom(const ProfileStore& store, const char* section, const char* key, float fallback) {
    char fallbackText[kFloatTextSize];
    char text[kFloatTextSize];
    FormatSettingFloat(fallbackText, fallback);
    store.readText(section, key, fallbackText, text, sizeof text);
    return ParseSettingFloat(text);
}

int ReadIntFrom(const ProfileStore& store, const char* section, const char* key, int fallback) {
    char text[kIntTextSize];
    store.readText(section, key, "", text, sizeof text);
    return ParseSettingInt(text, fallback);
}

int WriteFloatTo(const ProfileStore& store, const char* section, const char* key, float value) {
    char text[kFloatTextSize];
    FormatSettingFloat(text, value);
    return store.writeText(section, key, text);
}

int WriteIntTo(const ProfileStore& store, const char* section, const char* key, int value) {
    char text[kIntTextSize];
    FormatSettingInt(text, value);
    return store.writeText(section, key, text);
}

void ReadSettingValues(const ProfileStore& store) {
    for (const SettingKey& row : kSettingKeys) {
        if (row.floatValue) {
            row.floatValue->store(ReadFloatFrom(store, kSettingsSection, row.key, row.initialFloat),
                                  std::memory_order_release);
        } else {
            int value = ReadIntFrom(store, kSettingsSection, row.key, row.initial);
            if (row.atomicValue) row.atomicValue->store(value, std::memory_order_release);
            else *row.plainValue = value;
        }
    }
    UseCustom = ReadIntFrom(store, kToolbarSection, "UseCustom", 0);
    store.readText(kToolbarSection, "CustomPath", "", CustomPath, sizeof CustomPath);
}

int WriteSettingValues(const ProfileStore& store) {
    for (const SettingKey& row : kSettingKeys) {
        if (row.floatValue) {
            WriteFloatTo(store, kSettingsSection, row.key, row.floatValue->load(std::memory_order_acquire));
        } else {
            int value = row.atomicValue ? row.atomicValue->load(std::memory_order_acquire) : *row.plainValue;
            WriteIntTo(store, kSettingsSection, row.key, value);
        }
    }
    store.writeText(kToolbarSection, "CustomPath", CustomPath);
    return store.writeText(kToolbarSection, "UseCustom", UseCustom ? "1" : "0");
}
