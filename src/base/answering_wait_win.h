// A wait on the UI thread that keeps the program answering: while it lasts,
// paint messages and the messages other threads send (the recording hooks'
// calls among them) are served, so the windows stay drawn and the system does
// not mark them "Not Responding"; input, timers, hotkeys and posted commands
// stay queued for afterwards. UI thread only.
#pragma once
#include <windows.h>

// Waits for `object` (null: for the time alone) at most `timeoutMs`, which is
// finite. WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED.
DWORD WaitAnswering(HANDLE object, DWORD timeoutMs);
// 1 while such a wait runs. The work that waits has not finished, so a message
// sent meanwhile that would start a command must be dropped.
int IsWaitingAnswering();
