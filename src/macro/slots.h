// The nine in-memory macro slots: each owns its own copy of a macro; the
// working macro (MacroBuffer) is copied into the current slot when the user
// leaves it and out of the chosen one. Portable; UI thread only.
#pragma once
#include <cstddef>

constexpr int kSlotCount = 9;

// All slots empty, slot 1 current.
void InitSlots();
// Releases every slot's copy.
void FreeSlots();
// Replaces the current slot's copy with a copy of the working macro (empty when
// the working macro is); the loaded macro is never looked at.
void StoreCurrentSlot();
// Makes the working macro a copy of the current slot, or empty when the slot is.
void LoadCurrentSlot();
// Store, switch to `n`, load. 0 (nothing changed) for a number outside 1..9 or
// when `busy` (a recording or playback is running), else 1.
int SelectSlot(int n, int busy);

int GetCurrentSlot();
// Events held by slot `n` (1..9); 0 when empty or out of range.
int GetSlotEventCount(int n);

// "Quorrel - Slot %d (empty)" or "Quorrel - Slot %d (%d events)" for the current slot.
int FormatSlotCaption(char* buffer, size_t size);
