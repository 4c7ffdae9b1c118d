// While a recording runs the hooks live on the UI thread, so nothing here may
// block for long then, and every file dialog or message box lets the hooks go
// on appending (the working macro may be reallocated while one is open). While
// a playback runs its worker reads a macro block that nothing here may free.
#include "app/commands.h"

#include <cstdlib>

#include "base/format_text.h"
#include "base/path_size.h"
#include "macro/macro_buffer.h"
#include "playback/playback.h"
#include "settings/settings.h"

namespace {

constexpr char kCompileTempName[] = "quorrel_compile.rec";
constexpr char kOpenWhilePlaying[] = "Cannot open while playing!";
constexpr char kNothingToSave[] = "No events to save!\nRecord a macro first.";
constexpr char kNothingToCompile[] = "No events to compile!\nRecord or open a macro first.";
constexpr char kCompileWhileRecording[] = "Cannot compile while recording!";
// Paths are UTF-8 (base/path_size.h); every message fits one whole.
constexpr size_t kPathSize = kPathBytes;
constexpr size_t kTextSize = kPathBytes + 128;

void ShowError(const ShellServices& shell, const char* text) { shell.showBox(text, "Error", BoxKind::Error); }

// The dialogs return malloc'ed paths; each is freed on every way out.
struct OwnedPath {
    char* text;
    ~OwnedPath() { free(text); }
};

// Open replaces the loaded macro, which a running playback may be reading.
void OpenRecording(const ShellServices& shell) {
    if (IsPlaying()) {
        shell.showBox(kOpenWhilePlaying, "Open", BoxKind::Warning);
        return;
    }
    OwnedPath path{shell.chooseRecordingFile(0)};
    if (!path.text) return;
    // The dialog's modal loop may have let a playback hotkey start one meanwhile.
    if (IsPlaying()) {
        shell.showBox(kOpenWhilePlaying, "Open", BoxKind::Warning);
        return;
    }
    LoadRecordingFile(shell, path.text, LoadInto::LoadedMacro, LoadReport::Toolbar);
}

void SaveCurrentMacro(const ShellServices& shell) {
    const MacroEvent* events;
    int count;
    if (!CurrentMacro(&events, &count)) {
        shell.showBox(kNothingToSave, "Save", BoxKind::Warning);
        return;
    }
    OwnedPath path{shell.chooseRecordingFile(1)};
    if (!path.text) return;
    // The hooks may have grown (and moved) the working macro while the dialog
    // was open, so the macro is taken again now that it has closed.
    if (!CurrentMacro(&events, &count)) {
        shell.showBox(kNothingToSave, "Save", BoxKind::Warning);
        return;
    }
    if (shell.saveRecording(path.text, events, count)) {
        char text[kTextSize];
        FormatText(text, sizeof text, "Saved %d events to:\n%s", count, path.text);
        shell.showBox(text, "Save", BoxKind::Information);
    } else {
        ShowError(shell, "Failed to save file!");
    }
}

StopGesture StopGestureOf(const ShellServices& shell, intptr_t origin) {
    if (origin == CMD_ORIGIN_STOP_KEY) return {StopSource::StopKey, (uint32_t)StopHotkey.load(), 0};
    if (origin == CMD_ORIGIN_WINDOW_KEY) return {StopSource::WindowKey, 0, 0};
    if (origin && shell.isRecButton(origin)) return {StopSource::RecButton, 0, 0};
    return {StopSource::Other, 0, 0};
}

// The two ways to toggle recording share these steps; the toolbar's reports
// with boxes, the hotkey's (`silent`) names the state on the Rec button.
void ToggleRecordingFrom(const ShellServices& shell, const StopGesture& how, bool silent) {
    if (shell.isRecording()) {
        if (!shell.stopRecording(how)) {
            if (!silent) ShowError(shell, "Failed to stop recording!");
            return;
        }
        if (silent) {
            shell.setButtonText(CMD_RECORD, "Record");
            return;
        }
        shell.repaintButton(CMD_RECORD);
        char text[kTextSize];
        FormatText(text, sizeof text, "Recording stopped.\n%d events captured.", GetEventCount());
        shell.showBox(text, "Record", BoxKind::Information);
        return;
    }
    if (IsPlaying()) return;
    if (shell.startRecording()) {
        if (silent) shell.setButtonText(CMD_RECORD, "Stop");
        else shell.repaintButton(CMD_RECORD);
    } else if (!silent) {
        ShowError(shell, "Failed to start recording!");
    }
}

void TogglePlayback(const ShellServices& shell) {
    if (IsPlaying()) {
        if (!shell.stopPlayback()) ShowError(shell, "Failed to stop playback!");
        return;
    }
    const MacroEvent* events;
    int count;
    if (!CurrentMacro(&events, &count)) {
        shell.showBox("No events to play!\nRecord or open a macro first.", "Play", BoxKind::Warning);
        return;
    }
    if (shell.isRecording()) {
        shell.showBox("Cannot play while recording!", "Play", BoxKind::Warning);
        return;
    }
    if (!shell.startPlayback(events, count, 0)) ShowError(shell, "Failed to start playback!");
}

// The build waits for the compiler, which would stall every key and mouse
// move of the desktop while the recording hooks are installed.
void CompileCurrentMacro(const ShellServices& shell) {
    const MacroEvent* events;
    int count;
    if (!CurrentMacro(&events, &count)) {
        shell.showBox(kNothingToCompile, "Compile", BoxKind::Warning);
        return;
    }
    if (shell.isRecording()) {
        shell.showBox(kCompileWhileRecording, "Compile", BoxKind::Warning);
        return;
    }
    OwnedPath output{shell.chooseExecutablePath()};
    if (!output.text) return;
    // A recording may have been started from the dialog's modal loop (hotkey).
    if (shell.isRecording()) {
        shell.showBox(kCompileWhileRecording, "Compile", BoxKind::Warning);
        return;
    }
    if (!CurrentMacro(&events, &count)) {
        shell.showBox(kNothingToCompile, "Compile", BoxKind::Warning);
        return;
    }
    char tempPath[kPathSize];
    int fits = shell.tempFilePath(kCompileTempName, tempPath, sizeof tempPath);
    if (!fits || !shell.saveRecording(tempPath, events, count)) {
        if (fits) shell.deleteFile(tempPath);  // a failed write must not leave a partial file
        ShowError(shell, "Failed to save temporary file!");
        return;
    }
    shell.buildAndReport(tempPath, output.text);
    shell.deleteFile(tempPath);
}

}  // namespace

int LoadRecordingFile(const ShellServices& shell, const char* path, LoadInto into, LoadReport report) {
    int count = 0;
    MacroEvent* events = shell.loadRecording(path, &count);
    char text[kTextSize];
    if (!events || count <= 0) {
        free(events);
        if (report == LoadReport::Toolbar) {
            ShowError(shell, "Failed to load file!\nFile may be corrupted or invalid.");
        } else if (report == LoadReport::StartUp) {
            FormatText(text, sizeof text, "Failed to load file:\n%s\n\nFile may be corrupted or invalid.", path);
            shell.showBox(text, "Quorrel - Load Error", BoxKind::Error);
        }
        return 0;
    }
    if (into == LoadInto::WorkingMacro) {
        AssignEvents(events, count);
        free(events);
    } else {
        SetLoadedMacro(events, count);
        ResetEventCount();
    }
    if (report == LoadReport::Toolbar) {
        FormatText(text, sizeof text, "Loaded %d events from:\n%s", count, path);
        shell.showBox(text, "Open", BoxKind::Information);
    } else if (report == LoadReport::StartUp) {
        FormatText(text, sizeof text, "Auto-loaded %d events from:\n%s\n\nPress Ctrl+Shift+Alt+P to play.",
                   count, path);
        shell.showBox(text, "Quorrel - File Loaded", BoxKind::Information);
    }
    return 1;
}

// A running playback may be reading the working macro's block, so the O key
// does nothing then.
void OpenIntoWorkingMacro(const ShellServices& shell) {
    if (IsPlaying()) return;
    OwnedPath path{shell.chooseRecordingFile(0)};
    if (!path.text || IsPlaying()) return;
    LoadRecordingFile(shell, path.text, LoadInto::WorkingMacro, LoadReport::Silent);
}

void SaveWorkingMacro(const ShellServices& shell) {
    int count = 0;
    if (!GetEvents(&count) || count < 1) return;
    OwnedPath path{shell.chooseRecordingFile(1)};
    if (!path.text) return;
    // Taken again: a recording may have grown and moved the block meanwhile.
    const MacroEvent* events = GetEvents(&count);
    if (events && count >= 1) shell.saveRecording(path.text, events, count);
}

void ToggleRecordingByHotkey(const ShellServices& shell, const StopGesture& how) {
    ToggleRecordingFrom(shell, how, true);
}

void PlayByHotkey(const ShellServices& shell) {
    if (shell.isRecording() || IsPlaying()) return;
    const MacroEvent* events;
    int count;
    if (!CurrentMacro(&events, &count)) return;
    // A single-key hotkey doubles as a stop key; the press that starts the
    // playback must not also stop it.
    int startKey = UseComplexPlayback.load() ? 0 : PlaybackHotkey.load();
    if (shell.startPlayback(events, count, startKey)) shell.setButtonText(CMD_PLAY, "Stop");
}

void RunToolbarCommand(const ShellServices& shell, int id, intptr_t origin) {
    switch (id) {
    case CMD_OPEN: OpenRecording(shell); break;
    case CMD_SAVE: SaveCurrentMacro(shell); break;
    case CMD_RECORD: ToggleRecordingFrom(shell, StopGestureOf(shell, origin), false); break;
    case CMD_PLAY: TogglePlayback(shell); break;
    case CMD_COMPILE: CompileCurrentMacro(shell); break;
    case CMD_PREFS: shell.showPreferencesUnderButton(); break;
    default: break;
    }
}
