// Turns a recording into a stand-alone player executable: the save dialog, the
// compiler run and the report box. UI thread only.
#pragma once
#include <windows.h>
#include <cstdint>

struct BuildResult {
    char outputPath[260];
    int32_t eventCount;
    uint32_t fileSize;
    uint32_t elapsedMs;
    int32_t success;
    char errorText[256];
};

// Owned path (free() it), or null when cancelled.
char* ChooseExecutablePath(HWND owner);
int BuildExecutable(const char* recordingPath, const char* outputPath, BuildResult* result);
void ShowBuildReport(HWND owner, const BuildResult* result);
