#include "macro/slots_win.h"

#include "app/hotkeys.h"
#include "macro/slots.h"
#include "playback/playback.h"
#include "record/recorder.h"

namespace {
HWND captionWindow;
}

void SetSlotCaptionWindow(HWND window) { captionWindow = window; }

int HandleSlotHotkey(int id) {
    if (id < HOTKEY_SLOT_FIRST || id >= HOTKEY_SLOT_FIRST + kSlotCount) return 0;
    return SwitchSlot(id - HOTKEY_SLOT_FIRST + 1);
}

int SwitchSlot(int n) {
    // A running playback reads the working macro's block; a recording appends to it.
    if (!SelectSlot(n, IsRecording() || IsPlaying())) return 0;
    if (captionWindow) UpdateSlotCaption(captionWindow);
    return 1;
}

void UpdateSlotCaption(HWND window) {
    char text[256];
    FormatSlotCaption(text, sizeof text);
    SetWindowTextA(window, text);
}
