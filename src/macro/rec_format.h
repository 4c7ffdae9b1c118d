// The .rec file layout: a signed 32-bit little-endian event count followed by
// that many 20-byte MacroEvent records; nothing else. Portable checks only.
#pragma once
#include <cstdint>

constexpr int32_t kMaxRecEvents = 10000000;

// 1 when a count read from a file header may be loaded.
constexpr int IsLoadableRecCount(int32_t count) { return count >= 1 && count <= kMaxRecEvents; }
