// gcc.exe for Wine: put first on Wine's search path, it runs the Linux MinGW
// cross compiler on the arguments it was given and exits with its exit code.
// A console program of its own; one thread, no state beyond one run.
//
// Why it exists: Wine starts a Linux program from CreateProcess but hands back
// no process handle, so the caller can neither wait for it nor read its exit
// code, and a job object cannot stop it. The bridge starts bash with a short
// script and hands it one end of a loopback socket as standard input. The
// script runs the compiler in a process group of its own and writes the exit
// status back on the socket. When the bridge ends for any reason (also when
// it is terminated), Wine closes the socket; the script sees end of file and
// stops the whole group (compiler proper, assembler, linker) before any of
// them can write on.
//
// Arguments that start with '-' pass unchanged; every other one is a Windows
// path (in the ANSI code page, spaces and non-ASCII letters included) and is
// passed on as its Linux name. Nothing is added.
//
// QUORREL_BRIDGE_TEST builds the test bench's variant (tests/helpers/test_gcc.cpp),
// which reads the environment of the process that starts it:
//   QUORREL_TEST_GCC_LOG      append "<pid> <command line>" to this file first
//   QUORREL_TEST_GCC_SEEN     append this copy's own path to this file first
//                             (which of several planted copies ran)
//   QUORREL_TEST_GCC_MODE     "fail": exit 1 without compiling;
//                             "hang": instead of the compiler, a Linux process
//                             that sleeps, then writes the -o file and exits 0
//                             (shows whether a stopped build really stopped);
//                             anything else: compile for real
//   QUORREL_TEST_GCC_HANG_MS  how long "hang" sleeps [32000]
//   QUORREL_TEST_GCC_SCRIPT   shell text run instead of the compiler, with the
//                             converted arguments as "$@"
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The players it builds have its own bitness, so that they run wherever it does.
const char* const kCompiler = sizeof(void*) == 8 ? "x86_64-w64-mingw32-gcc" : "i686-w64-mingw32-gcc";

// Exit codes of the bridge's own failures; a compiler's are 0, 1 or 128+signal.
constexpr int kNotUnderWine = 90;
constexpr int kNoSocket = 91;
constexpr int kCannotStart = 92;
constexpr int kNoStatus = 93;

// $0 is unused; "$@" is the compiler and its arguments. set -m gives every
// background job its own process group, so one kill reaches the whole build;
// the shell's job notices go to /dev/null, the compiler's messages do not.
// read -t waits on the socket (Wine's socket descriptors do not block); its
// status is 1 at end of file and above 128 when it merely timed out.
const char kScript[] =
    "exec 3>&2 2>/dev/null\n"
    "set -m\n"
    "\"$@\" </dev/null 2>&3 3>&- &\n"
    "build=$!\n"
    "{ while read -r -t 3600 _ || [ $? -gt 128 ]; do :; done\n"
    "  kill -TERM -- -$build; sleep 1; kill -KILL -- -$build; } 3>&- &\n"
    "watch=$!\n"
    "wait $build\n"
    "code=$?\n"
    "kill -KILL -- -$watch\n"
    "echo $code >&0\n";

typedef char*(CDECL* UnixNameFn)(LPCWSTR);
typedef WCHAR*(CDECL* DosNameFn)(const char*);

void* WineExport(const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), name));
}

// A growing wide command line, quoted the way Wine splits it into Linux argv.
struct CommandLine {
    WCHAR* text;
    size_t used;
    size_t size;
};

int Reserve(CommandLine* line, size_t more) {
    if (line->used + more + 1 <= line->size) return 1;
    size_t size = (line->size + more + 1) * 2;
    WCHAR* grown = static_cast<WCHAR*>(realloc(line->text, size * sizeof(WCHAR)));
    if (!grown) return 0;
    line->text = grown;
    line->size = size;
    return 1;
}

// Backslashes are literal except before a quote, where they are doubled; a
// quote inside the argument is escaped.
int AppendArgument(CommandLine* line, const WCHAR* argument) {
    size_t length = wcslen(argument);
    if (!Reserve(line, length * 2 + 3)) return 0;
    WCHAR* out = line->text + line->used;
    if (line->used) *out++ = L' ';
    *out++ = L'"';
    size_t backslashes = 0;
    for (const WCHAR* c = argument; *c; ++c) {
        if (*c == L'\\') {
            ++backslashes;
        } else {
            if (*c == L'"') {
                for (size_t i = 0; i <= backslashes; ++i) *out++ = L'\\';
            }
            backslashes = 0;
        }
        *out++ = *c;
    }
    for (size_t i = 0; i < backslashes; ++i) *out++ = L'\\';
    *out++ = L'"';
    *out = 0;
    line->used = static_cast<size_t>(out - line->text);
    return 1;
}

int AppendText(CommandLine* line, const char* text, UINT codePage) {
    int length = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (length <= 0) return 0;
    WCHAR* wide = static_cast<WCHAR*>(malloc(length * sizeof(WCHAR)));
    if (!wide) return 0;
    MultiByteToWideChar(codePage, 0, text, -1, wide, length);
    int appended = AppendArgument(line, wide);
    free(wide);
    return appended;
}

// The Linux name of a Windows path, appended; 0 when it has none (its folder
// does not exist, so no compiler could write or read it either).
int AppendUnixPath(CommandLine* line, const char* windowsPath) {
    static UnixNameFn toUnix = reinterpret_cast<UnixNameFn>(WineExport("wine_get_unix_file_name"));
    WCHAR wide[MAX_PATH * 2];
    if (!MultiByteToWideChar(CP_ACP, 0, windowsPath, -1, wide, MAX_PATH * 2)) return 0;
    char* unixPath = toUnix(wide);
    if (!unixPath) return 0;
    // Linux names are UTF-8 here, which the ANSI code page cannot carry: the
    // command line is built wide and Wine turns it back into the same bytes.
    int appended = AppendText(line, unixPath, CP_UTF8);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return appended;
}

// The DOS name under which Wine runs /bin/bash as a Linux program.
int ShellPath(WCHAR* out, size_t size) {
    DosNameFn toDos = reinterpret_cast<DosNameFn>(WineExport("wine_get_dos_file_name"));
    if (!toDos) return 0;
    WCHAR* dos = toDos("/bin/bash");
    if (!dos) return 0;
    lstrcpynW(out, dos, static_cast<int>(size));
    HeapFree(GetProcessHeap(), 0, dos);
    return 1;
}

// A connected pair of loopback sockets; 1 on success.
int SocketPair(SOCKET* mine, SOCKET* theirs) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 0;
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) return 0;
    sockaddr_in address;
    memset(&address, 0, sizeof(address));
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    *mine = *theirs = INVALID_SOCKET;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0 && listen(listener, 1) == 0) {
        *mine = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (*mine != INVALID_SOCKET && connect(*mine, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0)
            *theirs = accept(listener, nullptr, nullptr);
    }
    closesocket(listener);
    if (*theirs != INVALID_SOCKET) return 1;
    if (*mine != INVALID_SOCKET) closesocket(*mine);
    return 0;
}

// The status line the script writes back; kNoStatus when the socket closed
// without one (the script was killed).
int ReadStatus(SOCKET socket) {
    char text[32];
    int used = 0;
    while (used < static_cast<int>(sizeof(text)) - 1) {
        int got = recv(socket, text + used, static_cast<int>(sizeof(text)) - 1 - used, 0);
        if (got <= 0) break;
        used += got;
        if (memchr(text, '\n', used)) break;
    }
    text[used] = '\0';
    if (!memchr(text, '\n', used)) return kNoStatus;
    return atoi(text);
}

#ifdef QUORREL_BRIDGE_TEST
void LogInvocation() {
    char logPath[MAX_PATH];
    if (GetEnvironmentVariableA("QUORREL_TEST_GCC_SEEN", logPath, sizeof(logPath))) {
        char self[MAX_PATH];
        const DWORD n = GetModuleFileNameA(nullptr, self, sizeof(self));
        FILE* seen = fopen(logPath, "ab");
        if (seen) {
            fprintf(seen, "%.*s\n", static_cast<int>(n), self);
            fclose(seen);
        }
    }
    if (!GetEnvironmentVariableA("QUORREL_TEST_GCC_LOG", logPath, sizeof(logPath))) return;
    FILE* log = fopen(logPath, "ab");
    if (!log) return;
    fprintf(log, "%lu %s\n", static_cast<unsigned long>(GetCurrentProcessId()), GetCommandLineA());
    fclose(log);
}

// The shell text that stands in for the compiler, or null for the real one.
const char* TestScript() {
    static char script[4096];
    char mode[32] = "";
    GetEnvironmentVariableA("QUORREL_TEST_GCC_MODE", mode, sizeof(mode));
    if (strcmp(mode, "hang") == 0) {
        char ms[16];
        unsigned long hangMs = 32000;
        if (GetEnvironmentVariableA("QUORREL_TEST_GCC_HANG_MS", ms, sizeof(ms))) hangMs = strtoul(ms, nullptr, 10);
        // Like a real driver, the work is done by a child process (sleep).
        _snprintf(script, sizeof(script) - 1,
                  "sleep %lu.%03lu; while [ $# -gt 0 ]; do [ \"$1\" = -o ] && echo late > \"$2\"; shift; done",
                  hangMs / 1000, hangMs % 1000);
        return script;
    }
    if (GetEnvironmentVariableA("QUORREL_TEST_GCC_SCRIPT", script, sizeof(script))) return script;
    return nullptr;
}
#endif

int Bridge(int argc, char** argv, const char* testScript) {
    WCHAR shell[MAX_PATH];
    if (!WineExport("wine_get_unix_file_name") || !ShellPath(shell, MAX_PATH)) {
        fprintf(stderr, "gcc bridge: runs only under Wine\n");
        return kNotUnderWine;
    }
    CommandLine line = {nullptr, 0, 0};
    int built = AppendArgument(&line, shell) && AppendText(&line, "-c", CP_ACP) &&
                AppendText(&line, kScript, CP_ACP) && AppendText(&line, "gcc", CP_ACP);
    if (testScript) {
        built = built && AppendText(&line, "/bin/sh", CP_ACP) && AppendText(&line, "-c", CP_ACP) &&
                AppendText(&line, testScript, CP_ACP) && AppendText(&line, "gcc", CP_ACP);
    } else {
        built = built && AppendText(&line, kCompiler, CP_ACP);
    }
    for (int i = 1; built && i < argc; ++i) {
        if (argv[i][0] == '-') {
            built = AppendText(&line, argv[i], CP_ACP);
        } else if (!AppendUnixPath(&line, argv[i])) {
            fprintf(stderr, "gcc bridge: no such path: %s\n", argv[i]);
            free(line.text);
            return 1;
        }
    }
    if (!built) {
        free(line.text);
        return kCannotStart;
    }

    SOCKET mine, theirs;
    if (!SocketPair(&mine, &theirs)) {
        free(line.text);
        fprintf(stderr, "gcc bridge: no loopback socket (error %d)\n", WSAGetLastError());
        return kNoSocket;
    }
    SetHandleInformation(reinterpret_cast<HANDLE>(theirs), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    STARTUPINFOW startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = reinterpret_cast<HANDLE>(theirs);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof(process));
    BOOL started = CreateProcessW(nullptr, line.text, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    free(line.text);
    // The script holds its own copy now; ours would keep the socket open.
    closesocket(theirs);
    if (!started) {
        fprintf(stderr, "gcc bridge: cannot start /bin/bash (error %lu)\n", GetLastError());
        closesocket(mine);
        return kCannotStart;
    }
    if (process.hProcess) CloseHandle(process.hProcess);
    if (process.hThread) CloseHandle(process.hThread);
    int code = ReadStatus(mine);
    closesocket(mine);
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    const char* testScript = nullptr;
#ifdef QUORREL_BRIDGE_TEST
    LogInvocation();
    char mode[32] = "";
    GetEnvironmentVariableA("QUORREL_TEST_GCC_MODE", mode, sizeof(mode));
    if (strcmp(mode, "fail") == 0) return 1;
    testScript = TestScript();
#endif
    return Bridge(argc, argv, testScript);
}
