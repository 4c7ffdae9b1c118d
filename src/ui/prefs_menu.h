// The preferences popup menu: built from the current settings each time it is
// shown, destroyed when it closes. Owns the menu command ids. UI thread only.
#pragma once
#include <windows.h>

enum : int {
    IDM_SPEED_HALF = 2001,
    IDM_SPEED_1X = 2002,
    IDM_SPEED_2X = 2003,
    IDM_SPEED_100X = 2004,
    IDM_SPEED_CUSTOM = 2005,
    IDM_SET_CUSTOM_SPEED = 2006,
    IDM_CONTINUOUS = 2007,
    IDM_SET_LOOPS = 2008,
    IDM_ALWAYS_ON_TOP = 2009,
    IDM_SHOW_CAPTIONS = 2010,
    IDM_CUSTOM_TOOLBAR = 2011,
    IDM_DEFAULT_TOOLBAR = 2012,
    IDM_WEBSITE = 2013,
    IDM_ABOUT = 2014,
    IDM_REC_HOTKEY_TITLE = 2015,
    IDM_PLAY_HOTKEY_HINT = 2016,
    IDM_REC_HOTKEY_F8 = 2101,
    IDM_REC_HOTKEY_COMBO = 2104,
    IDM_PLAY_HOTKEY_F8 = 2201,
    IDM_PLAY_HOTKEY_COMBO = 2204,
};

// Builds, shows at (x, y) in screen coordinates, and destroys the menu.
void ShowPreferencesMenu(HWND window, int x, int y);
// A new popup menu owned by the caller (DestroyMenu frees the submenus too).
HMENU BuildPreferencesMenu();
