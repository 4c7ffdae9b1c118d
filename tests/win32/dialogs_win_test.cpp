// The About window and the shortcuts dialog under their own modal loops: texts,
// every way of closing, fonts released, quit requests kept apart, and an About
// window opened over a prompt and closed under one.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/about_win.h"
#include "dialogs/prompt_win.h"
#include "dialogs/shortcuts_win.h"
#include "dialogs/shortcuts.h"
#include "prefs_ui_script.h"

using namespace prefs_test;

namespace {

const char* const kFontNames[] = {"FontTitle", "FontNormal", "FontBold", "FontLink"};

HWND FindAbout() { return FindWindowA("QuorrelAboutDlg", "About Quorrel"); }
HWND FindShortcuts() { return FindWindowA(MAKEINTATOM(32770), "Keyboard Shortcuts"); }

std::vector<std::string> ChildTexts(HWND parent) {
    std::vector<std::string> texts;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) texts.push_back(TextOf(c));
    return texts;
}

class PrefsAbout : public ::testing::Test {
protected:
    void SetUp() override {
        owner = MakeOwner("owner", 300, 100, true);
        ASSERT_NE(nullptr, owner);
    }
    void TearDown() override {
        StopScript();
        DestroyWindow(owner);
        DrainQueue();
    }
    HWND owner = nullptr;
};

TEST_F(PrefsAbout, ShowsItsTextsAndClosesWithOk) {
    std::vector<std::string> texts;
    RECT rect = {};
    bool ownerDisabled = false;
    std::string linkText;
    WhileModal([&]() {
        HWND about = FindAbout();
        if (!about) return false;
        texts = ChildTexts(about);
        GetWindowRect(about, &rect);
        ownerDisabled = !IsWindowEnabled(owner);
        linkText = TextOf(GetDlgItem(about, 1010));
        PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        return true;
    });
    ShowAboutWindow(owner);
    ASSERT_EQ(10u, texts.size());
    EXPECT_EQ("Quorrel", texts[1]);
    EXPECT_EQ("Version 1.8", texts[2]);
    EXPECT_EQ("Key Features:", texts[4]);
    EXPECT_EQ(0, strncmp(texts[5].c_str(), "\x95 Record mouse clicks and keyboard input\r\n\x95 Play back", 50));
    EXPECT_EQ("\x95 Lightweight and portable - no installation",
              texts[5].substr(texts[5].rfind("\r\n") + 2));
    EXPECT_EQ("\xA9 2026 The Quorrel authors, under the MIT licence.\r\n"
              "Free to use; provided as is, without warranty.",
              texts[7]);
    EXPECT_EQ("quorrel.app", linkText);
    EXPECT_EQ("OK", texts[9]);
    EXPECT_EQ(400, rect.right - rect.left);
    EXPECT_EQ(380, rect.bottom - rect.top);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(nullptr, FindAbout());
    EXPECT_FALSE(DrainQueue()) << "the About window's own quit request is consumed";
}

TEST_F(PrefsAbout, EveryWayOfClosingFreesTheFourFontsAndKeepsTheProgramRunning) {
    const struct {
        const char* how;
        void (*close)(HWND about);
    } ways[] = {
        {"OK", [](HWND a) { PostMessageA(GetDlgItem(a, IDOK), BM_CLICK, 0, 0); }},
        {"Esc", [](HWND a) { PostMessageA(GetDlgItem(a, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"Enter", [](HWND a) { PostMessageA(GetDlgItem(a, IDOK), WM_KEYDOWN, VK_RETURN, 0); }},
        {"close box", [](HWND a) { PostMessageA(a, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"WM_CLOSE", [](HWND a) { PostMessageA(a, WM_CLOSE, 0, 0); }},
        {"DestroyWindow", [](HWND a) { DestroyWindow(a); }},
    };
    // Fifty openings, every way in turn: each one's fonts must be gone afterwards.
    for (int round = 0; round < 50; ++round) {
        const auto& way = ways[round % 6];
        SCOPED_TRACE(testing::Message() << way.how << " round " << round);
        HFONT fonts[4] = {};
        auto close = way.close;
        WhileModal([&fonts, close]() {
            HWND about = FindAbout();
            if (!about || !IsWindowVisible(about)) return false;
            for (int i = 0; i < 4; ++i) fonts[i] = (HFONT)GetPropA(about, kFontNames[i]);
            close(about);
            return true;
        });
        ShowAboutWindow(owner);
        for (int i = 0; i < 4; ++i) {
            ASSERT_NE(nullptr, fonts[i]) << kFontNames[i];
            EXPECT_EQ(0u, GetObjectType(fonts[i])) << kFontNames[i] << " was not deleted";
        }
        EXPECT_EQ(nullptr, FindAbout());
        EXPECT_TRUE(IsWindowEnabled(owner));
        ASSERT_FALSE(DrainQueue()) << "a quit request escaped the About loop";
    }
}

TEST_F(PrefsAbout, FontsHaveTheirSizesAndWeights) {
    LOGFONTA logs[4] = {};
    WhileModal([&logs]() {
        HWND about = FindAbout();
        if (!about) return false;
        for (int i = 0; i < 4; ++i) GetObjectA(GetPropA(about, kFontNames[i]), sizeof logs[i], &logs[i]);
        PostMessageA(about, WM_CLOSE, 0, 0);
        return true;
    });
    ShowAboutWindow(owner);
    const struct {
        LONG height, weight;
        BYTE underline;
    } expected[] = {{-20, 700, 0}, {-12, 400, 0}, {-12, 600, 0}, {-12, 400, 1}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(kFontNames[i]);
        EXPECT_EQ(expected[i].height, logs[i].lfHeight);
        EXPECT_EQ(expected[i].weight, logs[i].lfWeight);
        EXPECT_EQ(expected[i].underline, logs[i].lfUnderline);
        EXPECT_STREQ("Segoe UI", logs[i].lfFaceName);
        EXPECT_EQ(CLEARTYPE_QUALITY, logs[i].lfQuality);
    }
}

// Puts the pointer over `control` and asks the About window for the cursor there.
LRESULT CursorQuery(HWND about, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    SetCursorPos(rect.left + 5, rect.top + 5);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return SendMessageA(about, WM_SETCURSOR, (WPARAM)control, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

TEST_F(PrefsAbout, ThePointerIsAHandOverTheLinkOnly) {
    LRESULT overLink = -1;
    HCURSOR cursorOverLink = nullptr, cursorOverTitle = nullptr;
    WhileModal([&]() {
        HWND about = FindAbout();
        if (!about || !IsWindowVisible(about)) return false;
        HWND title = GetWindow(GetWindow(about, GW_CHILD), GW_HWNDNEXT);  // after the icon
        overLink = CursorQuery(about, GetDlgItem(about, 1010));
        cursorOverLink = GetCursor();
        CursorQuery(about, title);  // default processing: whatever it sets, not the hand
        cursorOverTitle = GetCursor();
        PostMessageA(about, WM_CLOSE, 0, 0);
        return true;
    });
    ShowAboutWindow(owner);
    EXPECT_EQ(TRUE, overLink);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_HAND), cursorOverLink);
    EXPECT_NE(LoadCursorA(nullptr, IDC_HAND), cursorOverTitle);
}

TEST_F(PrefsAbout, AProgramQuitWhileOpenClosesItAndReachesTheMainLoop) {
    WhileModal([]() {
        if (!FindAbout()) return false;
        PostQuitMessage(3);
        return true;
    });
    ShowAboutWindow(owner);
    EXPECT_EQ(nullptr, FindAbout());
    EXPECT_TRUE(IsWindowEnabled(owner));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

HWND openAboutOver;  // the owner for OpenAboutTick
void CALLBACK OpenAboutTick(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    ShowAboutWindow(openAboutOver);
}

TEST_F(PrefsAbout, ClosingItOverAPromptLeavesThePromptOpenWithItsAnswerAndTheOwnerDisabled) {
    int stage = 0;
    HWND below = nullptr;  // another program's window, next in line when the About window goes
    bool disabledUnderBoth = false, promptStayed = false, disabledUnderPrompt = false, promptActive = false;
    openAboutOver = owner;
    WhileModal([&]() {
        HWND prompt = FindWindowA("QuorrelInputDialog", nullptr);
        HWND about = FindAbout();
        if (stage == 0 && prompt && IsWindowVisible(prompt)) {
            SetWindowTextA(GetDlgItem(prompt, 1001), "kept");
            below = MakeOwner("below", 200, 100, true);
            SetTimer(nullptr, 0, 1, OpenAboutTick);  // the About loop runs inside the prompt's
            stage = 1;
        } else if (stage == 1 && about && IsWindowVisible(about)) {
            disabledUnderBoth = !IsWindowEnabled(owner);
            PostMessageA(about, WM_CLOSE, 0, 0);
            stage = 2;
        } else if (stage == 2 && !about) {
            promptStayed = prompt != nullptr;
            disabledUnderPrompt = !IsWindowEnabled(owner);
            promptActive = prompt && GetActiveWindow() == prompt;
            if (prompt) PostMessageA(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
            return true;
        }
        return false;
    });
    char* text = PromptForText(owner, "Title", "Question:", "1");
    DestroyWindow(below);
    EXPECT_TRUE(disabledUnderBoth);
    EXPECT_TRUE(promptStayed);
    EXPECT_TRUE(disabledUnderPrompt);
    EXPECT_TRUE(promptActive) << "the user goes back to the prompt";
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ("kept", text);
    free(text);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(DrainQueue());
}

HWND openPromptOver;  // the owner for OpenPromptTick
void CALLBACK OpenPromptTick(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    free(PromptForText(openPromptOver, "Title", "Question:", "1"));
}

TEST_F(PrefsAbout, ClosingItUnderAPromptBringsThePromptForward) {
    int stage = 0;
    HWND other = nullptr;
    bool promptActive = false;
    openPromptOver = owner;
    WhileModal([&]() {
        HWND prompt = FindWindowA("QuorrelInputDialog", nullptr);
        HWND about = FindAbout();
        if (stage == 0 && about && IsWindowVisible(about)) {
            SetTimer(nullptr, 0, 1, OpenPromptTick);  // the prompt's loop runs inside About's
            stage = 1;
        } else if (stage == 1 && prompt && IsWindowVisible(prompt)) {
            // Another program's window, on top, where the platform hands the activation.
            other = MakeOwner("other", 200, 100, false);
            SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
            SetActiveWindow(about);  // the user's click on OK comes to About first
            PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
            stage = 2;
        } else if (stage == 2 && !about) {
            promptActive = prompt && GetActiveWindow() == prompt;
            if (prompt) PostMessageA(prompt, WM_CLOSE, 0, 0);
            return true;
        }
        return false;
    });
    ShowAboutWindow(owner);
    DestroyWindow(other);
    EXPECT_TRUE(promptActive);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(PrefsAbout, OpensWithoutAnOwner) {
    RECT rect = {};
    WhileModal([&rect]() {
        HWND about = FindAbout();
        if (!about) return false;
        GetWindowRect(about, &rect);
        PostMessageA(about, WM_CLOSE, 0, 0);
        return true;
    });
    ShowAboutWindow(nullptr);
    RECT desk;
    GetWindowRect(GetDesktopWindow(), &desk);
    EXPECT_EQ(desk.left + (desk.right - desk.left - 400) / 2, rect.left);
    EXPECT_FALSE(DrainQueue());
}

TEST(PrefsShortcuts, TemplateIsAlignedAndAcceptedByTheDialogManager) {
    const DLGTEMPLATE* t = BuildShortcutsTemplate();
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(0u, (uintptr_t)t % 4);
    EXPECT_EQ(0x80C80880u, t->style);
    EXPECT_EQ(2, t->cdit);
    EXPECT_EQ(200, t->cx);
    EXPECT_EQ(160, t->cy);
    EXPECT_EQ(t, BuildShortcutsTemplate()) << "one buffer, rebuilt in place";

    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t, nullptr, ShortcutsDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Keyboard Shortcuts", TextOf(dialog));
    EXPECT_EQ(std::string(kShortcutsText), TextOf(GetDlgItem(dialog, 0xFFFF)));
    EXPECT_EQ("OK", TextOf(GetDlgItem(dialog, IDOK)));
    EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongA(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_TYPEMASK);
    DestroyWindow(dialog);
}

TEST(PrefsShortcuts, EveryWayOfClosingEndsTheModalDialog) {
    const struct {
        const char* how;
        void (*close)(HWND dialog);
    } ways[] = {
        {"OK", [](HWND d) { PostMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); }},
        {"Esc", [](HWND d) { PostMessageA(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"Enter", [](HWND d) { PostMessageA(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_RETURN, 0); }},
        {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    HWND owner = MakeOwner("owner", 300, 100, true);
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        std::string text;
        auto close = way.close;
        WhileModal([&text, close]() {
            HWND d = FindShortcuts();
            if (!d || !IsWindowVisible(d)) return false;
            text = TextOf(GetDlgItem(d, 0xFFFF));
            close(d);
            return true;
        });
        ShowShortcutsDialog(owner);
        EXPECT_EQ(std::string(kShortcutsText), text);
        EXPECT_EQ(nullptr, FindShortcuts());
        EXPECT_TRUE(IsWindowEnabled(owner));
    }
    StopScript();
    DestroyWindow(owner);
    EXPECT_FALSE(DrainQueue());
}

}  // namespace
