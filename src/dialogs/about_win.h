// The About window: icon, name and version, feature list, rights notice and the
// web-site link, built from plain child controls with its own modal loop.
// UI thread only. Each opening creates (and frees) its own window and fonts.
#pragma once
#include <windows.h>

// The product web site, opened by the link here and by the menu's website item.
extern const char kWebsiteUrl[];

// Returns when the window has been closed; `owner` (may be null) is disabled meanwhile.
void ShowAboutWindow(HWND owner);
LRESULT CALLBACK AboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
