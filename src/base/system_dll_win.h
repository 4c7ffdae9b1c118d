// The system libraries the program uses without importing them, each loaded
// from the system folder by its full path. Neither winmm nor comctl32 is a
// KnownDLL: imported, either would be looked for in the program's own folder
// first, where a DLL of that name (Downloads collects them) would run inside
// the program. Also the lookup of the calls only newer systems export. UI
// thread, except where said.
#pragma once
#include <windows.h>

// The function `name` of `module`, or null where the module or the function is
// missing: calls that only newer systems export are looked up at run time, in a
// library the process has loaded already (user32, kernel32) or one that
// LoadSystemLibrary gave.
// Any thread.
template <typename Fn>
Fn FunctionIn(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// The library `name` ("winmm.dll") from the system folder, or null; its own
// imports are looked for there too. It stays loaded.
HMODULE LoadSystemLibrary(const char* name);

// winmm's timer period (timeBeginPeriod, timeEndPeriod); nothing happens where
// the library is missing. The end may come from any thread, after a begin.
void BeginTimerPeriod(UINT ms);
void EndTimerPeriod(UINT ms);

// InitCommonControlsEx of the system's comctl32, in its classic form (no
// visual styles, so the controls keep their look and sizes).
void InitSystemCommonControls(DWORD classes);
