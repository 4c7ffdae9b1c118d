#include "base/format_text.h"
#include <cstdlib>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/cmdline.h"
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
    RECT rect = {0, 0, kClientWidth, kClientHeightWithCaptions};
    AdjustWindowRect(&rect, kMainWindowStyle, FALSE);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND window = CreateWindowExA(0, kMainWindowClass, kProductName, kMainWindowStyle, x, y, width,
                                  height, nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
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
    RECT rect = {0, 0, kClientWidth, height};
    AdjustWindowRect(&rect, (DWORD)GetWindowLongA(window, GWL_STYLE), FALSE);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER);
}

int AutoLoadRecording(HWND, const char* path) {
    return LoadRecordingFile(Win32Shell(), path, LoadInto::LoadedMacro, LoadReport::StartUp);
}
