// Test-bench stand-in for "gcc" under Wine. Tests copy this program as gcc.exe
// into a folder they put first on the search path, so the build driver starts
// it exactly as it would start a real Windows compiler.
//
// Why it exists: Wine starts a Linux program from CreateProcess, but hands back
// no process handle, so a caller cannot wait for it or read its exit code. This
// program turns its Windows path arguments into Linux paths, starts the MinGW
// cross compiler through a small /bin/sh script that writes the compiler's exit
// status to a file (write to "<file>.tmp", then rename, so the status is never
// read half-written), polls for that file and exits with the status. What works
// under Wine 8: CreateProcessA with the DOS name of /bin/sh (Z:\bin\sh); the
// script and status paths are converted with kernel32's wine_get_unix_file_name.
//
// Environment, read from the process that starts it (tests set it with
// SetEnvironmentVariableA; the build driver passes its environment on):
//   QUORREL_TEST_GCC_LOG   append "<pid> <command line>" to this file first
//   QUORREL_TEST_GCC_MODE  "fail": exit 1 without compiling;
//                          "hang": a child process sleeps 32 s, then writes a
//                          fake output file and exits 0 (shows whether a
//                          timed-out build was stopped, children included);
//                          anything else: compile for real.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kCrossCompiler[] = "/usr/bin/i686-w64-mingw32-gcc";
constexpr DWORD kCompilerLimitMs = 300000;

const char kScript[] =
    "#!/bin/sh\n"
    "status=\"$1\"\n"
    "shift\n"
    "\"$@\"\n"
    "code=$?\n"
    "echo $code > \"$status.tmp\"\n"
    "mv \"$status.tmp\" \"$status\"\n";

typedef char*(CDECL* UnixNameFn)(LPCWSTR);
typedef WCHAR*(CDECL* DosNameFn)(const char*);

// Linux path for a Windows path, in a malloc'd buffer; null when not under Wine.
char* ToUnixPath(const char* windowsPath) {
    static UnixNameFn toUnix =
        (UnixNameFn)(void*)GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name");
    if (!toUnix) return nullptr;
    WCHAR wide[MAX_PATH * 2];
    if (!MultiByteToWideChar(CP_ACP, 0, windowsPath, -1, wide, MAX_PATH * 2)) return nullptr;
    char* unixPath = toUnix(wide);
    if (!unixPath) return nullptr;
    char* copy = _strdup(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return copy;
}

void GetShellPath(char* out, size_t size) {
    lstrcpynA(out, "Z:\\bin\\sh", (int)size);
    DosNameFn toDos = (DosNameFn)(void*)GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_dos_file_name");
    if (!toDos) return;
    WCHAR* dos = toDos("/bin/sh");
    if (!dos) return;
    WideCharToMultiByte(CP_ACP, 0, dos, -1, out, (int)size, nullptr, nullptr);
    HeapFree(GetProcessHeap(), 0, dos);
}

void Append(char* commandLine, size_t size, const char* argument) {
    size_t used = strlen(commandLine);
    _snprintf(commandLine + used, size - used - 1, "%s\"%s\"", used ? " " : "", argument);
    commandLine[size - 1] = '\0';
}

void LogInvocation() {
    char logPath[MAX_PATH];
    if (!GetEnvironmentVariableA("QUORREL_TEST_GCC_LOG", logPath, sizeof(logPath))) return;
    FILE* log = fopen(logPath, "ab");
    if (!log) return;
    fprintf(log, "%lu %s\n", (unsigned long)GetCurrentProcessId(), GetCommandLineA());
    fclose(log);
}

const char* OutputArgument(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (strcmp(argv[i], "-o") == 0) return argv[i + 1];
    return nullptr;
}

// Like a real compiler driver, the waiting is done by a child process (as the
// linker would write the output), so stopping only this process is not enough.
int Hang(int argc, char** argv) {
    char child[8];
    if (!GetEnvironmentVariableA("QUORREL_TEST_GCC_CHILD", child, sizeof(child))) {
        SetEnvironmentVariableA("QUORREL_TEST_GCC_CHILD", "1");
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof(self));
        static char commandLine[8192];
        _snprintf(commandLine, sizeof(commandLine) - 1, "\"%s\" %s", self, strchr(GetCommandLineA(), ' ') ? strchr(GetCommandLineA(), ' ') + 1 : "");
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return 96;
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 97;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return (int)code;
    }
    Sleep(32000);
    const char* output = OutputArgument(argc, argv);
    if (output) {
        FILE* f = fopen(output, "wb");
        if (f) {
            fputs("written after the time-out", f);
            fclose(f);
        }
    }
    return 0;
}

int Compile(int argc, char** argv) {
    char tempDir[MAX_PATH];
    GetTempPathA(sizeof(tempDir), tempDir);
    char scriptPath[MAX_PATH], statusPath[MAX_PATH];
    _snprintf(scriptPath, sizeof(scriptPath), "%squorrel_test_gcc_%lu.sh", tempDir, GetCurrentProcessId());
    _snprintf(statusPath, sizeof(statusPath), "%squorrel_test_gcc_%lu.status", tempDir, GetCurrentProcessId());
    scriptPath[MAX_PATH - 1] = statusPath[MAX_PATH - 1] = '\0';
    DeleteFileA(statusPath);
    FILE* script = fopen(scriptPath, "wb");
    if (!script) return 90;
    fputs(kScript, script);
    fclose(script);

    char* unixScript = ToUnixPath(scriptPath);
    char* unixStatus = ToUnixPath(statusPath);
    if (!unixScript || !unixStatus) {
        fprintf(stderr, "test gcc: not running under Wine\n");
        return 91;
    }
    static char commandLine[8192];
    char shell[MAX_PATH];
    GetShellPath(shell, sizeof(shell));
    Append(commandLine, sizeof(commandLine), shell);
    Append(commandLine, sizeof(commandLine), unixScript);
    Append(commandLine, sizeof(commandLine), unixStatus);
    Append(commandLine, sizeof(commandLine), kCrossCompiler);
    for (int i = 1; i < argc; ++i) {
        // Options stay as they are; everything else is a Windows path. One
        // that has no Linux name (its folder is missing) cannot be written by
        // a real compiler either, so it fails the same way.
        if (argv[i][0] == '-') {
            Append(commandLine, sizeof(commandLine), argv[i]);
            continue;
        }
        char* converted = ToUnixPath(argv[i]);
        if (!converted) {
            fprintf(stderr, "test gcc: no such path: %s\n", argv[i]);
            free(unixScript);
            free(unixStatus);
            DeleteFileA(scriptPath);
            return 1;
        }
        Append(commandLine, sizeof(commandLine), converted);
        free(converted);
    }
    free(unixScript);
    free(unixStatus);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        fprintf(stderr, "test gcc: cannot start %s (error %lu)\n", shell, GetLastError());
        DeleteFileA(scriptPath);
        return 92;
    }
    if (process.hProcess) CloseHandle(process.hProcess);
    if (process.hThread) CloseHandle(process.hThread);

    int code = 93;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kCompilerLimitMs) {
        FILE* status = fopen(statusPath, "rb");
        if (status) {
            if (fscanf(status, "%d", &code) != 1) code = 94;
            fclose(status);
            break;
        }
        Sleep(20);
    }
    DeleteFileA(statusPath);
    DeleteFileA(scriptPath);
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    char child[8];
    if (!GetEnvironmentVariableA("QUORREL_TEST_GCC_CHILD", child, sizeof(child))) LogInvocation();
    char mode[32] = "";
    GetEnvironmentVariableA("QUORREL_TEST_GCC_MODE", mode, sizeof(mode));
    if (strcmp(mode, "fail") == 0) return 1;
    if (strcmp(mode, "hang") == 0) return Hang(argc, argv);
    return Compile(argc, argv);
}
