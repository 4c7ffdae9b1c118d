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
    while (*p && n < kPathBufferSize - 1) {
        if (quoted ? *p == '"' : (*p == ' ' || *p == '\t')) break;
        out[n++] = *p++;
    }
    out[n] = '\0';
    return EndsWithRec(out, n);
}
