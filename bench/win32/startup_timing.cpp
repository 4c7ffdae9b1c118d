// Start-up time of a program with a window: from CreateProcess until one of its
// top-level windows is visible, best and median of several rounds. Compares the
// program named on the command line with a minimal Win32 window program (this
// one, run with --window) in the same run, rounds interleaved, so that the
// figure says what the program adds to what the system costs anyway.
//   startup_timing PROGRAM.exe [ROUNDS]
// Prints two lines; asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int MinimalWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MinimalProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "MinimalWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("MinimalWindow", "Minimal", WS_OVERLAPPEDWINDOW, 100, 100, 300, 120, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

struct Search {
    DWORD pid;
    bool found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM param) {
    Search* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && IsWindowVisible(window)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds until a visible window, or -1.
double TimeStart(const char* commandLine, const char* folder) {
    std::vector<char> line(commandLine, commandLine + strlen(commandLine) + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &process))
        return -1;
    double ms = -1;
    for (;;) {
        Search search = {process.dwProcessId, false};
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        double elapsed = double(now.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
        if (search.found) {
            ms = elapsed;
            break;
        }
        if (elapsed > 30000 || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
        Sleep(1);
    }
    // Stopped rather than closed: a closing program would write its settings.
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ms;
}

void Report(const char* name, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    if (times.empty() || times.front() < 0) {
        printf("start-up %s: no window\n", name);
        return;
    }
    printf("start-up %s: median %.0f ms, best %.0f ms (%u rounds)\n", name, times[times.size() / 2], times.front(),
           static_cast<unsigned>(times.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], "--window") == 0) return MinimalWindow();
    if (argc < 2) {
        fprintf(stderr, "usage: startup_timing PROGRAM.exe [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? atoi(argv[2]) : 7;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    char folder[MAX_PATH];
    lstrcpynA(folder, argv[1], sizeof(folder));
    char* slash = strrchr(folder, '\\');
    if (slash) *slash = '\0';
    std::vector<char> minimal(strlen(self) + 16), program(strlen(argv[1]) + 3);
    snprintf(minimal.data(), minimal.size(), "\"%s\" --window", self);
    snprintf(program.data(), program.size(), "\"%s\"", argv[1]);
    std::vector<double> minimalTimes, programTimes;
    TimeStart(minimal.data(), nullptr);  // warms the file cache and the server
    for (int i = 0; i < rounds; ++i) {
        minimalTimes.push_back(TimeStart(minimal.data(), nullptr));
        programTimes.push_back(TimeStart(program.data(), slash ? folder : nullptr));
    }
    Report("minimal Win32 window", minimalTimes);
    Report("quorrel.exe", programTimes);
    return 0;
}
