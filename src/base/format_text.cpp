#include "base/format_text.h"

#include <cstdio>
#include <cstring>

int FormatTextV(char* buffer, size_t size, const char* format, va_list args) {
    if (!buffer || size == 0) return 0;
#if defined(_WIN32)
    // The system C runtime's formatter: MinGW's C99 snprintf would add some 20 KB
    // to the executable. _vsnprintf does not terminate a cut text, so we do.
    int n = _vsnprintf(buffer, size, format, args);
    buffer[size - 1] = '\0';
    if (n < 0 || (size_t)n >= size) n = (int)strlen(buffer);
#else
    int n = vsnprintf(buffer, size, format, args);
    if (n < 0) {
        buffer[0] = '\0';
        n = 0;
    } else if ((size_t)n >= size) {
        n = (int)size - 1;
    }
#endif
    return n;
}

int FormatText(char* buffer, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = FormatTextV(buffer, size, format, args);
    va_end(args);
    return n;
}
