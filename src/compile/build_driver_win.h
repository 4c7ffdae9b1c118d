// Turns a recording into a stand-alone player executable: the save dialog, the
// compiler run and the report box. UI thread only.
#pragma once
#include <windows.h>
#include <cstdint>

#include "base/path_size.h"

struct BuildResult {
    char outputPath[kPathBytes];  // UTF-8, as chosen
    int32_t eventCount;
    uint32_t fileSize;
    uint32_t elapsedMs;
    int32_t success;
    char errorText[256];
};

// How long a compile may take before it is stopped and counts as failed.
constexpr uint32_t kCompilerTimeoutMs = 30000;

// Owned UTF-8 path (free() it), or null when cancelled.
char* ChooseExecutablePath(HWND owner);
// Writes the player source next to the temporary files, runs the gcc.exe
// found first in the fully qualified folders of PATH (never the program's or
// the current folder) on it and fills `result` (cleared first). Paths are
// UTF-8, in any script. Waits for as long as the compiler runs, at most
// `timeoutMs`, serving only paint and sent messages meanwhile; a compiler
// still busy then is stopped with all its child processes and the build
// counts as failed. The player source is gone when this returns. 1 on success.
int BuildExecutable(const char* recordingPath, const char* outputPath, BuildResult* result,
                    uint32_t timeoutMs = kCompilerTimeoutMs);
// The success report or the failure text in a modal box owned by `owner`.
void ShowBuildReport(HWND owner, const BuildResult* result);
