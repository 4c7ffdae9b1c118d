// The shell's decisions: what each toolbar command, the recording hotkey and
// the main window's O and S keys do, in which order, and which message each
// shows. Portable: everything Win32 comes in through ShellServices, which
// commands_win.cpp fills once and tests fill with fakes. UI thread only.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/resource_ids.h"  // CMD_OPEN .. CMD_PREFS
#include "macro/macro_event.h"
#include "record/recorder.h"

enum class BoxKind { Error, Warning, Information };

struct ShellServices {
    // A box with an OK button, owned by the main window; returns when closed.
    // Texts and paths are UTF-8.
    void (*showBox)(const char* text, const char* caption, BoxKind kind);
    // The Open (0) or Save (1) dialog for .rec files, and the .exe dialog:
    // a malloc'ed path, or null when cancelled.
    char* (*chooseRecordingFile)(int forSave);
    char* (*chooseExecutablePath)();
    void (*repaintButton)(int commandId);
    void (*setButtonText)(int commandId, const char* text);
    // 1 when a command's lParam is the Rec button's handle.
    int (*isRecButton)(intptr_t origin);
    void (*showPreferencesUnderButton)();
    // Files: the .rec reader and writer, an ASCII path in a temporary folder
    // (0 when there is none), the build with its report, removal.
    MacroEvent* (*loadRecording)(const char* path, int* count);
    int (*saveRecording)(const char* path, const MacroEvent* events, int count);
    int (*tempFilePath)(const char* name, char* out, size_t size);
    void (*buildAndReport)(const char* recordingPath, const char* outputPath);
    void (*deleteFile)(const char* path);
    // The engines' Win32 halves.
    int (*startRecording)();
    int (*stopRecording)(const StopGesture& how);
    int (*isRecording)();
    int (*startPlayback)(const MacroEvent* events, int count, int startKey);
    int (*stopPlayback)();
};

// Where a loaded .rec goes, and what is said about it.
enum class LoadInto { LoadedMacro, WorkingMacro };
enum class LoadReport { Toolbar, StartUp, Silent };

// Carries out one toolbar command; any other id does nothing. `origin` is the
// command's lParam.
void RunToolbarCommand(const ShellServices& shell, int id, intptr_t origin);
// Reads `path` into the loaded or the working macro and reports it as asked.
// 1 when it loaded.
int LoadRecordingFile(const ShellServices& shell, const char* path, LoadInto into, LoadReport report);
// The main window's O and S keys: the working macro, silently.
void OpenIntoWorkingMacro(const ShellServices& shell);
void SaveWorkingMacro(const ShellServices& shell);
// The recording hotkey: starts or stops a recording silently, naming the
// change on the Rec button instead.
void ToggleRecordingByHotkey(const ShellServices& shell, const StopGesture& how);
// The playback hotkey only starts a playback of the current macro (the stop
// keys and the toolbar stop it), silently, naming it on the Play button.
void PlayByHotkey(const ShellServices& shell);

// The Win32 table (commands_win.cpp) and the toolbar commands through it.
const ShellServices& Win32Shell();
void HandleToolbarCommand(int id, intptr_t origin = 0);
