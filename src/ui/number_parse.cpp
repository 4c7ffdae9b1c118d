#include "ui/number_parse.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace {
#if defined(_WIN32)
// The C runtime's own strtod (msvcrt.dll) rather than the C99 replacement the
// MinGW headers route strtod to, which would add some 20 KB to the executable.
// Named by its assembler symbol, which carries the target's label prefix ("_" on x86).
#define QUORREL_STR2(x) #x
#define QUORREL_STR(x) QUORREL_STR2(x)
extern "C" double __cdecl RuntimeStrtod(const char* text, char** end)
    __asm__(QUORREL_STR(__USER_LABEL_PREFIX__) "strtod");
#else
double RuntimeStrtod(const char* text, char** end) { return strtod(text, end); }
#endif
}  // namespace

int ParseSpeed(const char* text, float* out) {
    if (!text || !*text || !out) return 0;
    char* end = nullptr;
    double parsed = RuntimeStrtod(text, &end);
    if (end == text || *end != '\0') return 0;
    // Out-of-range doubles become infinities, as the hardware conversion would
    // give, without relying on an undefined narrowing.
    float value = parsed > FLT_MAX ? HUGE_VALF : parsed < -FLT_MAX ? -HUGE_VALF : (float)parsed;
    // Written as "not greater than" so that a NaN fails too.
    if (!(value > 0.0f)) return 0;
    *out = value;
    return 1;
}

int ParseIntInRange(const char* text, int* out, int minimum, int maximum) {
    if (!text || !*text || !out) return 0;
    char* end = nullptr;
    long parsed = strtol(text, &end, 10);
    if (end == text || *end != '\0') return 0;
    if (parsed < minimum || parsed > maximum) return 0;
    *out = (int)parsed;
    return 1;
}
