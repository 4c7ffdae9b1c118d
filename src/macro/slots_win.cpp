#include "macro/slots_win.h"

#include "base/engine_events.h"
#include "macro/slots.h"

namespace {
HWND captionWindow;
}

void SetSlotCaptionWindow(HWND window) { captionWindow = window; }

int SwitchSlot(int n, int busy) {
    if (!SelectSlot(n, busy)) return 0;
    if (captionWindow) NotifyEngineChange(EngineChange::SlotSwitched);
    return 1;
}
