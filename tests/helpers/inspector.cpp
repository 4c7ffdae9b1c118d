// Test-bench window inspector, run under Wine beside the program under test. The
// bench keeps one running per test class (`serve`), since starting a Wine process
// per poll costs more than the poll; every verb also works as a one-shot command.
//   inspector list [EXE]            top-level windows (of processes named EXE) as JSON lines
//   inspector click HWND TEXT       press the child button whose text is TEXT
//   inspector command HWND ID       post WM_COMMAND ID (code 0) to HWND
//   inspector close HWND            post WM_CLOSE to HWND
//   inspector key HWND VK           post WM_KEYDOWN/WM_KEYUP of VK to HWND
//   inspector post HWND MSG WP LP   post any message (numbers in decimal or 0x hex), as the
//                                   shell would for the tray icon's callback
//   inspector cursor                print the cursor position
//   inspector held                  keys and mouse buttons the desktop holds down
//   inspector foreground            the window that takes the keyboard input now
//   inspector activate HWND         make HWND the foreground window
//   inspector serve                 read one verb a line from stdin, its arguments separated
//                                   by tabs; answer with the verb's output, then "#done CODE"
// Handles are printed and taken in decimal.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Window texts are escaped by UTF-16 unit, names by byte of the ANSI code page.
template <typename Char>
std::string Escape(const Char* text) {
    std::string out;
    for (const Char* p = text; *p; ++p) {
        const unsigned c = sizeof(Char) == 1 ? (unsigned char)*p : (unsigned)*p;
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c >= 0x80) {
                char buf[8];
                snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += (char)c;
            }
        }
    }
    return out;
}

std::string ProcessImage(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return "";
    char path[MAX_PATH] = "";
    DWORD size = MAX_PATH;
    QueryFullProcessImageNameA(process, 0, path, &size);
    CloseHandle(process);
    const char* name = strrchr(path, '\\');
    return name ? name + 1 : path;
}

// The stored window text, read without sending WM_GETTEXT: a busy or hung
// program must not hang the inspector.
void StoredText(HWND window, char* out, int size) {
    WCHAR wide[1024] = L"";
    InternalGetWindowText(window, wide, 1024);
    if (!WideCharToMultiByte(CP_ACP, 0, wide, -1, out, size, nullptr, nullptr)) out[0] = '\0';
}

std::string Describe(HWND window) {
    WCHAR title[1024] = L"";
    char cls[256] = "";
    InternalGetWindowText(window, title, 1024);
    GetClassNameA(window, cls, sizeof cls);
    RECT rect, client;
    GetWindowRect(window, &rect);
    GetClientRect(window, &client);
    char buf[512];
    snprintf(buf, sizeof buf,
             "\"hwnd\": %llu, \"class\": \"%s\", \"style\": %lu, \"exstyle\": %lu, \"id\": %ld, "
             "\"visible\": %d, \"enabled\": %d, \"rect\": [%ld, %ld, %ld, %ld], \"client\": [%ld, %ld]",
             (unsigned long long)(UINT_PTR)window, Escape(cls).c_str(),
             (unsigned long)GetWindowLongA(window, GWL_STYLE),
             (unsigned long)GetWindowLongA(window, GWL_EXSTYLE), (long)GetDlgCtrlID(window),
             IsWindowVisible(window) ? 1 : 0, IsWindowEnabled(window) ? 1 : 0, rect.left, rect.top,
             rect.right, rect.bottom, client.right, client.bottom);
    return std::string("{") + buf + ", \"text\": \"" + Escape(title) + "\"";
}

struct ListContext {
    const char* exe;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    std::string* out = reinterpret_cast<std::string*>(param);
    if (!out->empty() && out->back() != '[') *out += ", ";
    *out += Describe(child) + "}";
    return TRUE;
}

BOOL CALLBACK ListTopLevel(HWND window, LPARAM param) {
    const ListContext* context = reinterpret_cast<const ListContext*>(param);
    std::string image = ProcessImage(window);
    if (context->exe && _stricmp(image.c_str(), context->exe) != 0) return TRUE;
    std::string children = "[";
    EnumChildWindows(window, CollectChild, (LPARAM)&children);
    children += "]";
    char extra[128];
    snprintf(extra, sizeof extra, ", \"owner\": %llu, \"iconic\": %d, \"topmost\": %d",
             (unsigned long long)(UINT_PTR)GetWindow(window, GW_OWNER), IsIconic(window) ? 1 : 0,
             (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
    printf("%s%s, \"exe\": \"%s\", \"children\": %s}\n", Describe(window).c_str(), extra,
           Escape(image.c_str()).c_str(), children.c_str());
    return TRUE;
}

HWND ParseHandle(const char* text) { return (HWND)(UINT_PTR)strtoull(text, nullptr, 10); }

struct FindButton {
    const char* text;
    HWND found;
};

BOOL CALLBACK MatchButton(HWND child, LPARAM param) {
    FindButton* find = reinterpret_cast<FindButton*>(param);
    char text[256] = "";
    StoredText(child, text, sizeof text);
    if (strcmp(text, find->text) == 0) {
        find->found = child;
        return FALSE;
    }
    return TRUE;
}

// One verb; argv[0] is the verb. The exit code of the one-shot command.
int Execute(int argc, char** argv) {
    if (argc < 1) return 2;
    const char* verb = argv[0];
    if (strcmp(verb, "list") == 0) {
        ListContext context = {argc > 1 ? argv[1] : nullptr};
        EnumWindows(ListTopLevel, (LPARAM)&context);
        return 0;
    }
    if (strcmp(verb, "cursor") == 0) {
        POINT pt;
        GetCursorPos(&pt);
        printf("%ld %ld\n", pt.x, pt.y);
        return 0;
    }
    if (strcmp(verb, "foreground") == 0) {
        printf("%llu\n", (unsigned long long)(UINT_PTR)GetForegroundWindow());
        return 0;
    }
    if (strcmp(verb, "held") == 0) {
        // Wine keeps one key state for the whole desktop, so this sees what any
        // program (a playback above all) has left pressed.
        for (int vk = 1; vk < 255; ++vk)
            if (GetAsyncKeyState(vk) & 0x8000) printf("%d\n", vk);
        return 0;
    }
    if (argc < 2) return 2;
    HWND window = ParseHandle(argv[1]);
    if (!IsWindow(window)) {
        fprintf(stderr, "no such window\n");
        return 1;
    }
    if (strcmp(verb, "click") == 0 && argc > 2) {
        FindButton find = {argv[2], nullptr};
        EnumChildWindows(window, MatchButton, (LPARAM)&find);
        if (!find.found) {
            fprintf(stderr, "no button '%s'\n", argv[2]);
            return 1;
        }
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(find.found), BN_CLICKED),
                     (LPARAM)find.found);
        return 0;
    }
    if (strcmp(verb, "command") == 0 && argc > 2) {
        return PostMessageA(window, WM_COMMAND, MAKEWPARAM(atoi(argv[2]), 0), 0) ? 0 : 1;
    }
    if (strcmp(verb, "close") == 0) return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (strcmp(verb, "activate") == 0) return SetForegroundWindow(window) ? 0 : 1;
    if (strcmp(verb, "post") == 0 && argc > 4) {
        const UINT message = (UINT)strtoul(argv[2], nullptr, 0);
        return PostMessageA(window, message, (WPARAM)strtoull(argv[3], nullptr, 0), (LPARAM)strtoll(argv[4], nullptr, 0))
                   ? 0
                   : 1;
    }
    if (strcmp(verb, "key") == 0 && argc > 2) {
        int vk = atoi(argv[2]);
        PostMessageA(window, WM_KEYDOWN, vk, 1);
        PostMessageA(window, WM_KEYUP, vk, 0xC0000001);
        return 0;
    }
    return 2;
}

// Answers verbs until stdin closes. Errors still go to stderr; the terminator
// line carries the code a one-shot run would have exited with.
int Serve() {
    static char line[4096];
    while (fgets(line, sizeof line, stdin)) {
        char* argv[16];
        int argc = 0;
        char* p = line;
        line[strcspn(line, "\r\n")] = '\0';
        while (argc < 16) {
            argv[argc++] = p;
            p = strchr(p, '\t');
            if (!p) break;
            *p++ = '\0';
        }
        const int code = line[0] ? Execute(argc, argv) : 2;
        printf("#done %d\n", code);
        fflush(stdout);
        fflush(stderr);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: inspector list|click|command|close|activate|key|post|cursor|held|foreground|serve ...\n");
        return 2;
    }
    if (strcmp(argv[1], "serve") == 0) return Serve();
    return Execute(argc - 1, argv + 1);
}
