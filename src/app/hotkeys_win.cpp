// Registration of the global hotkeys and the actions of the recording and
// playback hotkeys. Hotkey actions never show a message box: they fire while
// the user works in another program.
#include "app/hotkeys_win.h"

#include "app/commands.h"
#include "app/hotkeys.h"
#include "app/status_win.h"
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
constexpr UINT kReleasePollMs = 25;

// The recording hotkey as registered now: its press is what a stop by hotkey
// trims from the end of the macro.
UINT recordKey = kKeyR;
UINT recordModifiers = kAllModifiers;

// A held hotkey repeats where the system ignores MOD_NOREPEAT, and a message
// queued by the press that toggled recording would toggle it straight back
// (a new recording clears the macro just made). So after a toggle the
// recording hotkey does nothing until its key has been seen up.
UINT_PTR releaseWatch;
UINT watchedKey;

bool WatchedKeyDown() { return (GetAsyncKeyState((int)watchedKey) & 0x8000) != 0; }

void EndWatch() {
    if (releaseWatch) KillTimer(nullptr, releaseWatch);
    releaseWatch = 0;
}

void CALLBACK WatchRelease(HWND, UINT, UINT_PTR, DWORD) {
    if (!WatchedKeyDown()) EndWatch();
}

void AwaitRelease(UINT key) {
    watchedKey = key;
    if (!releaseWatch) releaseWatch = SetTimer(nullptr, 0, kReleasePollMs, WatchRelease);
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
    if (IsPlaying()) return;
    if (releaseWatch) {
        if (WatchedKeyDown()) return;  // the same press, repeated or queued
        EndWatch();
    }
    AwaitRelease(recordKey);
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
    for (int n = 1; n <= kSlotCount; ++n)
        RegisterHotKey(window, HOTKEY_SLOT_FIRST + n - 1, MOD_CONTROL, 0x30 + n);
}

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
    if (id == HOTKEY_RECORD) ToggleRecording();
    else if (id == HOTKEY_PLAY) PlayByHotkey(Win32Shell());
}
