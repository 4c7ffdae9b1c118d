// The preferences menu as plain data: labels, ids, ticks and greyed states built
// from the current settings. Pure logic (no windows.h); prefs_menu_win.cpp turns
// it into a popup menu. UI thread (it reads the settings of that moment).
#pragma once
#include <cstddef>

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

enum class MenuItemKind { Text, Separator, Submenu };

constexpr size_t kMenuLabelSize = 64;

struct MenuItemModel {
    MenuItemKind kind;
    int id;                      // 0 for separators and submenus
    char label[kMenuLabelSize];  // empty for separators
    bool checked;
    bool greyed;
    int submenu;                 // index into PrefsMenuModel::submenus for Submenu items
};

struct MenuModel {
    MenuItemModel items[20];
    int count;
};

struct PrefsMenuModel {
    MenuModel main;
    MenuModel submenus[2];  // 0 "Recording Hotkey", 1 "Playback Hotkey"
};

// Fills `model` from the settings as they are now.
void BuildPrefsMenuModel(PrefsMenuModel* model);

// "Play Custom Speed:  8x" / "3.5x" / "2.25x"; cut to `size`, always terminated.
void FormatCustomSpeedLabel(char* buffer, size_t size, float customSpeed);
// "Set Playback Loops...  (3)", or "(l)" in continuous mode.
void FormatLoopsLabel(char* buffer, size_t size, int repeatMode, int repeatCount);
// The speed items' tick test: within the single-precision 0.01 of `preset`.
bool SpeedMatches(float speed, float preset);
