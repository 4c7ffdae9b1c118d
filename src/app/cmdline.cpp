#include "app/cmdline.h"

#include <cctype>
#include <cstring>

namespace {
int EndsWithRec(const char* text, size_t length) {
    static const char kExt[] = ".rec";
    if (length < 4) return 0;
    for (size_t i = 0; i < 4; ++i) {
        if (tolower((unsigned char)text[length - 4 + i]) != kExt[i]) return 0;
    }
    return 1;
}
}  // namespace

int ScanRecPathArgument(const char* cmdLine, char* out) {
    if (!cmdLine || !*cmdLine || !out) return 0;
    const char* p = cmdLine;
    while (*p == ' ' || *p == '\t') ++p;
    bool quoted = *p == '"';
    if (quoted) ++p;
    size_t n = 0;
    int units = 0;
    while (*p && !(quoted ? *p == '"' : (*p == ' ' || *p == '\t'))) {
        // A character with the bytes that continue it; one of four bytes is a
        // pair of UTF-16 units.
        size_t width = 1;
        while (width < 4 && ((unsigned char)p[width] & 0xC0) == 0x80) ++width;
        int take = (unsigned char)*p >= 0xF0 ? 2 : 1;
        if (units + take > kPathUnits - 1 || n + width > kPathBufferSize - 1) break;
        memcpy(out + n, p, width);
        n += width;
        p += width;
        units += take;
    }
    out[n] = '\0';
    return EndsWithRec(out, n);
}
