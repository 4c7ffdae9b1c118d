#include "base/system_dll_win.h"

#include <commctrl.h>

#include <atomic>

namespace {

using TimerPeriodFn = UINT(WINAPI*)(UINT);
using InitControlsFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

int timerLookedUp;
TimerPeriodFn beginPeriod;
std::atomic<TimerPeriodFn> endPeriod;

}  // namespace

HMODULE LoadSystemLibrary(const char* name) {
    WCHAR path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    int nameLength = lstrlenA(name);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH) return nullptr;
    path[length++] = L'\\';
    for (int i = 0; i <= nameLength; ++i) path[length + i] = (WCHAR)(unsigned char)name[i];  // ASCII names
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void BeginTimerPeriod(UINT ms) {
    if (!timerLookedUp) {
        timerLookedUp = 1;
        HMODULE winmm = LoadSystemLibrary("winmm.dll");
        beginPeriod = FunctionIn<TimerPeriodFn>(winmm, "timeBeginPeriod");
        endPeriod.store(FunctionIn<TimerPeriodFn>(winmm, "timeEndPeriod"), std::memory_order_release);
    }
    if (beginPeriod) beginPeriod(ms);
}

void EndTimerPeriod(UINT ms) {
    if (TimerPeriodFn end = endPeriod.load(std::memory_order_acquire)) end(ms);
}

void InitSystemCommonControls(DWORD classes) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, classes};
    if (InitControlsFn init = FunctionIn<InitControlsFn>(LoadSystemLibrary("comctl32.dll"), "InitCommonControlsEx"))
        init(&controls);
}
