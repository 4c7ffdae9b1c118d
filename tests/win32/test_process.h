// Process helpers the Win32 test suites share: where the test programs and their
// helper programs lie, and running a helper to its end.
#pragma once
#include <windows.h>

#include <string>

// The folder of this test program, with its trailing backslash: the helpers lie beside it.
inline std::string TestsDir() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
    const std::string dir(path, n);
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}

// Starts `exe` with `arguments`, hidden, with `folder` as its current folder
// (null: this process's); its process handle, or null.
inline HANDLE Start(const std::string& exe, const std::string& arguments, const char* folder = nullptr) {
    std::string line = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, folder, &startup,
                        &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

// Runs it to its end: the exit code; -1 when it did not end within the time
// (it is stopped then), -2 when it did not start.
inline int RunToEnd(const std::string& exe, const std::string& arguments, DWORD timeoutMs = 60000,
                    const char* folder = nullptr) {
    HANDLE process = Start(exe, arguments, folder);
    if (!process) return -2;
    DWORD code = 0;
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &code)) {
        TerminateProcess(process, 1);
        code = static_cast<DWORD>(-1);
    }
    CloseHandle(process);
    return static_cast<int>(code);
}
