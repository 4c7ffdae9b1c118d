// The program's modal windows as one stack, in the order they opened: its own
// (About, the prompt), which run RunModalWindow, and the system's (message
// boxes, the shortcuts dialog, the file dialogs, the folder picker), which run
// inside a SystemModal. UI thread only; the frames live on the call stack, one
// loop nesting inside the dispatch of another.
//
// Each new modal window is owned by the newest one open, or by the main window
// when none is (ModalOwner), so every window below the newest is disabled and
// each, as it ends, gives the keyboard back to the one below it: the main
// window is enabled exactly when the last one has closed, whatever opened them.
#pragma once
#include <windows.h>

// The newest modal window of the program still open, or null.
HWND NewestModalWindow();
// The owner for a modal window about to open: the newest open, or the main window.
HWND ModalOwner();

// One open modal window, as the stack keeps it.
struct ModalFrame {
    HWND window;  // a system window: null until it has been found, shown, by its owner
    HWND owner;
    int system;   // shown by the system (SystemModal) rather than by RunModalWindow
    int ended;    // seen closed
    ModalFrame* older;
    ModalFrame* newer;
};

// One of the system's modal windows while it runs: construct it just before
// the call that shows the window, and give that call owner() (ModalOwner()
// unless another owner is named).
class SystemModal {
public:
    SystemModal() : SystemModal(ModalOwner()) {}
    explicit SystemModal(HWND owner);
    ~SystemModal();
    HWND owner() const;
    SystemModal(const SystemModal&) = delete;
    SystemModal& operator=(const SystemModal&) = delete;

private:
    ModalFrame frame_;
};

// A message box owned as above, of UTF-8 text and caption; returns what
// MessageBoxW returns.
int ModalMessageBox(const char* text, const char* caption, UINT type);

// Disables `owner` (may be null) and dispatches the thread's messages until
// `window` is gone; each message for an open modal window of the program goes to
// the dialog manager of that window first. A quit request ends the loop early:
// it is posted again for the loop outside, and `window` is destroyed. Afterwards
// the owner is enabled again when it was enabled on entry, and the newest modal
// window left (or else the owner) comes to the front.
// Returns 1 when the window closed, 0 when a quit request ended the loop.
int RunModalWindow(HWND window, HWND owner);

// Puts the stack right after a window of it has ended out of turn (a posted
// WM_CLOSE, another program): the windows it owned go with it, as a window's
// owned windows do, and the main window is disabled exactly while one is open.
// The loops call it after each message; the main window calls it when it is
// enabled, which a system dialog ending under a newer one does.
void SettleModalWindows();
