// The preferences commands: the dialogues around the settings changes of
// prefs_commands.cpp, and the window, toolbar and hotkey updates.
#include "app/prefs_commands_win.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>

#include "app/app_win.h"
#include "app/hotkeys_win.h"
#include "app/prefs_commands.h"
#include "base/guards_win.h"
#include "base/wide_text_win.h"
#include "dialogs/about_win.h"
#include "dialogs/modal_win.h"
#include "dialogs/prompt_win.h"
#include "settings/settings.h"
#include "settings/settings_file_win.h"
#include "ui/prefs_menu_win.h"
#include "ui/toolbar_win.h"

namespace {

constexpr char kBadSpeedText[] = "Invalid number format.\nPlease enter a valid speed (e.g., 3.5)";
constexpr char kSpeedRangeText[] = "Speed must be between 0.1 and 1000";
constexpr WCHAR kFolderTitle[] =
    L"Select folder containing custom toolbar icons:\n\nRequired files (30x30 .ico):\n"
    L"open.ico, save.ico, record.ico,\nplay.ico, compile.ico, prefs.ico";
constexpr char kCustomLoadedText[] = "Custom toolbar loaded successfully!";
constexpr char kCustomFailedText[] =
    "Failed to load custom icons.\n\nMake sure folder contains all 6 files:\n  open.ico\n"
    "  save.ico\n  record.ico\n  play.ico\n  compile.ico\n  prefs.ico\n\n"
    "Icons should be 30x30 pixels.";

void SetCustomSpeed(HWND window) {
    char initial[64];
    FormatCustomSpeedPrompt(initial, sizeof initial);
    AutoFree<char> text(PromptForText(ModalOwner(), "Set Custom Speed", "Playback speed multiplier (1-100):", initial));
    if (!text) return;
    switch (ApplyCustomSpeedEntry(text.get())) {
    case SpeedEntry::Accepted: SaveSettings(window); break;
    case SpeedEntry::BadFormat:
        ModalMessageBox(kBadSpeedText, "Invalid Input", MB_OK | MB_ICONWARNING);
        break;
    case SpeedEntry::OutOfRange:
        ModalMessageBox(kSpeedRangeText, "Invalid Speed", MB_OK | MB_ICONWARNING);
        break;
    }
}

// A bad count is ignored without a word, and nothing is saved until the next save.
void SetLoops() {
    char initial[16];
    FormatLoopsPrompt(initial, sizeof initial);
    AutoFree<char> text(PromptForText(ModalOwner(), "Set Playback Loops", "Set the number of playback loops:", initial));
    if (text) ApplyLoopsEntry(text.get());
}

void ToggleAlwaysOnTop(HWND window) {
    AlwaysOnTop = !AlwaysOnTop;
    SetWindowPos(window, AlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
    SaveSettings(window);
}

void ToggleCaptions(HWND window) {
    ShowCaptions = !ShowCaptions;
    ApplyCaptionMode(ShowCaptions);
    ApplyClientHeight(window, ShowCaptions ? kClientHeightWithCaptions : kClientHeightWithoutCaptions);
    SaveSettings(window);
}

void ChooseCustomToolbar(HWND window) {
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    BROWSEINFOW info;
    ZeroMemory(&info, sizeof info);
    info.lpszTitle = kFolderTitle;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    LPITEMIDLIST folder;
    {
        SystemModal modal;
        info.hwndOwner = modal.owner();
        folder = SHBrowseForFolderW(&info);
    }
    if (folder) {
        WCHAR chosen[MAX_PATH] = {};
        char path[kPathBytes];
        if (SHGetPathFromIDListW(folder, chosen) && ToUtf8(chosen, path, sizeof path)) {
            if (LoadCustomToolbarIcons(path)) {
                defaultToolbarMark = 0;
                InvalidateRect(window, nullptr, TRUE);
                UpdateWindow(window);
                SaveSettings(window);
                ModalMessageBox(kCustomLoadedText, "Custom Toolbar", MB_OK | MB_ICONINFORMATION);
            } else {
                ModalMessageBox(kCustomFailedText, "Error", MB_OK | MB_ICONWARNING);
            }
        }
        CoTaskMemFree(folder);
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

// Back to the built-in icons for good: the custom set is released and forgotten.
void UseDefaultToolbar(HWND window) {
    UseDefaultToolbarIcons();
    defaultToolbarMark = 1;
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    SaveSettings(window);
}

}  // namespace

void HandlePreferencesCommand(HWND window, int id) {
    if (ApplySpeedChoice(id)) {
        SaveSettings(window);
        return;
    }
    switch (id) {
    case IDM_SET_CUSTOM_SPEED: SetCustomSpeed(window); break;
    case IDM_CONTINUOUS: ToggleContinuousPlayback(); break;
    case IDM_SET_LOOPS: SetLoops(); break;
    case IDM_ALWAYS_ON_TOP: ToggleAlwaysOnTop(window); break;
    case IDM_SHOW_CAPTIONS: ToggleCaptions(window); break;
    case IDM_CUSTOM_TOOLBAR: ChooseCustomToolbar(window); break;
    case IDM_DEFAULT_TOOLBAR: UseDefaultToolbar(window); break;
    case IDM_WEBSITE:
        ShellExecuteA(nullptr, "open", kWebsiteUrl, nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case IDM_ABOUT: ShowAboutWindow(ModalOwner()); break;
    case IDM_REC_HOTKEY_F8:
    case IDM_REC_HOTKEY_COMBO:
        SetRecordingHotkeyChoice(window, id);
        SaveSettings(window);
        break;
    case IDM_PLAY_HOTKEY_F8:
    case IDM_PLAY_HOTKEY_COMBO:
        SetPlaybackHotkeyChoice(window, id);
        SaveSettings(window);
        break;
    default: break;  // includes the greyed title and hint lines
    }
}
