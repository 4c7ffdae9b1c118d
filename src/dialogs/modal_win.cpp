// The stack of the program's modal windows, its loop for the program's own
// windows, and the rules that hold whichever order they open and close in.
#include "dialogs/modal_win.h"

#include "base/shell_handles_win.h"
#include "base/wide_text_win.h"

namespace {

ModalFrame* newestFrame;  // the frames open now, newest first

void Push(ModalFrame* frame, HWND window, HWND owner, int system) {
    *frame = {window, owner, system, 0, newestFrame, nullptr};
    if (newestFrame) newestFrame->newer = frame;
    newestFrame = frame;
}

// Loops nest on the call stack, so the frame that ends is always the newest.
void Pop(ModalFrame* frame) {
    newestFrame = frame->older;
    if (newestFrame) newestFrame->newer = nullptr;
}

bool IsFrameWindow(HWND window) {
    for (const ModalFrame* frame = newestFrame; frame; frame = frame->older)
        if (frame->window == window) return true;
    return false;
}

struct DialogSearch {
    HWND owner;
    HWND found;
};

// Message boxes, dialog boxes, the file dialogs and the folder picker are all
// of the dialog class.
BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM param) {
    DialogSearch* search = reinterpret_cast<DialogSearch*>(param);
    char cls[16];
    if (GetWindow(window, GW_OWNER) != search->owner || !IsWindowVisible(window) ||
        !GetClassNameA(window, cls, sizeof cls) || lstrcmpA(cls, "#32770") != 0 || IsFrameWindow(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

// A system window is known once it shows: the one dialog its owner owns that no
// other frame has.
HWND WindowOf(ModalFrame* frame) {
    if (!frame->window && frame->system) {
        DialogSearch search = {frame->owner, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
        frame->window = search.found;
    }
    return frame->window;
}

// The program's own windows end by being destroyed. A system dialog that ends
// is hidden, and its owner enabled, at once, and destroyed only when its loop
// next looks; a dialog hidden with a minimised owner leaves the owner disabled.
bool Ended(ModalFrame* frame) {
    if (frame->ended) return true;
    HWND window = WindowOf(frame);
    if (!window) return false;  // still opening
    frame->ended = !IsWindow(window) ||
                   (frame->system && !IsWindowVisible(window) && IsWindowEnabled(frame->owner));
    return frame->ended;
}

// The open modal window that `target` belongs to, or null. Its keys go to its
// dialog manager whichever loop takes them.
HWND ModalWindowOf(HWND target) {
    HWND root = target ? GetAncestor(target, GA_ROOT) : nullptr;
    for (ModalFrame* frame = newestFrame; root && frame; frame = frame->older)
        if (frame->window == root && !Ended(frame)) return root;
    return nullptr;
}

void BringNewestForward(HWND fallback) {
    HWND front = NewestModalWindow();
    if (!front) front = fallback;
    if (front && IsWindow(front)) SetForegroundWindow(front);
}

}  // namespace

HWND NewestModalWindow() {
    for (ModalFrame* frame = newestFrame; frame; frame = frame->older)
        if (!Ended(frame) && frame->window) return frame->window;
    return nullptr;
}

HWND ModalOwner() {
    HWND newest = NewestModalWindow();
    return newest ? newest : GetMainWindow();
}

void SettleModalWindows() {
    ModalFrame* oldest = newestFrame;
    while (oldest && oldest->older) oldest = oldest->older;
    int open = 0, closedNow = 0;
    for (ModalFrame* frame = oldest; frame; frame = frame->newer) {
        int wasEnded = frame->ended;
        // A window whose owner in the stack has ended goes with it.
        for (ModalFrame* below = frame->older; below && !Ended(frame); below = below->older) {
            if (below->window != frame->owner || !Ended(below)) continue;
            if (IsWindow(frame->window)) DestroyWindow(frame->window);
            frame->ended = 1;
        }
        closedNow |= Ended(frame) && !wasEnded;
        open |= !Ended(frame);
    }
    HWND main = GetMainWindow();
    if (main && IsWindow(main) && !open != !IsWindowEnabled(main)) EnableWindow(main, !open);
    if (closedNow) BringNewestForward(nullptr);
}

SystemModal::SystemModal(HWND owner) { Push(&frame_, nullptr, owner, 1); }

SystemModal::~SystemModal() {
    Pop(&frame_);
    SettleModalWindows();
    BringNewestForward(nullptr);
}

HWND SystemModal::owner() const { return frame_.owner; }

int ModalMessageBox(const char* text, const char* caption, UINT type) {
    SystemModal modal;
    return ShowMessageBox(modal.owner(), text, caption, type);
}

int RunModalWindow(HWND window, HWND owner) {
    // EnableWindow answers whether the window was disabled before.
    int ownerWasEnabled = owner && !EnableWindow(owner, FALSE);
    ModalFrame frame;
    Push(&frame, window, owner, 0);

    int closed = 1;
    MSG msg;
    // The check comes before the wait, so that a message is never taken after the
    // window has gone: what a loop takes, it dispatches.
    while (IsWindow(window)) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program's own quit request (no window of ours posts one): it
            // belongs to the main loop, so it goes back into the queue for the
            // loop outside, which does the same.
            if (got == 0) PostQuitMessage((int)msg.wParam);
            closed = 0;
            break;
        }
        HWND dialog = ModalWindowOf(msg.hwnd);
        if (!dialog || !IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        SettleModalWindows();
    }
    Pop(&frame);
    if (!closed && IsWindow(window)) DestroyWindow(window);
    if (ownerWasEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
    SettleModalWindows();
    BringNewestForward(ownerWasEnabled ? owner : nullptr);
    return closed;
}
