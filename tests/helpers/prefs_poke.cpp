// Test-bench helper for the preferences tests: posts one message to a window of
// the program under test, as the shell would for the tray icon's callback.
//   prefs_poke post HWND MSG WPARAM LPARAM     (numbers in decimal or 0x hex)
// Exit code 0 when the message was posted.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 6 && strcmp(argv[1], "post") == 0) {
        HWND window = (HWND)(UINT_PTR)strtoul(argv[2], nullptr, 0);
        UINT message = (UINT)strtoul(argv[3], nullptr, 0);
        WPARAM wParam = (WPARAM)strtoul(argv[4], nullptr, 0);
        LPARAM lParam = (LPARAM)strtol(argv[5], nullptr, 0);
        return PostMessageA(window, message, wParam, lParam) ? 0 : 1;
    }
    fprintf(stderr, "usage: prefs_poke post HWND MSG WPARAM LPARAM\n");
    return 2;
}
