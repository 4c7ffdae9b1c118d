// The preferences commands against a stand-in main window, and the tray
// notifications: settings, window state, prompts and their warning boxes.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "app/app_win.h"
#include "app/prefs_commands_win.h"
#include "settings/settings.h"
#include "ui/prefs_menu_win.h"
#include "ui/tray_win.h"
#include "prefs_ui_script.h"

using namespace prefs_test;

namespace {

HWND FindPrompt() { return FindWindowA("QuorrelInputDialog", nullptr); }
HWND FindBox(const char* caption) { return FindWindowA(MAKEINTATOM(32770), caption); }

class PrefsCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettingsToDefaults();
        window = MakeOwner("Quorrel", 300, 100, true);
        ASSERT_NE(nullptr, window);
        RECT rect = {0, 0, kClientWidth, kClientHeightWithCaptions};
        AdjustWindowRect(&rect, (DWORD)GetWindowLongA(window, GWL_STYLE), FALSE);
        SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOMOVE | SWP_NOZORDER);
    }
    void TearDown() override {
        StopScript();
        RemoveTrayIcon(window);
        DestroyWindow(window);
        DrainQueue();
        ResetSettingsToDefaults();
    }
    // Answers the next prompt with `text` and, if a warning box follows, records
    // its caption and text and closes it.
    void AnswerPrompt(const char* text, std::string* promptTitle, std::string* initial,
                      std::string* boxCaption, std::string* boxText) {
        std::string answer = text;
        WhileModal([=]() {
            HWND prompt = FindPrompt();
            if (prompt && IsWindowVisible(prompt)) {
                if (promptTitle) *promptTitle = TextOf(prompt);
                if (initial) *initial = TextOf(GetDlgItem(prompt, 1001));
                SetWindowTextA(GetDlgItem(prompt, 1001), answer.c_str());
                PostMessageA(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
                return false;  // keep watching for a warning box
            }
            for (const char* caption : {"Invalid Input", "Invalid Speed"}) {
                HWND box = FindBox(caption);
                if (!box) continue;
                *boxCaption = caption;
                *boxText = TextOf(GetDlgItem(box, 0xFFFF));
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return true;
            }
            return false;
        });
    }
    SIZE Client() {
        RECT rect;
        GetClientRect(window, &rect);
        return {rect.right, rect.bottom};
    }
    HWND window = nullptr;
};

TEST_F(PrefsCommands, SpeedContinuousAndUnknownIds) {
    HandlePreferencesCommand(window, IDM_SPEED_2X);
    EXPECT_EQ(2.0f, PlaybackSpeed.load());
    HandlePreferencesCommand(window, IDM_SPEED_HALF);
    EXPECT_EQ(0.5f, PlaybackSpeed.load());
    CustomSpeed = 3.5f;
    HandlePreferencesCommand(window, IDM_SPEED_CUSTOM);
    EXPECT_EQ(3.5f, PlaybackSpeed.load());
    HandlePreferencesCommand(window, IDM_CONTINUOUS);
    EXPECT_EQ(2, RepeatMode.load());
    EXPECT_EQ(-1, RepeatCount.load());
    HandlePreferencesCommand(window, IDM_CONTINUOUS);
    EXPECT_EQ(0, RepeatMode.load());
    EXPECT_EQ(1, RepeatCount.load());
    for (int id : {2000, (int)IDM_REC_HOTKEY_TITLE, (int)IDM_PLAY_HOTKEY_HINT, 2999}) {
        HandlePreferencesCommand(window, id);
    }
    EXPECT_EQ(3.5f, PlaybackSpeed.load());
    EXPECT_EQ(0, RepeatMode.load());
}

TEST_F(PrefsCommands, AlwaysOnTopAndShowCaptionsApplyToTheWindowWhereItStands) {
    HandlePreferencesCommand(window, IDM_ALWAYS_ON_TOP);
    EXPECT_EQ(1, AlwaysOnTop);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    HandlePreferencesCommand(window, IDM_ALWAYS_ON_TOP);
    EXPECT_EQ(0, AlwaysOnTop);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    RECT before;
    GetWindowRect(window, &before);
    ShowWindow(window, SW_HIDE);  // as when it sits in the tray
    HandlePreferencesCommand(window, IDM_SHOW_CAPTIONS);
    EXPECT_EQ(0, ShowCaptions);
    EXPECT_EQ(265, Client().cx);
    EXPECT_EQ(36, Client().cy);
    EXPECT_FALSE(IsWindowVisible(window));
    RECT after;
    GetWindowRect(window, &after);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    HandlePreferencesCommand(window, IDM_SHOW_CAPTIONS);
    EXPECT_EQ(1, ShowCaptions);
    EXPECT_EQ(55, Client().cy);
}

TEST_F(PrefsCommands, CustomSpeedDialogue) {
    const struct {
        const char* text;
        const char* caption;
        const char* message;
        float custom;
    } cases[] = {
        {"3.5", "", "", 3.5f},
        {"abc", "Invalid Input", "Invalid number format.\nPlease enter a valid speed (e.g., 3.5)", 8.0f},
        {"3.5 ", "Invalid Input", "Invalid number format.\nPlease enter a valid speed (e.g., 3.5)", 8.0f},
        {"0", "Invalid Input", "Invalid number format.\nPlease enter a valid speed (e.g., 3.5)", 8.0f},
        {"0.05", "Invalid Speed", "Speed must be between 0.1 and 1000", 8.0f},
        {"2000", "Invalid Speed", "Speed must be between 0.1 and 1000", 8.0f},
        {" 7", "", "", 7.0f},
        {"0.3", "", "", 0.3f},
        {"0.1", "", "", 0.1f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ResetSettingsToDefaults();
        std::string title, initial, caption, message;
        AnswerPrompt(c.text, &title, &initial, &caption, &message);
        HandlePreferencesCommand(window, IDM_SET_CUSTOM_SPEED);
        StopScript();
        EXPECT_EQ("Set Custom Speed", title);
        EXPECT_EQ("8", initial);
        EXPECT_EQ(c.caption, caption);
        EXPECT_EQ(c.message, message);
        EXPECT_EQ(c.custom, CustomSpeed.load());
        EXPECT_EQ(c.caption[0] ? 1.0f : c.custom, PlaybackSpeed.load());
    }
}

TEST_F(PrefsCommands, LoopsDialogue) {
    const struct {
        const char* text;
        int mode, count;
    } cases[] = {{"3", 1, 3}, {"9999", 1, 9999}, {"0", 2, -1}, {"10000", 2, -1}, {"5x", 2, -1}, {"", 2, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RepeatMode = 2;
        RepeatCount = -1;
        std::string title, initial, caption, message;
        AnswerPrompt(c.text, &title, &initial, &caption, &message);
        HandlePreferencesCommand(window, IDM_SET_LOOPS);
        StopScript();
        EXPECT_EQ("Set Playback Loops", title);
        EXPECT_EQ("1", initial);
        EXPECT_EQ("", caption) << "no message for a bad count";
        EXPECT_EQ(c.mode, RepeatMode.load());
        EXPECT_EQ(c.count, RepeatCount.load());
    }
}

TEST_F(PrefsCommands, TrayDoubleClickRestoresTheWindowAndOtherClicksDoNothing) {
    ShowWindow(window, SW_HIDE);
    AddTrayIcon(window);
    HandleTrayNotification(window, WM_LBUTTONDOWN);
    HandleTrayNotification(window, WM_LBUTTONUP);
    HandleTrayNotification(window, WM_MOUSEMOVE);
    EXPECT_FALSE(IsWindowVisible(window));
    HandleTrayNotification(window, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(PrefsCommands, TaskbarCreatedIsRecognisedOnlyForTheShellsMessage) {
    UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    ASSERT_NE(0u, taskbarCreated);
    EXPECT_EQ(0, HandleTaskbarCreated(window, WM_PAINT));
    EXPECT_EQ(0, HandleTaskbarCreated(window, RegisterWindowMessageA("SomethingElse")));
    EXPECT_EQ(1, HandleTaskbarCreated(window, taskbarCreated));
    ShowWindow(window, SW_HIDE);
    AddTrayIcon(window);
    EXPECT_EQ(1, HandleTaskbarCreated(window, taskbarCreated));
    RemoveTrayIcon(window);
}

}  // namespace
