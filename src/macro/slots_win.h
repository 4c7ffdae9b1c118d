// The window side of the macro slots: the Ctrl+1..9 hotkey ids, the refusal
// while recording or playing, and the notice that the slot caption is due.
// UI thread only.
#pragma once
#include <windows.h>

// Hotkey ids of Ctrl+1 .. Ctrl+9, one per slot from this one on.
constexpr int kSlotHotkeyFirst = 100;

// Remembers the window whose caption names the slot (the main window); while
// none is set, a switch sends no notice.
void SetSlotCaptionWindow(HWND window);
// 1 when `id` is a slot hotkey (100..108) and the switch happened.
int HandleSlotHotkey(int id);
// Stores the working macro in the current slot and loads slot `n`; refused
// (0, nothing changed, nothing shown) outside 1..9 or while recording or playing.
int SwitchSlot(int n);
