#include "settings/settings_values.h"

#include <cstdlib>
#include <cstring>

#include "base/format_text.h"

const char kSettingsFileName[] = "Quorrel.ini";

void FormatSettingFloat(char* out64, float value) {
    FormatText(out64, kFloatTextSize, "%.2f", (double)value);
}

void FormatSettingInt(char* out32, int value) { FormatText(out32, kIntTextSize, "%d", value); }

float ParseSettingFloat(const char* text) { return text ? (float)atof(text) : 0.0f; }

int ParseSettingInt(const char* text, int fallback) {
    if (!text || !text[0]) return fallback;
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') ++p;
    int negative = 0;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    // Unsigned accumulation: an over-long number wraps like the platform's
    // reader instead of overflowing a signed value.
    uint32_t value = 0;
    while (*p >= '0' && *p <= '9') value = value * 10u + (uint32_t)(*p++ - '0');
    if (negative) value = 0u - value;
    return (int)value;
}

int JoinSettingsPath(char* out, const char* exePath) {
    out[0] = '\0';
    if (!exePath) return 0;
    size_t dirLength = strlen(exePath);
    const char* slash = strrchr(exePath, '\\');
    if (slash) dirLength = (size_t)(slash - exePath);
    size_t nameLength = sizeof kSettingsFileName - 1;
    if (dirLength + 1 + nameLength > (size_t)kSettingsPathSize - 1) return 0;
    memcpy(out, exePath, dirLength);
    out[dirLength] = '\\';
    memcpy(out + dirLength + 1, kSettingsFileName, nameLength + 1);
    return 1;
}

void PullBackWindowPosition(int x, int y, const WorkArea& area, int width, int height,
                            int* outX, int* outY) {
    // 64-bit comparisons: a hand-edited position near INT_MIN must not wrap.
    if ((int64_t)x < (int64_t)area.left - 200) x = area.left;
    if ((int64_t)y < (int64_t)area.top - 50) y = area.top;
    if ((int64_t)x > (int64_t)area.right - 50) x = area.right - width;
    if ((int64_t)y > (int64_t)area.bottom - 50) y = area.bottom - height;
    *outX = x;
    *outY = y;
}
