// The playback engine end to end inside the test process: a window of the test
// takes the keyboard focus and logs what the engine's SendInput delivers to it.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "app/app_win.h"
#include "app/status_win.h"
#include "macro/macro_event.h"
#include "playback/input_synth_win.h"
#include "playback/playback.h"
#include "settings/settings.h"

namespace {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT screen;  // mouse messages: the position in screen coordinates
};

std::vector<Received> received;
int finishedNotices;
int progressTicks;

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message >= WM_KEYFIRST && message <= WM_KEYLAST && message != WM_CHAR) ||
        (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)) {
        Received r = {message, wParam, lParam, (DWORD)GetMessageTime(), {0, 0}};
        if (message == WM_MOUSEWHEEL) {
            r.screen = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        } else if (message >= WM_MOUSEFIRST) {
            r.screen = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
            ClientToScreen(window, &r.screen);
        }
        received.push_back(r);
        return 0;
    }
    if (message == WM_PLAYBACK_FINISHED) {
        ++finishedNotices;
        OnPlaybackFinished();
        KillTimer(window, TIMER_PLAY_PROGRESS);
        return 0;
    }
    if (message == WM_TIMER && wParam == TIMER_PLAY_PROGRESS) {
        ++progressTicks;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    MSG m;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(1);
    }
}

// Pumps until the playback has ended and its input has been delivered.
void PumpUntilIdle(DWORD limitMs = 15000) {
    DWORD start = GetTickCount();
    while (IsPlaying() && GetTickCount() - start < limitMs) PumpFor(5);
    PumpFor(150);
}

void SendKey(WORD vk, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

MacroEvent Rec(uint32_t message, uint32_t paramL, uint32_t paramH, uint32_t time) {
    return {message, paramL, paramH, time, 0};
}

constexpr int kLeft = 100, kTop = 80, kWidth = 600, kHeight = 500;

// One target window for the whole suite: creating and destroying a window
// costs Wine about two seconds on a display without a window manager.
class PlaybackWin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = TargetProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = "PlaybackTestTarget";
        RegisterClassA(&wc);
        window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "Quorrel", WS_POPUP | WS_VISIBLE, kLeft,
                                 kTop, kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);
    }
    static void TearDownTestSuite() {
        DestroyWindow(window);
        window = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(nullptr, window);
        SetForegroundWindow(window);
        SetFocus(window);
        SetMainWindow(window);
        SetEngineListener(ShowEngineChange);  // as the main window's creation does
        ResetSettingsToDefaults();
        // The release that starts every playback goes wherever the pointer is:
        // keep it over the target whatever earlier tests did with it.
        SetCursorPos(kLeft + 5, kTop + 5);
        PumpFor(100);
        received.clear();
        finishedNotices = 0;
        progressTicks = 0;
    }
    void TearDown() override {
        if (IsPlaying()) StopPlayback();
        PumpFor(50);
        SetMainWindow(nullptr);
        SetEngineListener(nullptr);
        ResetSettingsToDefaults();
    }
    // The received messages of the given kinds, in order.
    std::vector<Received> Only(std::initializer_list<UINT> kinds) const {
        std::vector<Received> out;
        for (const Received& r : received)
            for (UINT k : kinds)
                if (r.message == k) out.push_back(r);
        return out;
    }
    static HWND window;
};
HWND PlaybackWin::window;

const UINT kButtons[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN,
                         WM_MBUTTONUP};

TEST_F(PlaybackWin, KeysArriveWithTheirExtendedBit) {
    std::vector<MacroEvent> macro = {
        Rec(msg::KeyDown, 'A', 0x1E, 0),           Rec(msg::KeyUp, 'A', 0x1E, 10),
        Rec(msg::KeyDown, VK_RCONTROL, 0x11D, 20), Rec(msg::KeyUp, VK_RCONTROL, 0x11D, 30),
        Rec(msg::KeyDown, VK_RIGHT, 0x14D, 40),    Rec(msg::KeyUp, VK_RIGHT, 0x14D, 50),
    };
    ASSERT_EQ(1, StartPlayback(macro.data(), (int)macro.size()));
    PumpUntilIdle();
    std::vector<Received> keys = Only({WM_KEYDOWN, WM_KEYUP});
    ASSERT_EQ(6u, keys.size());
    const struct { UINT message; WPARAM vk; int extended; } expected[] = {
        {WM_KEYDOWN, 'A', 0},        {WM_KEYUP, 'A', 0},        {WM_KEYDOWN, VK_CONTROL, 1},
        {WM_KEYUP, VK_CONTROL, 1},   {WM_KEYDOWN, VK_RIGHT, 1}, {WM_KEYUP, VK_RIGHT, 1},
    };
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(expected[i].message, keys[i].message) << i;
        EXPECT_EQ(expected[i].vk, keys[i].wParam) << i;
        EXPECT_EQ(expected[i].extended, (int)((keys[i].lParam >> 24) & 1)) << i;
    }
}

TEST_F(PlaybackWin, ButtonsArriveAtTheRecordedPlaces) {
    std::vector<MacroEvent> macro = {
        Rec(msg::LButtonDown, 200, 150, 0),  Rec(msg::LButtonUp, 200, 150, 5),
        Rec(msg::RButtonDown, 350, 300, 10), Rec(msg::RButtonUp, 352, 301, 15),
        Rec(msg::MButtonDown, 640, 540, 20), Rec(msg::MButtonUp, 640, 540, 25),
    };
    ASSERT_EQ(1, StartPlayback(macro.data(), (int)macro.size()));
    PumpUntilIdle();
    std::vector<Received> buttons = Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
                                          WM_MBUTTONDOWN, WM_MBUTTONUP});
    // The start of a playback and the end of each pass release the left button.
    ASSERT_EQ(8u, buttons.size());
    EXPECT_EQ((UINT)WM_LBUTTONUP, buttons.front().message);
    EXPECT_EQ((UINT)WM_LBUTTONUP, buttons.back().message);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(kButtons[i], buttons[i + 1].message) << i;
        EXPECT_EQ((int)macro[i].paramL, buttons[i + 1].screen.x) << i;
        EXPECT_EQ((int)macro[i].paramH, buttons[i + 1].screen.y) << i;
    }
    EXPECT_EQ(640, buttons.back().screen.x);  // released where the pass left the pointer
}

TEST_F(PlaybackWin, DoubleClickGivesTwoClicksTenMillisecondsApart) {
    std::vector<MacroEvent> macro = {Rec(msg::LButtonDblClk, 300, 200, 0)};
    ASSERT_EQ(1, StartPlayback(macro.data(), (int)macro.size()));
    PumpUntilIdle();
    std::vector<Received> clicks = Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK});
    // start release, down, up, (10 ms), down, up, end-of-pass release
    ASSERT_EQ(6u, clicks.size());
    const UINT order[] = {WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONUP};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(order[i], clicks[i].message) << i;
    for (int i = 1; i < 5; ++i) EXPECT_EQ(300, clicks[i].screen.x) << i;
    EXPECT_GE(clicks[3].time - clicks[2].time, 9u);  // the pause between the two clicks
}

TEST_F(PlaybackWin, WheelTurnsBothWays) {
    std::vector<MacroEvent> macro = {
        Rec(msg::MouseWheel, 400, (120u << 16) | 250u, 0),
        Rec(msg::MouseWheel, 400, (0xFF88u << 16) | 250u, 10),
    };
    ASSERT_EQ(1, StartPlayback(macro.data(), (int)macro.size()));
    PumpUntilIdle();
    std::vector<Received> wheels = Only({WM_MOUSEWHEEL});
    ASSERT_EQ(2u, wheels.size());
    EXPECT_EQ(120, (short)HIWORD(wheels[0].wParam));
    EXPECT_EQ(-120, (short)HIWORD(wheels[1].wParam));
    EXPECT_EQ(400, wheels[0].screen.x);
    EXPECT_EQ(250, wheels[0].screen.y);
}

// Every move lands on its own pixel: at the corners of the screen, inside the
// target and at its last pixel.
TEST_F(PlaybackWin, MovesLandOnTheirRecordedPixels) {
    std::vector<MacroEvent> macro;
    POINT cursor;
    const int right = GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1, bottom = GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1;
    for (const POINT& p : {POINT{0, 0}, POINT{right, bottom}, POINT{right, 0}, POINT{0, bottom}}) {
        macro.assign(1, Rec(msg::MouseMove, (uint32_t)p.x, (uint32_t)p.y, 0));
        ASSERT_EQ(1, StartPlayback(macro.data(), 1));
        PumpUntilIdle();
        GetCursorPos(&cursor);
        EXPECT_EQ(p.x, cursor.x);
        EXPECT_EQ(p.y, cursor.y);
    }
    received.clear();
    macro.clear();
    const POINT points[] = {{150, 120}, {421, 331}, {kLeft + kWidth - 1, kTop + kHeight - 1}, {101, 81}};
    for (int i = 0; i < 4; ++i)
        macro.push_back(Rec(msg::MouseMove, (uint32_t)points[i].x, (uint32_t)points[i].y, 20u * i));
    ASSERT_EQ(1, StartPlayback(macro.data(), (int)macro.size()));
    PumpUntilIdle();
    std::vector<Received> moves = Only({WM_MOUSEMOVE});
    // Each recorded point is reached (a move may be reported more than once).
    for (const POINT& p : points) {
        bool seen = false;
        for (const Received& m : moves) seen = seen || (m.screen.x == p.x && m.screen.y == p.y);
        EXPECT_TRUE(seen) << p.x << "," << p.y;
    }
    GetCursorPos(&cursor);
    EXPECT_EQ(101, cursor.x);
    EXPECT_EQ(81, cursor.y);
}

TEST_F(PlaybackWin, GapsFollowTheSpeed) {
    std::vector<MacroEvent> macro;
    for (uint32_t i = 0; i < 5; ++i) {
        macro.push_back(Rec(msg::KeyDown, 'B', 0x30, 1000 + 200 * i));
        macro.push_back(Rec(msg::KeyUp, 'B', 0x30, 1000 + 200 * i));
    }
    for (float speed : {1.0f, 2.0f}) {
        received.clear();
        PlaybackSpeed = speed;
        DWORD start = GetTickCount();
        ASSERT_EQ(1, StartPlayback(macro.data(), (int)macro.size()));
        PumpUntilIdle();
        std::vector<Received> downs = Only({WM_KEYDOWN});
        ASSERT_EQ(5u, downs.size()) << speed;
        // The first record's own time (1 s) is not waited for.
        EXPECT_LT(downs[0].time - start, 300u) << speed;
        DWORD span = downs[4].time - downs[0].time;
        DWORD expected = (DWORD)(800 / speed);
        EXPECT_GE(span, expected - 10) << speed;
        EXPECT_LE(span, expected + 60) << speed;
    }
}

TEST_F(PlaybackWin, RepeatsAndNotifiesTheMainWindowOnce) {
    RepeatMode = 1;
    RepeatCount = 3;
    std::vector<MacroEvent> macro = {Rec(msg::KeyDown, 'C', 0x2E, 0), Rec(msg::KeyUp, 'C', 0x2E, 250)};
    ASSERT_EQ(1, StartPlayback(macro.data(), (int)macro.size()));
    EXPECT_EQ(3, GetTotalLoopsShown());
    EXPECT_EQ(1000u, GetEstimatedLoopMs());
    EXPECT_EQ(0, StartPlayback(macro.data(), (int)macro.size()));  // one playback at a time
    PumpUntilIdle();
    EXPECT_FALSE(IsPlaying());
    EXPECT_EQ(3u, Only({WM_KEYDOWN}).size());
    EXPECT_EQ(3, GetCurrentLoop());
    EXPECT_EQ(1, finishedNotices);
    EXPECT_GE(progressTicks, 2);  // 3 x 250 ms + pauses runs past several 200 ms ticks
    EXPECT_EQ(0, StopPlayback());  // nothing left to stop
}

TEST_F(PlaybackWin, StopEndsALongGapAtOnceAndNothingMoreArrives) {
    std::vector<MacroEvent> macro = {Rec(msg::KeyDown, 'D', 0x20, 0), Rec(msg::KeyUp, 'D', 0x20, 10),
                                     Rec(msg::KeyDown, 'E', 0x12, 60000), Rec(msg::KeyUp, 'E', 0x12, 60010)};
    ASSERT_EQ(1, StartPlayback(macro.data(), (int)macro.size()));
    PumpFor(300);
    DWORD before = GetTickCount();
    EXPECT_EQ(1, StopPlayback());
    EXPECT_LT(GetTickCount() - before, 200u);  // the worker left its 60 s wait at once
    EXPECT_FALSE(IsPlaying());

    // A new playback right away: only its own events arrive.
    std::vector<MacroEvent> next = {Rec(msg::KeyDown, 'F', 0x21, 0), Rec(msg::KeyUp, 'F', 0x21, 10)};
    ASSERT_EQ(1, StartPlayback(next.data(), (int)next.size()));
    next.assign(2, Rec(msg::KeyDown, 'Z', 0x2C, 0));  // the worker plays its own copy
    PumpUntilIdle();
    PumpFor(300);
    std::vector<Received> downs = Only({WM_KEYDOWN});
    ASSERT_EQ(2u, downs.size());
    EXPECT_EQ((WPARAM)'D', downs[0].wParam);
    EXPECT_EQ((WPARAM)'F', downs[1].wParam);
}

TEST_F(PlaybackWin, HeldStopKeyPlaysNothing) {
    SendKey(VK_ESCAPE, 0);
    PumpFor(50);
    ASSERT_EQ(1, IsStopKeyDown());
    std::vector<MacroEvent> macro = {Rec(msg::KeyDown, 'G', 0x22, 0), Rec(msg::KeyUp, 'G', 0x22, 10)};
    ASSERT_EQ(1, StartPlayback(macro.data(), (int)macro.size()));
    PumpUntilIdle();
    SendKey(VK_ESCAPE, KEYEVENTF_KEYUP);
    PumpFor(50);
    EXPECT_EQ(0, IsStopKeyDown());
    EXPECT_TRUE(Only({WM_KEYDOWN, WM_KEYUP}).size() <= 2u);  // only Esc itself
    for (const Received& r : Only({WM_KEYDOWN})) EXPECT_EQ((WPARAM)VK_ESCAPE, r.wParam);
    EXPECT_EQ(1, finishedNotices);
}

TEST_F(PlaybackWin, EscHeldMidwayStopsBeforeTheNextRecord) {
    RepeatMode = kRepeatContinuous;
    std::vector<MacroEvent> macro = {Rec(msg::KeyDown, 'H', 0x23, 0), Rec(msg::KeyUp, 'H', 0x23, 50)};
    ASSERT_EQ(1, StartPlayback(macro.data(), (int)macro.size()));
    PumpFor(400);
    SendKey(VK_ESCAPE, 0);
    DWORD start = GetTickCount();
    while (IsPlaying() && GetTickCount() - start < 2000) PumpFor(5);
    EXPECT_FALSE(IsPlaying());
    SendKey(VK_ESCAPE, KEYEVENTF_KEYUP);
    size_t afterStop = Only({WM_KEYDOWN}).size();
    PumpFor(300);
    EXPECT_EQ(afterStop, Only({WM_KEYDOWN}).size());  // nothing after the stop
    EXPECT_GE(afterStop, 2u);
    EXPECT_EQ(1, finishedNotices);
}

int refusedInputs;
UINT WINAPI RefuseInput(UINT, LPINPUT, int) { return ++refusedInputs, 0; }

// The lock screen and secure desktops take no input: the playback ends at the
// first refused record, as at a stop key, instead of waiting out its 5 s gap.
TEST_F(PlaybackWin, RefusedInputEndsThePlayback) {
    std::vector<MacroEvent> macro = {Rec(msg::KeyDown, 'J', 0x24, 0), Rec(msg::KeyDown, 'K', 0x25, 5000)};
    SetInputSink(RefuseInput);
    ASSERT_EQ(1, StartPlayback(macro.data(), (int)macro.size()));
    PumpFor(1000);
    SetInputSink(nullptr);
    EXPECT_FALSE(IsPlaying());
    EXPECT_EQ(1, finishedNotices);
    EXPECT_EQ(3, refusedInputs) << "the start's left release, J, and J's release";
}

TEST_F(PlaybackWin, RefusesEmptyMacros) {
    MacroEvent one = Rec(msg::KeyDown, 'A', 0, 0);
    EXPECT_EQ(0, StartPlayback(nullptr, 3));
    EXPECT_EQ(0, StartPlayback(&one, 0));
    EXPECT_FALSE(IsPlaying());
}

}  // namespace
