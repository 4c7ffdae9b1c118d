// The recording engine, the status captions, the slots, the hotkeys and the
// toolbar commands' message boxes, in-process under Wine. A plain window stands
// in for the main window so the commands have an owner and a caption to set.
#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/hotkeys_win.h"
#include "app/status_win.h"
#include "macro/macro_buffer.h"
#include "macro/slots.h"
#include "macro/slots_win.h"
#include "playback/playback.h"
#include "record/recorder_win.h"
#include "settings/settings.h"
#include "ui/prefs_menu_win.h"
#include "prefs_ui_script.h"

namespace {

std::string Caption(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

// A top-level window standing in for the main window.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ShellTestWindow";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "ShellTestWindow", "Quorrel", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, window);
        SetMainWindow(window);
        SetEngineListener(ShowEngineChange);  // as the main window's creation does
        ResetSettingsToDefaults();
        ClearBuffer();
        SetLoadedMacro(nullptr, 0);
        InitSlots();
        SetSlotCaptionWindow(window);
    }
    void TearDown() override {
        if (IsRecording()) StopRecording();
        if (IsPlaying()) StopPlayback();
        FreeSlots();
        SetSlotCaptionWindow(nullptr);
        SetMainWindow(nullptr);
        SetEngineListener(nullptr);
        DestroyWindow(window);
        Pump();
        ClearBuffer();
        SetLoadedMacro(nullptr, 0);
    }
    HWND window = nullptr;
};

// --- recording engine ---------------------------------------------------------

LRESULT Key(UINT message, DWORD vk, DWORD scan, DWORD flags, DWORD time) {
    KBDLLHOOKSTRUCT k = {};
    k.vkCode = vk;
    k.scanCode = scan;
    k.flags = flags;
    k.time = time;
    return KeyboardHookProc(HC_ACTION, message, (LPARAM)&k);
}

LRESULT Mouse(UINT message, LONG x, LONG y, DWORD data, DWORD time) {
    MSLLHOOKSTRUCT m = {};
    m.pt.x = x;
    m.pt.y = y;
    m.mouseData = data;
    m.time = time;
    return MouseHookProc(HC_ACTION, message, (LPARAM)&m);
}

int PostedRecordCommands(HWND window) {
    int n = 0;
    MSG m;
    while (PeekMessageA(&m, window, WM_COMMAND, WM_COMMAND, PM_REMOVE))
        if (m.wParam == 1003 && m.lParam == CMD_ORIGIN_STOP_KEY) ++n;
    return n;
}

TEST_F(ShellTest, RecorderPacksKeysMouseAndWheelRelativeToTheStart) {
    DWORD before = GetTickCount();
    ASSERT_EQ(1, StartRecording());
    EXPECT_EQ(1, IsRecording());
    EXPECT_EQ(0, StartRecording()) << "a second start is refused";
    uint32_t start = GetRecordStartTick();
    EXPECT_GE(start, before);
    EXPECT_EQ("REC 00:00", Caption(window));

    Key(WM_KEYDOWN, 'A', 0x1E, 0, start + 10);
    Key(WM_KEYUP, 'A', 0x1E, LLKHF_UP, start + 20);
    Key(WM_SYSKEYDOWN, VK_RMENU, 0x38, LLKHF_EXTENDED, start + 30);
    Mouse(WM_MOUSEMOVE, 100, -7, 0, start + 40);
    Mouse(WM_MOUSEWHEEL, 5, -2, (DWORD)(-120) << 16, start + 50);
    Mouse(WM_RBUTTONDOWN, 6, 7, 0, start + 60);
    Mouse(0x020E, 1, 1, 0, start + 70);  // horizontal wheel: not recorded
    Mouse(WM_XBUTTONDOWN, 1, 1, 0, start + 80);
    Key(WM_KEYDOWN, VK_LWIN, 0x5B, LLKHF_EXTENDED, start + 90);  // never recorded
    Mouse(WM_MOUSEMOVE, 1, 2, 0, start + 100);                  // the tail: trimmed

    int count = 0;
    const MacroEvent* e = GetEvents(&count);
    ASSERT_EQ(7, count);
    const MacroEvent expected[] = {
        {0x100, 'A', 0x001E, 10, 0},
        {0x101, 'A', 0x801E, 20, 0},
        {0x104, VK_RMENU, 0x0138, 30, 0},
        {0x200, 100, (uint32_t)-7, 40, 0},
        {0x20A, 5, 0xFF88FFFE, 50, 0},
        {0x204, 6, 7, 60, 0},
        {0x200, 1, 2, 100, 0},
    };
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(expected[i].message, e[i].message) << i;
        EXPECT_EQ(expected[i].paramL, e[i].paramL) << i;
        EXPECT_EQ(expected[i].paramH, e[i].paramH) << i;
        EXPECT_EQ(expected[i].time, e[i].time) << i;
        EXPECT_EQ(0u, e[i].hwnd) << i;
    }

    ASSERT_EQ(1, StopRecording());
    EXPECT_EQ(0, IsRecording());
    EXPECT_EQ(6, GetEventCount()) << "the last mouse move is trimmed";
    EXPECT_EQ("Quorrel", Caption(window));
    EXPECT_EQ(0, StopRecording()) << "nothing left to stop";

    // With the hooks gone nothing more is appended.
    Key(WM_KEYDOWN, 'B', 0x30, 0, start + 200);
    EXPECT_EQ(6, GetEventCount());
}

TEST_F(ShellTest, RecorderStopKeyIsSwallowedAndPostsOneRecordCommand) {
    ASSERT_EQ(1, StartRecording());
    uint32_t t = GetRecordStartTick();
    Key(WM_KEYDOWN, 'Q', 0x10, 0, t + 1);
    EXPECT_EQ(1, Key(WM_KEYDOWN, VK_ESCAPE, 1, 0, t + 2)) << "the press reaches no program";
    EXPECT_EQ(1, Key(WM_KEYDOWN, VK_ESCAPE, 1, 0, t + 3)) << "auto-repeat is swallowed too";
    EXPECT_EQ(1, PostedRecordCommands(window)) << "a held key must not stop and restart";
    Key(WM_KEYUP, VK_ESCAPE, 1, LLKHF_UP, t + 4);  // the release is an ordinary key

    int count = 0;
    const MacroEvent* e = GetEvents(&count);
    ASSERT_EQ(2, count);
    EXPECT_EQ(uint32_t('Q'), e[0].paramL);
    EXPECT_EQ(0x101u, e[1].message);
    EXPECT_EQ(uint32_t(VK_ESCAPE), e[1].paramL);
    StopRecording();

    // A new recording may be stopped with the key again.
    ASSERT_EQ(1, StartRecording());
    Key(WM_SYSKEYDOWN, VK_ESCAPE, 1, 0, GetRecordStartTick() + 1);
    EXPECT_EQ(1, PostedRecordCommands(window));
    EXPECT_EQ(0, GetEventCount());
}

TEST_F(ShellTest, RecorderStopKeyDisabledOrChangedIsRecorded) {
    StopHotkeyEnabled = 0;
    ASSERT_EQ(1, StartRecording());
    uint32_t t = GetRecordStartTick();
    EXPECT_EQ(0, Key(WM_KEYDOWN, VK_ESCAPE, 1, 0, t + 1));
    EXPECT_EQ(0, PostedRecordCommands(window));
    StopHotkeyEnabled = 1;
    StopHotkey = VK_F12;
    Key(WM_KEYDOWN, VK_ESCAPE, 1, 0, t + 2);
    EXPECT_EQ(1, Key(WM_KEYDOWN, VK_F12, 0x58, 0, t + 3));
    EXPECT_EQ(1, PostedRecordCommands(window));
    EXPECT_EQ(2, GetEventCount());
}

TEST_F(ShellTest, RecorderGrowsPastTheFirstThousandWithoutLoss) {
    ASSERT_EQ(1, StartRecording());
    uint32_t t = GetRecordStartTick();
    for (int i = 0; i < 5000; ++i) Mouse(WM_MOUSEMOVE, i, -i, 0, t + (DWORD)i);
    int count = 0;
    const MacroEvent* e = GetEvents(&count);
    ASSERT_EQ(5000, count);
    EXPECT_GE(GetBufferCapacity(), 5000);
    for (int i = 0; i < count; ++i)
        if (e[i].paramL != (uint32_t)i || e[i].time != (uint32_t)i) FAIL() << "event " << i;
}

TEST_F(ShellTest, RecorderClearsTheWorkingMacroButNotTheLoadedOne) {
    MacroEvent* file = static_cast<MacroEvent*>(malloc(sizeof(MacroEvent)));
    *file = {0x200, 1, 2, 0, 0};
    SetLoadedMacro(file, 1);
    AssignEvents(file, 1);
    ASSERT_EQ(1, StartRecording());
    EXPECT_EQ(0, GetEventCount());
    StopRecording();
    const MacroEvent* current;
    int count;
    ASSERT_EQ(1, CurrentMacro(&current, &count)) << "an empty recording falls back to the file";
    EXPECT_EQ(file, current);
}

// Windows takes a late hook away without a word: the clock's tick sees input
// that no hook was called for and installs them again, never twice over.
TEST_F(ShellTest, RecorderInstallsItsHooksAgainAfterTheSystemDroppedThem) {
    ASSERT_EQ(1, StartRecording());
    HHOOK keyboard, mouse;
    GetRecordingHooks(&keyboard, &mouse);
    UnhookWindowsHookEx(keyboard);
    UnhookWindowsHookEx(mouse);
    Sleep(1100);
    for (WORD vk : {'Q', 'W', 'E'}) {
        prefs_test::TypeKey(vk);
        for (int i = 0; i < 20; ++i, Sleep(10)) Pump();
        WatchRecordingHooks();
    }
    EXPECT_EQ(4, GetEventCount()) << "Q is lost, W and E recorded once each";
}

// --- captions ---------------------------------------------------------------------

TEST_F(ShellTest, StatusCaptionsFollowTheState) {
    SetStateCaption(window, kCaptionRecording);
    EXPECT_EQ("REC 00:00", Caption(window)) << "no recording started: start tick 0";
    SetStateCaption(window, kCaptionIdle);
    EXPECT_EQ("Quorrel", Caption(window));
    SetWindowTextA(window, "something else");
    UpdatePlaybackCaption();
    EXPECT_EQ("Quorrel", Caption(window)) << "no playback: idle caption";
}

// --- slots ---------------------------------------------------------------------------

TEST_F(ShellTest, SlotHotkeysSwitchAndNameTheSlot) {
    ASSERT_EQ(1, StartRecording());
    uint32_t t = GetRecordStartTick();
    for (int i = 0; i < 121; ++i) Mouse(WM_MOUSEMOVE, i, i, 0, t + (DWORD)i);
    EXPECT_EQ(0, HandleSlotHotkey(HOTKEY_SLOT_FIRST + 1)) << "refused while recording";
    EXPECT_EQ("REC 00:00", Caption(window));
    StopRecording();
    ASSERT_EQ(120, GetEventCount());

    EXPECT_EQ(1, HandleSlotHotkey(HOTKEY_SLOT_FIRST + 1));
    EXPECT_EQ("Quorrel - Slot 2 (empty)", Caption(window));
    EXPECT_EQ(1, HandleSlotHotkey(HOTKEY_SLOT_FIRST));
    EXPECT_EQ("Quorrel - Slot 1 (120 events)", Caption(window));
    EXPECT_EQ(120, GetEventCount());
    EXPECT_EQ(0, HandleSlotHotkey(HOTKEY_SLOT_FIRST + 9));
    EXPECT_EQ(0, HandleSlotHotkey(HOTKEY_RECORD));
    EXPECT_EQ(0, SwitchSlot(0, 0));
}

// --- hotkeys -------------------------------------------------------------------------

// 1 when the combination is free (we could take it ourselves).
bool Free(UINT mods, UINT vk) {
    HWND probe = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    bool ok = RegisterHotKey(probe, 77, mods, vk) != 0;
    if (ok) UnregisterHotKey(probe, 77);
    DestroyWindow(probe);
    return ok;
}

TEST_F(ShellTest, HotkeyChoicesRegisterTheWantedCombinations) {
    const UINT all = MOD_CONTROL | MOD_SHIFT | MOD_ALT;
    ASSERT_EQ(1, RegisterMainHotkeys(window));
    EXPECT_FALSE(Free(all, 'R'));
    EXPECT_FALSE(Free(all, 'P'));

    SetRecordingHotkeyChoice(window, IDM_REC_HOTKEY_F8);
    EXPECT_EQ(0, UseComplexRecord.load());
    EXPECT_EQ(VK_F8, RecordingHotkey.load());
    EXPECT_FALSE(Free(0, VK_F8));
    EXPECT_TRUE(Free(all, 'R'));

    // F8 for playback too: id 2 cannot have it, and the fallback fails as well.
    SetPlaybackHotkeyChoice(window, IDM_PLAY_HOTKEY_F8);
    EXPECT_EQ(VK_F8, PlaybackHotkey.load());
    EXPECT_TRUE(Free(all, 'P'));
    EXPECT_EQ(0, ApplyHotkeySettings(window));

    // Modifiers on a function key are dropped; on a letter they are kept.
    UseComplexRecord = 0;
    RecordingHotkey = VK_F9;
    RecordingModifiers = MOD_CONTROL;
    UseComplexPlayback = 0;
    PlaybackHotkey = 'K';
    PlaybackModifiers = MOD_CONTROL | MOD_ALT;
    EXPECT_EQ(1, ApplyHotkeySettings(window));
    EXPECT_FALSE(Free(0, VK_F9));
    EXPECT_TRUE(Free(MOD_CONTROL, VK_F9));
    EXPECT_FALSE(Free(MOD_CONTROL | MOD_ALT, 'K'));

    SetRecordingHotkeyChoice(window, IDM_REC_HOTKEY_COMBO);
    SetPlaybackHotkeyChoice(window, IDM_PLAY_HOTKEY_COMBO);
    EXPECT_EQ(1, UseComplexRecord.load());
    EXPECT_EQ('R', RecordingHotkey.load());
    EXPECT_EQ('P', PlaybackHotkey.load());
    EXPECT_EQ(0, RecordingModifiers);
    EXPECT_FALSE(Free(all, 'R'));
    EXPECT_FALSE(Free(all, 'P'));
    EXPECT_TRUE(Free(0, VK_F8));

    UnregisterMainHotkeys(window);
    EXPECT_TRUE(Free(all, 'R'));
    EXPECT_TRUE(Free(all, 'P'));
}

TEST_F(ShellTest, HotkeyTakenWithModifiersFallsBackToTheBareKey) {
    // Another program holds Ctrl+K: the choice is retried as K alone and reported as failed.
    HWND other = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 9, MOD_CONTROL, 'K'));
    UseComplexPlayback = 0;
    PlaybackHotkey = 'K';
    PlaybackModifiers = MOD_CONTROL;
    EXPECT_EQ(0, ApplyHotkeySettings(window));
    EXPECT_FALSE(Free(0, 'K'));
    UnregisterHotKey(other, 9);
    DestroyWindow(other);
    UnregisterMainHotkeys(window);
    EXPECT_TRUE(Free(0, 'K'));
}

TEST_F(ShellTest, SlotHotkeysAreCtrlDigits) {
    RegisterSlotHotkeys(window);
    for (int n = 1; n <= 9; ++n) EXPECT_FALSE(Free(MOD_CONTROL, '0' + n)) << n;
    UnregisterSlotHotkeys(window);
    for (int n = 1; n <= 9; ++n) EXPECT_TRUE(Free(MOD_CONTROL, '0' + n)) << n;
}

TEST_F(ShellTest, RecordingHotkeyTogglesSilently) {
    HandleHotkey(window, HOTKEY_RECORD);
    EXPECT_EQ(1, IsRecording());
    EXPECT_EQ("REC 00:00", Caption(window));
    HandleHotkey(window, HOTKEY_PLAY);  // refused while recording
    EXPECT_EQ(0, IsPlaying());
    HandleHotkey(window, HOTKEY_RECORD);
    EXPECT_EQ(0, IsRecording());
    EXPECT_EQ("Quorrel", Caption(window));
    HandleHotkey(window, 99);  // unknown ids do nothing
    EXPECT_EQ(0, IsRecording());
}

// --- toolbar commands' message boxes ------------------------------------------------

BOOL CALLBACK FindOwnDialog(HWND w, LPARAM p) {
    char cls[32];
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    GetClassNameA(w, cls, sizeof cls);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w) && !strcmp(cls, "#32770")) {
        *(HWND*)p = w;
        return FALSE;
    }
    return TRUE;
}

struct Box {
    std::string caption, text;
    std::vector<std::string> buttons;
};

// Runs `command` and answers the first message box it opens (with OK), noting
// what the box said; `found` is false when no box appeared within 5 s.
Box RunCommandExpectingBox(int command, bool* found) {
    Box box;
    std::atomic<bool> done{false}, seen{false};
    std::thread watcher([&] {
        for (int i = 0; i < 500 && !done; ++i) {
            HWND found = nullptr;
            EnumWindows(FindOwnDialog, (LPARAM)&found);
            if (found) {
                char text[1024] = "";
                GetWindowTextA(found, text, sizeof text);
                box.caption = text;
                GetDlgItemTextA(found, 0xFFFF, text, sizeof text);
                box.text = text;
                for (HWND c = GetWindow(found, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                    char cls[32];
                    GetClassNameA(c, cls, sizeof cls);
                    if (!lstrcmpiA(cls, "Button") && IsWindowVisible(c)) {
                        GetWindowTextA(c, text, sizeof text);
                        box.buttons.push_back(text);
                    }
                }
                seen = true;
                PostMessageA(found, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(10);
        }
    });
    HandleToolbarCommand(command);
    done = true;
    watcher.join();
    *found = seen;
    return box;
}

void ExpectBox(int command, const char* caption, const char* text) {
    bool found = false;
    Box box = RunCommandExpectingBox(command, &found);
    ASSERT_TRUE(found) << text;
    EXPECT_EQ(caption, box.caption);
    EXPECT_EQ(text, box.text);
    ASSERT_EQ(1u, box.buttons.size());
    EXPECT_EQ("OK", box.buttons[0]);
}

TEST_F(ShellTest, CommandsWithoutAMacroWarn) {
    ExpectBox(CMD_SAVE, "Save", "No events to save!\nRecord a macro first.");
    ExpectBox(CMD_PLAY, "Play", "No events to play!\nRecord or open a macro first.");
    ExpectBox(CMD_COMPILE, "Compile", "No events to compile!\nRecord or open a macro first.");
}

TEST_F(ShellTest, RecordCommandStartsSilentlyAndReportsTheCountOnStop) {
    HandleToolbarCommand(CMD_RECORD);
    ASSERT_EQ(1, IsRecording());
    uint32_t t = GetRecordStartTick();
    for (int i = 0; i < 4; ++i) Mouse(WM_MOUSEMOVE, i, i, 0, t + (DWORD)i);
    Mouse(WM_LBUTTONDOWN, 9, 9, 0, t + 10);  // the click on Rec itself
    Mouse(WM_LBUTTONUP, 9, 9, 0, t + 11);
    ExpectBox(CMD_RECORD, "Record", "Recording stopped.\n4 events captured.");
    EXPECT_EQ(0, IsRecording());
}

TEST_F(ShellTest, BusyStatesRefusePlayCompileAndOpen) {
    MacroEvent* file = static_cast<MacroEvent*>(malloc(sizeof(MacroEvent)));
    *file = {0x200, 1, 2, 0, 0};
    SetLoadedMacro(file, 1);
    ASSERT_EQ(1, StartRecording());
    ExpectBox(CMD_PLAY, "Play", "Cannot play while recording!");
    ExpectBox(CMD_COMPILE, "Compile", "Cannot compile while recording!");
    EXPECT_EQ(0, IsPlaying());
    StopRecording();

    // A playback that waits a minute before its second event: long enough to try Open.
    MacroEvent* slow = static_cast<MacroEvent*>(malloc(2 * sizeof(MacroEvent)));
    slow[0] = {0x200, 1, 2, 0, 0};
    slow[1] = {0x200, 1, 2, 60000, 0};
    SetLoadedMacro(slow, 2);
    ASSERT_EQ(1, StartPlayback(slow, 2));
    ExpectBox(CMD_OPEN, "Open", "Cannot open while playing!");
    int count = 0;
    EXPECT_EQ(slow, GetLoadedMacro(&count)) << "the played array is still there";
    HandleToolbarCommand(CMD_RECORD);
    EXPECT_EQ(0, IsRecording()) << "Rec does nothing during playback";
    EXPECT_EQ(0, HandleSlotHotkey(HOTKEY_SLOT_FIRST + 1)) << "refused while playing";
    HandleToolbarCommand(CMD_PLAY);  // stops it
    EXPECT_EQ(0, IsPlaying());
}

TEST_F(ShellTest, UnknownCommandsDoNothing) {
    bool found = true;
    RunCommandExpectingBox(1999, &found);
    EXPECT_FALSE(found);
}

}  // namespace
