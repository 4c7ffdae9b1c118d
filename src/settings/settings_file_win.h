// The settings file "Quorrel.ini" next to the executable: its path, the four
// value operations, the start-up load (which also places the main window) and
// the save. UI thread only.
#pragma once
#include <windows.h>

// Fills `out` (kSettingsPathSize bytes) with the file's path, UTF-8; 0 when the
// executable's path cannot be obtained or the joined path does not fit.
int GetSettingsPath(char* out);
float ReadFloatSetting(const char* section, const char* key, float fallback);
void WriteFloatSetting(const char* section, const char* key, float value);
int ReadIntSetting(const char* section, const char* key, int fallback);
void WriteIntSetting(const char* section, const char* key, int value);

// Loads a custom toolbar icon set from a folder; 1 when all of it loaded.
using CustomIconLoader = int (*)(const char* folder);

// Start-up load, once, after the main window exists (window may be null). A
// saved custom icon set goes to `loadIcons` (the toolbar's); when it cannot be
// loaded, or there is no loader, the set is forgotten.
void LoadSettings(HWND window, CustomIconLoader loadIcons = nullptr);
// Writes every setting and, unless the window is null or minimised, its
// position. Returns the last write's result; 0 when nothing was written
// (before LoadSettings, or without a path).
int SaveSettings(HWND window);
