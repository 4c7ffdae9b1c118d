// The modal loop of the program's own windows (About, the input prompt). It owns
// the list of the loops running now, which nest on the call stack, one inside
// the dispatch of another. UI thread only.
#pragma once
#include <windows.h>

// Disables `owner` (may be null) and dispatches the thread's messages until
// `window` is gone; each message for an open modal window of the program goes to
// the dialog manager of that window first. A quit request ends the loop early:
// it is posted again for the loop outside, and `window` is destroyed. Afterwards
// the owner is enabled and brought to the front only when it was enabled on entry
// and no other modal window of the program with that owner is still open; else
// the newest modal window still open comes to the front. So does it at once when
// an older modal window closes under a newer one.
// Returns 1 when the window closed, 0 when a quit request ended the loop.
int RunModalWindow(HWND window, HWND owner);

// The newest modal window of the program still open with `owner` (any owner
// when null), or null.
HWND OpenModalWindow(HWND owner);
