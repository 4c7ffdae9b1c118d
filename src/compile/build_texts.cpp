#include "compile/build_texts.h"

#include <cstring>

#include "base/format_text.h"

const char kStubFailedText[] = "Failed to create player stub!";
const char kCompilerNotStartedText[] = "Failed to run GCC!\nMake sure MinGW GCC is installed and in your PATH.";
const char kCompileFailedText[] = "GCC compilation failed!\nMake sure MinGW GCC is in your PATH.";
const char kBuildFailedCaption[] = "Compilation Failed";
const char kBuildSucceededCaption[] = "Compilation Complete";

void FormatStubSourcePath(char* out, const char* tempDir, uint32_t processId) {
    FormatText(out, kBuildPathSize, "%s\\quorrel_stub_%u.c", tempDir, static_cast<unsigned>(processId));
}

void FormatCompilerCommand(char* out, const char* sourcePath, const char* outputPath) {
    FormatText(out, kCompilerCommandSize, "gcc \"%s\" -o \"%s\" -mwindows -s -Os -luser32", sourcePath, outputPath);
}

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A drive and its root, or a UNC name: nothing that depends on the current
// folder or drive.
bool IsFullyQualified(const char* folder, size_t length) {
    if (length >= 3 && ((folder[0] | 0x20) >= 'a' && (folder[0] | 0x20) <= 'z') && folder[1] == ':' &&
        IsSeparator(folder[2]))
        return true;
    return length >= 3 && IsSeparator(folder[0]) && IsSeparator(folder[1]);
}

}  // namespace

int NextCompilerCandidate(const char** cursor, char* out) {
    static constexpr char kCompilerName[] = "gcc.exe";
    for (const char* entry = *cursor; *entry;) {
        const char* end = entry;
        while (*end && *end != ';') ++end;
        *cursor = *end ? end + 1 : end;
        const char* folder = entry;
        size_t length = static_cast<size_t>(end - entry);
        entry = *cursor;
        if (length >= 2 && folder[0] == '"' && folder[length - 1] == '"') {
            ++folder;
            length -= 2;
        }
        if (!IsFullyQualified(folder, length)) continue;
        const bool joined = IsSeparator(folder[length - 1]);
        if (length + (joined ? 0 : 1) + sizeof(kCompilerName) > kBuildPathSize) continue;
        memcpy(out, folder, length);
        if (!joined) out[length++] = '\\';
        memcpy(out + length, kCompilerName, sizeof(kCompilerName));
        return 1;
    }
    return 0;
}

namespace {

// The quotient as a single-precision value. On 32-bit x86 the x87 unit keeps
// more precision than a float unless the value passes through memory, and
// that would change how a value on a rounding edge prints (0.385 s, say).
double SingleQuotient(uint32_t value, float divisor) {
    volatile float quotient = static_cast<float>(value);
    quotient = quotient / divisor;
    return static_cast<double>(quotient);
}

}  // namespace

const char* FormatFileSize(uint32_t bytes) {
    static char text[32];
    if (bytes < 1024) {
        FormatText(text, sizeof(text), "%lu bytes", static_cast<unsigned long>(bytes));
    } else if (bytes < 1048576) {
        FormatText(text, sizeof(text), "%.1f KB", SingleQuotient(bytes, 1024.0f));
    } else {
        FormatText(text, sizeof(text), "%.2f MB", SingleQuotient(bytes, 1048576.0f));
    }
    return text;
}

void FormatBuildReport(char* out, const char* outputPath, int32_t eventCount, uint32_t fileSize,
                       uint32_t elapsedMs) {
    // The bullets are middle dots (U+00B7), in UTF-8 like the path.
    FormatText(out, kBuildReportSize,
               "Compilation Successful!\n\nOutput File:\n%s\n\nDetails:\n"
               "  \xC2\xB7 Events: %d\n  \xC2\xB7 File Size: %s\n  \xC2\xB7 Compilation Time: %.2f seconds\n\n"
               "The executable is ready to use.",
               outputPath, static_cast<int>(eventCount), FormatFileSize(fileSize), SingleQuotient(elapsedMs, 1000.0f));
}
