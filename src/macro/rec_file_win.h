// Reading and writing .rec files and the Open/Save dialogs for them. Paths are
// UTF-8. Results are reported only by return values; callers word the
// messages. UI thread only.
#pragma once
#include <windows.h>
#include "macro/macro_event.h"

// 1 on success. The new content goes to a temporary file in the target's folder
// and replaces the target only once every byte is written, so a failed save
// leaves the previous file untouched. A target another program holds open is
// waited for, half a second at most.
int SaveRecording(const char* path, const MacroEvent* events, int count);
// Owned array (free() it) and its count, or null.
MacroEvent* LoadRecording(const char* path, int* outCount);
// Owned kPathBytes buffer (free() it), or null when cancelled.
char* ChooseRecordingFile(HWND owner, int forSave);
