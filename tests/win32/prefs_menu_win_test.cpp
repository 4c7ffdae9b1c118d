// The preferences popup as the system holds it: built from the settings, read
// back item by item with GetMenuItemInfoA.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings.h"
#include "ui/prefs_menu_win.h"

namespace {

struct ReadItem {
    UINT type;
    UINT state;
    UINT id;
    HMENU submenu;
    std::string text;
};

std::vector<ReadItem> ReadMenu(HMENU menu) {
    std::vector<ReadItem> items;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[128] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        EXPECT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &info)) << i;
        items.push_back({info.fType, info.fState, info.wID, info.hSubMenu, text});
    }
    return items;
}

bool IsChecked(const ReadItem& item) { return (item.state & MFS_CHECKED) != 0; }
bool IsGreyed(const ReadItem& item) { return (item.state & MFS_GRAYED) != 0; }
bool IsSeparator(const ReadItem& item) { return (item.type & MFT_SEPARATOR) != 0; }

class PrefsMenuWin : public ::testing::Test {
protected:
    void SetUp() override { ResetSettingsToDefaults(); }
    void TearDown() override {
        if (menu) DestroyMenu(menu);
        ResetSettingsToDefaults();
    }
    HMENU menu = nullptr;
};

TEST_F(PrefsMenuWin, DefaultMenuReadsBackWithItsLabelsIdsTicksAndSubmenus) {
    menu = BuildPreferencesMenu();
    ASSERT_NE(nullptr, menu);
    std::vector<ReadItem> items = ReadMenu(menu);
    ASSERT_EQ(20u, items.size());

    const struct {
        const char* text;
        UINT id;
        bool checked;
    } texts[] = {
        {"Play Speed:  1/2x", 2001, false},      {"Play Speed:  1x", 2002, true},
        {"Play Speed:  2x", 2003, false},        {"Play Speed:  100x", 2004, false},
        {"Play Custom Speed:  8x", 2005, false}, {"Set Custom Speed...", 2006, false},
        {nullptr, 0, false},                     {"&Continuous Playback", 2007, false},
        {"Set Playback Loops...  (1)", 2008, false}, {nullptr, 0, false},
        {"Recording Hotkey", 0, false},          {"Playback Hotkey", 0, false},
        {nullptr, 0, false},                     {"&Always on Top", 2009, false},
        {"Show Captions", 2010, true},           {"Use Custom Toolbar...", 2011, false},
        {"Use Default Toolbar", 2012, true},     {nullptr, 0, false},
        {"Quorrel Website", 2013, false},        {"About Quorrel 1.8", 2014, false},
    };
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        if (!texts[i].text) {
            EXPECT_TRUE(IsSeparator(items[i]));
            continue;
        }
        EXPECT_FALSE(IsSeparator(items[i]));
        EXPECT_EQ(texts[i].text, items[i].text);
        EXPECT_EQ(texts[i].checked, IsChecked(items[i]));
        EXPECT_FALSE(IsGreyed(items[i]));
        if (i == 10 || i == 11) {
            EXPECT_NE(nullptr, items[i].submenu);
        } else {
            EXPECT_EQ(texts[i].id, items[i].id);
            EXPECT_EQ(nullptr, items[i].submenu);
        }
    }

    std::vector<ReadItem> recording = ReadMenu(items[10].submenu);
    ASSERT_EQ(4u, recording.size());
    EXPECT_EQ("Start/stop recording:", recording[0].text);
    EXPECT_EQ(2015u, recording[0].id);
    EXPECT_TRUE(IsGreyed(recording[0]));
    EXPECT_TRUE(IsSeparator(recording[1]));
    EXPECT_EQ("F8", recording[2].text);
    EXPECT_EQ(2101u, recording[2].id);
    EXPECT_FALSE(IsChecked(recording[2]));
    EXPECT_EQ("Ctrl+Shift+Alt+R", recording[3].text);
    EXPECT_EQ(2104u, recording[3].id);
    EXPECT_TRUE(IsChecked(recording[3]));

    std::vector<ReadItem> playback = ReadMenu(items[11].submenu);
    ASSERT_EQ(4u, playback.size());
    EXPECT_EQ("Control + Shift + Alt + P", playback[0].text);
    EXPECT_EQ(2204u, playback[0].id);
    EXPECT_TRUE(IsChecked(playback[0]));
    EXPECT_EQ("F8", playback[1].text);
    EXPECT_EQ(2201u, playback[1].id);
    EXPECT_FALSE(IsChecked(playback[1]));
    EXPECT_TRUE(IsSeparator(playback[2]));
    EXPECT_EQ("Hint: Press ESC to stop playback", playback[3].text);
    EXPECT_EQ(2016u, playback[3].id);
    EXPECT_TRUE(IsGreyed(playback[3]));
}

TEST_F(PrefsMenuWin, ChangedSettingsShowInTheBuiltMenu) {
    PlaybackSpeed = 3.5f;
    CustomSpeed = 3.5f;
    RepeatMode = 2;
    RepeatCount = -1;
    AlwaysOnTop = 1;
    ShowCaptions = 0;
    UseComplexRecord = 0;
    RecordingHotkey = 0x77;
    UseComplexPlayback = 0;
    PlaybackHotkey = 0x77;
    menu = BuildPreferencesMenu();
    ASSERT_NE(nullptr, menu);
    std::vector<ReadItem> items = ReadMenu(menu);
    ASSERT_EQ(20u, items.size());
    EXPECT_FALSE(IsChecked(items[1]));
    EXPECT_EQ("Play Custom Speed:  3.5x", items[4].text);
    EXPECT_TRUE(IsChecked(items[4]));
    EXPECT_TRUE(IsChecked(items[7]));
    EXPECT_EQ("Set Playback Loops...  (l)", items[8].text);
    EXPECT_TRUE(IsChecked(items[13]));
    EXPECT_FALSE(IsChecked(items[14]));
    std::vector<ReadItem> recording = ReadMenu(items[10].submenu);
    EXPECT_TRUE(IsChecked(recording[2]));
    EXPECT_FALSE(IsChecked(recording[3]));
    std::vector<ReadItem> playback = ReadMenu(items[11].submenu);
    EXPECT_FALSE(IsChecked(playback[0]));
    EXPECT_TRUE(IsChecked(playback[1]));
}

HWND menuOwner;

// Once the menu is up, go down two items (the first is 1/2x) and choose.
void CALLBACK ChooseSecondItem(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostMessageA(menuOwner, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menuOwner, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menuOwner, WM_KEYDOWN, VK_RETURN, 0);
}

// Never lets a menu that ignores the keys hang the test run.
void CALLBACK EndMenuGuard(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
}

TEST_F(PrefsMenuWin, ShowingTheMenuPostsTheChosenCommandAfterReturning) {
    menuOwner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 50, 50, 100, 40, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, menuOwner);
    SetTimer(nullptr, 0, 200, ChooseSecondItem);
    UINT_PTR guard = SetTimer(nullptr, 0, 3000, EndMenuGuard);
    ShowPreferencesMenu(menuOwner, 60, 60);
    KillTimer(nullptr, guard);
    MSG msg;
    int command = 0;
    bool sawNull = false;
    while (PeekMessageA(&msg, menuOwner, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_COMMAND) {
            command = LOWORD(msg.wParam);
            EXPECT_EQ(0, HIWORD(msg.wParam));
        }
        if (msg.message == WM_NULL) sawNull = true;
    }
    EXPECT_TRUE(sawNull);
    EXPECT_EQ(IDM_SPEED_1X, command);
    DestroyWindow(menuOwner);
}

}  // namespace
