// The working macro (MacroBuffer), the loaded macro (LoadedMacro) and the
// CurrentMacro rule that picks between them. Each store owns its own heap block
// (malloc/free); copies are explicit. User-interface thread only.
#pragma once
#include <cstdint>
#include "macro/macro_event.h"

// --- MacroBuffer -----------------------------------------------------------
void ClearBuffer();
// Empties the buffer and gives it a first block of `capacity` records with the
// given start tick (the recording engine's start). Returns 0 when out of memory.
int BeginBuffer(int capacity, uint32_t startTick);
// Appends one record; eventTime is the input's own timestamp. Runs inside the
// input hooks: stores 20 bytes, grows by doubling only when full.
int AppendEvent(uint32_t message, uint32_t paramL, uint32_t paramH, uint32_t eventTime);
int GrowBuffer();
// The array stays valid only until the next GrowBuffer, ClearBuffer or AssignEvents.
MacroEvent* GetEvents(int* outCount);
int GetEventCount();
void SetEventCount(int count);  // lowers the count (tail trimming); never raises it
void ResetEventCount();
void AssignEvents(const MacroEvent* source, int n);
uint32_t GetRecordStartTick();
int GetBufferCapacity();

// Doubling rule with overflow check: 1 and the new capacity, or 0 when the
// doubled capacity or its byte size cannot be represented.
int NextCapacity(int capacity, int* outCapacity);
// count * 20 as a size, or 0 (with 0 returned) when it would overflow a signed 32-bit size.
int RecordBytes(int count, uint32_t* outBytes);

// --- LoadedMacro -----------------------------------------------------------
// Takes ownership of `events` and frees the previous array.
void SetLoadedMacro(MacroEvent* events, int count);
const MacroEvent* GetLoadedMacro(int* outCount);

// --- CurrentMacro ----------------------------------------------------------
// The working macro when it holds events, else the loaded macro. Returns 1 and
// the pair, or 0 when there is no macro. The array is owned by its store.
int CurrentMacro(const MacroEvent** outEvents, int* outCount);
