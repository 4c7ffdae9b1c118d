#include "base/answering_wait_win.h"

namespace {

// Windows calls a window hung when its thread has looked at its queue for none
// of the last 5 s; each slice ends with a look.
constexpr DWORD kSliceMs = 250;
// A window that never validates its paint region must not keep the wait going.
constexpr int kPaintsPerSlice = 64;

int waiting;

}  // namespace

DWORD WaitAnswering(HANDLE object, DWORD timeoutMs) {
    ++waiting;
    const DWORD count = object ? 1 : 0;
    const DWORD start = GetTickCount();
    DWORD result = WAIT_TIMEOUT;
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        const DWORD left = elapsed < timeoutMs ? timeoutMs - elapsed : 0;
        const DWORD woke = MsgWaitForMultipleObjects(count, object ? &object : nullptr, FALSE,
                                                     left < kSliceMs ? left : kSliceMs, QS_PAINT | QS_SENDMESSAGE);
        if (woke == WAIT_FAILED || (count && woke == WAIT_OBJECT_0)) {
            result = woke;
            break;
        }
        // Sent messages are served inside PeekMessage itself; of the queue, only paint is taken.
        MSG message;
        for (int i = 0; i < kPaintsPerSlice && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i)
            DispatchMessageA(&message);
        if (left == 0) break;
    }
    --waiting;
    return result;
}

int IsWaitingAnswering() { return waiting > 0; }
