// The main window procedure: the program's switchboard. Each message is handed
// to the module that owns the work; the procedure keeps no state of its own.
#include "app/app.h"

namespace {

constexpr COLORREF kBackground = RGB(240, 240, 240);

// Background of the client area; the toolbar buttons paint themselves.
LRESULT OnEraseBackground(HWND window, HDC dc) {
    RECT rect;
    GetClientRect(window, &rect);
    HBRUSH brush = CreateSolidBrush(kBackground);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    return 1;
}

// End of the program: release what the window holds, then leave the loop.
LRESULT OnDestroy() {
    PostQuitMessage(0);
    return 0;
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return OnEraseBackground(window, (HDC)wParam);
    case WM_DESTROY: return OnDestroy();
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}
