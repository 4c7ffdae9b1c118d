// The notification-area icon that stands in for the main window while it is
// minimised. UI thread only.
#pragma once
#include <windows.h>

constexpr UINT WM_TRAYICON = WM_USER + 1;  // 1025, the tray callback message

BOOL AddTrayIcon(HWND window);
void RemoveTrayIcon(HWND window);
// A double click restores the window and a right click opens the preferences
// menu; either way the keyboard then goes to `keys` (the newest modal window
// open over the window; null: the window itself).
void HandleTrayNotification(HWND window, LPARAM lParam, HWND keys = nullptr);
// Re-adds the icon when the shell announces a new taskbar while the window is hidden.
// Returns 1 when `message` was that announcement.
int HandleTaskbarCreated(HWND window, UINT message);
