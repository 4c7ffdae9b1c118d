// The window side of the macro slots: the switch, refused while the program is
// busy (its caller says when), and the notice that the slot caption is due.
// UI thread only.
#pragma once
#include <windows.h>

// Remembers the window whose caption names the slot (the main window); while
// none is set, a switch sends no notice.
void SetSlotCaptionWindow(HWND window);
// Stores the working macro in the current slot and loads slot `n`; refused
// (0, nothing changed, nothing shown) outside 1..9 or when `busy`: a running
// playback reads the working macro's block and a recording appends to it.
int SwitchSlot(int n, int busy);
