#include "compile/build_driver_win.h"

#include <commdlg.h>
#include <cstdlib>
#include <cstring>

#include "base/answering_wait_win.h"
#include "base/format_text.h"
#include "base/guards_win.h"
#include "base/wide_text_win.h"
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
    const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (!size) return 0;
    WCHAR* wide = static_cast<WCHAR*>(malloc(size * sizeof(WCHAR)));
    char* path = static_cast<char*>(malloc(size * 3));
    int found = 0;
    if (wide && path) {
        const DWORD length = GetEnvironmentVariableW(L"PATH", wide, size);
        const char* cursor = path;
        if (length && length < size && ToUtf8(wide, path, size * 3)) {
            while (!found && NextCompilerCandidate(&cursor, out)) {
                WidePath candidate(out);
                const DWORD attributes = candidate.ok ? GetFileAttributesW(candidate.text) : INVALID_FILE_ATTRIBUTES;
                found = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
            }
        }
    }
    free(wide);
    free(path);
    return found;
}

// Runs the compiler hidden and waits for it. 1 when it ran and exited with 0;
// 0 when it could not be started (*started stays 0) or failed or timed out.
int RunCompiler(const char* compilerPath, const char* commandLine, DWORD timeoutMs, int* started) {
    *started = 0;
    // gcc finds its own parts beside itself in the ANSI code page, so it is
    // started by its short form where its folder's name needs one.
    char asciiCompiler[kBuildPathSize];
    WidePath application(AsciiPathForm(compilerPath, asciiCompiler, sizeof(asciiCompiler)) ? asciiCompiler
                                                                                             : compilerPath);
    WCHAR wideCommand[kCompilerCommandSize];
    if (!application.ok || !ToWide(commandLine, wideCommand, kCompilerCommandSize)) return 0;
    STARTUPINFOW startup;
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
    if (!CreateProcessW(application.text, wideCommand, nullptr, nullptr, FALSE, CREATE_NO_WINDOW | CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &process))
        return 0;
    *started = 1;
    // Declared after the job, so they close before it (closing the job kills
    // whatever still runs in it).
    AutoCloseHandle thread(process.hThread), compiler(process.hProcess);
    // Where jobs cannot nest (we may already run inside one) only the driver
    // itself can be stopped.
    if (job.get() && !AssignProcessToJobObject(job.get(), compiler.get())) job.reset();
    ResumeThread(thread.get());
    // The window stays drawn and answering while the compiler runs; the user's
    // input waits in the queue.
    const DWORD waited = WaitAnswering(compiler.get(), timeoutMs);
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
    WCHAR chosen[MAX_PATH] = L"";
    OPENFILENAMEW dialog;
    memset(&dialog, 0, sizeof(dialog));
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"Executable Files (*.exe)\0*.exe\0All Files (*.*)\0*.*\0";
    dialog.nFilterIndex = 0;
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"exe";
    dialog.lpstrTitle = L"Save Compiled Macro As";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    char* path = GetSaveFileNameW(&dialog) ? static_cast<char*>(malloc(kBuildPathSize)) : nullptr;
    if (path && !ToUtf8(chosen, path, kBuildPathSize)) {
        free(path);
        path = nullptr;
    }
    return path;
}

int BuildExecutable(const char* recordingPath, const char* outputPath, BuildResult* result, uint32_t timeoutMs) {
    const DWORD startTick = GetTickCount();
    if (!result) return 0;
    memset(result, 0, sizeof(*result));
    CopyText(result->outputPath, sizeof(result->outputPath), outputPath);

    // The generator and the compiler take their paths in the ANSI code page,
    // so every path they see is an ASCII one.
    char tempDir[kBuildPathSize];
    if (!AsciiTempFolder(tempDir, sizeof(tempDir))) tempDir[0] = '\0';
    char sourcePath[kBuildPathSize];
    FormatStubSourcePath(sourcePath, tempDir, GetCurrentProcessId());
    char recording[kBuildPathSize];
    WidePath output(outputPath);

    int eventCount = 0;
    if (!output.ok || !AsciiPathForm(recordingPath, recording, sizeof(recording)) ||
        !WritePlayerStub(recording, sourcePath, &eventCount)) {
        CopyText(result->errorText, sizeof(result->errorText), kStubFailedText);
        return 0;
    }
    result->eventCount = eventCount;

    // An output path the compiler cannot take is built in the temporary
    // folder and moved into place afterwards.
    const int moved = !IsAsciiText(outputPath);
    char compilerOutput[kBuildPathSize];
    if (moved) FormatText(compilerOutput, sizeof(compilerOutput), "%squorrel_player_%lu.exe", tempDir, GetCurrentProcessId());
    else CopyText(compilerOutput, sizeof(compilerOutput), outputPath);
    WidePath built(compilerOutput);
    char commandLine[kCompilerCommandSize];
    FormatCompilerCommand(commandLine, sourcePath, compilerOutput);
    char compilerPath[kBuildPathSize];
    int started = 0;
    int succeeded = FindCompiler(compilerPath) && RunCompiler(compilerPath, commandLine, timeoutMs, &started);
    if (moved && built.ok) {
        if (succeeded)
            succeeded = MoveFileExW(built.text, output.text, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
        DeleteFileW(built.text);
    }
    if (!started) {
        CopyText(result->errorText, sizeof(result->errorText), kCompilerNotStartedText);
    } else if (!succeeded) {
        CopyText(result->errorText, sizeof(result->errorText), kCompileFailedText);
    } else {
        WIN32_FILE_ATTRIBUTE_DATA attributes;
        if (GetFileAttributesExW(output.text, GetFileExInfoStandard, &attributes)) {
            result->fileSize = attributes.nFileSizeLow;
        }
        result->elapsedMs = GetTickCount() - startTick;
        result->success = 1;
    }
    DeleteFileA(sourcePath);
    return succeeded;
}

void ShowBuildReport(HWND owner, const BuildResult* result) {
    if (!result) return;
    if (!result->success) {
        MessageBoxA(owner, result->errorText, kBuildFailedCaption, MB_OK | MB_ICONERROR);
        return;
    }
    char text[kBuildReportSize];
    FormatBuildReport(text, result->outputPath, result->eventCount, result->fileSize, result->elapsedMs);
    ShowMessageBox(owner, text, kBuildSucceededCaption, MB_OK | MB_ICONINFORMATION);
}
