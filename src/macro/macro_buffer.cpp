#include "macro/macro_buffer.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {
struct {
    MacroEvent* events;
    int count;
    int capacity;
    uint32_t recordStartTick;
} buffer;

struct {
    MacroEvent* events;
    int count;
} loaded;
}  // namespace

int RecordBytes(int count, uint32_t* outBytes) {
    if (count < 0 || count > INT_MAX / (int)sizeof(MacroEvent)) {
        *outBytes = 0;
        return 0;
    }
    *outBytes = (uint32_t)count * sizeof(MacroEvent);
    return 1;
}

int NextCapacity(int capacity, int* outCapacity) {
    uint32_t bytes;
    if (capacity <= 0 || capacity > INT_MAX / 2 || !RecordBytes(capacity * 2, &bytes)) return 0;
    *outCapacity = capacity * 2;
    return 1;
}

void ClearBuffer() {
    free(buffer.events);
    buffer.events = nullptr;
    buffer.count = 0;
    buffer.capacity = 0;
    buffer.recordStartTick = 0;
}

int BeginBuffer(int capacity, uint32_t startTick) {
    ClearBuffer();
    uint32_t bytes;
    if (capacity <= 0 || !RecordBytes(capacity, &bytes)) return 0;
    buffer.events = static_cast<MacroEvent*>(malloc(bytes));
    if (!buffer.events) return 0;
    buffer.capacity = capacity;
    buffer.recordStartTick = startTick;
    return 1;
}

int GrowBuffer() {
    int newCapacity;
    if (!NextCapacity(buffer.capacity, &newCapacity)) return 0;
    void* grown = realloc(buffer.events, (size_t)newCapacity * sizeof(MacroEvent));
    if (!grown) return 0;
    buffer.events = static_cast<MacroEvent*>(grown);
    buffer.capacity = newCapacity;
    return 1;
}

int AppendEvent(uint32_t message, uint32_t paramL, uint32_t paramH, uint32_t eventTime) {
    if (buffer.count >= buffer.capacity && !GrowBuffer()) return 0;
    // Input stamped before the recording began (queued while the hooks went in, which a
    // busy machine can stretch) counts from its start: a wrapped time of some 49 days
    // would break the order of the times and, in a generated player, its pauses.
    const uint32_t elapsed = eventTime - buffer.recordStartTick;
    buffer.events[buffer.count++] = {message, paramL, paramH, (int32_t)elapsed < 0 ? 0u : elapsed, 0};
    return 1;
}

MacroEvent* GetEvents(int* outCount) {
    if (outCount) *outCount = buffer.count;
    return buffer.events;
}

int GetEventCount() { return buffer.count; }
int GetBufferCapacity() { return buffer.capacity; }
uint32_t GetRecordStartTick() { return buffer.recordStartTick; }

void SetEventCount(int count) {
    if (count >= 0 && count < buffer.count) buffer.count = count;
}

void ResetEventCount() { buffer.count = 0; }

void AssignEvents(const MacroEvent* source, int n) {
    free(buffer.events);
    buffer.events = nullptr;
    buffer.count = buffer.capacity = 0;
    uint32_t bytes;
    if (!source || n <= 0 || !RecordBytes(n, &bytes)) return;
    buffer.events = static_cast<MacroEvent*>(malloc(bytes));
    if (!buffer.events) return;
    memcpy(buffer.events, source, bytes);
    buffer.count = buffer.capacity = n;
}

void SetLoadedMacro(MacroEvent* events, int count) {
    free(loaded.events);
    loaded.events = events;
    loaded.count = events ? count : 0;
}

const MacroEvent* GetLoadedMacro(int* outCount) {
    if (outCount) *outCount = loaded.count;
    return loaded.events;
}

int CurrentMacro(const MacroEvent** outEvents, int* outCount) {
    const MacroEvent* events = buffer.events;
    int count = buffer.count;
    if ((!events || count <= 0) && loaded.events) {
        events = loaded.events;
        count = loaded.count;
    }
    if (!events || count <= 0) {
        *outEvents = nullptr;
        *outCount = 0;
        return 0;
    }
    *outEvents = events;
    *outCount = count;
    return 1;
}
