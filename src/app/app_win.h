// The main window's class and size, and the start-up steps of WinMain that
// other code (and the Win32 tests) call. UI thread only.
#pragma once
#include <windows.h>

#include "base/shell_handles_win.h"

// The client area at 96 DPI; the window scales it to its own.
constexpr int kClientWidth = 265;
constexpr int kClientHeightWithCaptions = 55;
constexpr int kClientHeightWithoutCaptions = 36;
constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
extern const char kMainWindowClass[];

// The process's command line after the program's own name, as UTF-8 into
// `out` (`size` bytes, cut to fit); 0 when it was cut.
int CommandLineArguments(char* out, int size);
// 1 when the first argument of `cmdLine` (UTF-8) names an existing .rec file
// (not a directory); the path is then in `out` (kPathBufferSize bytes).
int FindRecPathArgument(const char* cmdLine, char* out);
int RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance, int showCmd);
// The DPI the main window is laid out for: its own from WM_CREATE, then each
// WM_DPICHANGED's. CreateMainWindow sizes it for the screen's until then.
void SetMainWindowDpi(int dpi);
// The client area for `height` (55 or 36) at 96 DPI, scaled to the main window's DPI.
SIZE MainClientSize(int height);
// Loads `path` into LoadedMacro and reports it in a message box either way
// (owned by the main window).
int AutoLoadRecording(HWND window, const char* path);
// Gives the client area its 265 x 55 or 265 x 36 size (`height` is 55 or 36),
// scaled to the main window's DPI, keeping the position.
void ApplyClientHeight(HWND window, int height);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
