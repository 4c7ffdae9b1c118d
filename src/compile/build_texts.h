// The texts of a player build: temporary source name, compiler command line,
// file-size wording and the report and failure messages. Portable, no state
// beyond FormatFileSize's static result.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/path_size.h"

// Paths are UTF-8; those in the compiler's command line are ASCII forms.
constexpr size_t kBuildPathSize = kPathBytes;
constexpr size_t kCompilerCommandSize = 780;
constexpr size_t kBuildReportSize = kPathBytes + 256;

extern const char kStubFailedText[];
extern const char kCompilerNotStartedText[];
extern const char kCompileFailedText[];
extern const char kBuildFailedCaption[];
extern const char kBuildSucceededCaption[];

// "<tempDir>\quorrel_stub_<pid>.c" into a kBuildPathSize buffer, cut if longer.
// tempDir already ends with a backslash; the doubled one is harmless on Windows.
void FormatStubSourcePath(char* out, const char* tempDir, uint32_t processId);
// The "gcc ..." command line into a kCompilerCommandSize buffer, cut if longer.
void FormatCompilerCommand(char* out, const char* sourcePath, const char* outputPath);
// The next place along a PATH value where the compiler may be, written as
// "<folder>\gcc.exe" into a kBuildPathSize buffer. Only fully qualified folders
// count ("C:\..." or "\\server\..."; quotes around an entry are dropped): an
// empty or relative entry would name the current folder, which the file
// dialogs set to wherever the user last opened or saved. Advances *cursor; 0
// when no entry is left.
int NextCompilerCandidate(const char** cursor, char* out);
// "1023 bytes", "1.5 KB", "1.00 MB". Returns a static buffer the next call overwrites.
const char* FormatFileSize(uint32_t bytes);
// The success report text, UTF-8, into a kBuildReportSize buffer.
void FormatBuildReport(char* out, const char* outputPath, int32_t eventCount, uint32_t fileSize,
                       uint32_t elapsedMs);
