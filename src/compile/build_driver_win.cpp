#include "compile/build_driver_win.h"

#include <commdlg.h>
#include <cstdlib>
#include <cstring>

#include "base/guards_win.h"
#include "compile/build_texts.h"
#include "compile/player_stub.h"

namespace {

// How long a compiler we had to stop may take to go before its source is deleted.
constexpr DWORD kTerminateWaitMs = 5000;

// The compiler's full path, from the folders on PATH alone, read afresh for
// each build. Left to itself, CreateProcess would look in the program's folder
// and the current one first, so a gcc.exe that came with a downloaded macro
// would run once the user had opened or saved something in its folder.
int FindCompiler(char* out) {
    const DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
    if (!size) return 0;
    char* path = static_cast<char*>(malloc(size));
    if (!path) return 0;
    const DWORD length = GetEnvironmentVariableA("PATH", path, size);
    int found = 0;
    const char* cursor = path;
    if (length && length < size) {
        while (!found && NextCompilerCandidate(&cursor, out)) {
            const DWORD attributes = GetFileAttributesA(out);
            found = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        }
    }
    free(path);
    return found;
}

// Runs the compiler hidden and waits for it. 1 when it ran and exited with 0;
// 0 when it could not be started (*started stays 0) or failed or timed out.
int RunCompiler(const char* compilerPath, char* commandLine, DWORD timeoutMs, int* started) {
    *started = 0;
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof(process));
    // The compiler driver does its work in child processes (compiler proper,
    // assembler, linker). A job holds them all, so a build that runs out of
    // time can be stopped as a whole; the job is created suspended-first so no
    // child can start outside it.
    AutoCloseHandle job(CreateJobObjectA(nullptr, nullptr));
    if (job.get()) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
        memset(&limits, 0, sizeof(limits));
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    }
    if (!CreateProcessA(compilerPath, commandLine, nullptr, nullptr, FALSE, CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &process))
        return 0;
    *started = 1;
    // Declared after the job, so they close before it (closing the job kills
    // whatever still runs in it).
    AutoCloseHandle thread(process.hThread), compiler(process.hProcess);
    // Where jobs cannot nest (we may already run inside one) only the driver
    // itself can be stopped.
    if (job.get() && !AssignProcessToJobObject(job.get(), compiler.get())) job.reset();
    ResumeThread(thread.get());
    const DWORD waited = WaitForSingleObject(compiler.get(), timeoutMs);
    if (waited == WAIT_TIMEOUT) {
        // A compiler left running could still write the executable after the
        // user has been told the build failed, and would hold the source open.
        if (!job.get() || !TerminateJobObject(job.get(), 1)) TerminateProcess(compiler.get(), 1);
        WaitForSingleObject(compiler.get(), kTerminateWaitMs);
    }
    DWORD exitCode = STILL_ACTIVE;
    if (!GetExitCodeProcess(compiler.get(), &exitCode)) exitCode = STILL_ACTIVE;
    return waited == WAIT_OBJECT_0 && exitCode == 0;
}

void CopyText(char* out, size_t size, const char* text) {
    lstrcpynA(out, text ? text : "", static_cast<int>(size));
}

}  // namespace

char* ChooseExecutablePath(HWND owner) {
    char* path = static_cast<char*>(malloc(kBuildPathSize));
    if (!path) return nullptr;
    path[0] = '\0';
    OPENFILENAMEA dialog;
    memset(&dialog, 0, sizeof(dialog));
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = "Executable Files (*.exe)\0*.exe\0All Files (*.*)\0*.*\0";
    dialog.nFilterIndex = 0;
    dialog.lpstrFile = path;
    dialog.nMaxFile = kBuildPathSize;
    dialog.lpstrDefExt = "exe";
    dialog.lpstrTitle = "Save Compiled Macro As";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameA(&dialog)) {
        free(path);
        return nullptr;
    }
    return path;
}

int BuildExecutable(const char* recordingPath, const char* outputPath, BuildResult* result, uint32_t timeoutMs) {
    const DWORD startTick = GetTickCount();
    if (!result) return 0;
    memset(result, 0, sizeof(*result));
    CopyText(result->outputPath, sizeof(result->outputPath), outputPath);

    char tempDir[kBuildPathSize];
    DWORD tempLength = GetTempPathA(sizeof(tempDir), tempDir);
    if (tempLength == 0 || tempLength >= sizeof(tempDir)) tempDir[0] = '\0';
    char sourcePath[kBuildPathSize];
    FormatStubSourcePath(sourcePath, tempDir, GetCurrentProcessId());

    int eventCount = 0;
    if (!outputPath || !WritePlayerStub(recordingPath, sourcePath, &eventCount)) {
        CopyText(result->errorText, sizeof(result->errorText), kStubFailedText);
        return 0;
    }
    result->eventCount = eventCount;

    char commandLine[kCompilerCommandSize];
    FormatCompilerCommand(commandLine, sourcePath, outputPath);
    char compilerPath[kBuildPathSize];
    int started = 0;
    int built = FindCompiler(compilerPath) && RunCompiler(compilerPath, commandLine, timeoutMs, &started);
    if (!started) {
        CopyText(result->errorText, sizeof(result->errorText), kCompilerNotStartedText);
    } else if (!built) {
        CopyText(result->errorText, sizeof(result->errorText), kCompileFailedText);
    } else {
        WIN32_FILE_ATTRIBUTE_DATA attributes;
        if (GetFileAttributesExA(outputPath, GetFileExInfoStandard, &attributes)) {
            result->fileSize = attributes.nFileSizeLow;
        }
        result->elapsedMs = GetTickCount() - startTick;
        result->success = 1;
    }
    DeleteFileA(sourcePath);
    return built;
}

void ShowBuildReport(HWND owner, const BuildResult* result) {
    if (!result) return;
    if (!result->success) {
        MessageBoxA(owner, result->errorText, kBuildFailedCaption, MB_OK | MB_ICONERROR);
        return;
    }
    char text[kBuildReportSize];
    FormatBuildReport(text, result->outputPath, result->eventCount, result->fileSize, result->elapsedMs);
    MessageBoxA(owner, text, kBuildSucceededCaption, MB_OK | MB_ICONINFORMATION);
}
