// The About window, its controls, its painting and its modal loop.
#include "dialogs/about_win.h"

#include <shellapi.h>

#include "base/dpi_win.h"
#include "base/gdi_win.h"
#include "base/guards_win.h"
#include "base/product_name.h"
#include "base/resource_ids.h"
#include "base/shell_handles_win.h"
#include "base/version.h"
#include "dialogs/modal_win.h"

const char kWebsiteUrl[] = "https://quorrel.app/";

namespace {

constexpr char kAboutClass[] = "QuorrelAboutDlg";
constexpr char kLinkText[] = "quorrel.app";
constexpr int kWidth = 400;  // outer size at 96 DPI
constexpr int kHeight = 380;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
constexpr int kFooterHeight = 50;
constexpr int kIconSize = 32;  // the application icon as the system shows icons at 96 DPI
constexpr int kLinkId = 1010;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kFooterFill = RGB(240, 240, 240);
constexpr COLORREF kFooterLine = RGB(223, 223, 223);
constexpr COLORREF kLinkColor = RGB(0, 102, 204);

// 0x95 is the bullet and 0xA9 the copyright sign of the Windows-1252 code page.
constexpr char kFeatures[] =
    "\x95 Record mouse clicks and keyboard input\r\n"
    "\x95 Play back recordings at adjustable speeds\r\n"
    "\x95 Save and load macro recordings (.rec)\r\n"
    "\x95 Compile recordings to standalone .exe\r\n"
    "\x95 Lightweight and portable - no installation";
constexpr char kRights[] =
    "\xA9 2026 The Quorrel authors, under the MIT licence.\r\n"
    "Free to use; provided as is, without warranty.";

constexpr const char* kFontProps[] = {"FontTitle", "FontNormal", "FontBold", "FontLink"};
enum FontIndex { kTitle, kNormal, kBold, kLink, kFontCount, kNoFont = -1 };

// The controls in creation order, with their places at 96 DPI.
struct AboutControl {
    const char* cls;
    const char* text;
    DWORD style;
    LayoutBox box;
    int id;
    int font;
};
const AboutControl kControls[] = {
    {"STATIC", nullptr, SS_ICON, {20, 20, 48, 48}, 0, kNoFont},
    {"STATIC", kProductName, SS_LEFT, {80, 20, 280, 28}, 0, kTitle},
    {"STATIC", "Version " QUORREL_VERSION_TEXT, SS_LEFT, {80, 48, 280, 18}, 0, kNormal},
    {"STATIC", nullptr, SS_ETCHEDHORZ, {20, 85, kWidth - 40, 2}, 0, kNoFont},
    {"STATIC", "Key Features:", SS_LEFT, {20, 100, 150, 18}, 0, kBold},
    {"STATIC", kFeatures, SS_LEFT, {30, 122, kWidth - 60, 90}, 0, kNormal},
    {"STATIC", nullptr, SS_ETCHEDHORZ, {20, 222, kWidth - 40, 2}, 0, kNoFont},
    {"STATIC", kRights, SS_LEFT, {20, 237, kWidth - 40, 36}, 0, kNormal},
    {"STATIC", kLinkText, SS_NOTIFY, {20, 277, 180, 18}, kLinkId, kLink},
    {"BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, {(kWidth - 80) / 2, kHeight - 70, 80, 26}, IDOK, kNormal},
};
constexpr int kControlCount = sizeof kControls / sizeof kControls[0];

// One opening: lives on ShowAboutWindow's stack, the window's user data points to it.
struct AboutWindow {
    HWND controls[kControlCount];
    HICON icon;  // shown by the first control, loaded for `dpi`
    int dpi;
};

AboutWindow* StateOf(HWND window) { return (AboutWindow*)GetWindowLongPtrA(window, GWLP_USERDATA); }

HFONT MakeFont(int height, int weight, BOOL underline, int dpi) {
    return CreateFontA(ScaleForDpi(height, dpi), 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH,
                       "Segoe UI");
}

// Static-control backgrounds, made on first use and kept for the process.
HBRUSH linkBrush;
HBRUSH textBrush;

HBRUSH LinkBrush() {
    if (!linkBrush) linkBrush = CreateSolidBrush(kWhite);
    return linkBrush;
}

HBRUSH TextBrush() {
    if (!textBrush) textBrush = CreateSolidBrush(kWhite);
    return textBrush;
}

// Deletes the fonts kept as properties and removes the properties. Safe to call
// twice: the second call finds nothing.
void ReleaseFonts(HWND window) {
    for (const char* name : kFontProps) {
        AutoDeleteObject font((HFONT)RemovePropA(window, name));
    }
}

// OK, Enter, Esc, the close box and the system menu all end up here.
void CloseAbout(HWND window) {
    ReleaseFonts(window);
    DestroyWindow(window);
}

void RegisterAboutClass(HINSTANCE instance) {
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = AboutWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = kAboutClass;
    RegisterClassA(&wc);  // fails harmlessly when already registered
}

// Places the controls for `dpi` and gives them fonts and the icon made for it; the
// fonts and icon they had before go. Creation and DPI changes both come here.
void LayOut(HWND window, AboutWindow* about, int dpi) {
    about->dpi = dpi;
    HFONT fonts[kFontCount] = {MakeFont(-20, 700, FALSE, dpi), MakeFont(-12, 400, FALSE, dpi),
                               MakeFont(-12, 600, FALSE, dpi), MakeFont(-12, 400, TRUE, dpi)};
    for (int i = 0; i < kControlCount; ++i) {
        HWND control = about->controls[i];
        MoveControl(control, ScaleBoxForDpi(kControls[i].box, dpi));
        if (control && kControls[i].font != kNoFont)
            SendMessageA(control, WM_SETFONT, (WPARAM)fonts[kControls[i].font], TRUE);
    }
    ReleaseFonts(window);
    for (int i = 0; i < kFontCount; ++i) {
        if (!fonts[i]) continue;
        if (SetPropA(window, kFontProps[i], (HANDLE)fonts[i])) continue;
        AutoDeleteObject unkept(fonts[i]);  // nowhere to keep it until the window closes
    }

    // Set after the move: the control takes the icon's size, as it does at 96 DPI.
    ShowIconAtSize(about->controls[0], &about->icon, GetAppInstance(), MAKEINTRESOURCEA(IDI_APP),
                   ScaleForDpi(kIconSize, dpi));
}

SIZE ClientSize(int dpi) { return ScaledClientSize(kWidth, kHeight, kStyle, kExStyle, dpi); }

// Another monitor or a new scaling: laid out again on the rectangle the system suggests.
LRESULT OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    AboutWindow* about = StateOf(window);
    if (!about) return DefWindowProcA(window, WM_DPICHANGED, wParam, lParam);
    int dpi = DpiOfDpiChange(wParam);
    LayOut(window, about, dpi);
    MoveToSuggestedRect(window, (const RECT*)lParam, ClientSize(dpi));
    InvalidateRect(window, nullptr, TRUE);
    return 0;
}

// The hand over the link only.
LRESULT OnSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(window, &point);
    HWND child = ChildWindowFromPoint(window, point);
    if (child && child != window && GetDlgCtrlID(child) == kLinkId) {
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
    }
    return DefWindowProcA(window, WM_SETCURSOR, wParam, lParam);
}

// White page above a grey footer band with a thin line on top.
LRESULT OnEraseBackground(HWND window, HDC dc) {
    AboutWindow* about = StateOf(window);
    int dpi = about ? about->dpi : kDefaultDpi;
    RECT client;
    GetClientRect(window, &client);
    RECT page = client;
    page.bottom = client.bottom - ScaleForDpi(kFooterHeight, dpi);
    RECT footer = client;
    footer.top = page.bottom;
    RECT line = footer;
    line.bottom = line.top + ScaleForDpi(1, dpi);

    FillSolidRect(dc, &page, kWhite);
    FillSolidRect(dc, &footer, kFooterFill);
    FillSolidRect(dc, &line, kFooterLine);
    return 1;
}

LRESULT OnCtlColorStatic(HDC dc, HWND control) {
    SetBkColor(dc, kWhite);
    if (GetDlgCtrlID(control) == kLinkId) {
        SetTextColor(dc, kLinkColor);
        return (LRESULT)LinkBrush();
    }
    SetTextColor(dc, RGB(0, 0, 0));
    return (LRESULT)TextBrush();
}

LRESULT OnCommand(HWND window, WPARAM wParam) {
    int id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) {
        CloseAbout(window);
    } else if (id == kLinkId && HIWORD(wParam) == STN_CLICKED) {
        ShellExecuteA(nullptr, "open", kWebsiteUrl, nullptr, nullptr, SW_SHOWNORMAL);
    }
    return 1;
}

}  // namespace

LRESULT CALLBACK AboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR: return OnSetCursor(window, wParam, lParam);
    case WM_ERASEBKGND: return OnEraseBackground(window, (HDC)wParam);
    case WM_CTLCOLORSTATIC: return OnCtlColorStatic((HDC)wParam, (HWND)lParam);
    case WM_COMMAND: return OnCommand(window, wParam);
    case WM_DPICHANGED: return OnDpiChanged(window, wParam, lParam);
    case WM_ACTIVATE:
        // OK is the one control that takes the keyboard; a plain window would keep it itself.
        if (LOWORD(wParam) != WA_INACTIVE) SetFocus(GetDlgItem(window, IDOK));
        return 0;
    case WM_CLOSE: CloseAbout(window); return 0;
    case WM_DESTROY:
        // Also reached when the owner goes first and takes this window with it.
        // The modal loop sees the window gone by itself; a quit request here would
        // be taken for the program's own by any loop nested around this one.
        ReleaseFonts(window);
        return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

void ShowAboutWindow(HWND owner) {
    HINSTANCE instance = GetAppInstance();
    RegisterAboutClass(instance);
    // The owner's DPI: the window opens where the owner is shown.
    AboutWindow about = {};
    int dpi = WindowDpi(owner);
    SIZE client = ClientSize(dpi);
    SIZE outer = WindowSizeForClient(client, kStyle, kExStyle, dpi);
    HWND window = CreateWindowExA(kExStyle, kAboutClass, "About Quorrel", kStyle, 0, 0, outer.cx, outer.cy, owner,
                                  nullptr, instance, nullptr);
    if (!window) return;
    FitClientArea(window, client);
    SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)&about);

    for (int i = 0; i < kControlCount; ++i) {
        const AboutControl& c = kControls[i];
        about.controls[i] = CreateWindowExA(0, c.cls, c.text, WS_CHILD | WS_VISIBLE | c.style, 0, 0, 0, 0, window,
                                            (HMENU)(INT_PTR)c.id, instance, nullptr);
    }
    LayOut(window, &about, dpi);

    RECT area, own;
    HWND reference = owner ? owner : GetDesktopWindow();
    if (!GetWindowRect(reference, &area)) GetWindowRect(GetDesktopWindow(), &area);
    GetWindowRect(window, &own);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    MoveWindow(window, x, y, width, height, FALSE);

    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    HWND ok = about.controls[kControlCount - 1];
    if (ok) SetFocus(ok);
    RunModalWindow(window, owner);
    if (about.icon) DestroyIcon(about.icon);
}
