#include "base/format_text.h"
#include <cstdlib>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/cmdline.h"
#include "base/dpi_win.h"
#include "base/product_name.h"
#include "base/resource_ids.h"
#include "base/wide_text_win.h"
#include "macro/macro_buffer.h"
#include "macro/rec_file_win.h"

const char kMainWindowClass[] = "QuorrelWindowClass";

int CommandLineArguments(char* out, int size) {
    // What follows the program's name, skipped as the C runtime skips it for
    // WinMain, whose own copy is in the ANSI code page and has lost the
    // letters of other scripts.
    const WCHAR* p = GetCommandLineW();
    if (*p == L'"') {
        while (*++p && *p != L'"') {
        }
        if (*p == L'"') ++p;
    } else {
        while (*p > L' ') ++p;
    }
    while (*p && *p <= L' ') ++p;
    return ToUtf8(p, out, size);
}

namespace {

int mainWindowDpi = kDefaultDpi;

}  // namespace

void SetMainWindowDpi(int dpi) { mainWindowDpi = dpi; }

SIZE MainClientSize(int height) {
    return {ScaleForDpi(kClientWidth, mainWindowDpi), ScaleForDpi(height, mainWindowDpi)};
}

int FindRecPathArgument(const char* cmdLine, char* out) {
    if (!ScanRecPathArgument(cmdLine, out)) return 0;
    WidePath path(out);
    DWORD attributes = path.ok ? GetFileAttributesW(path.text) : INVALID_FILE_ATTRIBUTES;
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    HMODULE self = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(self, MAKEINTRESOURCEA(IDI_APP));
    wc.hIconSm = LoadIconA(self, MAKEINTRESOURCEA(IDI_APP));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassExA(&wc) != 0;
}

HWND CreateMainWindow(HINSTANCE instance, int showCmd) {
    // Sized for the screen's DPI; the window learns its own in WM_CREATE.
    int screenDpi = WindowDpi(nullptr);
    mainWindowDpi = screenDpi;
    SIZE outer = WindowSizeForClient(MainClientSize(kClientHeightWithCaptions), kMainWindowStyle, 0, screenDpi);
    int x = (GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2;
    HWND window = CreateWindowExA(0, kMainWindowClass, kProductName, kMainWindowStyle, x, y, outer.cx,
                                  outer.cy, nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    if (mainWindowDpi != screenDpi) ApplyClientHeight(window, kClientHeightWithCaptions);
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP));
    if (icon) {
        SendMessageA(window, WM_SETICON, ICON_BIG, (LPARAM)icon);
        SendMessageA(window, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    }
    ShowWindow(window, showCmd);
    UpdateWindow(window);
    InvalidateRect(window, nullptr, TRUE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return window;
}

void ApplyClientHeight(HWND window, int height) {
    SIZE client = MainClientSize(height);
    SIZE outer = WindowSizeForClient(client, (DWORD)GetWindowLongA(window, GWL_STYLE), 0, mainWindowDpi);
    SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER);
    FitClientArea(window, client);
}

int AutoLoadRecording(HWND, const char* path) {
    return LoadRecordingFile(Win32Shell(), path, LoadInto::LoadedMacro, LoadReport::StartUp);
}
