// Test-bench target window: logs the keyboard and mouse input it receives, one
// line per event, flushed at once, so tests can compare what arrived.
//   qtarget LOGFILE [X Y W H]
// Lines: "<tick> <EVENT> <fields>", e.g. "1234 KEYDOWN vk=65 ext=0", "1240 LDOWN x=100 y=120"
// (screen coordinates; buttons add mk=, the MK_ flags they came with), "1250 WHEEL delta=-120 x=.. y=..", "1260 MOVE x=.. y=..".
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {
FILE* logFile;

void Log(const char* event, const char* fields) {
    fprintf(logFile, "%lu %s %s\n", (unsigned long)GetTickCount(), event, fields);
    fflush(logFile);
}

void LogMouse(HWND window, const char* event, LPARAM lParam, WPARAM keys = 0) {
    POINT pt = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    ClientToScreen(window, &pt);
    char fields[64];
    snprintf(fields, sizeof fields, keys ? "x=%ld y=%ld mk=%u" : "x=%ld y=%ld", pt.x, pt.y, (unsigned)keys);
    Log(event, fields);
}

void LogKey(const char* event, WPARAM wParam, LPARAM lParam) {
    char fields[64];
    snprintf(fields, sizeof fields, "vk=%u scan=%u ext=%u", (unsigned)wParam,
             (unsigned)((lParam >> 16) & 0xFF), (unsigned)((lParam >> 24) & 1));
    Log(event, fields);
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN: LogKey("KEYDOWN", wParam, lParam); return 0;
    case WM_KEYUP: LogKey("KEYUP", wParam, lParam); return 0;
    case WM_SYSKEYDOWN: LogKey("SYSKEYDOWN", wParam, lParam); return 0;
    case WM_SYSKEYUP: LogKey("SYSKEYUP", wParam, lParam); return 0;
    case WM_CHAR: {
        char fields[32];
        snprintf(fields, sizeof fields, "code=%u", (unsigned)wParam);
        Log("CHAR", fields);
        return 0;
    }
    case WM_MOUSEMOVE: LogMouse(window, "MOVE", lParam); return 0;
    case WM_LBUTTONDOWN: LogMouse(window, "LDOWN", lParam, wParam); return 0;
    case WM_LBUTTONUP: LogMouse(window, "LUP", lParam); return 0;
    case WM_LBUTTONDBLCLK: LogMouse(window, "LDBL", lParam); return 0;
    case WM_RBUTTONDOWN: LogMouse(window, "RDOWN", lParam); return 0;
    case WM_RBUTTONUP: LogMouse(window, "RUP", lParam); return 0;
    case WM_MBUTTONDOWN: LogMouse(window, "MDOWN", lParam); return 0;
    case WM_MBUTTONUP: LogMouse(window, "MUP", lParam); return 0;
    case WM_MOUSEWHEEL: {
        char fields[64];
        snprintf(fields, sizeof fields, "delta=%d x=%d y=%d", (short)HIWORD(wParam),
                 (short)LOWORD(lParam), (short)HIWORD(lParam));
        Log("WHEEL", fields);
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: qtarget LOGFILE [X Y W H]\n");
        return 2;
    }
    logFile = fopen(argv[1], "w");
    if (!logFile) return 1;
    int x = argc > 5 ? atoi(argv[2]) : 0, y = argc > 5 ? atoi(argv[3]) : 0;
    int w = argc > 5 ? atoi(argv[4]) : 800, h = argc > 5 ? atoi(argv[5]) : 600;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "QuorrelTestTarget";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "Quorrel Test Target", WS_POPUP | WS_VISIBLE,
                                  x, y, w, h, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) return 1;
    SetForegroundWindow(window);
    SetFocus(window);
    Log("READY", "");
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    fclose(logFile);
    return 0;
}
