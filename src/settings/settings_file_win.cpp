#include "settings/settings_file_win.h"

#include <cstdlib>

#include "base/wide_text_win.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "settings/settings_values.h"

namespace {

WCHAR settingsFile[MAX_PATH];  // UTF-16: the profile functions' own form
int settingsLoaded;

// The path of the last successful GetSettingsPath; an empty buffer is worked
// out on first use so that the single value operations work on their own too.
const WCHAR* SettingsFile() {
    char path[kSettingsPathSize];
    if (!settingsFile[0]) GetSettingsPath(path);
    return settingsFile;
}

// Keys and values as UTF-16 too: only the file's path needs it, but one
// family of functions keeps one code page for the whole file.
void ReadProfileText(const char* section, const char* key, const char* fallback, char* out, int size) {
    WCHAR wideSection[32], wideKey[32], wideFallback[kFloatTextSize];
    WCHAR* text = static_cast<WCHAR*>(malloc(sizeof(WCHAR) * size));
    if (text && SettingsFile()[0] && ToWide(section, wideSection, 32) && ToWide(key, wideKey, 32) &&
        ToWide(fallback, wideFallback, kFloatTextSize)) {
        GetPrivateProfileStringW(wideSection, wideKey, wideFallback, text, (DWORD)size, settingsFile);
        ToUtf8(text, out, size);
    } else {
        // No file to read: the fallback, exactly as for a missing file.
        lstrcpynA(out, fallback, size);
    }
    free(text);
}

int WriteProfileText(const char* section, const char* key, const char* value) {
    WCHAR wideSection[32], wideKey[32], wideValue[kPathUnits];
    if (!SettingsFile()[0] || !ToWide(section, wideSection, 32) || !ToWide(key, wideKey, 32) ||
        !ToWide(value, wideValue, kPathUnits))
        return 0;
    // The file is kept in the ANSI code page. A folder whose name that code page
    // cannot hold is written as its short form, which names the same folder.
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wideValue, -1, nullptr, 0, nullptr, &lost);
    WCHAR shortForm[kPathUnits];
    DWORD length = lost ? GetShortPathNameW(wideValue, shortForm, kPathUnits) : 0;
    if (length > 0 && length < kPathUnits) lstrcpyW(wideValue, shortForm);
    return WritePrivateProfileStringW(wideSection, wideKey, wideValue, settingsFile) != 0;
}

const ProfileStore kProfileFile = {ReadProfileText, WriteProfileText};

// Puts the window's top-left corner at the saved place, or pulls a place that
// no attached monitor holds back into the primary work area.
void RestoreWindowPosition(HWND window, int savedX, int savedY) {
    POINT point = {savedX, savedY};
    int x = savedX;
    int y = savedY;
    if (!MonitorFromPoint(point, MONITOR_DEFAULTTONULL)) {
        RECT work = {0, 0, 0, 0};
        RECT outer = {0, 0, 0, 0};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        GetWindowRect(window, &outer);
        WorkArea area = {work.left, work.top, work.right, work.bottom};
        PullBackWindowPosition(savedX, savedY, area, outer.right - outer.left,
                               outer.bottom - outer.top, &x, &y);
    }
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace

int GetSettingsPath(char* out) {
    WCHAR exe[MAX_PATH];
    char exePath[kPathBytes];
    out[0] = '\0';
    DWORD length = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    // A length that fills the buffer means the path was cut: it names no real file.
    if (length == 0 || length >= MAX_PATH || !ToUtf8(exe, exePath, sizeof exePath) ||
        !JoinSettingsPath(out, exePath) || !ToWide(out, settingsFile, MAX_PATH)) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

float ReadFloatSetting(const char* section, const char* key, float fallback) {
    return ReadFloatFrom(kProfileFile, section, key, fallback);
}

void WriteFloatSetting(const char* section, const char* key, float value) {
    WriteFloatTo(kProfileFile, section, key, value);
}

int ReadIntSetting(const char* section, const char* key, int fallback) {
    return ReadIntFrom(kProfileFile, section, key, fallback);
}

void WriteIntSetting(const char* section, const char* key, int value) {
    WriteIntTo(kProfileFile, section, key, value);
}

void LoadSettings(HWND window, CustomIconLoader loadIcons) {
    settingsLoaded = 1;
    char path[kSettingsPathSize];
    if (!GetSettingsPath(path)) return;
    ReadSettingValues(kProfileFile);

    if (UseCustom && CustomPath[0]) {
        // A copy: the loader stores the folder into CustomPath itself.
        char folder[sizeof CustomPath];
        lstrcpynA(folder, CustomPath, sizeof folder);
        if (!loadIcons || !loadIcons(folder)) {
            UseCustom = 0;
            CustomPath[0] = '\0';
        }
    }

    int savedX = ReadIntSetting(kSettingsSection, "WindowX", -1);
    int savedY = ReadIntSetting(kSettingsSection, "WindowY", -1);
    // Monitors left of or above the primary one have negative coordinates;
    // only -1 in both keys is the mark of a position never saved.
    if (window && !(savedX == -1 && savedY == -1)) RestoreWindowPosition(window, savedX, savedY);
    if (window && AlwaysOnTop) SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

int SaveSettings(HWND window) {
    if (!settingsLoaded) return 0;
    char path[kSettingsPathSize];
    if (!GetSettingsPath(path)) return 0;
    int result = WriteSettingValues(kProfileFile);
    if (!window || IsIconic(window)) return result;
    RECT outer;
    if (!GetWindowRect(window, &outer)) return result;
    WriteIntTo(kProfileFile, kSettingsSection, "WindowX", outer.left);
    return WriteIntTo(kProfileFile, kSettingsSection, "WindowY", outer.top);
}
