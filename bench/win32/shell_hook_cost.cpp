// What one input event costs inside the recording hooks: the keyboard hook
// (key-state read, filter, append) and the mouse hook (append), called directly
// with a recording running, best of several rounds. Also the stop key, which
// only posts. Prints nanoseconds per event; asserts nothing.
#include <windows.h>

#include <cstdio>

#include "macro/macro_buffer.h"
#include "record/recorder_win.h"

namespace {

double Nanoseconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f, int n) {
    return double(b.QuadPart - a.QuadPart) * 1e9 / double(f.QuadPart) / n;
}

template <typename Feed>
double Best(int rounds, int n, Feed feed) {
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    double best = 1e18;
    for (int r = 0; r < rounds; ++r) {
        if (!StartRecording()) return -1;
        QueryPerformanceCounter(&a);
        for (int i = 0; i < n; ++i) feed(i);
        QueryPerformanceCounter(&b);
        StopRecording();
        double ns = Nanoseconds(a, b, f, n);
        if (ns < best) best = ns;
    }
    return best;
}

}  // namespace

int main() {
    const int n = 200000;
    const int rounds = 5;
    double mouse = Best(rounds, n, [](int i) {
        MSLLHOOKSTRUCT m = {};
        m.pt.x = i & 1023;
        m.pt.y = i >> 10;
        m.time = (DWORD)i;
        MouseHookProc(HC_ACTION, WM_MOUSEMOVE, (LPARAM)&m);
    });
    double keys = Best(rounds, n, [](int i) {
        KBDLLHOOKSTRUCT k = {};
        k.vkCode = 'A' + (i % 26);
        k.scanCode = 0x1E;
        k.flags = (i & 1) ? LLKHF_UP : 0;
        k.time = (DWORD)i;
        KeyboardHookProc(HC_ACTION, (i & 1) ? WM_KEYUP : WM_KEYDOWN, (LPARAM)&k);
    });
    double filtered = Best(rounds, n, [](int i) {
        KBDLLHOOKSTRUCT k = {};
        k.vkCode = VK_LWIN;
        k.time = (DWORD)i;
        KeyboardHookProc(HC_ACTION, WM_KEYDOWN, (LPARAM)&k);
    });
    // The system calls every hook makes, for scale: what is left is ours.
    double next = Best(rounds, n, [](int) { CallNextHookEx(nullptr, HC_ACTION, 0, 0); });
    double keyState = Best(rounds, n, [](int) { GetAsyncKeyState(VK_MENU); });
    printf("hook cost per event (best of %d rounds of %d, buffer growth included):\n", rounds, n);
    printf("  mouse move recorded:       %8.1f ns\n", mouse);
    printf("  key stroke recorded:       %8.1f ns\n", keys);
    printf("  Windows key passed on:     %8.1f ns\n", filtered);
    printf("  of which CallNextHookEx:   %8.1f ns\n", next);
    printf("  of which GetAsyncKeyState: %8.1f ns (key events only)\n", keyState);
    return 0;
}
