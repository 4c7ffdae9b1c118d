// The toolbar: six owner-drawn buttons across the main window, their tooltips,
// the default and custom icon sets and the Show Captions mode. UI thread only.
#pragma once
#include <windows.h>

constexpr int kToolbarButtonCount = 6;

// Called once from the main window's WM_CREATE. The buttons pass the characters
// typed while one of them has the focus (WM_CHAR) on to `owner`, whose keys they are.
void CreateToolbar(HWND owner, HINSTANCE instance);
// The button windows in order Open, Save, Rec, Play, .exe, Prefs (ids 1001..1006); null if creation failed.
HWND GetToolbarButton(int index);
HWND FindToolbarButton(int controlId);
// Lays the buttons out again for the owner's new `dpi` (WM_DPICHANGED), with the
// default icons loaded afresh for it. CreateToolbar starts at the owner's DPI.
void LayoutToolbar(int dpi);
// Paints one button for WM_DRAWITEM with ODT_BUTTON.
void PaintToolbarButton(const DRAWITEMSTRUCT* item);
// Switches the buttons between the captioned and the icon-only form (Show Captions command).
void ApplyCaptionMode(int on);
// Loads all six custom icons from `folder` (UTF-8) or none: 1 when installed (UseCustom and
// CustomPath are then set, the buttons marked for repainting), 0 with nothing changed.
int LoadCustomToolbarIcons(const char* folder);
// Releases the custom set and returns to the default icons (UseCustom 0, CustomPath empty).
// Marks the buttons for repainting; saving is the caller's.
void UseDefaultToolbarIcons();

// What a button shows at paint time. The icon belongs to the toolbar (shared
// default or custom set): callers never destroy it. Null for an unknown id.
HICON GetButtonIcon(int controlId);
// The drawn label ("&Rec", "*&Rec*" while recording...); "" for an unknown id.
const char* GetButtonLabel(int controlId);
COLORREF GetButtonTextColor(int controlId);
// The tooltip control, or null when it could not be created.
HWND GetToolbarTooltip();
