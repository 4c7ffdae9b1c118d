// One modal loop for the program's own windows: it ends when its window is gone,
// whichever of the nested windows closes first.
#include "dialogs/modal_win.h"

namespace {

struct ModalFrame {
    HWND window;  // null once it was seen closed out of order
    HWND owner;
    ModalFrame* outer;
};

ModalFrame* innermost;  // the loops running now, newest first

// The open modal window that `target` belongs to, or null. A window closed out
// of order waits for the loops inside it to return, and its keys must keep
// working meanwhile, whichever loop takes them.
HWND ModalWindowOf(HWND target) {
    if (!target) return nullptr;
    HWND root = GetAncestor(target, GA_ROOT);
    for (const ModalFrame* frame = innermost; frame; frame = frame->outer) {
        if (frame->window == root) return IsWindow(root) ? root : nullptr;
    }
    return nullptr;
}

// An older window closed under a newer one cannot have its loop return yet, and
// the platform hands the activation to whatever it likes: the newest window left
// takes it, once per close, so that the user's keys stay with the program.
void BringNewestForwardAfterClose(ModalFrame* outer) {
    int closed = 0;
    for (ModalFrame* frame = outer; frame; frame = frame->outer) {
        if (frame->window && !IsWindow(frame->window)) {
            frame->window = nullptr;
            closed = 1;
        }
    }
    HWND open = closed ? OpenModalWindow(nullptr) : nullptr;
    if (open) SetForegroundWindow(open);
}

}  // namespace

HWND OpenModalWindow(HWND owner) {
    for (const ModalFrame* frame = innermost; frame; frame = frame->outer) {
        if ((!owner || frame->owner == owner) && IsWindow(frame->window)) return frame->window;
    }
    return nullptr;
}

int RunModalWindow(HWND window, HWND owner) {
    // EnableWindow answers whether the window was disabled before.
    int ownerWasEnabled = owner && !EnableWindow(owner, FALSE);
    ModalFrame frame = {window, owner, innermost};
    innermost = &frame;

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
        BringNewestForwardAfterClose(frame.outer);
    }
    innermost = frame.outer;
    if (!closed && IsWindow(window)) DestroyWindow(window);

    // The owner stays disabled while another window still holds it; the user
    // goes back to the newest window left open.
    if (ownerWasEnabled && IsWindow(owner) && !OpenModalWindow(owner)) {
        EnableWindow(owner, TRUE);
        SetForegroundWindow(owner);
    } else if (HWND open = OpenModalWindow(nullptr)) {
        SetForegroundWindow(open);
    }
    return closed;
}
