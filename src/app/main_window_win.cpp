// The main window procedure: the program's switchboard. Each message is handed
// to the module that owns the work; the procedure keeps no state of its own.
// UI thread only.
#include <cctype>
#include <cstdlib>

#include "app/app_win.h"
#include "base/answering_wait_win.h"
#include "base/dpi_win.h"
#include "base/gdi_win.h"
#include "base/guards_win.h"
#include "app/commands.h"
#include "app/hotkeys_win.h"
#include "app/prefs_commands_win.h"
#include "app/status_win.h"
#include "dialogs/modal_win.h"
#include "macro/macro_buffer.h"
#include "macro/rec_file_win.h"
#include "macro/slots.h"
#include "macro/slots_win.h"
#include "playback/playback.h"
#include "record/recorder_win.h"
#include "settings/settings.h"
#include "settings/settings_file_win.h"
#include "ui/prefs_menu_win.h"
#include "ui/toolbar_win.h"
#include "ui/tray_win.h"

namespace {

constexpr COLORREF kBackground = RGB(240, 240, 240);
constexpr int kPrefsCommandFirst = 2000;
constexpr int kPrefsCommandLast = 2999;

bool IsToolbarButton(HWND window) {
    if (!window) return false;
    for (int i = 0; i < kToolbarButtonCount; ++i)
        if (GetToolbarButton(i) == window) return true;
    return false;
}

// The engines' notices, toolbar, slots and hotkeys; the settings file is read later by WinMain, so
// the hotkeys registered here are always the fixed combinations.
LRESULT OnCreate(HWND window) {
    SetEngineListener(ShowEngineChange);
    SetMainWindowDpi(WindowDpi(window));
    CreateToolbar(window, GetAppInstance());
    InitSlots();
    RegisterMainHotkeys(window);
    RegisterSlotHotkeys(window);
    RegisterShortcutsHotkey(window);
    // Focus rectangles and mnemonic underlines visible from the start.
    SendMessageA(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    return 0;
}

// Background of the client area; the toolbar buttons paint themselves.
LRESULT OnEraseBackground(HWND window, HDC dc) {
    RECT rect;
    GetClientRect(window, &rect);
    FillSolidRect(dc, &rect, kBackground);
    return 1;
}

// The window draws nothing itself; it has every button repaint over the
// freshly erased background.
LRESULT OnPaint(HWND window) {
    ScopedPaint paint(window);
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        HWND button = GetToolbarButton(i);
        if (!button) continue;
        InvalidateRect(button, nullptr, TRUE);
        UpdateWindow(button);
    }
    return 0;
}

// The hand over the buttons, except while a macro plays (its cursor moves are
// the macro's own).
LRESULT OnSetCursor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsPlaying()) return DefWindowProcA(window, message, wParam, lParam);
    SetCursor(LoadCursorA(nullptr, IsToolbarButton((HWND)wParam) ? IDC_HAND : IDC_ARROW));
    return 1;
}

// Menu choices go to the preferences; clicks and posted commands to the toolbar.
// A command sent while an earlier one still waits (for the compiler) is dropped.
LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    if (IsWaitingAnswering()) return 0;
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    if (id >= kPrefsCommandFirst && id <= kPrefsCommandLast) HandlePreferencesCommand(window, id);
    else if (code == 0) HandleToolbarCommand(id, (intptr_t)lParam);
    return 0;
}

// A right click on a button; its point is signed, since a monitor left of or
// above the primary one has negative coordinates. The keyboard's (-1, -1)
// opens the menu where the Prefs button does.
LRESULT OnContextMenu(HWND window, LPARAM lParam) {
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    if (x == -1 && y == -1) HandleToolbarCommand(CMD_PREFS);
    else ShowPreferencesMenu(window, x, y);
    return 0;
}

LRESULT OnChar(HWND window, WPARAM wParam) {
    switch (tolower((int)(unsigned char)wParam)) {
    // O and S: the working macro, silently.
    case 'o': OpenIntoWorkingMacro(Win32Shell()); break;
    case 's': SaveWorkingMacro(Win32Shell()); break;
    case 'r': PostMessageA(window, WM_COMMAND, CMD_RECORD, CMD_ORIGIN_WINDOW_KEY); break;
    case 'p': PostMessageA(window, WM_COMMAND, CMD_PLAY, 0); break;
    default: break;
    }
    return 0;
}

// Minimising hides the window behind the tray icon instead. Should the shell
// refuse the icon, a hidden window would have no way back, so it is shown again
// and minimised the ordinary way, to the taskbar.
LRESULT OnSysCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((wParam & 0xFFF0) != SC_MINIMIZE) return DefWindowProcA(window, message, wParam, lParam);
    ShowWindow(window, SW_HIDE);
    if (AddTrayIcon(window)) return 0;
    RemoveTrayIcon(window);
    ShowWindow(window, SW_SHOWNA);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The recording clock (which also looks after the recording hooks) and the
// playback countdown; a tick that outlives its engine only stops its timer.
LRESULT OnTimer(HWND window, WPARAM id) {
    if (id == TIMER_REC_CLOCK) {
        if (IsRecording()) {
            WatchRecordingHooks();
            SetStateCaption(window, kCaptionRecording);
        } else {
            KillTimer(window, TIMER_REC_CLOCK);
        }
    } else if (id == TIMER_PLAY_PROGRESS) {
        if (IsPlaying()) {
            UpdatePlaybackCaption();
        } else {
            KillTimer(window, TIMER_PLAY_PROGRESS);
            SetStateCaption(window, kCaptionIdle);
        }
    }
    return 0;
}

// F1 anywhere opens the shortcuts, Ctrl+digit switches slots; the others record and play.
LRESULT OnHotkey(HWND window, WPARAM id) {
    HandleHotkey(window, (int)id);
    return 0;
}

// A system dialog that ends enables its owner whatever disabled it: this
// window, when the dialog was the oldest of the modal windows and ended out of
// turn under newer ones; those go with it, and the window stays disabled
// while any is left.
LRESULT OnEnable(WPARAM enabled) {
    if (enabled) SettleModalWindows();
    return 0;
}

// The window is disabled while a modal window is open; switching to the
// program (the taskbar, Alt+Tab, the tray) brings the newest of them forward.
LRESULT OnActivate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND newest = LOWORD(wParam) != WA_INACTIVE ? NewestModalWindow() : nullptr;
    if (!newest) return DefWindowProcA(window, message, wParam, lParam);
    SetForegroundWindow(newest);
    return 0;
}

// Another monitor or a new scaling: the toolbar laid out and drawn for the new DPI,
// the window on the rectangle the system suggests, its client area scaled.
LRESULT OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    int dpi = DpiOfDpiChange(wParam);
    SetMainWindowDpi(dpi);
    LayoutToolbar(dpi);
    int height = ShowCaptions ? kClientHeightWithCaptions : kClientHeightWithoutCaptions;
    MoveToSuggestedRect(window, (const RECT*)lParam, MainClientSize(height));
    InvalidateRect(window, nullptr, TRUE);
    return 0;
}

// The worker has ended; the toolbar repaints its idle state. A notice that
// finds a playback running was posted by a worker that ended just before this
// playback started: the countdown is the new playback's, and stays.
LRESULT OnPlaybackEnded(HWND window) {
    if (IsPlaying()) return 0;
    OnPlaybackFinished();
    KillTimer(window, TIMER_PLAY_PROGRESS);
    SetStateCaption(window, kCaptionIdle);
    InvalidateRect(window, nullptr, TRUE);
    return 0;
}

// End of the program: save, release what the window holds, leave the loop. A
// recording still running ends with the process; a playback is stopped first,
// so that its worker lets go of the keys and buttons it holds down.
LRESULT OnDestroy(HWND window) {
    if (IsPlaying()) StopPlayback();
    SaveSettings(window);
    RemoveTrayIcon(window);
    UnregisterHotKey(window, HOTKEY_SHORTCUTS);
    UnregisterSlotHotkeys(window);
    UnregisterMainHotkeys(window);
    FreeSlots();
    PostQuitMessage(0);
    return 0;
}

// Sign-out and shutdown end the process after this message, without
// WM_DESTROY: what the menu keeps only in memory is saved now, a playback lets
// go of what it holds, and a recording ends without its box, which would keep
// the save from running.
LRESULT OnEndSession(HWND window, WPARAM ending) {
    if (!ending) return 0;
    if (IsRecording()) StopRecording();
    if (IsPlaying()) StopPlayback();
    SaveSettings(window);
    RemoveTrayIcon(window);
    return 0;
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_SIZE: InvalidateRect(window, nullptr, TRUE); return 0;
    case WM_MOVE:
        if (!IsIconic(window)) SaveSettings(window);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_ERASEBKGND: return OnEraseBackground(window, (HDC)wParam);
    case WM_PAINT: return OnPaint(window);
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_BUTTON) return DefWindowProcA(window, message, wParam, lParam);
        PaintToolbarButton(item);
        return 1;
    }
    case WM_SETCURSOR: return OnSetCursor(window, message, wParam, lParam);
    case WM_COMMAND: return OnCommand(window, wParam, lParam);
    case WM_CHAR: return OnChar(window, wParam);
    case WM_RBUTTONUP: {
        POINT point;
        GetCursorPos(&point);
        ShowPreferencesMenu(window, point.x, point.y);
        return 0;
    }
    case WM_CONTEXTMENU: return OnContextMenu(window, lParam);
    case WM_SYSCOMMAND: return OnSysCommand(window, message, wParam, lParam);
    case WM_TIMER: return OnTimer(window, wParam);
    case WM_HOTKEY: return OnHotkey(window, wParam);
    case WM_ENABLE: return OnEnable(wParam);
    case WM_ACTIVATE: return OnActivate(window, message, wParam, lParam);
    case WM_DPICHANGED: return OnDpiChanged(window, wParam, lParam);
    case WM_TRAYICON: HandleTrayNotification(window, lParam, ModalOwner()); return 0;
    case WM_PLAYBACK_FINISHED: return OnPlaybackEnded(window);
    case WM_ENDSESSION: return OnEndSession(window, wParam);
    case WM_DESTROY: return OnDestroy(window);
    default:
        HandleTaskbarCreated(window, message);
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
