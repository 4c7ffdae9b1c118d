// The preferences popup menu: built from the current settings each time it is
// shown, destroyed when it closes. The command ids live in prefs_menu.h.
// UI thread only.
#pragma once
#include <windows.h>

#include "ui/prefs_menu.h"

// Builds, shows at (x, y) in screen coordinates, and destroys the menu. The
// chosen command arrives afterwards as a WM_COMMAND posted to `window`. The
// menu is tracked for `keys`, the window that has the keyboard before and after
// it (a modal window open over `window`); null means `window` itself.
void ShowPreferencesMenu(HWND window, int x, int y, HWND keys = nullptr);
// A new popup menu owned by the caller (DestroyMenu frees the submenus too).
HMENU BuildPreferencesMenu();
