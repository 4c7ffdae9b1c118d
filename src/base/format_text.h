// Bounded printf-style formatting for every text the program builds: the result
// is always terminated and cut to the buffer, never overflowed. Portable.
#pragma once
#include <cstdarg>
#include <cstddef>

// Returns the number of characters stored (excluding the terminator).
int FormatText(char* buffer, size_t size, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
int FormatTextV(char* buffer, size_t size, const char* format, va_list args);
