// The hooks run on the user-interface thread for every key and mouse event of
// the whole desktop, and Windows drops a hook that answers late, so each hook
// does a fixed, tiny amount of work: a tick count, one key-state read, a few
// comparisons, one 20-byte append, then the next hook. The stop key only posts
// a command.
#include "record/recorder_win.h"

#include "base/engine_events.h"
#include "base/resource_ids.h"
#include "base/shell_handles_win.h"
#include "macro/macro_buffer.h"
#include "record/recorder.h"
#include "settings/settings.h"

namespace {

constexpr int kFirstCapacity = 1000;

int recording;
HHOOK keyboardHook;
HHOOK mouseHook;
// A held stop key repeats, and a second Rec command arriving after the first
// has stopped the recording would start a new one and throw the macro away;
// so one recording posts its stop at most once.
int stopPosted;
// When either hook was last called, on the clock of GetLastInputInfo.
DWORD lastHookTick;

void RemoveHooks() {
    if (keyboardHook) UnhookWindowsHookEx(keyboardHook);
    if (mouseHook) UnhookWindowsHookEx(mouseHook);
    keyboardHook = nullptr;
    mouseHook = nullptr;
}

// Both hooks or neither.
int InstallHooks() {
    HMODULE self = GetModuleHandleA(nullptr);
    keyboardHook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHookProc, self, 0);
    mouseHook = keyboardHook ? SetWindowsHookExA(WH_MOUSE_LL, MouseHookProc, self, 0) : nullptr;
    if (mouseHook) return 1;
    RemoveHooks();
    return 0;
}

}  // namespace

int IsRecording() { return recording; }

int StartRecording() {
    if (recording) return 0;
    // The clock starts before the hooks exist, so times count from the start
    // command and not from the first input.
    if (!BeginBuffer(kFirstCapacity, GetTickCount())) return 0;

    if (!InstallHooks()) {
        ClearBuffer();
        return 0;
    }
    lastHookTick = GetTickCount();
    stopPosted = 0;
    recording = 1;
    NotifyEngineChange(EngineChange::RecordingStarted);
    return 1;
}

int StopRecording(const StopGesture& how) {
    if (!recording) return 0;
    int count = 0;
    MacroEvent* events = GetEvents(&count);
    if (count > 0) SetEventCount(TrimStopGesture(events, count, how));

    RemoveHooks();
    recording = 0;

    // Setting the cursor where it already is makes the system re-evaluate what
    // lies under it, which a long recording may have left stale.
    POINT cursor;
    if (GetCursorPos(&cursor)) SetCursorPos(cursor.x, cursor.y);

    NotifyEngineChange(EngineChange::RecordingStopped);
    return 1;
}

void WatchRecordingHooks() {
    if (!recording) return;
    LASTINPUTINFO input = {sizeof input, 0};
    if (!GetLastInputInfo(&input) || !HooksLookLost(input.dwTime, lastHookTick)) return;
    // The input in between is lost; from now on it is recorded again, and Esc
    // stops the recording again. A failed install is tried at the next tick.
    RemoveHooks();
    InstallHooks();
    lastHookTick = GetTickCount();
}

void GetRecordingHooks(HHOOK* keyboard, HHOOK* mouse) {
    *keyboard = keyboardHook;
    *mouse = mouseHook;
}

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
    lastHookTick = GetTickCount();
    if (code < 0 || !recording) return CallNextHookEx(nullptr, code, wParam, lParam);

    const KBDLLHOOKSTRUCT* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    int altDown = (GetAsyncKeyState(VK_MENU) & 0x8000) != 0;
    switch (ClassifyKeyEvent((uint32_t)wParam, key->vkCode, altDown, StopHotkeyEnabled.load(),
                             StopHotkey.load())) {
    case KeyAction::StopKey:
        // Swallowed: no program sees the stop key, and the recording ends when
        // the user-interface thread takes the posted command from its queue.
        if (!stopPosted) {
            HWND window = GetMainWindow();
            if (window) stopPosted = PostMessageA(window, WM_COMMAND, CMD_RECORD, CMD_ORIGIN_STOP_KEY) != 0;
        }
        return 1;
    case KeyAction::Record:
        AppendEvent((uint32_t)wParam, key->vkCode, PackKeyParamH(key->scanCode, key->flags), key->time);
        break;
    case KeyAction::PassOn:
        break;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
    lastHookTick = GetTickCount();
    if (code >= 0 && recording && IsRecordedMouseMessage((uint32_t)wParam)) {
        const MSLLHOOKSTRUCT* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        AppendEvent((uint32_t)wParam, (uint32_t)mouse->pt.x,
                    PackMouseParamH((uint32_t)wParam, mouse->pt.y, mouse->mouseData), mouse->time);
    }
    // Mouse input is never swallowed.
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
