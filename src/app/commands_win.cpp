// While a recording runs the hooks live on this thread, so nothing here may
// block for long then, and every file dialog or message box lets the hooks go
// on appending (the working macro may be reallocated while one is open). While
// a playback runs its worker reads a macro block that nothing here may free.
#include "app/commands.h"

#include <cstdlib>
#include <windows.h>

#include "app/app_win.h"
#include "base/guards_win.h"
#include "compile/build_driver_win.h"
#include "macro/macro_buffer.h"
#include "macro/rec_file_win.h"
#include "playback/playback.h"
#include "record/recorder_win.h"
#include "settings/settings.h"
#include "ui/prefs_menu_win.h"
#include "ui/toolbar_win.h"

namespace {

constexpr char kCompileTempName[] = "quorrel_compile.rec";
constexpr char kOpenWhilePlaying[] = "Cannot open while playing!";
constexpr char kNothingToSave[] = "No events to save!\nRecord a macro first.";
constexpr char kNothingToCompile[] = "No events to compile!\nRecord or open a macro first.";
constexpr char kCompileWhileRecording[] = "Cannot compile while recording!";

void ShowBox(const char* text, const char* caption, UINT icon) {
    MessageBoxA(GetMainWindow(), text, caption, MB_OK | icon);
}
void ShowError(const char* text) { ShowBox(text, "Error", MB_ICONERROR); }

void RepaintButton(int controlId) {
    if (HWND button = FindToolbarButton(controlId)) InvalidateRect(button, nullptr, TRUE);
}

// Open replaces the loaded macro, which a running playback may be reading.
void OpenRecording() {
    if (IsPlaying()) {
        ShowBox(kOpenWhilePlaying, "Open", MB_ICONWARNING);
        return;
    }
    AutoFree<char> path(ChooseRecordingFile(GetMainWindow(), 0));
    if (!path) return;
    // The dialog's modal loop may have let a playback hotkey start one meanwhile.
    if (IsPlaying()) {
        ShowBox(kOpenWhilePlaying, "Open", MB_ICONWARNING);
        return;
    }
    int count = 0;
    MacroEvent* events = LoadRecording(path.get(), &count);
    if (events && count > 0) {
        SetLoadedMacro(events, count);
        ResetEventCount();
        char text[512];
        wsprintfA(text, "Loaded %d events from:\n%s", count, path.get());
        ShowBox(text, "Open", MB_ICONINFORMATION);
    } else {
        free(events);
        ShowError("Failed to load file!\nFile may be corrupted or invalid.");
    }
}

void SaveCurrentMacro() {
    const MacroEvent* events;
    int count;
    if (!CurrentMacro(&events, &count)) {
        ShowBox(kNothingToSave, "Save", MB_ICONWARNING);
        return;
    }
    AutoFree<char> path(ChooseRecordingFile(GetMainWindow(), 1));
    if (!path) return;
    // The hooks may have grown (and moved) the working macro while the dialog
    // was open, so the macro is taken again now that it has closed.
    if (!CurrentMacro(&events, &count)) {
        ShowBox(kNothingToSave, "Save", MB_ICONWARNING);
        return;
    }
    if (SaveRecording(path.get(), events, count)) {
        char text[512];
        wsprintfA(text, "Saved %d events to:\n%s", count, path.get());
        ShowBox(text, "Save", MB_ICONINFORMATION);
    } else {
        ShowError("Failed to save file!");
    }
}

StopGesture StopGestureOf(intptr_t origin) {
    if (origin == CMD_ORIGIN_STOP_KEY) return {StopSource::StopKey, (uint32_t)StopHotkey.load(), 0};
    if (origin == CMD_ORIGIN_WINDOW_KEY) return {StopSource::WindowKey, 0, 0};
    HWND rec = FindToolbarButton(CMD_RECORD);
    if (rec && origin == (intptr_t)rec) return {StopSource::RecButton, 0, 0};
    return {StopSource::Other, 0, 0};
}

void ToggleRecording(intptr_t origin) {
    if (IsRecording()) {
        if (!StopRecording(StopGestureOf(origin))) {
            ShowError("Failed to stop recording!");
            return;
        }
        RepaintButton(CMD_RECORD);
        char text[512];
        wsprintfA(text, "Recording stopped.\n%d events captured.", GetEventCount());
        ShowBox(text, "Record", MB_ICONINFORMATION);
        return;
    }
    if (IsPlaying()) return;
    if (StartRecording()) RepaintButton(CMD_RECORD);
    else ShowError("Failed to start recording!");
}

void TogglePlayback() {
    if (IsPlaying()) {
        if (!StopPlayback()) ShowError("Failed to stop playback!");
        return;
    }
    const MacroEvent* events;
    int count;
    if (!CurrentMacro(&events, &count)) {
        ShowBox("No events to play!\nRecord or open a macro first.", "Play", MB_ICONWARNING);
        return;
    }
    if (IsRecording()) {
        ShowBox("Cannot play while recording!", "Play", MB_ICONWARNING);
        return;
    }
    if (!StartPlayback(events, count)) ShowError("Failed to start playback!");
}

// The build waits for the compiler, which would stall every key and mouse
// move of the desktop while the recording hooks are installed.
void CompileCurrentMacro() {
    const MacroEvent* events;
    int count;
    if (!CurrentMacro(&events, &count)) {
        ShowBox(kNothingToCompile, "Compile", MB_ICONWARNING);
        return;
    }
    if (IsRecording()) {
        ShowBox(kCompileWhileRecording, "Compile", MB_ICONWARNING);
        return;
    }
    AutoFree<char> output(ChooseExecutablePath(GetMainWindow()));
    if (!output) return;
    // A recording may have been started from the dialog's modal loop (hotkey).
    if (IsRecording()) {
        ShowBox(kCompileWhileRecording, "Compile", MB_ICONWARNING);
        return;
    }
    if (!CurrentMacro(&events, &count)) {
        ShowBox(kNothingToCompile, "Compile", MB_ICONWARNING);
        return;
    }

    char tempPath[MAX_PATH];
    DWORD dirLength = GetTempPathA(sizeof tempPath, tempPath);
    bool fits = dirLength > 0 && dirLength + sizeof kCompileTempName <= sizeof tempPath;
    if (fits) lstrcatA(tempPath, kCompileTempName);
    if (!fits || !SaveRecording(tempPath, events, count)) {
        if (fits) DeleteFileA(tempPath);  // a failed write must not leave a partial file
        ShowError("Failed to save temporary file!");
        return;
    }
    BuildResult result;
    ZeroMemory(&result, sizeof result);
    BuildExecutable(tempPath, output.get(), &result);
    ShowBuildReport(GetMainWindow(), &result);
    DeleteFileA(tempPath);
}

void ShowPreferencesUnderButton() {
    HWND button = FindToolbarButton(CMD_PREFS);
    RECT rect;
    if (!button || !GetWindowRect(button, &rect)) return;
    ShowPreferencesMenu(GetMainWindow(), rect.left, rect.bottom);
}

}  // namespace

void HandleToolbarCommand(int id, intptr_t origin) {
    switch (id) {
    case CMD_OPEN: OpenRecording(); break;
    case CMD_SAVE: SaveCurrentMacro(); break;
    case CMD_RECORD: ToggleRecording(origin); break;
    case CMD_PLAY: TogglePlayback(); break;
    case CMD_COMPILE: CompileCurrentMacro(); break;
    case CMD_PREFS: ShowPreferencesUnderButton(); break;
    default: break;
    }
}
