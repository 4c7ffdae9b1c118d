// The settings file through the real profile-file functions: the text a save
// writes, what garbage loads as, the window position restore and pull-back.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "settings/settings.h"
#include "settings/settings_file_win.h"
#include "ui/toolbar_win.h"
#include "settings/settings_values.h"

namespace {

std::string ReadWholeFile(const char* path) {
    std::string text;
    FILE* f = fopen(path, "rb");
    if (!f) return text;
    char chunk[512];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
    fclose(f);
    return text;
}

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

// One window for the suite (Wine is slow to create and destroy windows without
// a window manager); each test starts from no settings file.
class SettingsFileWin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "SettingsTestWindow";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "Quorrel",
                                 WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 123, 45, 281,
                                 94, nullptr, nullptr, wc.hInstance, nullptr);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        Pump();
    }
    static void TearDownTestSuite() { DestroyWindow(window); }
    void SetUp() override {
        ASSERT_NE(nullptr, window);
        ASSERT_EQ(1, GetSettingsPath(path));
        DeleteFileA(path);
        ShowWindow(window, SW_RESTORE);
        SetWindowPos(window, HWND_NOTOPMOST, 123, 45, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        Pump();
        ResetSettingsToDefaults();
    }
    void TearDown() override {
        DeleteFileA(path);
        ResetSettingsToDefaults();
    }
    void Put(const char* key, const char* value, const char* section = "Settings") {
        ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, path));
    }
    RECT Outer() const {
        RECT r;
        GetWindowRect(window, &r);
        return r;
    }
    static HWND window;
    char path[MAX_PATH];
};
HWND SettingsFileWin::window;

TEST_F(SettingsFileWin, PathIsNextToTheExecutable) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string expected(exe);
    expected = expected.substr(0, expected.rfind('\\')) + "\\Quorrel.ini";
    EXPECT_EQ(expected, path);
}

TEST_F(SettingsFileWin, FirstSaveWritesTheWholeFileInOrder) {
    LoadSettings(nullptr);  // no file: the initial values, and saving is allowed from now on
    EXPECT_FLOAT_EQ(1.0f, PlaybackSpeed.load());
    EXPECT_NE(0, SaveSettings(window));
    EXPECT_EQ(
        "[Settings]\r\n"
        "PlaybackSpeed=1.00\r\n"
        "CustomSpeed=8.00\r\n"
        "RepeatMode=0\r\n"
        "RepeatCount=1\r\n"
        "AlwaysOnTop=0\r\n"
        "ShowCaptions=1\r\n"
        "RecordingHotkey=82\r\n"
        "RecordingModifiers=0\r\n"
        "UseComplexRecord=1\r\n"
        "PlaybackHotkey=80\r\n"
        "PlaybackModifiers=0\r\n"
        "UseComplexPlayback=1\r\n"
        "StopHotkey=27\r\n"
        "StopHotkeyEnabled=1\r\n"
        "WindowX=123\r\n"
        "WindowY=45\r\n"
        "[Toolbar]\r\n"
        "CustomPath=\r\n"
        "UseCustom=0\r\n",
        ReadWholeFile(path));
}

TEST_F(SettingsFileWin, GarbageLoadsAsTheReaderSays) {
    Put("PlaybackSpeed", "2.5");
    Put("CustomSpeed", "abc");
    Put("RepeatCount", "-3");
    Put("RepeatMode", "abc");
    Put("StopHotkey", "119");
    LoadSettings(nullptr);
    EXPECT_FLOAT_EQ(2.5f, PlaybackSpeed.load());
    EXPECT_FLOAT_EQ(0.0f, CustomSpeed.load());
    EXPECT_EQ(-3, RepeatCount.load());
    EXPECT_EQ(0, RepeatMode.load());
    EXPECT_EQ(119, StopHotkey.load());
    EXPECT_EQ(1, ShowCaptions);  // missing key: its initial value
    SaveSettings(nullptr);
    char text[64];
    GetPrivateProfileStringA("Settings", "PlaybackSpeed", "", text, sizeof text, path);
    EXPECT_STREQ("2.50", text);
}

TEST_F(SettingsFileWin, IntegerTextsReadLikeThePlatformReader) {
    const char* texts[] = {"abc", "-3", "12abc", "  42", "+5", "-", "0", "1.9", "007"};
    for (const char* text : texts) {
        Put("Probe", text);
        EXPECT_EQ((int)GetPrivateProfileIntA("Settings", "Probe", 77, path),
                  ReadIntSetting("Settings", "Probe", 77))
            << text;
    }
    EXPECT_EQ(77, ReadIntSetting("Settings", "Missing", 77));
    EXPECT_FLOAT_EQ(4.25f, ReadFloatSetting("Settings", "MissingFloat", 4.25f));
}

TEST_F(SettingsFileWin, ChangesAreInForceAfterARestart) {
    LoadSettings(nullptr);
    PlaybackSpeed = 0.5f;
    RepeatMode = 1;
    RepeatCount = 7;
    ShowCaptions = 0;
    UseComplexRecord = 0;
    RecordingHotkey = 119;
    SaveSettings(window);
    ResetSettingsToDefaults();
    LoadSettings(nullptr);
    EXPECT_FLOAT_EQ(0.5f, PlaybackSpeed.load());
    EXPECT_EQ(1, RepeatMode.load());
    EXPECT_EQ(7, RepeatCount.load());
    EXPECT_EQ(0, ShowCaptions);
    EXPECT_EQ(0, UseComplexRecord.load());
    EXPECT_EQ(119, RecordingHotkey.load());
}

TEST_F(SettingsFileWin, PositionOnAMonitorIsRestoredExactly) {
    Put("WindowX", "300");
    Put("WindowY", "200");
    LoadSettings(window);
    EXPECT_EQ(300, Outer().left);
    EXPECT_EQ(200, Outer().top);
}

TEST_F(SettingsFileWin, PositionOnAMonitorThatIsGoneIsPulledBack) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT before = Outer();
    int w = before.right - before.left, h = before.bottom - before.top;
    Put("WindowX", "5000");
    Put("WindowY", "4000");
    LoadSettings(window);
    EXPECT_EQ(work.right - w, Outer().left);
    EXPECT_EQ(work.bottom - h, Outer().top);
}

// Monitors left of and above the primary one are negative: only -1 in both
// keys means "never saved" (the two-monitor journey restores the others).
TEST_F(SettingsFileWin, NoSavedPositionLeavesTheWindowAlone) {
    Put("WindowX", "-1");
    Put("WindowY", "-1");
    LoadSettings(window);
    EXPECT_EQ(123, Outer().left);
    EXPECT_EQ(45, Outer().top);
}

TEST_F(SettingsFileWin, MinimisedSaveKeepsTheStoredPosition) {
    LoadSettings(nullptr);
    Put("WindowX", "77");
    Put("WindowY", "66");
    ShowWindow(window, SW_MINIMIZE);
    Pump();
    ASSERT_TRUE(IsIconic(window));
    SaveSettings(window);
    EXPECT_EQ(77, ReadIntSetting("Settings", "WindowX", -1));
    EXPECT_EQ(66, ReadIntSetting("Settings", "WindowY", -1));
}

TEST_F(SettingsFileWin, AlwaysOnTopIsApplied) {
    Put("AlwaysOnTop", "1");
    LoadSettings(window);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(SettingsFileWin, MissingCustomIconsResetTheToolbarKeys) {
    Put("UseCustom", "1", "Toolbar");
    Put("CustomPath", "C:\\no such icon folder", "Toolbar");
    LoadSettings(nullptr, LoadCustomToolbarIcons);
    EXPECT_EQ(0, UseCustom);
    EXPECT_STREQ("", CustomPath);
    SaveSettings(nullptr);
    EXPECT_EQ(0, ReadIntSetting("Toolbar", "UseCustom", -1));
    char text[64] = "x";
    GetPrivateProfileStringA("Toolbar", "CustomPath", "missing", text, sizeof text, path);
    EXPECT_STREQ("", text);
}

}  // namespace
