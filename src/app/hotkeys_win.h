// The global hotkeys: their ids, registration, the recording/playback choices
// and the actions of ids 1 and 2 and of the slot keys. UI thread only.
#pragma once
#include <windows.h>

enum : int {
    HOTKEY_RECORD = 1,
    HOTKEY_PLAY = 2,
    HOTKEY_SLOT_FIRST = 100,  // Ctrl+1 .. Ctrl+9 are 100..108
    HOTKEY_SHORTCUTS = 200,
};

int RegisterMainHotkeys(HWND window);
void UnregisterMainHotkeys(HWND window);
// Ctrl+1 .. Ctrl+9 and F1 are registered as the main hotkeys are: without
// repeats where the system allows it.
void RegisterSlotHotkeys(HWND window);
int RegisterShortcutsHotkey(HWND window);
void UnregisterSlotHotkeys(HWND window);
int ApplyHotkeySettings(HWND window);
void SetRecordingHotkeyChoice(HWND window, int commandId);
void SetPlaybackHotkeyChoice(HWND window, int commandId);
// Any of the ids above; each acts once per press of its key.
void HandleHotkey(HWND window, int id);
// 1 when `id` is a slot hotkey (100..108) and the switch happened; refused
// while recording or playing.
int HandleSlotHotkey(int id);
