// The global hotkeys: their ids, registration, the recording/playback choices
// and the actions of ids 1 and 2. UI thread only.
#pragma once
#include <windows.h>

#include "macro/slots_win.h"

enum : int {
    HOTKEY_RECORD = 1,
    HOTKEY_PLAY = 2,
    HOTKEY_SLOT_FIRST = kSlotHotkeyFirst,  // Ctrl+1 .. Ctrl+9 are 100..108
    HOTKEY_SHORTCUTS = 200,
};

int RegisterMainHotkeys(HWND window);
void UnregisterMainHotkeys(HWND window);
void RegisterSlotHotkeys(HWND window);
void UnregisterSlotHotkeys(HWND window);
int ApplyHotkeySettings(HWND window);
void SetRecordingHotkeyChoice(HWND window, int commandId);
void SetPlaybackHotkeyChoice(HWND window, int commandId);
void HandleHotkey(HWND window, int id);
