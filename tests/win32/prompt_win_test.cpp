// The input prompt driven through its own modal loop: keys, buttons, the close
// box, the 255-character cut, its place over the owner, the quit hand-back and
// the messages it leaves in the queue.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "dialogs/prompt_win.h"
#include "prefs_ui_script.h"

using namespace prefs_test;

namespace {

HWND FindPrompt() { return FindWindowA("QuorrelInputDialog", nullptr); }
HWND EditOf(HWND prompt) { return GetDlgItem(prompt, 1001); }

class PrefsPrompt : public ::testing::Test {
protected:
    void SetUp() override {
        owner = MakeOwner("owner", 281, 120, true);
        ASSERT_NE(nullptr, owner);
    }
    void TearDown() override {
        StopScript();
        DestroyWindow(owner);
        DrainQueue();
    }
    // Runs the prompt with `act` applied to it once it is up; returns its result.
    std::string Run(const char* initial, std::function<void(HWND prompt)> act, bool* gotNull) {
        WhileModal([act]() {
            HWND prompt = FindPrompt();
            if (!prompt || !IsWindowVisible(prompt)) return false;
            act(prompt);
            return true;
        });
        char* text = PromptForText(owner, "Title", "Question:", initial);
        *gotNull = text == nullptr;
        std::string result = text ? text : "";
        free(text);
        return result;
    }
    HWND owner = nullptr;
};

TEST_F(PrefsPrompt, EnterAtOnceReturnsTheInitialTextWhichIsSelectedAndFocused) {
    bool selectedAll = false, focused = false, ownerDisabled = false, topmost = false;
    std::string title, label;
    bool gotNull = true;
    std::string text = Run("42", [&](HWND prompt) {
        DWORD start = 0, end = 0;
        SendMessageA(EditOf(prompt), EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
        selectedAll = start == 0 && end == 2;
        focused = GetFocus() == EditOf(prompt);
        ownerDisabled = !IsWindowEnabled(owner);
        topmost = (GetWindowLongA(prompt, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        title = TextOf(prompt);
        PostMessageA(EditOf(prompt), WM_KEYDOWN, VK_RETURN, 0);
    }, &gotNull);
    EXPECT_FALSE(gotNull);
    EXPECT_EQ("42", text);
    EXPECT_TRUE(selectedAll);
    EXPECT_TRUE(focused);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(topmost);
    EXPECT_EQ("Title", title);
    EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner is enabled again";
    EXPECT_EQ(nullptr, FindPrompt()) << "the prompt window is gone";
}

TEST_F(PrefsPrompt, EveryWayOfCancellingReturnsNull) {
    const struct {
        const char* how;
        void (*act)(HWND prompt);
    } ways[] = {
        {"Esc", [](HWND p) { PostMessageA(EditOf(p), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"Cancel button", [](HWND p) { PostMessageA(GetDlgItem(p, IDCANCEL), BM_CLICK, 0, 0); }},
        {"Enter on Cancel", [](HWND p) {
             SetFocus(GetDlgItem(p, IDCANCEL));
             PostMessageA(GetDlgItem(p, IDCANCEL), WM_KEYDOWN, VK_RETURN, 0);
         }},
        {"close box", [](HWND p) { PostMessageA(p, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"WM_CLOSE", [](HWND p) { PostMessageA(p, WM_CLOSE, 0, 0); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        bool gotNull = false;
        auto act = way.act;
        Run("typed", [act](HWND p) {
            SetWindowTextA(EditOf(p), "changed");
            act(p);
        }, &gotNull);
        EXPECT_TRUE(gotNull);
        EXPECT_TRUE(IsWindowEnabled(owner));
        EXPECT_EQ(nullptr, FindPrompt());
    }
}

TEST_F(PrefsPrompt, OkReturnsTheEditedTextCutTo255AndAnEmptyTextIsNotNull) {
    std::string longText(300, 'x');
    longText[254] = 'y';
    longText[255] = 'z';
    const struct {
        std::string typed;
        std::string expected;
    } cases[] = {
        {longText, longText.substr(0, 255)},
        {"", ""},
        {" 7", " 7"},
    };
    for (const auto& c : cases) {
        bool gotNull = true;
        std::string typed = c.typed;
        std::string text = Run("1", [typed](HWND p) {
            SetWindowTextA(EditOf(p), typed.c_str());
            PostMessageA(GetDlgItem(p, IDOK), BM_CLICK, 0, 0);
        }, &gotNull);
        EXPECT_FALSE(gotNull) << typed.size();
        EXPECT_EQ(c.expected, text);
    }
}

TEST_F(PrefsPrompt, LongInitialTextIsShownCut) {
    std::string initial(400, 'a');
    std::string shown;
    bool gotNull = false;
    Run(initial.c_str(), [&](HWND p) {
        shown = TextOf(EditOf(p));
        PostMessageA(p, WM_CLOSE, 0, 0);
    }, &gotNull);
    EXPECT_EQ(std::string(255, 'a'), shown);
}

TEST_F(PrefsPrompt, ControlsAndPlaceOverAHiddenOwner) {
    ShowWindow(owner, SW_HIDE);
    RECT ownerRect;
    GetWindowRect(owner, &ownerRect);
    RECT promptRect = {};
    std::string okText, cancelText, label;
    LONG okStyle = 0;
    bool gotNull = false;
    Run("5", [&](HWND p) {
        GetWindowRect(p, &promptRect);
        okText = TextOf(GetDlgItem(p, IDOK));
        cancelText = TextOf(GetDlgItem(p, IDCANCEL));
        okStyle = GetWindowLongA(GetDlgItem(p, IDOK), GWL_STYLE);
        for (HWND c = GetWindow(p, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (TextOf(c) == "Question:") label = "found";
        }
        PostMessageA(p, WM_CLOSE, 0, 0);
    }, &gotNull);
    EXPECT_EQ(ownerRect.left - 9, promptRect.left);  // (281 - 300) / 2 truncates to -9
    EXPECT_EQ(ownerRect.top + (120 - 195) / 2, promptRect.top);
    EXPECT_EQ(300, promptRect.right - promptRect.left);
    EXPECT_EQ(195, promptRect.bottom - promptRect.top);
    EXPECT_EQ("OK", okText);
    EXPECT_EQ("Cancel", cancelText);
    EXPECT_EQ(BS_OWNERDRAW, okStyle & BS_TYPEMASK);
    EXPECT_EQ("found", label);
    EXPECT_FALSE(IsWindowVisible(owner)) << "the owner stays hidden";
}

TEST_F(PrefsPrompt, AQuitRequestEndsThePromptAndStillReachesTheMainLoop) {
    bool gotNull = false;
    Run("9", [](HWND) { PostQuitMessage(7); }, &gotNull);
    EXPECT_TRUE(gotNull);
    EXPECT_EQ(nullptr, FindPrompt());
    EXPECT_TRUE(IsWindowEnabled(owner));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

TEST_F(PrefsPrompt, AMessagePostedAsThePromptClosesStaysForTheLoopOutside) {
    const UINT kLate = WM_APP + 17;
    bool gotNull = false;
    Run("1", [this, kLate](HWND p) {
        PostMessageA(p, WM_CLOSE, 0, 0);
        PostMessageA(owner, kLate, 0, 5);
    }, &gotNull);
    EXPECT_TRUE(gotNull);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, owner, kLate, kLate, PM_REMOVE)) << "the prompt's loop took it";
    EXPECT_EQ(5, msg.lParam);
}

TEST_F(PrefsPrompt, ComingBackFromAnotherWindowGivesTheEditFieldItsFocusBack) {
    HWND other = MakeOwner("other", 200, 100, true);
    bool editFocused = false;
    bool gotNull = false;
    Run("3", [&](HWND p) {
        SetActiveWindow(other);
        SetActiveWindow(p);
        editFocused = GetFocus() == EditOf(p);
        PostMessageA(p, WM_CLOSE, 0, 0);
    }, &gotNull);
    DestroyWindow(other);
    EXPECT_TRUE(editFocused);
}

TEST_F(PrefsPrompt, WithoutAnOwnerItIsCentredOnTheScreen) {
    RECT rect = {};
    WhileModal([&rect]() {
        HWND p = FindPrompt();
        if (!p) return false;
        GetWindowRect(p, &rect);
        PostMessageA(p, WM_CLOSE, 0, 0);
        return true;
    });
    char* text = PromptForText(nullptr, "T", "P", "x");
    EXPECT_EQ(nullptr, text);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 300) / 2, rect.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 195) / 2, rect.top);
}

}  // namespace

namespace {

// What the prompt's button painter takes from a DC it is handed, it gives back:
// the selected pen, brush and font, the text colour and the background mode.
TEST(PromptButtonPaint, LeavesTheDcAsItFoundIt) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 80, 30);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH),
            font = GetCurrentObject(dc, OBJ_FONT);

    RECT rect = {0, 0, 80, 30};
    DrawPromptButton(dc, &rect, "OK", 0, 96);

    EXPECT_EQ(RGB(1, 2, 3), GetTextColor(dc));
    EXPECT_EQ(OPAQUE, GetBkMode(dc));
    EXPECT_EQ(pen, GetCurrentObject(dc, OBJ_PEN));
    EXPECT_EQ(brush, GetCurrentObject(dc, OBJ_BRUSH));
    EXPECT_EQ(font, GetCurrentObject(dc, OBJ_FONT));
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

}  // namespace
