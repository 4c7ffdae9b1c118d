// The six owner-drawn toolbar buttons: creation, tooltips, painting, the keys
// they pass on, the Show Captions window styles and the default and custom icon
// sets. UI thread only.
#include "ui/toolbar_win.h"

#include <commctrl.h>

#include <cstddef>
#include <cstring>

#include "base/dpi_win.h"
#include "base/gdi_win.h"
#include "base/guards_win.h"
#include "base/system_dll_win.h"
#include "base/wide_text_win.h"
#include "record/recorder_win.h"
#include "settings/settings.h"
#include "ui/toolbar.h"

static_assert(kToolbarButtonCount == kToolbarButtons, "one button table");

namespace {

constexpr COLORREF kBackground = RGB(240, 240, 240);
constexpr COLORREF kFocusFrame = RGB(0, 120, 215);
constexpr COLORREF kLabelColor = RGB(0, 0, 0);
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
constexpr RECT kLabelRect = {0, kToolbarIconSize, kToolbarIconSize, 60};
constexpr int kLabelFontHeight = -11;
// The tool record as common controls 5 know it: up to and including lParam
// (44 bytes on 32-bit Windows, 64 on 64-bit).
constexpr UINT kToolInfoSize = offsetof(TOOLINFOA, lParam) + sizeof(LPARAM);
static_assert(sizeof(void*) != 4 || kToolInfoSize == 44, "the 44-byte TOOLINFOA");
constexpr char kButtonProcProp[] = "QuorrelButtonProc";  // what a button ran before ButtonProc

HWND ownerWindow;
HWND toolbarButtons[kToolbarButtons];
HWND tooltipWindow;
int toolbarDpi = kDefaultDpi;           // the owner's; every figure here is scaled to it
HICON defaultIcons[kDefaultIconCount];  // owned here, loaded for toolbarDpi
HICON customIcons[kToolbarButtons];     // owned here, loaded at 40 x 40 and drawn scaled

// A click leaves the keyboard focus on the button, where the window's letter keys
// would die: they go on to the window. Everything else is the button's own.
LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = (WNDPROC)GetPropA(button, kButtonProcProp);
    if (message == WM_CHAR) return SendMessageA(GetParent(button), WM_CHAR, wParam, lParam);
    if (message == WM_NCDESTROY) RemovePropA(button, kButtonProcProp);
    return previous ? CallWindowProcA(previous, button, message, wParam, lParam)
                    : DefWindowProcA(button, message, wParam, lParam);
}

void ForwardKeysToOwner(HWND button) {
    WNDPROC previous = (WNDPROC)GetWindowLongPtrA(button, GWLP_WNDPROC);
    if (SetPropA(button, kButtonProcProp, (HANDLE)previous))
        SetWindowLongPtrA(button, GWLP_WNDPROC, (LONG_PTR)ButtonProc);
}

// The tooltip subclasses the button and names it while the pointer rests on it.
void AddButtonTooltip(HWND button, const char* text) {
    if (!tooltipWindow) return;
    TOOLINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = kToolInfoSize;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = ownerWindow;
    info.uId = (UINT_PTR)button;
    info.lpszText = const_cast<char*>(text);
    SendMessageA(tooltipWindow, TTM_ADDTOOLA, 0, (LPARAM)&info);
}

// The new icons show at the buttons' next paint. Start-up loads the saved set
// after the window has already been shown and painted with the defaults.
void InvalidateButtons() {
    for (HWND button : toolbarButtons)
        if (button) InvalidateRect(button, nullptr, TRUE);
}

void DestroyIcons(HICON* icons, int count) {
    for (int i = 0; i < count; ++i) {
        if (icons[i]) DestroyIcon(icons[i]);
        icons[i] = nullptr;
    }
}

int Scaled(int value) { return ScaleForDpi(value, toolbarDpi); }

void DrawLabel(HDC dc, const char* label, COLORREF color) {
    HFONT font = CreateFontA(Scaled(kLabelFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH,
                             "Segoe UI");
    AutoDeleteObject fontOwner(font);
    ScopedSelectObject fontSelection(dc, font);
    ScopedTextStyle style(dc, color);
    RECT rect = {Scaled(kLabelRect.left), Scaled(kLabelRect.top), Scaled(kLabelRect.right), Scaled(kLabelRect.bottom)};
    DrawTextA(dc, label, -1, &rect, DT_CENTER | DT_SINGLELINE);
}

// Pressed and focused look alike: a thin blue outline round the whole button.
void DrawFocusFrame(HDC dc) {
    RECT rect = {0, 0, Scaled(kToolbarButtonWidth), Scaled(kToolbarButtonHeight)};
    DrawFrame(dc, &rect, kFocusFrame, Scaled(1));
}

// The default icons from the image that suits the icon size at toolbarDpi. Loaded
// as the toolbar's own: a shared icon keeps the size it was first loaded at.
void LoadDefaultIcons() {
    int size = ChooseImageSize(kToolbarIconImageSizes, kToolbarIconImageCount, Scaled(kToolbarIconSize));
    // The icons live in the program's own resources, whatever instance the
    // window was created with.
    HMODULE self = GetModuleHandleA(nullptr);
    for (int slot = 0; slot < kDefaultIconCount; ++slot) {
        HICON icon = LoadIconAtSize(self, MAKEINTRESOURCEA(kDefaultIconLoadOrder[slot]), size);
        if (defaultIcons[slot]) DestroyIcon(defaultIcons[slot]);
        defaultIcons[slot] = icon;
    }
}

void PlaceButton(int index) {
    if (toolbarButtons[index])
        SetWindowPos(toolbarButtons[index], nullptr, Scaled(kToolbarButtonSpecs[index].x), Scaled(kToolbarButtonY),
                     Scaled(kToolbarButtonWidth), Scaled(kToolbarButtonHeight), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void CreateToolbar(HWND owner, HINSTANCE instance) {
    ownerWindow = owner;
    InitSystemCommonControls(ICC_BAR_CLASSES);
    tooltipWindow = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                    WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, owner,
                                    nullptr, instance, nullptr);

    toolbarDpi = WindowDpi(owner);
    LoadDefaultIcons();

    for (int i = 0; i < kToolbarButtons; ++i) {
        const ToolbarButtonSpec& spec = kToolbarButtonSpecs[i];
        toolbarButtons[i] = CreateWindowExA(0, "BUTTON", spec.windowText, kButtonStyle, 0, 0, 0, 0, owner,
                                            (HMENU)(UINT_PTR)spec.id, instance, nullptr);
        PlaceButton(i);
        if (toolbarButtons[i]) ForwardKeysToOwner(toolbarButtons[i]);
        AddButtonTooltip(toolbarButtons[i], spec.tooltip);
    }
}

void LayoutToolbar(int dpi) {
    toolbarDpi = dpi;
    LoadDefaultIcons();
    for (int i = 0; i < kToolbarButtons; ++i) PlaceButton(i);
    InvalidateButtons();
}

HWND GetToolbarButton(int index) {
    return index >= 0 && index < kToolbarButtons ? toolbarButtons[index] : nullptr;
}

HWND FindToolbarButton(int controlId) {
    return GetToolbarButton(ToolbarButtonIndex(controlId));
}

HWND GetToolbarTooltip() { return tooltipWindow; }

HICON GetButtonIcon(int controlId) {
    int index = ToolbarButtonIndex(controlId);
    int haveCustom = index >= 0 && customIcons[index] != nullptr;
    ToolbarIconChoice choice = ChooseButtonIcon(controlId, UseCustom, haveCustom, IsRecording());
    switch (choice.source) {
    case ToolbarIconSource::Custom: return customIcons[choice.index];
    case ToolbarIconSource::Default: {
        int slot = DefaultIconSlot(choice.index);
        return slot >= 0 ? defaultIcons[slot] : nullptr;
    }
    case ToolbarIconSource::None: break;
    }
    return nullptr;
}

const char* GetButtonLabel(int controlId) { return ChooseButtonLabel(controlId, IsRecording()); }

COLORREF GetButtonTextColor(int) { return kLabelColor; }

void PaintToolbarButton(const DRAWITEMSTRUCT* item) {
    if (!item) return;
    HDC dc = item->hDC;
    int id = (int)item->CtlID;

    FillSolidRect(dc, &item->rcItem, kBackground);

    HICON icon = GetButtonIcon(id);
    const char* label = GetButtonLabel(id);
    if (icon) {
        int size = Scaled(kToolbarIconSize);
        DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    }
    if (ShowCaptions == 1 && label[0]) DrawLabel(dc, label, GetButtonTextColor(id));
    if (item->itemState & (ODS_SELECTED | ODS_FOCUS)) DrawFocusFrame(dc);
}

void ApplyCaptionMode(int on) {
    for (int i = 0; i < kToolbarButtons; ++i) {
        HWND button = toolbarButtons[i];
        if (!button) continue;
        SetWindowTextA(button, on ? kToolbarButtonSpecs[i].windowText : "");
        LONG style = GetWindowLongA(button, GWL_STYLE);
        style = on ? ((style & ~BS_ICON) | BS_BOTTOM) : ((style & ~BS_BOTTOM) | BS_ICON);
        SetWindowLongA(button, GWL_STYLE, style);
    }
    InvalidateButtons();
    for (HWND button : toolbarButtons)
        if (button) UpdateWindow(button);
}

int LoadCustomToolbarIcons(const char* folder) {
    HICON loaded[kToolbarButtons] = {};
    char path[kPathBytes];
    for (int i = 0; i < kToolbarButtons; ++i) {
        int built = BuildCustomIconPath(path, sizeof path, folder, kToolbarButtonSpecs[i].customFile);
        WidePath file(built ? path : nullptr);
        if (!file.ok || GetFileAttributesW(file.text) == INVALID_FILE_ATTRIBUTES) {
            DestroyIcons(loaded, i);
            return 0;
        }
        loaded[i] = (HICON)LoadImageW(nullptr, file.text, IMAGE_ICON, kToolbarIconSize, kToolbarIconSize,
                                      LR_LOADFROMFILE);
        if (!loaded[i]) {
            DestroyIcons(loaded, i);
            return 0;
        }
    }
    // Only now that the whole new set is in hand may the old one go.
    for (int i = 0; i < kToolbarButtons; ++i) {
        if (customIcons[i]) DestroyIcon(customIcons[i]);
        customIcons[i] = loaded[i];
    }
    UseCustom = 1;
    // The caller may pass CustomPath itself (start-up reloads the saved folder).
    if (folder != CustomPath) {
        size_t length = strlen(folder);  // fits: the icon paths built from it did
        memcpy(CustomPath, folder, length + 1);
    }
    InvalidateButtons();
    return 1;
}

void UseDefaultToolbarIcons() {
    DestroyIcons(customIcons, kToolbarButtons);
    UseCustom = 0;
    CustomPath[0] = '\0';
    InvalidateButtons();
}
