// The map between the settings in memory and the keys of the settings file: key
// names, sections, key order and text forms. It talks to the file only through a
// ProfileStore, so the same code runs against the profile-file functions on
// Windows and against an in-memory store in tests. Portable; UI thread only.
#pragma once

extern const char kSettingsSection[];
extern const char kToolbarSection[];

struct ProfileStore {
    // Copies the key's text, or `fallback` when the key or the file is missing,
    // into out (size bytes, always terminated, cut to fit).
    void (*readText)(const char* section, const char* key, const char* fallback, char* out,
                     int size);
    // Creates or replaces the key; nonzero on success.
    int (*writeText)(const char* section, const char* key, const char* value);
};

float ReadFloatFrom(const ProfileStore& store, const char* section, const char* key, float fallback);
int ReadIntFrom(const ProfileStore& store, const char* section, const char* key, int fallback);
int WriteFloatTo(const ProfileStore& store, const char* section, const char* key, float value);
int WriteIntTo(const ProfileStore& store, const char* section, const char* key, int value);

// Reads the fourteen [Settings] keys from PlaybackSpeed to StopHotkeyEnabled and
// the two [Toolbar] keys into the settings, each missing key giving its initial value.
void ReadSettingValues(const ProfileStore& store);
// Writes the same keys from the settings: the fourteen in order, then CustomPath
// and UseCustom. Returns the result of the last write.
int WriteSettingValues(const ProfileStore& store);
