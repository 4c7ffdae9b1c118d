#include "settings/settings_file_win.h"

#include "settings/settings.h"
#include "settings/settings_store.h"
#include "settings/settings_values.h"

namespace {

char settingsPath[kSettingsPathSize];
int settingsLoaded;

// The path of the last successful GetSettingsPath; an empty buffer is worked
// out on first use so that the single value operations work on their own too.
const char* SettingsPath() {
    if (!settingsPath[0]) GetSettingsPath(settingsPath);
    return settingsPath;
}

void ReadProfileText(const char* section, const char* key, const char* fallback, char* out, int size) {
    const char* path = SettingsPath();
    if (!path[0]) {
        // No file to read: the fallback, exactly as for a missing file.
        lstrcpynA(out, fallback, size);
        return;
    }
    GetPrivateProfileStringA(section, key, fallback, out, (DWORD)size, path);
}

int WriteProfileText(const char* section, const char* key, const char* value) {
    const char* path = SettingsPath();
    if (!path[0]) return 0;
    return WritePrivateProfileStringA(section, key, value, path) != 0;
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

int GetSettingsPath(char* out260) {
    char exePath[MAX_PATH];
    out260[0] = '\0';
    DWORD length = GetModuleFileNameA(nullptr, exePath, sizeof exePath);
    // A length that fills the buffer means the path was cut: it names no real file.
    if (length == 0 || length >= sizeof exePath) return 0;
    exePath[length] = '\0';
    return JoinSettingsPath(out260, exePath);
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
    if (!GetSettingsPath(settingsPath)) return;
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
    if (window && savedX >= 0 && savedY >= 0) RestoreWindowPosition(window, savedX, savedY);
    if (window && AlwaysOnTop) SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

int SaveSettings(HWND window) {
    if (!settingsLoaded) return 0;
    if (!GetSettingsPath(settingsPath)) return 0;
    int result = WriteSettingValues(kProfileFile);
    if (!window || IsIconic(window)) return result;
    RECT outer;
    if (!GetWindowRect(window, &outer)) return result;
    WriteIntTo(kProfileFile, kSettingsSection, "WindowX", outer.left);
    return WriteIntTo(kProfileFile, kSettingsSection, "WindowY", outer.top);
}
