// Registration of the global hotkeys and their actions: recording, playback,
// the slots and the shortcuts list. Hotkey actions never show a message box:
// they fire while the user works in another program.
#include "app/hotkeys_win.h"

#include "app/commands.h"
#include "app/hotkeys.h"
#include "app/status_win.h"
#include "dialogs/modal_win.h"
#include "dialogs/shortcuts_win.h"
#include "macro/macro_buffer.h"
#include "macro/slots.h"
#include "macro/slots_win.h"
#include "playback/playback.h"
#include "record/recorder_win.h"
#include "settings/settings.h"
#include "ui/prefs_menu_win.h"
#include "ui/toolbar_win.h"

namespace {

constexpr UINT kAllModifiers = hotkey_mod::All;
static_assert(kAllModifiers == (MOD_CONTROL | MOD_SHIFT | MOD_ALT), "the modifier bits as the system numbers them");
constexpr UINT kKeyR = 0x52;
constexpr UINT kKeyP = 0x50;
constexpr UINT kKeyF8 = VK_F8;
constexpr UINT kKeyDigit0 = 0x30;
constexpr UINT kReleasePollMs = 25;

// The recording hotkey as registered now: its press is what a stop by hotkey
// trims from the end of the macro.
UINT recordKey = kKeyR;
UINT recordModifiers = kAllModifiers;

// A held hotkey repeats where the system ignores MOD_NOREPEAT, and a message
// queued by a press may be taken after the action it started has begun (a
// second recording would clear the macro just made, a second shortcuts dialog
// would stack on the first). So a hotkey acts once per press: after it acted,
// it does nothing more until its key has been seen up.
UINT_PTR releaseWatch;
bool awaitingRelease[256];

bool KeyDown(UINT key) { return (GetAsyncKeyState((int)key) & 0x8000) != 0; }

void CALLBACK WatchReleases(HWND, UINT, UINT_PTR, DWORD) {
    bool waiting = false;
    for (UINT key = 0; key < 256; ++key) {
        if (awaitingRelease[key] && !KeyDown(key)) awaitingRelease[key] = false;
        waiting = waiting || awaitingRelease[key];
    }
    if (waiting) return;
    KillTimer(nullptr, releaseWatch);
    releaseWatch = 0;
}

// 1 when this hotkey message is the first of a press of `key`.
bool FirstOfPress(UINT key) {
    key &= 0xFF;
    if (awaitingRelease[key] && KeyDown(key)) return false;
    awaitingRelease[key] = true;
    if (!releaseWatch) releaseWatch = SetTimer(nullptr, 0, kReleasePollMs, WatchReleases);
    return true;
}

// Repeats of a held hotkey are not wanted; a system without MOD_NOREPEAT
// refuses it, and then the plain registration is the one to have.
int Register(HWND window, int id, UINT modifiers, UINT key) {
    int ok = RegisterHotKey(window, id, modifiers | MOD_NOREPEAT, key) ||
             RegisterHotKey(window, id, modifiers, key);
    if (ok && id == HOTKEY_RECORD) {
        recordKey = key;
        recordModifiers = modifiers;
    }
    return ok;
}

// One of the two configurable hotkeys, as PlanHotkeyChoice lays it out.
int RegisterChoice(HWND window, int id, int useComplex, UINT complexKey, int key, int modifiers) {
    HotkeyAttempt attempts[2];
    int count = PlanHotkeyChoice(useComplex, complexKey, key, modifiers, attempts);
    for (int i = 0; i < count; ++i)
        if (Register(window, id, attempts[i].modifiers, attempts[i].key)) return attempts[i].counts;
    return 0;
}

void ToggleRecording() {
    if (IsPlaying() || !FirstOfPress(recordKey)) return;
    ToggleRecordingByHotkey(Win32Shell(),
                            {StopSource::Hotkey, recordKey, recordModifiers & (MOD_ALT | MOD_CONTROL | MOD_SHIFT)});
}


}  // namespace

int RegisterMainHotkeys(HWND window) {
    int ok = Register(window, HOTKEY_RECORD, kAllModifiers, kKeyR);
    ok &= Register(window, HOTKEY_PLAY, kAllModifiers, kKeyP);
    return ok;
}

void UnregisterMainHotkeys(HWND window) {
    UnregisterHotKey(window, HOTKEY_RECORD);
    UnregisterHotKey(window, HOTKEY_PLAY);
}

void RegisterSlotHotkeys(HWND window) {
    SetSlotCaptionWindow(window);
    for (int n = 1; n <= kSlotCount; ++n) Register(window, HOTKEY_SLOT_FIRST + n - 1, MOD_CONTROL, kKeyDigit0 + n);
}

int RegisterShortcutsHotkey(HWND window) { return Register(window, HOTKEY_SHORTCUTS, 0, VK_F1); }

void UnregisterSlotHotkeys(HWND window) {
    for (int n = 1; n <= kSlotCount; ++n) UnregisterHotKey(window, HOTKEY_SLOT_FIRST + n - 1);
}

int ApplyHotkeySettings(HWND window) {
    UnregisterMainHotkeys(window);
    int ok = RegisterChoice(window, HOTKEY_RECORD, UseComplexRecord.load(), kKeyR,
                            RecordingHotkey.load(), RecordingModifiers);
    ok &= RegisterChoice(window, HOTKEY_PLAY, UseComplexPlayback.load(), kKeyP,
                         PlaybackHotkey.load(), PlaybackModifiers);
    return ok;
}

void SetRecordingHotkeyChoice(HWND window, int commandId) {
    bool f8 = commandId == IDM_REC_HOTKEY_F8;
    UseComplexRecord = f8 ? 0 : 1;
    RecordingHotkey = f8 ? (int)kKeyF8 : (int)kKeyR;
    RecordingModifiers = 0;
    ApplyHotkeySettings(window);
}

void SetPlaybackHotkeyChoice(HWND window, int commandId) {
    bool f8 = commandId == IDM_PLAY_HOTKEY_F8;
    UseComplexPlayback = f8 ? 0 : 1;
    PlaybackHotkey = f8 ? (int)kKeyF8 : (int)kKeyP;
    PlaybackModifiers = 0;
    ApplyHotkeySettings(window);
}

int HandleSlotHotkey(int id) {
    if (id < HOTKEY_SLOT_FIRST || id >= HOTKEY_SLOT_FIRST + kSlotCount) return 0;
    return SwitchSlot(id - HOTKEY_SLOT_FIRST + 1, IsRecording() || IsPlaying());
}

void HandleHotkey(HWND, int id) {
    if (id == HOTKEY_SHORTCUTS) {
        if (FirstOfPress(VK_F1)) ShowShortcutsDialog(ModalOwner());
    } else if (id >= HOTKEY_SLOT_FIRST && id < HOTKEY_SLOT_FIRST + kSlotCount) {
        if (FirstOfPress(kKeyDigit0 + 1 + (UINT)(id - HOTKEY_SLOT_FIRST))) HandleSlotHotkey(id);
    } else if (id == HOTKEY_RECORD) {
        ToggleRecording();
    } else if (id == HOTKEY_PLAY) {
        PlayByHotkey(Win32Shell());
    }
}
