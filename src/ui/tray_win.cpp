// The notification-area icon: one record reused by every add and remove.
#include "ui/tray_win.h"

#include <shellapi.h>

#include <cstddef>

#include "base/answering_wait_win.h"
#include "base/dpi_win.h"
#include "base/product_name.h"
#include "base/resource_ids.h"
#include "base/system_dll_win.h"
#include "ui/prefs_menu_win.h"

namespace {

constexpr UINT kTrayIconId = 1;
constexpr int kTipLimit = 64;  // the first form's tip field, terminator included
constexpr int kSmallIconSize = 16;  // at 96 DPI
// The first form of NOTIFYICONDATAA: up to the end of that tip field (88 bytes on
// 32-bit Windows, 104 on 64-bit).
constexpr DWORD kTrayRecordSize = offsetof(NOTIFYICONDATAA, szTip) + kTipLimit;
static_assert(sizeof(void*) != 4 || kTrayRecordSize == 88, "the 88-byte first form");

NOTIFYICONDATAA trayIconData;
int iconShown;  // the window is hidden and the tray stands in for it
UINT taskbarCreated;  // the shell's announcement of a new taskbar, once registered

// The small-icon size at the window's DPI.
void LoadTrayIcon(HWND window) {
    if (trayIconData.hIcon) return;
    trayIconData.hIcon = LoadIconAtSize(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP),
                                        ScaleForDpi(kSmallIconSize, WindowDpi(window)));
}

BOOL NotifyAdd(HWND window) {
    ZeroMemory(&trayIconData.szTip, sizeof trayIconData.szTip);
    trayIconData.cbSize = kTrayRecordSize;
    trayIconData.hWnd = window;
    trayIconData.uID = kTrayIconId;
    trayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIconData.uCallbackMessage = WM_TRAYICON;
    LoadTrayIcon(window);
    lstrcpynA(trayIconData.szTip, kProductName, kTipLimit);
    return Shell_NotifyIconA(NIM_ADD, &trayIconData);
}

// The shell's announcement of a new taskbar, let through to an elevated
// window, which the system shields from lower-rights broadcasts. The filter
// exists from Windows 7 on: looked up.
void AllowTaskbarCreated(HWND window) {
    using FilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    if (!taskbarCreated) taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    FilterFn allow = FunctionIn<FilterFn>(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx");
    if (allow && taskbarCreated) allow(window, taskbarCreated, MSGFLT_ALLOW, nullptr);
}

}  // namespace

BOOL AddTrayIcon(HWND window) {
    iconShown = 1;
    AllowTaskbarCreated(window);
    return NotifyAdd(window);
}

void RemoveTrayIcon(HWND window) {
    trayIconData.cbSize = kTrayRecordSize;
    trayIconData.hWnd = window;
    trayIconData.uID = kTrayIconId;
    Shell_NotifyIconA(NIM_DELETE, &trayIconData);
    iconShown = 0;
    // The shell keeps its own copy of the image, so ours can go with the entry.
    if (trayIconData.hIcon) {
        DestroyIcon(trayIconData.hIcon);
        trayIconData.hIcon = nullptr;
    }
}

void HandleTrayNotification(HWND window, LPARAM lParam, HWND keys) {
    if (!keys) keys = window;
    // The shell sends these; none may open a menu over a command still waiting.
    if (IsWaitingAnswering()) return;
    switch ((UINT)lParam) {
    case WM_LBUTTONDBLCLK:
        ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(keys);
        RemoveTrayIcon(window);
        break;
    case WM_RBUTTONUP: {
        POINT point = {0, 0};
        GetCursorPos(&point);
        ShowPreferencesMenu(window, point.x, point.y, keys);
        break;
    }
    default:
        break;
    }
}

int HandleTaskbarCreated(HWND window, UINT message) {
    // Registered messages live in 0xC000..0xFFFF; everything below is not ours.
    if (message < 0xC000) return 0;
    if (!taskbarCreated) taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    if (taskbarCreated == 0 || message != taskbarCreated) return 0;
    // A restarted shell has forgotten our icon; while the window is hidden it is
    // the user's only way back.
    if (iconShown && !IsWindowVisible(window)) NotifyAdd(window);
    return 1;
}
