// The window side of the macro slots: the Ctrl+1..9 hotkey ids, the refusal
// while recording or playing, and the slot caption. UI thread only.
#pragma once
#include <windows.h>

// Remembers the window whose caption names the slot (the main window).
void SetSlotCaptionWindow(HWND window);
// 1 when `id` is a slot hotkey (100..108) and the switch happened.
int HandleSlotHotkey(int id);
// Stores the working macro in the current slot and loads slot `n`; refused
// (0, nothing changed, nothing shown) outside 1..9 or while recording or playing.
int SwitchSlot(int n);
void UpdateSlotCaption(HWND window);
