// The DPI each window is shown at, and the frames, sizes and icons that follow from
// it. The calls that came with per-monitor DPI are looked up at run time, so the
// program still runs where the system lacks them. UI thread.
#pragma once
#include <windows.h>

#include "base/dpi.h"

// The DPI of `window`: GetDpiForWindow where the system has it, otherwise, and for
// a null or unknown window, the screen's LOGPIXELSY.
int WindowDpi(HWND window);

// The DPI that WM_DPICHANGED announces.
inline int DpiOfDpiChange(WPARAM wParam) { return HIWORD(wParam); }

// The outer size of a window with `style` and `exStyle` (no menu) whose client area
// is `client` at `dpi`: AdjustWindowRectExForDpi where it exists, otherwise
// AdjustWindowRectEx with its frame scaled from the screen's DPI.
SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD exStyle, int dpi);

// The client area of a window whose outer size at 96 DPI is `width` x `height`:
// that size less its frame at 96 DPI, scaled to `dpi`.
SIZE ScaledClientSize(int width, int height, DWORD style, DWORD exStyle, int dpi);

// Resizes `window`, keeping its top-left corner, so that its client area is
// `client`, by the frame the window really has. Does nothing to a minimised window.
void FitClientArea(HWND window, SIZE client);

// WM_DPICHANGED: moves `window` onto the rectangle the system suggests, then gives
// it the client area `client` (the suggestion is only as exact as its rounding).
void MoveToSuggestedRect(HWND window, const RECT* suggested, SIZE client);

// Moves and sizes a child control to `box` (pixels); a null control is left alone.
void MoveControl(HWND control, const LayoutBox& box);

// Icon resource `name` of `instance` at `size` x `size` pixels; with a null
// instance, one of the system's icons (IDI_QUESTION...). The caller destroys it.
HICON LoadIconAtSize(HINSTANCE instance, const char* name, int size);

// Shows that icon in the SS_ICON static `control` (which takes its size) in place
// of `*shown`, which is destroyed; `*shown` is then the new one, the caller's to
// destroy. Nothing changes when the icon cannot be loaded.
void ShowIconAtSize(HWND control, HICON* shown, HINSTANCE instance, const char* name, int size);
