// Text forms of the settings values, the settings file's path and the pull-back
// of a window position saved on a monitor that is gone. Pure functions, no
// windows.h: the Win32 layer (settings_file_win.cpp) feeds them what it reads.
#pragma once
#include <cstdint>

#include "base/path_size.h"

constexpr int kSettingsPathSize = kPathBytes;
constexpr int kFloatTextSize = 64;
constexpr int kIntTextSize = 32;
extern const char kSettingsFileName[];

// "%.2f" of the value into a 64-byte buffer (1.0 -> "1.00").
void FormatSettingFloat(char* out64, float value);
// "%d" of the value into a 32-byte buffer.
void FormatSettingInt(char* out32, int value);
// The leading numeric part of the text as atof reads it, 0.0 when there is none.
float ParseSettingFloat(const char* text);
// A key's text as the profile-file integer read gives it: an empty text is the
// fallback; otherwise optional blanks, an optional sign and decimal digits up to
// the first other character, 0 when no digit follows.
int ParseSettingInt(const char* text, int fallback);

// Joins the directory of `exePath` (cut at its last backslash) with the file
// name as "dir\Quorrel.ini" into `out` (kSettingsPathSize bytes). Returns 0,
// leaving it empty, when the joined path would not fit: a cut path names
// another file.
int JoinSettingsPath(char* out, const char* exePath);

struct WorkArea {
    int left, top, right, bottom;
};
// Brings a saved top-left corner that no monitor contains back into the primary
// work area: the left edge may hang 200 pixels off, the other edges 50.
void PullBackWindowPosition(int x, int y, const WorkArea& area, int width, int height,
                            int* outX, int* outY);
