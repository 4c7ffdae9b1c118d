// The Win32 services behind the shell's decisions (app/commands.cpp): message
// boxes, dialogs, the toolbar buttons, files, the build and the engines. UI
// thread only.
#include "app/commands.h"

#include <windows.h>

#include "app/app_win.h"
#include "base/wide_text_win.h"
#include "compile/build_driver_win.h"
#include "dialogs/modal_win.h"
#include "macro/rec_file_win.h"
#include "playback/playback.h"
#include "record/recorder_win.h"
#include "ui/prefs_menu_win.h"
#include "ui/toolbar_win.h"

namespace {

// Every box and dialog here joins the program's stack of modal windows, owned
// by the newest one open: a hotkey or the tray may have opened one already.
void ShowBox(const char* text, const char* caption, BoxKind kind) {
    UINT icon = kind == BoxKind::Error ? MB_ICONERROR : kind == BoxKind::Warning ? MB_ICONWARNING : MB_ICONINFORMATION;
    ModalMessageBox(text, caption, MB_OK | icon);
}

char* ChooseRecording(int forSave) {
    SystemModal modal;
    return ChooseRecordingFile(modal.owner(), forSave);
}

char* ChooseExecutable() {
    SystemModal modal;
    return ChooseExecutablePath(modal.owner());
}

void RepaintButton(int commandId) {
    if (HWND button = FindToolbarButton(commandId)) InvalidateRect(button, nullptr, TRUE);
}

void SetButtonText(int commandId, const char* text) {
    if (HWND button = FindToolbarButton(commandId)) SetWindowTextA(button, text);
}

int IsRecButton(intptr_t origin) {
    HWND rec = FindToolbarButton(CMD_RECORD);
    return rec && origin == (intptr_t)rec;
}

void ShowPreferencesUnderButton() {
    HWND button = FindToolbarButton(CMD_PREFS);
    RECT rect;
    if (!button || !GetWindowRect(button, &rect)) return;
    ShowPreferencesMenu(GetMainWindow(), rect.left, rect.bottom);
}

// ASCII, so that the player generator can open it whatever script the
// user's profile folder is named in.
int TempFilePath(const char* name, char* out, size_t size) {
    if (!AsciiTempFolder(out, (int)size) || lstrlenA(out) + lstrlenA(name) + 1 > (int)size) return 0;
    lstrcatA(out, name);
    return 1;
}

void BuildAndReport(const char* recordingPath, const char* outputPath) {
    BuildResult result;
    ZeroMemory(&result, sizeof result);
    BuildExecutable(recordingPath, outputPath, &result);
    SystemModal modal;
    ShowBuildReport(modal.owner(), &result);
}

void RemoveFile(const char* path) {
    WidePath file(path);
    if (file.ok) DeleteFileW(file.text);
}

int StopRecordingAs(const StopGesture& how) { return StopRecording(how); }

const ShellServices kWin32Shell = {
    ShowBox,       ChooseRecording, ChooseExecutable, RepaintButton,  SetButtonText,   IsRecButton,
    ShowPreferencesUnderButton,     LoadRecording,    SaveRecording,  TempFilePath,    BuildAndReport,
    RemoveFile,    StartRecording,  StopRecordingAs,  IsRecording,    StartPlayback,   StopPlayback,
};

}  // namespace

const ShellServices& Win32Shell() { return kWin32Shell; }

void HandleToolbarCommand(int id, intptr_t origin) { RunToolbarCommand(kWin32Shell, id, origin); }
