// Entry point: the start-up sequence and the message loop.
#include "app/app_win.h"

#include <commctrl.h>

#include "app/cmdline.h"
#include "base/system_dll_win.h"
#include "settings/settings.h"
#include "settings/settings_file_win.h"
#include "ui/toolbar_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCmd) {
    // Room for a quote and the 259 characters of the first argument.
    char arguments[2 * kPathBufferSize];
    char recPath[kPathBufferSize] = {0};
    CommandLineArguments(arguments, sizeof arguments);
    int haveRecPath = FindRecPathArgument(arguments, recPath);

    SetAppInstance(instance);
    InitSystemCommonControls(ICC_WIN95_CLASSES);
    ResetSettingsToDefaults();

    if (!RegisterMainWindowClass(instance)) {
        MessageBoxA(nullptr, "Failed to register window class!", "Error", MB_OK | MB_ICONERROR);
        return 1;
    }
    HWND window = CreateMainWindow(instance, showCmd);
    if (!window) {
        MessageBoxA(nullptr, "Failed to create window!", "Error", MB_OK | MB_ICONERROR);
        return 1;
    }
    SetMainWindow(window);
    LoadSettings(window, LoadCustomToolbarIcons);
    ApplyClientHeight(window, ShowCaptions ? kClientHeightWithCaptions : kClientHeightWithoutCaptions);
    if (haveRecPath) AutoLoadRecording(window, recPath);

    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}
