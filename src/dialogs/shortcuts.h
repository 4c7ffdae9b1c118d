// The bytes of the shortcuts dialog's in-memory template (header, two items,
// UTF-16 strings, 4-byte item alignment). Pure logic (no windows.h) so the layout
// is tested natively; shortcuts_win.cpp hands the bytes to the dialog manager.
#pragma once
#include <cstddef>

constexpr size_t kShortcutsTemplateSize = 2048;

extern const char kShortcutsTitle[];
extern const char kShortcutsText[];  // 269 characters; "&&" shows as "&"

// Clears `buffer` (`size` bytes, 4-byte aligned) and writes the template into it.
// Returns the number of bytes used, or 0 if it would not fit (nothing is written
// past `size`).
size_t WriteShortcutsTemplate(unsigned char* buffer, size_t size);
