#include "macro/slots_win.h"

#include "base/engine_events.h"
#include "macro/slots.h"
#include "playback/playback.h"
#include "record/recorder_win.h"

namespace {
HWND captionWindow;
}

void SetSlotCaptionWindow(HWND window) { captionWindow = window; }

int HandleSlotHotkey(int id) {
    if (id < kSlotHotkeyFirst || id >= kSlotHotkeyFirst + kSlotCount) return 0;
    return SwitchSlot(id - kSlotHotkeyFirst + 1);
}

int SwitchSlot(int n) {
    // A running playback reads the working macro's block; a recording appends to it.
    if (!SelectSlot(n, IsRecording() || IsPlaying())) return 0;
    if (captionWindow) NotifyEngineChange(EngineChange::SlotSwitched);
    return 1;
}
