// The About window, its controls, its painting and its modal loop.
#include "dialogs/about_win.h"

#include <shellapi.h>

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
constexpr int kWidth = 400;
constexpr int kHeight = 380;
constexpr int kFooterHeight = 50;
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
enum FontIndex { kTitle, kNormal, kBold, kLink, kFontCount };

HFONT MakeFont(int height, int weight, BOOL underline) {
    return CreateFontA(height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
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

HWND AddControl(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w,
                int h, int id, HFONT font, HINSTANCE instance) {
    HWND control = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                   (HMENU)(INT_PTR)id, instance, nullptr);
    if (control && font) SendMessageA(control, WM_SETFONT, (WPARAM)font, TRUE);
    return control;
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
    RECT client;
    GetClientRect(window, &client);
    RECT page = client;
    page.bottom = client.bottom - kFooterHeight;
    RECT footer = client;
    footer.top = client.bottom - kFooterHeight;

    FillSolidRect(dc, &page, kWhite);
    FillSolidRect(dc, &footer, kFooterFill);

    HPEN pen = CreatePen(PS_SOLID, 1, kFooterLine);
    AutoDeleteObject penOwner(pen);
    ScopedSelectObject penSelection(dc, pen);
    MoveToEx(dc, client.left, footer.top, nullptr);
    LineTo(dc, client.right, footer.top);
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
    HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, kAboutClass, "About Quorrel",
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, kWidth, kHeight, owner,
                                  nullptr, instance, nullptr);
    if (!window) return;

    HFONT fonts[kFontCount] = {MakeFont(-20, 700, FALSE), MakeFont(-12, 400, FALSE),
                               MakeFont(-12, 600, FALSE), MakeFont(-12, 400, TRUE)};

    HWND icon = AddControl(window, "STATIC", nullptr, SS_ICON, 20, 20, 48, 48, 0, nullptr, instance);
    AddControl(window, "STATIC", kProductName, SS_LEFT, 80, 20, 280, 28, 0, fonts[kTitle], instance);
    AddControl(window, "STATIC", "Version " QUORREL_VERSION_TEXT, SS_LEFT, 80, 48, 280, 18, 0, fonts[kNormal], instance);
    AddControl(window, "STATIC", nullptr, SS_ETCHEDHORZ, 20, 85, kWidth - 40, 2, 0, nullptr, instance);
    AddControl(window, "STATIC", "Key Features:", SS_LEFT, 20, 100, 150, 18, 0, fonts[kBold], instance);
    AddControl(window, "STATIC", kFeatures, SS_LEFT, 30, 122, kWidth - 60, 90, 0, fonts[kNormal],
               instance);
    AddControl(window, "STATIC", nullptr, SS_ETCHEDHORZ, 20, 222, kWidth - 40, 2, 0, nullptr, instance);
    AddControl(window, "STATIC", kRights, SS_LEFT, 20, 237, kWidth - 40, 36, 0, fonts[kNormal],
               instance);
    AddControl(window, "STATIC", kLinkText, SS_NOTIFY, 20, 277, 180, 18, kLinkId, fonts[kLink],
               instance);
    HWND ok = AddControl(window, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, (kWidth - 80) / 2,
                         kHeight - 70, 80, 26, IDOK, fonts[kNormal], instance);
    HICON appIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    if (icon && appIcon) SendMessageA(icon, STM_SETICON, (WPARAM)appIcon, 0);

    RECT area;
    HWND reference = owner ? owner : GetDesktopWindow();
    if (!GetWindowRect(reference, &area)) GetWindowRect(GetDesktopWindow(), &area);
    int x = area.left + (area.right - area.left - kWidth) / 2;
    int y = area.top + (area.bottom - area.top - kHeight) / 2;
    MoveWindow(window, x, y, kWidth, kHeight, FALSE);

    for (int i = 0; i < kFontCount; ++i) {
        if (!fonts[i]) continue;
        if (SetPropA(window, kFontProps[i], (HANDLE)fonts[i])) continue;
        AutoDeleteObject unkept(fonts[i]);  // nowhere to keep it until the window closes
    }

    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    if (ok) SetFocus(ok);
    RunModalWindow(window, owner);
}
