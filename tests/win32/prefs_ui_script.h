// Test-side driver for modal windows: a thread timer keeps calling a step while
// the code under test runs its own modal loop, so the step can inspect and close
// what that loop shows. Header-only, for the Win32 tests of windows and keys.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace prefs_test {

inline std::function<bool()>& CurrentStep() {
    static std::function<bool()> step;
    return step;
}
inline UINT_PTR& ScriptTimer() {
    static UINT_PTR timer;
    return timer;
}

inline void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD) {
    std::function<bool()>& step = CurrentStep();
    if (step && step()) {
        KillTimer(nullptr, ScriptTimer());
        ScriptTimer() = 0;
        step = nullptr;
    }
}

// Runs `step` every 30 ms from the next modal loop until it returns true.
inline void WhileModal(std::function<bool()> step) {
    CurrentStep() = std::move(step);
    ScriptTimer() = SetTimer(nullptr, 0, 30, ScriptTick);
}

inline void StopScript() {
    if (ScriptTimer()) KillTimer(nullptr, ScriptTimer());
    ScriptTimer() = 0;
    CurrentStep() = nullptr;
}

inline std::string TextOf(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Drops every pending message, reporting whether a quit request was among them.
inline bool DrainQueue() {
    bool quit = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return quit;
}

// A key pressed and released as real input: it goes wherever the keyboard is.
inline void TypeKey(WORD vk) {
    INPUT in[2] = {{INPUT_KEYBOARD, {}}, {INPUT_KEYBOARD, {}}};
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

// A plain top-level window to own the dialogs.
inline HWND MakeOwner(const char* title, int width, int height, bool visible) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PrefsTestOwner";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "PrefsTestOwner", title, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                  100, 120, width, height, nullptr, nullptr, wc.hInstance, nullptr);
    if (window && visible) ShowWindow(window, SW_SHOW);
    return window;
}

}  // namespace prefs_test
