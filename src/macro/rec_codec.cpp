#include "macro/rec_codec.h"

#include "macro/macro_event.h"

static_assert(sizeof(MacroEvent) == kRecRecordSize, "a .rec record is one MacroEvent");

int32_t DecodeRecHeader(const unsigned char* header, size_t size, int32_t maxEvents) {
    if (!header || size < kRecHeaderSize) return 0;
    uint32_t raw = (uint32_t)header[0] | (uint32_t)header[1] << 8 | (uint32_t)header[2] << 16 |
                   (uint32_t)header[3] << 24;
    int32_t count = (int32_t)raw;
    if (maxEvents > kMaxStubEvents) maxEvents = kMaxStubEvents;
    return count >= 1 && count <= maxEvents ? count : 0;
}

int32_t DecodeRecImage(const unsigned char* image, size_t size, int32_t maxEvents,
                       const unsigned char** records) {
    int32_t count = DecodeRecHeader(image, size, maxEvents);
    if (!count || size - kRecHeaderSize < RecRecordBytes(count)) return 0;
    if (records) *records = image + kRecHeaderSize;
    return count;
}

void EncodeRecHeader(int32_t count, unsigned char header[kRecHeaderSize]) {
    uint32_t raw = (uint32_t)count;
    for (size_t i = 0; i < kRecHeaderSize; ++i) header[i] = (unsigned char)(raw >> (8 * i));
}
