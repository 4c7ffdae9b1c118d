// The input prompt's window, its modal loop and its painted buttons.
#include "dialogs/prompt_win.h"

#include <cstdlib>
#include <cstring>

#include "base/dpi_win.h"
#include "base/gdi_win.h"
#include "base/guards_win.h"
#include "base/shell_handles_win.h"
#include "dialogs/modal_win.h"

namespace {

constexpr char kPromptClass[] = "QuorrelInputDialog";
constexpr int kWidth = 300;  // outer size at 96 DPI
constexpr int kHeight = 195;
constexpr DWORD kStyle = WS_POPUPWINDOW | WS_DLGFRAME;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
constexpr int kEditId = 1001;
// The controls' places at 96 DPI. The prompt line is the window width less 95 wide.
constexpr LayoutBox kIconBox = {20, 25, 32, 32};
constexpr LayoutBox kLabelBox = {75, 30, kWidth - 95, 35};
constexpr LayoutBox kEditBox = {75, 80, 205, 22};
constexpr LayoutBox kOkBox = {115, 135, 75, 25};
constexpr LayoutBox kCancelBox = {205, 135, 75, 25};
// The stock font's line at 96 DPI, which the prompt line (two lines) and the field
// were given room for there.
constexpr int kGuiFontLine = 13;
constexpr int kTextLimit = 255;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

struct InputPromptState {
    char text[kTextLimit + 1];
    int accepted;
    HWND edit;
    HWND focus;  // the control that had the keyboard focus when the prompt lost it
    HWND icon, label, ok, cancel;
    HICON question;  // shown by `icon`, loaded for `dpi`; destroyed when the prompt ends
    int dpi;
};

HBRUSH whiteControlBrush;  // made on first use, kept for the process

HBRUSH WhiteControlBrush() {
    if (!whiteControlBrush) whiteControlBrush = CreateSolidBrush(kWhite);
    return whiteControlBrush;
}

InputPromptState* StateOf(HWND window) {
    return (InputPromptState*)GetWindowLongPtrA(window, GWLP_USERDATA);
}

void RegisterPromptClass(HINSTANCE instance) {
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = InputPromptWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kPromptClass;
    RegisterClassExA(&wc);  // fails harmlessly when already registered
}

// Created unplaced: LayOut gives every control its place for the prompt's DPI.
HWND Child(HWND parent, DWORD exStyle, const char* cls, const char* text, DWORD style, int id, HINSTANCE instance) {
    return CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent, (HMENU)(INT_PTR)id,
                           instance, nullptr);
}

// The height of the stock font's line, whatever DPI the system made it for.
int GuiFontLine() {
    HDC screen = GetDC(nullptr);
    TEXTMETRICA metrics = {};
    {
        ScopedSelectObject font(screen, GetStockObject(DEFAULT_GUI_FONT));
        GetTextMetricsA(screen, &metrics);
    }
    ReleaseDC(nullptr, screen);
    return metrics.tmHeight > 0 ? metrics.tmHeight : kGuiFontLine;
}

// The height of `box` at `dpi` for `lines` lines of a `line`-pixel font: its scaled
// height, or as much more as the font needs beyond the room it had at 96 DPI.
int RoomForFont(const LayoutBox& box, int lines, int line, int dpi) {
    int margin = ScaleForDpi(box.height - lines * kGuiFontLine, dpi);
    int scaled = ScaleBoxForDpi(box, dpi).height;
    return lines * line + margin > scaled ? lines * line + margin : scaled;
}

// Places every control for `dpi`, with the question icon loaded at its size. The
// prompt line and the field are drawn by the system in its stock font, made for
// the screen's DPI, which need not be this window's: they get room for it.
void LayOut(InputPromptState* state, int dpi) {
    state->dpi = dpi;
    ShowIconAtSize(state->icon, &state->question, nullptr, IDI_QUESTION, ScaleForDpi(kIconBox.width, dpi));

    int line = GuiFontLine();
    LayoutBox edit = ScaleBoxForDpi(kEditBox, dpi);
    edit.height = RoomForFont(kEditBox, 1, line, dpi);
    LayoutBox label = ScaleBoxForDpi(kLabelBox, dpi);
    label.height = RoomForFont(kLabelBox, 2, line, dpi);
    if (label.height > edit.y - label.y) label.height = edit.y - label.y;
    MoveControl(state->icon, ScaleBoxForDpi(kIconBox, dpi));
    MoveControl(state->label, label);
    MoveControl(state->edit, edit);
    MoveControl(state->ok, ScaleBoxForDpi(kOkBox, dpi));
    MoveControl(state->cancel, ScaleBoxForDpi(kCancelBox, dpi));
}

SIZE ClientSize(int dpi) { return ScaledClientSize(kWidth, kHeight, kStyle, kExStyle, dpi); }

// Another monitor or a new scaling: laid out again on the rectangle the system suggests.
LRESULT OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    InputPromptState* state = StateOf(window);
    if (!state) return DefWindowProcA(window, WM_DPICHANGED, wParam, lParam);
    int dpi = DpiOfDpiChange(wParam);
    LayOut(state, dpi);
    MoveToSuggestedRect(window, (const RECT*)lParam, ClientSize(dpi));
    InvalidateRect(window, nullptr, TRUE);
    return 0;
}

// Erases the whole client area white; the procedure has no class brush.
LRESULT OnEraseBackground(HWND window, HDC dc) {
    RECT rect;
    GetClientRect(window, &rect);
    FillSolidRect(dc, &rect, kWhite);
    return 1;
}

// OK and Cancel are painted by the program.
LRESULT OnDrawItem(HWND window, WPARAM wParam, LPARAM lParam) {
    const DRAWITEMSTRUCT* item = (const DRAWITEMSTRUCT*)lParam;
    if (item->CtlType != ODT_BUTTON) return DefWindowProcA(window, WM_DRAWITEM, wParam, lParam);
    char text[32];
    GetWindowTextA(item->hwndItem, text, sizeof text);
    InputPromptState* state = StateOf(window);
    DrawPromptButton(item->hDC, &item->rcItem, text, (item->itemState & ODS_SELECTED) != 0,
                     state ? state->dpi : kDefaultDpi);
    return 1;
}

// OK keeps the edit field's text; Cancel, Esc and the close box drop it.
void Finish(HWND window, int accept) {
    InputPromptState* state = StateOf(window);
    if (state) {
        if (accept) {
            state->text[0] = '\0';
            if (state->edit) GetWindowTextA(state->edit, state->text, sizeof state->text);
            state->accepted = 1;
        } else {
            state->accepted = 0;
        }
    }
    DestroyWindow(window);
}

// A plain window gets the keyboard focus itself when activated, which would leave
// the edit field deaf after the user came back from another window: the control
// that had it gets it back.
LRESULT OnActivate(HWND window, WPARAM wParam, LPARAM lParam) {
    InputPromptState* state = StateOf(window);
    if (!state) return DefWindowProcA(window, WM_ACTIVATE, wParam, lParam);
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) state->focus = focus;
        return 0;
    }
    HWND target = state->focus && IsChild(window, state->focus) ? state->focus : state->edit;
    if (target) SetFocus(target);
    return 0;
}

// The dialog manager sends Enter to the default id it asks for here. Painted
// buttons cannot say they are one, so the answer follows the focus: Enter on
// Cancel cancels; anywhere else it accepts.
LRESULT OnGetDefaultId(HWND window) {
    HWND cancel = GetDlgItem(window, IDCANCEL);
    return MAKELRESULT(cancel && GetFocus() == cancel ? IDCANCEL : IDOK, DC_HASDEFID);
}

}  // namespace

void DrawPromptButton(HDC dc, const RECT* rect, const char* text, int pressed, int dpi) {
    COLORREF fill = pressed ? RGB(204, 204, 204) : RGB(225, 225, 225);
    FillSolidRect(dc, rect, fill);
    DrawFrame(dc, rect, RGB(173, 173, 173), ScaleForDpi(1, dpi));

    HFONT font = CreateFontA(ScaleForDpi(-11, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                             DEFAULT_PITCH, "Segoe UI");
    AutoDeleteObject fontOwner(font);
    ScopedSelectObject fontSelection(dc, font);
    ScopedTextStyle style(dc, kBlack);
    RECT textRect = *rect;
    DrawTextA(dc, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

LRESULT CALLBACK InputPromptWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        const CREATESTRUCTA* create = (const CREATESTRUCTA*)lParam;
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)create->lpCreateParams);
        return 0;
    }
    case WM_ACTIVATE: return OnActivate(window, wParam, lParam);
    case WM_ERASEBKGND: return OnEraseBackground(window, (HDC)wParam);
    case WM_DRAWITEM: return OnDrawItem(window, wParam, lParam);
    case WM_DPICHANGED: return OnDpiChanged(window, wParam, lParam);
    case DM_GETDEFID: return OnGetDefaultId(window);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: Finish(window, 1); return 0;
        case IDCANCEL: Finish(window, 0); return 0;
        default: break;
        }
        break;
    case WM_CLOSE: Finish(window, 0); return 0;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        SetBkColor((HDC)wParam, kWhite);
        SetTextColor((HDC)wParam, kBlack);
        return (LRESULT)WhiteControlBrush();
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

char* PromptForText(HWND owner, const char* title, const char* prompt, const char* initial) {
    HINSTANCE instance = GetAppInstance();
    InputPromptState state;
    ZeroMemory(&state, sizeof state);
    if (initial) lstrcpynA(state.text, initial, sizeof state.text);

    RegisterPromptClass(instance);

    // The owner's DPI: the prompt opens where the owner is shown.
    int dpi = WindowDpi(owner);
    SIZE client = ClientSize(dpi);
    SIZE outer = WindowSizeForClient(client, kStyle, kExStyle, dpi);

    // Centred on the owner, hidden or not; the screen when there is none.
    RECT ownerRect;
    int x, y;
    if (owner && GetWindowRect(owner, &ownerRect)) {
        x = ownerRect.left + (ownerRect.right - ownerRect.left - outer.cx) / 2;
        y = ownerRect.top + (ownerRect.bottom - ownerRect.top - outer.cy) / 2;
    } else {
        x = (GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2;
    }

    HWND window = CreateWindowExA(kExStyle, kPromptClass, title, kStyle, x, y, outer.cx, outer.cy, owner, nullptr,
                                  instance, &state);
    if (!window) return nullptr;
    FitClientArea(window, client);

    state.icon = Child(window, 0, "STATIC", nullptr, SS_ICON, 0, instance);
    state.label = Child(window, 0, "STATIC", prompt, 0, 0, instance);
    state.edit = Child(window, WS_EX_CLIENTEDGE, "EDIT", state.text, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                       kEditId, instance);
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    if (state.label) SendMessageA(state.label, WM_SETFONT, (WPARAM)font, TRUE);
    if (state.edit) SendMessageA(state.edit, WM_SETFONT, (WPARAM)font, TRUE);
    state.ok = Child(window, 0, "BUTTON", "OK", WS_TABSTOP | BS_OWNERDRAW, IDOK, instance);
    state.cancel = Child(window, 0, "BUTTON", "Cancel", WS_TABSTOP | BS_OWNERDRAW, IDCANCEL, instance);
    LayOut(&state, dpi);

    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    if (state.edit) {
        SetFocus(state.edit);
        SendMessageA(state.edit, EM_SETSEL, 0, -1);
    }
    // A quit request takes the prompt down unanswered: `accepted` is still 0, as
    // only OK sets it, and OK closes the window.
    RunModalWindow(window, owner);
    if (state.question) DestroyIcon(state.question);

    if (!state.accepted) return nullptr;
    size_t length = strlen(state.text);
    char* result = (char*)malloc(length + 1);
    if (result) memcpy(result, state.text, length + 1);
    return result;
}
