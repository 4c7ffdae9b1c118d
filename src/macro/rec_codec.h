// The one reader and writer of the .rec layout: a signed 32-bit little-endian
// event count, then that many 20-byte MacroEvent records; bytes past the last
// record are ignored. Portable and bounds-checked; callers do their own I/O and
// bring their own limit. No state; any thread.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kRecHeaderSize = 4;
constexpr size_t kRecRecordSize = 20;
// What loading accepts.
constexpr int32_t kMaxRecEvents = 10000000;
// The most whose whole image (count field and records) still has a signed
// 32-bit size: what the player generator accepts.
constexpr int32_t kMaxStubEvents = (INT32_MAX - (int32_t)kRecHeaderSize) / (int32_t)kRecRecordSize;

// 1 when a count read from a file header may be loaded.
constexpr int IsLoadableRecCount(int32_t count) { return count >= 1 && count <= kMaxRecEvents; }

// The count in a header of `size` bytes when the header is whole and the count
// lies in 1..maxEvents (a limit above kMaxStubEvents counts as kMaxStubEvents);
// otherwise 0.
int32_t DecodeRecHeader(const unsigned char* header, size_t size, int32_t maxEvents);
// Bytes of the records of `count` events (header not included).
constexpr uint32_t RecRecordBytes(int32_t count) { return (uint32_t)count * (uint32_t)kRecRecordSize; }
// Checks a whole image in memory: a good header and every record it announces.
// Returns the count and points `records` at the first record, or returns 0.
int32_t DecodeRecImage(const unsigned char* image, size_t size, int32_t maxEvents,
                       const unsigned char** records);
// The header for `count` events, little-endian whatever the machine.
void EncodeRecHeader(int32_t count, unsigned char header[kRecHeaderSize]);
