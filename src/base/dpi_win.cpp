#include "base/dpi_win.h"

#include "base/system_dll_win.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// A user32 function that only newer systems export, or null.
template <typename Fn>
Fn User32Function(const char* name) {
    return FunctionIn<Fn>(GetModuleHandleA("user32.dll"), name);
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDefaultDpi;
}

}  // namespace

int WindowDpi(HWND window) {
    static GetDpiForWindowFn getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    int dpi = window && getDpiForWindow ? (int)getDpiForWindow(window) : 0;
    return dpi > 0 ? dpi : ScreenDpi();
}

SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD exStyle, int dpi) {
    static AdjustWindowRectExForDpiFn adjustForDpi =
        User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    RECT rect = {0, 0, client.cx, client.cy};
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, (UINT)dpi)) {
        // The system's frame is drawn at the screen's DPI here.
        RECT frame = {0, 0, 0, 0};
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
        int screen = ScreenDpi();
        rect = {MulDiv(frame.left, dpi, screen), MulDiv(frame.top, dpi, screen),
                client.cx + MulDiv(frame.right, dpi, screen), client.cy + MulDiv(frame.bottom, dpi, screen)};
    }
    return {rect.right - rect.left, rect.bottom - rect.top};
}

SIZE ScaledClientSize(int width, int height, DWORD style, DWORD exStyle, int dpi) {
    SIZE frame = WindowSizeForClient({0, 0}, style, exStyle, kDefaultDpi);
    return {ScaleForDpi(width - frame.cx, dpi), ScaleForDpi(height - frame.cy, dpi)};
}

void FitClientArea(HWND window, SIZE client) {
    RECT inside, outer;
    if (IsIconic(window) || !GetClientRect(window, &inside) || !GetWindowRect(window, &outer)) return;
    int growX = client.cx - inside.right;
    int growY = client.cy - inside.bottom;
    if (growX == 0 && growY == 0) return;
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + growX, outer.bottom - outer.top + growY,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveToSuggestedRect(HWND window, const RECT* suggested, SIZE client) {
    if (suggested)
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea(window, client);
}

void MoveControl(HWND control, const LayoutBox& box) {
    if (control) SetWindowPos(control, nullptr, box.x, box.y, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HICON LoadIconAtSize(HINSTANCE instance, const char* name, int size) {
    if (instance) return (HICON)LoadImageA(instance, name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
    // The system's icons load only as shared ones, at one size for good: the copy is
    // read again from their resource at the size asked for, and is the caller's.
    HICON shared = LoadIconA(nullptr, name);
    return shared ? (HICON)CopyImage(shared, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE) : nullptr;
}

void ShowIconAtSize(HWND control, HICON* shown, HINSTANCE instance, const char* name, int size) {
    HICON icon = LoadIconAtSize(instance, name, size);
    if (!icon) return;
    if (control) SendMessageA(control, STM_SETICON, (WPARAM)icon, 0);
    if (*shown) DestroyIcon(*shown);
    *shown = icon;
}
