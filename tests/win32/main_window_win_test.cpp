// The real main window procedure driven by messages: what creation registers,
// the timers' late ticks, the playback end, slot hotkeys, the command codes,
// minimising to the tray, what destruction releases, the hold of a prompt
// over it and a move to a display of another scaling.
#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>
#include <thread>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/hotkeys_win.h"
#include "dialogs/prompt_win.h"
#include "macro/macro_buffer.h"
#include "playback/playback.h"
#include "prefs_ui_script.h"
#include "record/recorder_win.h"
#include "settings/settings.h"
#include "settings/settings_file_win.h"
#include "ui/prefs_menu.h"
#include "ui/toolbar_win.h"
#include "ui/tray_win.h"

namespace {

std::string Text(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool Free(UINT mods, UINT vk) {
    HWND probe = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    bool ok = RegisterHotKey(probe, 77, mods, vk) != 0;
    if (ok) UnregisterHotKey(probe, 77);
    DestroyWindow(probe);
    return ok;
}

bool AnyOwnDialog() {
    struct Finder {
        static BOOL CALLBACK Each(HWND w, LPARAM p) {
            char cls[32];
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            GetClassNameA(w, cls, sizeof cls);
            if (pid == GetCurrentProcessId() && IsWindowVisible(w) && !lstrcmpA(cls, "#32770")) {
                *(bool*)p = true;
                return FALSE;
            }
            return TRUE;
        }
    };
    bool found = false;
    EnumWindows(Finder::Each, (LPARAM)&found);
    return found;
}

class ShellMainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettingsToDefaults();
        ClearBuffer();
        SetLoadedMacro(nullptr, 0);
        HINSTANCE instance = GetModuleHandleA(nullptr);
        SetAppInstance(instance);
        RegisterMainWindowClass(instance);  // may already exist from another suite
        window = CreateMainWindow(instance, SW_SHOWNOACTIVATE);
        ASSERT_NE(nullptr, window);
        SetMainWindow(window);
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        SetMainWindow(nullptr);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    HWND window = nullptr;
};

TEST_F(ShellMainWindowTest, CreationRegistersTheHotkeysAndDestructionReleasesThem) {
    const UINT all = MOD_CONTROL | MOD_SHIFT | MOD_ALT;
    EXPECT_FALSE(Free(all, 'R'));
    EXPECT_FALSE(Free(all, 'P'));
    EXPECT_FALSE(Free(MOD_CONTROL, '1'));
    EXPECT_FALSE(Free(MOD_CONTROL, '9'));
    EXPECT_FALSE(Free(0, VK_F1));
    for (int i = 0; i < kToolbarButtonCount; ++i) EXPECT_NE(nullptr, GetToolbarButton(i)) << i;

    DestroyWindow(window);
    EXPECT_TRUE(Free(all, 'R'));
    EXPECT_TRUE(Free(all, 'P'));
    EXPECT_TRUE(Free(MOD_CONTROL, '1'));
    EXPECT_TRUE(Free(0, VK_F1));
    MSG m;
    EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the loop is told to end";
}

TEST_F(ShellMainWindowTest, LateTicksAndThePlaybackEndRestoreTheIdleCaption) {
    SetWindowTextA(window, "00:03 (1/1)");
    SendMessageA(window, WM_TIMER, TIMER_PLAY_PROGRESS, 0);
    EXPECT_EQ("Quorrel", Text(window));

    SetWindowTextA(window, "00:02 (1/1)");
    SendMessageA(window, WM_PLAYBACK_FINISHED, 0, 0);
    EXPECT_EQ("Quorrel", Text(window));

    // A recording clock tick after the recording: only the timer goes.
    SetWindowTextA(window, "Quorrel - Slot 1 (empty)");
    SendMessageA(window, WM_TIMER, TIMER_REC_CLOCK, 0);
    EXPECT_EQ("Quorrel - Slot 1 (empty)", Text(window));
    EXPECT_EQ(0, SendMessageA(window, WM_TIMER, 555, 0));
}

TEST_F(ShellMainWindowTest, AnEndNoticeArrivingDuringAPlaybackIsAnEarlierWorkersAndChangesNothing) {
    MacroEvent slow[2] = {{0x200, 5, 5, 0, 0}, {0x200, 5, 5, 60000, 0}};
    AssignEvents(slow, 2);
    ASSERT_EQ(1, StartPlayback(GetEvents(nullptr), 2));
    std::string countdown = Text(window);
    SendMessageA(window, WM_PLAYBACK_FINISHED, 0, 0);
    EXPECT_EQ(countdown, Text(window));
    EXPECT_TRUE(KillTimer(window, TIMER_PLAY_PROGRESS)) << "the countdown's timer was killed";
    EXPECT_EQ(1, StopPlayback());
}

TEST_F(ShellMainWindowTest, RecordingClockTickShowsTheElapsedTime) {
    ASSERT_EQ(1, StartRecording());
    SetWindowTextA(window, "stale");
    SendMessageA(window, WM_TIMER, TIMER_REC_CLOCK, 0);
    EXPECT_EQ("REC 00:00", Text(window));
    // The hotkeys stop it silently and say so in the caption.
    SendMessageA(window, WM_HOTKEY, HOTKEY_RECORD, 0);
    EXPECT_EQ(0, IsRecording());
    EXPECT_EQ("Quorrel", Text(window));
    EXPECT_FALSE(AnyOwnDialog());
}

// Sign-out ends the process without WM_DESTROY: what the menu kept in memory
// is saved, and the recording ends without a box.
TEST_F(ShellMainWindowTest, SignOutSavesTheSettingsAndEndsTheRecording) {
    char ini[MAX_PATH];
    ASSERT_EQ(1, GetSettingsPath(ini));
    DeleteFileA(ini);
    LoadSettings(window);
    SendMessageA(window, WM_COMMAND, IDM_CONTINUOUS, 0);
    ASSERT_EQ(1, StartRecording());
    SendMessageA(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(2u, GetPrivateProfileIntA("Settings", "RepeatMode", 0, ini));
    EXPECT_FALSE(IsRecording() || AnyOwnDialog());
    DeleteFileA(ini);
}

TEST_F(ShellMainWindowTest, SlotHotkeysReachTheSlots) {
    SendMessageA(window, WM_HOTKEY, HOTKEY_SLOT_FIRST + 3, 0);
    EXPECT_EQ("Quorrel - Slot 4 (empty)", Text(window));
    SendMessageA(window, WM_HOTKEY, HOTKEY_SLOT_FIRST, 0);
    EXPECT_EQ("Quorrel - Slot 1 (empty)", Text(window));
}

TEST_F(ShellMainWindowTest, OnlyCommandsWithCodeZeroReachTheToolbar) {
    // A notification code other than 0 is ignored: no "No events to play!" box.
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(CMD_PLAY, 1), 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(CMD_SAVE, BN_DOUBLECLICKED), 0);
    EXPECT_FALSE(AnyOwnDialog());
    // The R key posts the Record command, which the queue then runs.
    SendMessageA(window, WM_CHAR, 'R', 0);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, window, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ((WPARAM)CMD_RECORD, m.wParam);
    EXPECT_FALSE(PeekMessageA(&m, window, WM_COMMAND, WM_COMMAND, PM_NOREMOVE)) << "posted once";
    SendMessageA(window, WM_CHAR, 'p', 0);
    ASSERT_TRUE(PeekMessageA(&m, window, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ((WPARAM)CMD_PLAY, m.wParam);
    SendMessageA(window, WM_CHAR, 'x', 0);
    EXPECT_FALSE(PeekMessageA(&m, window, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    // S with an empty working macro does nothing, not even a dialog.
    SendMessageA(window, WM_CHAR, 's', 0);
    EXPECT_FALSE(AnyOwnDialog());
}

TEST_F(ShellMainWindowTest, OpenKeyDoesNothingWhileAPlaybackReadsTheMacro) {
    // The working macro is what plays; O must neither replace it nor even ask for a file.
    ASSERT_EQ(1, StartRecording());
    StopRecording();
    MacroEvent slow[2] = {{0x200, 5, 5, 0, 0}, {0x200, 5, 5, 60000, 0}};
    AssignEvents(slow, 2);
    const MacroEvent* playing = GetEvents(nullptr);
    ASSERT_EQ(1, StartPlayback(playing, 2));
    // A watcher closes any dialog that shows up, so a wrong answer fails instead of hanging.
    std::atomic<bool> done{false}, sawDialog{false};
    std::thread watcher([&] {
        while (!done) {
            if (AnyOwnDialog()) {
                sawDialog = true;
                HWND dialog = FindWindowA("#32770", nullptr);
                if (dialog) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            }
            Sleep(50);
        }
    });
    SendMessageA(window, WM_CHAR, 'o', 0);
    Sleep(300);
    done = true;
    watcher.join();
    EXPECT_FALSE(sawDialog);
    EXPECT_EQ(playing, GetEvents(nullptr));
    EXPECT_EQ(1, StopPlayback());
}

TEST_F(ShellMainWindowTest, HandOverTheButtonsArrowElsewhere) {
    HWND button = GetToolbarButton(2);
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(1, SendMessageA(window, WM_SETCURSOR, (WPARAM)button, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(LoadCursorA(nullptr, IDC_HAND), GetCursor());
    EXPECT_EQ(1, SendMessageA(window, WM_SETCURSOR, (WPARAM)window, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), GetCursor());
}

TEST_F(ShellMainWindowTest, ADpiChangeScalesTheLayoutOntoTheSuggestedPlaceAndLasts) {
    // A suggestion a few pixels off, as rounding can make one: the client area decides.
    RECT suggested = {120, 90, 120 + 540, 90 + 160};
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(192, 192), (LPARAM)&suggested);
    RECT client, outer, button;
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    EXPECT_EQ(530, client.right);
    EXPECT_EQ(110, client.bottom);
    EXPECT_EQ(120, outer.left);
    EXPECT_EQ(90, outer.top);
    GetWindowRect(GetToolbarButton(5), &button);
    MapWindowPoints(nullptr, window, (POINT*)&button, 2);
    EXPECT_EQ(434, button.left);
    EXPECT_EQ(80, button.right - button.left);
    // Show Captions switched off afterwards keeps the new scale.
    ApplyClientHeight(window, kClientHeightWithoutCaptions);
    GetClientRect(window, &client);
    EXPECT_EQ(530, client.right);
    EXPECT_EQ(72, client.bottom);
}

TEST_F(ShellMainWindowTest, MinimisingHidesTheWindowInsteadOfIconising) {
    ShowWindow(window, SW_SHOWNOACTIVATE);
    EXPECT_EQ(0, SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
}

TEST_F(ShellMainWindowTest, MinimisingWithoutATrayIconLeavesTheWindowReachable) {
    // The shell refuses a second icon with the same window and id: occupy it first.
    NOTIFYICONDATAA taken = {};
    taken.cbSize = NOTIFYICONDATAA_V1_SIZE;
    taken.hWnd = window;
    taken.uID = 1;
    if (!Shell_NotifyIconA(NIM_ADD, &taken)) GTEST_SKIP() << "no notification area to refuse an icon";
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(IsIconic(window));
    Shell_NotifyIconA(NIM_DELETE, &taken);
}

TEST_F(ShellMainWindowTest, ADialogEndingOverAPromptLeavesThisWindowDisabledAndThePromptActive) {
    int stage = 0;
    bool disabled = false, promptActive = false, editFocused = false;
    prefs_test::WhileModal([&]() {
        HWND prompt = FindWindowA("QuorrelInputDialog", nullptr);
        HWND box = FindWindowA(MAKEINTATOM(32770), "Keyboard Shortcuts");
        if (stage == 0 && prompt && IsWindowVisible(prompt)) {
            PostMessageA(window, WM_HOTKEY, HOTKEY_SHORTCUTS, 0);  // F1: a dialog owned by this window
            stage = 1;
        } else if (stage == 1 && box && IsWindowVisible(box)) {
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            stage = 2;
        } else if (stage == 2 && !box) {
            disabled = !IsWindowEnabled(window);
            promptActive = GetActiveWindow() == prompt;
            editFocused = GetFocus() == GetDlgItem(prompt, 1001);
            PostMessageA(prompt, WM_CLOSE, 0, 0);
            return true;
        }
        return false;
    });
    free(PromptForText(window, "Loops", "Count:", "1"));
    EXPECT_TRUE(disabled);
    EXPECT_TRUE(promptActive);
    EXPECT_TRUE(editFocused);
    EXPECT_TRUE(IsWindowEnabled(window)) << "enabled once the prompt is gone";
}

BOOL CALLBACK AddModalWindow(HWND w, LPARAM found) {
    char cls[32] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (IsWindowVisible(w) && (!lstrcmpA(cls, "#32770") || !lstrcmpA(cls, "QuorrelAboutDlg")))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(w);
    return TRUE;
}

// The program's visible modal windows, in no particular order.
std::vector<HWND> ModalWindows() {
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), AddModalWindow, (LPARAM)&found);
    return found;
}

// Open and close sequences, with real keys for Esc and O: after every step the
// main window is enabled exactly when no modal window is left, and the newest
// one left is in front. "closeN" posts WM_CLOSE to the Nth oldest, which takes
// the newer ones with it.
TEST_F(ShellMainWindowTest, ModalWindowsFormOneStackWhateverOpensThem) {
    const char* const sequences[] = {
        "f1 f1 esc esc",                     // F1 twice, then Esc
        "hide f1 about close0",              // About from the tray over a dialog of the hidden window
        "f1 box about esc esc esc",          // a dialog and a box left under About
        "about tray o esc",                  // the tray's double click while About is open
        "f1 about f1 close1 esc", "box about close0",
    };
    for (const char* sequence : sequences) {
        SCOPED_TRACE(sequence);
        ShowWindow(window, SW_SHOW);
        std::istringstream steps(sequence);
        std::vector<HWND> stack;  // what is open, oldest first
        size_t expected = 0;
        std::string step, failure;
        int quiet = 0;
        bool finishing = false;
        DWORD start = GetTickCount();
        prefs_test::WhileModal([&]() {
            std::vector<HWND> now = ModalWindows();
            if (finishing || GetTickCount() - start > 15000) {  // what is left must close, or no loop returns
                if (!finishing) failure += " stuck after " + step;
                finishing = true;
                for (HWND w : now) PostMessageA(w, WM_CLOSE, 0, 0);
                return now.empty();
            }
            stack.erase(std::remove_if(stack.begin(), stack.end(), [&](HWND w) {
                return std::find(now.begin(), now.end(), w) == now.end(); }), stack.end());
            for (HWND w : now)
                if (std::find(stack.begin(), stack.end(), w) == stack.end()) stack.push_back(w);
            if (now.size() != expected || ++quiet < 5) return false;  // settling
            quiet = 0;
            if (IsWindowEnabled(window) != stack.empty()) failure += " enabled after " + step;
            if (!stack.empty() && GetForegroundWindow() != stack.back()) failure += " foreground after " + step;
            if (!(steps >> step)) {
                finishing = true;
                return now.empty();
            }
            expected += step == "f1" || step == "about" || step == "box";
            if (step == "f1") PostMessageA(window, WM_HOTKEY, HOTKEY_SHORTCUTS, 0);
            else if (step == "about") PostMessageA(window, WM_COMMAND, IDM_ABOUT, 0);
            else if (step == "box") PostMessageA(window, WM_COMMAND, CMD_SAVE, 0);  // "No events to save!"
            // Hidden as minimising hides it, but without a tray icon: under Wine the
            // icon's window, in another process, can take the X focus, and with it
            // the foreground, from whatever this program shows.
            else if (step == "hide") ShowWindow(window, SW_HIDE);
            else if (step == "tray") PostMessageA(window, WM_TRAYICON, 0, WM_LBUTTONDBLCLK);
            else if (step == "o") prefs_test::TypeKey('O');
            else if (step == "esc") prefs_test::TypeKey(VK_ESCAPE), --expected;
            else PostMessageA(stack[expected = step[5] - '0'], WM_CLOSE, 0, 0);
            return false;
        });
        for (MSG m; prefs_test::ScriptTimer() && GetMessageA(&m, nullptr, 0, 0) > 0;) DispatchMessageA(&m);
        EXPECT_EQ("", failure);
        EXPECT_TRUE(ModalWindows().empty() && IsWindowEnabled(window));
    }
}

}  // namespace
