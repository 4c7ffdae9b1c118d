#include "macro/slots.h"

#include <cstdlib>
#include <cstring>

#include "base/format_text.h"
#include "macro/macro_buffer.h"

namespace {

struct MacroSlot {
    MacroEvent* events;
    int count;
    int filled;
};

MacroSlot slots[kSlotCount];
int currentSlot = 1;

MacroSlot& Current() { return slots[currentSlot - 1]; }

void EmptySlot(MacroSlot& slot) {
    free(slot.events);
    slot.events = nullptr;
    slot.count = 0;
    slot.filled = 0;
}

}  // namespace

void InitSlots() {
    // Releases rather than forgets, so that a second main window cannot leak.
    for (MacroSlot& slot : slots) EmptySlot(slot);
    currentSlot = 1;
}

void FreeSlots() {
    for (MacroSlot& slot : slots) EmptySlot(slot);
}

void StoreCurrentSlot() {
    MacroSlot& slot = Current();
    EmptySlot(slot);
    int count = 0;
    const MacroEvent* events = GetEvents(&count);
    uint32_t bytes;
    if (!events || count < 1 || !RecordBytes(count, &bytes)) return;
    slot.events = static_cast<MacroEvent*>(malloc(bytes));
    if (!slot.events) return;  // out of memory: the slot stays empty
    memcpy(slot.events, events, bytes);
    slot.count = count;
    slot.filled = 1;
}

void LoadCurrentSlot() {
    ResetEventCount();
    const MacroSlot& slot = Current();
    if (slot.events && slot.count >= 1) AssignEvents(slot.events, slot.count);
}

int SelectSlot(int n, int busy) {
    if (n < 1 || n > kSlotCount || busy) return 0;
    StoreCurrentSlot();
    currentSlot = n;
    LoadCurrentSlot();
    return 1;
}

int GetCurrentSlot() { return currentSlot; }

int GetSlotEventCount(int n) {
    if (n < 1 || n > kSlotCount || !slots[n - 1].filled) return 0;
    return slots[n - 1].count;
}

int FormatSlotCaption(char* buffer, size_t size) {
    const MacroSlot& slot = Current();
    if (!slot.filled) return FormatText(buffer, size, "Quorrel - Slot %d (empty)", currentSlot);
    return FormatText(buffer, size, "Quorrel - Slot %d (%d events)", currentSlot, slot.count);
}
