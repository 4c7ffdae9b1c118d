// Building players for real under Wine: the build driver starts "gcc" from the
// search path, which here is the test bench's stand-in (test_gcc.exe copied as
// gcc.exe into a folder put first on PATH) in front of the MinGW cross compiler.
// Covers success and its report, repeated builds, the failure texts, a missing
// compiler, a compiler past the time-out, and the built player replaying its
// macro into the bench's target window.
#include <windows.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "compile/build_driver_win.h"
#include "compile/build_texts.h"
#include "macro/macro_event.h"
#include "test_files.h"
#include "test_process.h"

namespace {

std::string TempDir() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return temp;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

DWORD SizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
}

void WriteRecording(const std::string& path, const std::vector<MacroEvent>& events) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    int32_t count = static_cast<int32_t>(events.size());
    fwrite(&count, 4, 1, f);
    if (!events.empty()) fwrite(events.data(), sizeof(MacroEvent), events.size(), f);
    fclose(f);
}

std::string StubSourcePath() {
    char name[64];
    wsprintfA(name, "\\quorrel_stub_%u.c", static_cast<unsigned>(GetCurrentProcessId()));
    return TempDir() + name;
}

// What a message box showed: caption, text and icon, read from another thread
// while the box runs its modal loop, then closed with OK.
struct SeenBox {
    std::string caption;
    std::string text;
    HICON icon = nullptr;
    bool found = false;
};

struct BoxWatch {
    const char* caption;
    SeenBox seen;
};

BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
    SeenBox* seen = reinterpret_cast<SeenBox*>(param);
    char cls[32];
    GetClassNameA(child, cls, sizeof(cls));
    if (lstrcmpiA(cls, "Static") != 0) return TRUE;
    HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    if (icon) seen->icon = icon;
    char text[1024];
    if (GetWindowTextA(child, text, sizeof(text)) > 0 && seen->text.empty()) seen->text = text;
    return TRUE;
}

DWORD WINAPI WatchForBox(void* param) {
    BoxWatch* watch = static_cast<BoxWatch*>(param);
    for (int i = 0; i < 500; ++i) {
        HWND box = FindWindowA("#32770", watch->caption);
        if (box && IsWindowVisible(box)) {
            Sleep(100);
            watch->seen.found = true;
            watch->seen.caption = watch->caption;
            EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&watch->seen));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(20);
    }
    return 0;
}

SeenBox ShowReportAndRead(const BuildResult& result, const char* caption) {
    BoxWatch watch{caption, {}};
    HANDLE thread = CreateThread(nullptr, 0, WatchForBox, &watch, 0, nullptr);
    ShowBuildReport(nullptr, &result);
    WaitForSingleObject(thread, 15000);
    CloseHandle(thread);
    return watch.seen;
}

const std::vector<MacroEvent> kThreeKeys = {
    {0x100, 0x41, 0x1E, 0, 0}, {0x101, 0x41, 0x801E, 40, 0}, {0x100, 0x42, 0x30, 90, 0}};

class CompileBuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int serial = 0;
        char name[64];
        wsprintfA(name, "quorrel_comp_%lu_%d\\", GetCurrentProcessId(), ++serial);
        dir_ = TempDir() + name;
        CreateDirectoryA(dir_.c_str(), nullptr);
        bin_ = dir_ + "bin";
        CreateDirectoryA(bin_.c_str(), nullptr);
        const std::string helper = TestsDir() + "test_gcc.exe";
        ASSERT_TRUE(Exists(helper)) << helper;
        ASSERT_TRUE(CopyFileA(helper.c_str(), (bin_ + "\\gcc.exe").c_str(), FALSE));
        char path[8192];
        DWORD n = GetEnvironmentVariableA("PATH", path, sizeof(path));
        oldPath_.assign(path, n < sizeof(path) ? n : 0);
        UseCompilerPath(true);
        log_ = dir_ + "gcc.log";
        SetEnvironmentVariableA("QUORREL_TEST_GCC_LOG", log_.c_str());
        SetEnvironmentVariableA("QUORREL_TEST_GCC_MODE", nullptr);
        rec_ = dir_ + "macro.rec";
    }
    void TearDown() override {
        SetEnvironmentVariableA("PATH", oldPath_.c_str());
        SetEnvironmentVariableA("QUORREL_TEST_GCC_LOG", nullptr);
        SetEnvironmentVariableA("QUORREL_TEST_GCC_MODE", nullptr);
        for (const std::string& file : created_) DeleteFileA(file.c_str());
        DeleteFileA((bin_ + "\\gcc.exe").c_str());
        RemoveDirectoryA(bin_.c_str());
        DeleteFileA(log_.c_str());
        DeleteFileA(rec_.c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    // With the stand-in first on the search path, or with a path that holds no compiler.
    void UseCompilerPath(bool withCompiler) {
        std::string path = withCompiler ? bin_ + ";" + oldPath_ : std::string("C:\\windows\\system32;C:\\windows");
        SetEnvironmentVariableA("PATH", path.c_str());
    }
    std::string Output(const char* name) {
        created_.push_back(dir_ + name);
        return dir_ + name;
    }
    // The command lines the stand-in was started with, one per build.
    std::vector<std::string> Invocations() {
        std::vector<std::string> lines;
        std::string text = ReadText(log_);
        size_t pos = 0, end;
        while ((end = text.find('\n', pos)) != std::string::npos) {
            lines.push_back(text.substr(pos, end - pos));
            pos = end + 1;
        }
        return lines;
    }
    std::string dir_, bin_, log_, rec_, oldPath_;
    std::vector<std::string> created_;
};

// The x87 unit of a 32-bit build would keep extra precision unless the
// seconds are really rounded to single precision: 0.385f lies below 0.385.
// 2.125 is exact in binary: the system runtime shows an exact tie rounded up.
TEST(CompileBuildReportWin32, SecondsAreRoundedAsSinglePrecision) {
    char text[kBuildReportSize];
    const struct {
        uint32_t ms;
        const char* shown;
    } cases[] = {{385, "0.38 seconds"}, {1234, "1.23 seconds"}, {2675, "2.67 seconds"}, {2125, "2.13 seconds"}};
    for (const auto& c : cases) {
        FormatBuildReport(text, "x.exe", 1, 1, c.ms);
        EXPECT_NE(strstr(text, c.shown), nullptr) << c.ms << ": " << text;
    }
}

// 30976 bytes are exactly 30.25 KB and 1179648 exactly 1.125 MB.
TEST(CompileBuildReportWin32, FileSizeTiesRoundUp) {
    EXPECT_STREQ(FormatFileSize(30976), "30.3 KB");
    EXPECT_STREQ(FormatFileSize(1179648), "1.13 MB");
}

TEST_F(CompileBuildTest, SuccessfulBuildReportsCountPathSizeAndTime) {
    WriteRecording(rec_, kThreeKeys);
    const std::string out = Output("three keys.exe");
    BuildResult result;
    memset(&result, 0x5A, sizeof(result));
    const DWORD before = GetTickCount();
    ASSERT_EQ(BuildExecutable(rec_.c_str(), out.c_str(), &result), 1) << result.errorText;
    const DWORD took = GetTickCount() - before;
    EXPECT_EQ(result.success, 1);
    EXPECT_EQ(result.eventCount, 3);
    EXPECT_STREQ(result.outputPath, out.c_str());
    EXPECT_STREQ(result.errorText, "");
    ASSERT_TRUE(Exists(out));
    EXPECT_GT(result.fileSize, 1024u);
    EXPECT_EQ(result.fileSize, SizeOf(out));
    EXPECT_GT(result.elapsedMs, 0u);
    EXPECT_LE(result.elapsedMs, took + 20);
    EXPECT_FALSE(Exists(StubSourcePath())) << "player source left behind";

    const std::vector<std::string> calls = Invocations();
    ASSERT_EQ(calls.size(), 1u);
    const std::string expected = "gcc \"" + StubSourcePath() + "\" -o \"" + out + "\" -mwindows -s -Os -luser32";
    EXPECT_EQ(calls[0].substr(calls[0].find(' ') + 1), expected);

    const SeenBox box = ShowReportAndRead(result, "Compilation Complete");
    ASSERT_TRUE(box.found);
    // The program prints with the system C runtime, which rounds an exact tie
    // (2.125) up; MinGW's own sprintf would round it to even and disagree.
    char seconds[32];
    volatile float quotient = static_cast<float>(result.elapsedMs);  // rounded to single precision
    quotient = quotient / 1000.0f;
    _snprintf(seconds, sizeof(seconds), "%.2f", static_cast<double>(quotient));
    EXPECT_EQ(box.text, "Compilation Successful!\n\nOutput File:\n" + out + "\n\nDetails:\n  \xB7 Events: 3\n  \xB7 File Size: " +
                            std::string(FormatFileSize(SizeOf(out))) + "\n  \xB7 Compilation Time: " + seconds +
                            " seconds\n\nThe executable is ready to use.");
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_INFORMATION));
}

TEST_F(CompileBuildTest, TwoBuildsInARowBothSucceed) {
    WriteRecording(rec_, kThreeKeys);
    const std::string first = Output("first.exe"), second = Output("second.exe");
    BuildResult a = {}, b = {};
    ASSERT_EQ(BuildExecutable(rec_.c_str(), first.c_str(), &a), 1) << a.errorText;
    WriteRecording(rec_, {{0x201, 5, 5, 0, 0}});
    ASSERT_EQ(BuildExecutable(rec_.c_str(), second.c_str(), &b), 1) << b.errorText;
    EXPECT_EQ(a.eventCount, 3);
    EXPECT_EQ(b.eventCount, 1);
    EXPECT_EQ(a.fileSize, SizeOf(first));
    EXPECT_EQ(b.fileSize, SizeOf(second));
    const std::vector<std::string> calls = Invocations();
    ASSERT_EQ(calls.size(), 2u);
    // The same source name both times: it carries only the process id.
    const std::string source = "gcc \"" + StubSourcePath() + "\"";
    EXPECT_NE(calls[0].find(source), std::string::npos);
    EXPECT_NE(calls[1].find(source), std::string::npos);
    EXPECT_FALSE(Exists(StubSourcePath()));
}

// A profile named in Cyrillic: the generator and gcc take the ANSI code page,
// so they are given the temporary folder's short form.
TEST_F(CompileBuildTest, ATemporaryFolderNamedInAnotherScriptStillBuilds) {
    WriteRecording(rec_, kThreeKeys);
    WCHAR oldTemp[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"TMP", oldTemp, MAX_PATH);
    const std::wstring temp = std::wstring(dir_.begin(), dir_.end()) + L"\u0412\u0440\u0435\u043c\u044f";
    ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
    SetEnvironmentVariableW(L"TMP", temp.c_str());
    BuildResult result = {};
    EXPECT_EQ(BuildExecutable(rec_.c_str(), Output("player.exe").c_str(), &result), 1) << result.errorText;
    SetEnvironmentVariableW(L"TMP", oldTemp[0] ? oldTemp : nullptr);
    EXPECT_TRUE(RemoveDirectoryW(temp.c_str())) << "temporary files left behind";
}

TEST_F(CompileBuildTest, CompilerExitingNonZeroIsAFailedBuild) {
    WriteRecording(rec_, kThreeKeys);
    SetEnvironmentVariableA("QUORREL_TEST_GCC_MODE", "fail");
    const std::string out = Output("never.exe");
    BuildResult result = {};
    EXPECT_EQ(BuildExecutable(rec_.c_str(), out.c_str(), &result), 0);
    EXPECT_EQ(result.success, 0);
    EXPECT_STREQ(result.errorText, "GCC compilation failed!\nMake sure MinGW GCC is in your PATH.");
    EXPECT_EQ(result.eventCount, 3);
    EXPECT_EQ(result.fileSize, 0u);
    EXPECT_FALSE(Exists(out));
    EXPECT_FALSE(Exists(StubSourcePath()));
    EXPECT_EQ(Invocations().size(), 1u);

    const SeenBox box = ShowReportAndRead(result, "Compilation Failed");
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, "GCC compilation failed!\nMake sure MinGW GCC is in your PATH.");
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_ERROR));
}

TEST_F(CompileBuildTest, SourceThatDoesNotCompileIsAFailedBuild) {
    // A real compiler run that fails: the output folder does not exist.
    WriteRecording(rec_, kThreeKeys);
    BuildResult result = {};
    const std::string out = dir_ + "missing\\folder\\x.exe";
    EXPECT_EQ(BuildExecutable(rec_.c_str(), out.c_str(), &result), 0);
    EXPECT_STREQ(result.errorText, "GCC compilation failed!\nMake sure MinGW GCC is in your PATH.");
    EXPECT_FALSE(Exists(StubSourcePath()));
}

TEST_F(CompileBuildTest, NoCompilerOnThePathLeavesNoTemporaryFiles) {
    // The Compile command's sequence: temporary recording, build, report, delete.
    const std::string temporary = TempDir() + "quorrel_compile.rec";
    WriteRecording(temporary, kThreeKeys);
    UseCompilerPath(false);
    const std::string out = Output("nowhere.exe");
    BuildResult result = {};
    EXPECT_EQ(BuildExecutable(temporary.c_str(), out.c_str(), &result), 0);
    UseCompilerPath(true);
    EXPECT_EQ(result.success, 0);
    EXPECT_STREQ(result.errorText, "Failed to run GCC!\nMake sure MinGW GCC is installed and in your PATH.");
    EXPECT_TRUE(Invocations().empty());
    EXPECT_FALSE(Exists(StubSourcePath()));
    const SeenBox box = ShowReportAndRead(result, "Compilation Failed");
    EXPECT_EQ(box.text, "Failed to run GCC!\nMake sure MinGW GCC is installed and in your PATH.");
    DeleteFileA(temporary.c_str());
    EXPECT_FALSE(Exists(temporary));
    EXPECT_FALSE(Exists(out));
}

// A gcc.exe beside the program, or in the current folder (where the file
// dialogs leave it), never runs, even with "." and an empty entry on PATH; the
// one in a PATH folder does. The build runs in a copy of a small program that
// uses the build driver, in a folder of this test's own.
TEST_F(CompileBuildTest, OnlyACompilerInAPathFolderRuns) {
    const std::string app = dir_ + "app\\", work = dir_ + "work\\", seen = dir_ + "seen.log";
    CreateDirectoryA(app.c_str(), nullptr);
    CreateDirectoryA(work.c_str(), nullptr);
    const std::string program = app + "build_player.exe";
    ASSERT_TRUE(CopyFileA((TestsDir() + "build_player.exe").c_str(), program.c_str(), FALSE));
    for (const std::string& folder : {app, work})
        ASSERT_TRUE(CopyFileA((TestsDir() + "test_gcc.exe").c_str(), (folder + "gcc.exe").c_str(), FALSE));
    WriteRecording(rec_, kThreeKeys);
    SetEnvironmentVariableA("QUORREL_TEST_GCC_SEEN", seen.c_str());
    SetEnvironmentVariableA("QUORREL_TEST_GCC_MODE", "fail");  // whichever runs ends at once
    const std::string arguments = "\"" + rec_ + "\" \"" + dir_ + "out.exe\"";

    SetEnvironmentVariableA("PATH", (".;;" + bin_ + ";C:\\windows\\system32;C:\\windows").c_str());
    const int withCompiler = RunToEnd(program, arguments, 60000, work.c_str());
    const std::string ranWith = ReadText(seen);
    DeleteFileA(seen.c_str());
    SetEnvironmentVariableA("PATH", ".;;C:\\windows\\system32;C:\\windows");
    const int without = RunToEnd(program, arguments, 60000, work.c_str());
    const std::string ranWithout = ReadText(seen);
    SetEnvironmentVariableA("QUORREL_TEST_GCC_SEEN", nullptr);

    EXPECT_EQ(withCompiler, 1) << "the compiler did not run and fail as told";
    EXPECT_EQ(ranWith, bin_ + "\\gcc.exe\n");
    EXPECT_EQ(without, 2) << "a compiler ran with none on PATH";
    EXPECT_EQ(ranWithout, "");
    for (const std::string& file : {app + "gcc.exe", work + "gcc.exe", program, seen}) DeleteFileA(file.c_str());
    RemoveDirectoryA(app.c_str());
    RemoveDirectoryA(work.c_str());
}

TEST_F(CompileBuildTest, BadRecordingFailsBeforeAnyCompilerRuns) {
    WriteRecording(rec_, {});
    BuildResult result = {};
    const std::string out = Output("bad.exe");
    EXPECT_EQ(BuildExecutable(rec_.c_str(), out.c_str(), &result), 0);
    EXPECT_STREQ(result.errorText, "Failed to create player stub!");
    EXPECT_STREQ(result.outputPath, out.c_str());
    EXPECT_EQ(BuildExecutable((dir_ + "absent.rec").c_str(), out.c_str(), &result), 0);
    EXPECT_STREQ(result.errorText, "Failed to create player stub!");
    EXPECT_TRUE(Invocations().empty());
    EXPECT_FALSE(Exists(StubSourcePath()));
    const SeenBox box = ShowReportAndRead(result, "Compilation Failed");
    EXPECT_EQ(box.text, "Failed to create player stub!");
}

// How many running processes have the image `name` (case-insensitive).
int CountProcesses(const char* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, name) == 0) ++count;
    CloseHandle(snapshot);
    return count;
}

// The stand-in's child would write the output 32 s in; a time-out well below
// that shows whether it was stopped too, without waiting for it. Meanwhile the
// windows are painted, and what the user sent waits in the queue.
TEST_F(CompileBuildTest, CompilerPastTheTimeOutIsStoppedAndWritesNothingLater) {
    WriteRecording(rec_, kThreeKeys);
    SetEnvironmentVariableA("QUORREL_TEST_GCC_MODE", "hang");
    const std::string out = Output("late.exe");
    BuildResult result = {};
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    InvalidateRect(window, nullptr, TRUE);
    const DWORD start = GetTickCount();
    EXPECT_EQ(BuildExecutable(rec_.c_str(), out.c_str(), &result, 3000), 0);
    const DWORD took = GetTickCount() - start;
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)) << "not painted";
    MSG key;
    EXPECT_TRUE(PeekMessageA(&key, window, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    DestroyWindow(window);
    EXPECT_GE(took, 2900u);
    EXPECT_LT(took, 4900u) << "waited past the time-out";
    EXPECT_STREQ(result.errorText, "GCC compilation failed!\nMake sure MinGW GCC is in your PATH.");
    EXPECT_FALSE(Exists(StubSourcePath()));

    const std::vector<std::string> calls = Invocations();
    ASSERT_EQ(calls.size(), 1u);
    const DWORD pid = strtoul(calls[0].c_str(), nullptr, 10);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process) {
        EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0) << "compiler still running";
        CloseHandle(process);
    }
    // The driver and the child it started both gone: nothing is left to write.
    int left = CountProcesses("gcc.exe");
    for (int i = 0; i < 100 && left != 0; ++i) {
        Sleep(20);
        left = CountProcesses("gcc.exe");
    }
    EXPECT_EQ(left, 0) << "a stopped compiler's child is still running";
    EXPECT_FALSE(Exists(out)) << "the stopped compiler wrote the executable";
}

// The save dialog for the executable, driven from another thread: it either
// types a name and confirms, or cancels.
struct DialogDrive {
    const char* typeName;  // null: cancel
    bool found = false;
};

DWORD WINAPI DriveSaveDialog(void* param) {
    DialogDrive* drive = static_cast<DialogDrive*>(param);
    for (int i = 0; i < 500; ++i) {
        HWND dialog = FindWindowA("#32770", "Save Compiled Macro As");
        if (dialog && IsWindowVisible(dialog)) {
            drive->found = true;
            Sleep(200);
            if (drive->typeName) {
                // The file-name box of the common dialog (cmb13, or edt1 in the old style).
                if (!SetDlgItemTextA(dialog, 0x47C, drive->typeName)) SetDlgItemTextA(dialog, 0x480, drive->typeName);
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            } else {
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            }
            return 0;
        }
        Sleep(20);
    }
    return 0;
}

char* RunSaveDialog(DialogDrive* drive) {
    HANDLE thread = CreateThread(nullptr, 0, DriveSaveDialog, drive, 0, nullptr);
    char* path = ChooseExecutablePath(nullptr);
    WaitForSingleObject(thread, 15000);
    CloseHandle(thread);
    return path;
}

TEST_F(CompileBuildTest, SaveDialogCancelledGivesNoPath) {
    DialogDrive drive{nullptr};
    char* path = RunSaveDialog(&drive);
    EXPECT_TRUE(drive.found) << "no dialog titled \"Save Compiled Macro As\"";
    EXPECT_EQ(path, nullptr);
    free(path);
}

TEST_F(CompileBuildTest, SaveDialogAddsTheExeExtension) {
    const std::string typed = dir_ + "my player";
    DialogDrive drive{typed.c_str()};
    char* path = RunSaveDialog(&drive);
    ASSERT_TRUE(drive.found);
    ASSERT_NE(path, nullptr);
    EXPECT_STREQ(path, (typed + ".exe").c_str());
    EXPECT_FALSE(Exists(typed + ".exe")) << "the dialog only names the file";
    free(path);
}

// The built player against the bench's target window (qtarget.exe at 100,100,
// 400 x 300 on the primary screen), which logs each input with its tick.
struct TargetEvent {
    DWORD tick;
    std::string kind;
    std::string fields;
};

long Field(const TargetEvent& e, const char* name) {
    const std::string key = std::string(name) + "=";
    size_t pos = (" " + e.fields).find(" " + key);
    return pos == std::string::npos ? -99999 : strtol(e.fields.c_str() + pos + key.size(), nullptr, 10);
}

std::vector<TargetEvent> ReadTargetLog(const std::string& path) {
    std::vector<TargetEvent> events;
    std::string text = ReadText(path);
    size_t pos = 0, end;
    while ((end = text.find('\n', pos)) != std::string::npos) {
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        size_t a = line.find(' ');
        if (a == std::string::npos) continue;
        size_t b = line.find(' ', a + 1);
        TargetEvent e;
        e.tick = strtoul(line.c_str(), nullptr, 10);
        e.kind = line.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
        e.fields = b == std::string::npos ? "" : line.substr(b + 1);
        // Moves and characters follow from the events we check; leave them out.
        if (e.kind != "MOVE" && e.kind != "CHAR" && e.kind != "READY") events.push_back(e);
    }
    return events;
}

HANDLE Launch(const std::string& commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

void SendEscape(bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_ESCAPE;
    input.ki.wScan = 0x01;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
}

class CompilePlayerTest : public CompileBuildTest {
protected:
    void TearDown() override {
        if (player_) {
            TerminateProcess(player_, 0);
            CloseHandle(player_);
        }
        if (target_) {
            TerminateProcess(target_, 0);
            WaitForSingleObject(target_, 5000);
            CloseHandle(target_);
        }
        DeleteFileA(targetLog_.c_str());
        CompileBuildTest::TearDown();
    }
    void StartTarget() {
        targetLog_ = dir_ + "target.log";
        target_ = Launch("\"" + TestsDir() + "qtarget.exe\" \"" + targetLog_ + "\" 100 100 400 300");
        ASSERT_NE(target_, nullptr);
        for (int i = 0; i < 500 && ReadText(targetLog_).find("READY") == std::string::npos; ++i) Sleep(20);
        ASSERT_NE(ReadText(targetLog_).find("READY"), std::string::npos) << "target window did not start";
        Sleep(300);
    }
    std::string BuildPlayer(const std::vector<MacroEvent>& events) {
        WriteRecording(rec_, events);
        const std::string out = Output("player.exe");
        BuildResult result = {};
        EXPECT_EQ(BuildExecutable(rec_.c_str(), out.c_str(), &result), 1) << result.errorText;
        return out;
    }
    HANDLE player_ = nullptr;
    HANDLE target_ = nullptr;
    std::string targetLog_;
};

TEST_F(CompilePlayerTest, PlayerReplaysKeysClicksAndWheelInOrderAfterHalfASecond) {
    const std::vector<MacroEvent> events = {
        {0x200, 200, 200, 0, 0},                   // move into the target
        {0x201, 200, 200, 30, 0},                  // left click
        {0x202, 200, 200, 60, 0},
        {0x100, 'Q', 0x10, 100, 0},                // Q
        {0x101, 'Q', 0x8010, 130, 0},
        {0x0999, 1, 2, 160, 0},                    // not an input: skipped
        {0x20A, 300, (120u << 16) | 250, 200, 0},  // wheel away, then back
        {0x20A, 300, (0xFF88u << 16) | 250, 240, 0},
        {0x100, VK_DELETE, 0x0153, 150, 0},        // earlier time: no wait, new reference
        {0x101, VK_DELETE, 0x8153, 300, 0},        // so this one waits 150 ms
        {0x200, 350, 300, 330, 0},
        {0x204, 350, 300, 360, 0},                 // right click
        {0x205, 350, 300, 390, 0},
    };
    const std::string player = BuildPlayer(events);
    ASSERT_TRUE(Exists(player));
    StartTarget();
    const DWORD launched = GetTickCount();
    player_ = Launch("\"" + player + "\"");
    ASSERT_NE(player_, nullptr);
    ASSERT_EQ(WaitForSingleObject(player_, 15000), WAIT_OBJECT_0);
    Sleep(300);

    const std::vector<TargetEvent> seen = ReadTargetLog(targetLog_);
    const char* expected[] = {"LDOWN", "LUP", "KEYDOWN", "KEYUP", "WHEEL", "WHEEL", "KEYDOWN", "KEYUP", "RDOWN", "RUP"};
    std::string kinds;
    for (const TargetEvent& e : seen) kinds += e.kind + " ";
    ASSERT_EQ(seen.size(), sizeof(expected) / sizeof(expected[0])) << kinds;
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i].kind, expected[i]) << i << ": " << kinds;

    EXPECT_EQ(Field(seen[0], "x"), 200);
    EXPECT_EQ(Field(seen[0], "y"), 200);
    EXPECT_EQ(Field(seen[2], "vk"), 'Q');
    EXPECT_EQ(Field(seen[3], "vk"), 'Q');
    EXPECT_EQ(Field(seen[2], "ext"), 0);
    EXPECT_EQ(Field(seen[4], "delta"), 120);
    EXPECT_EQ(Field(seen[5], "delta"), -120);
    EXPECT_EQ(Field(seen[6], "vk"), VK_DELETE);
    EXPECT_EQ(Field(seen[6], "ext"), 1);
    EXPECT_EQ(Field(seen[7], "vk"), VK_DELETE);
    EXPECT_EQ(Field(seen[8], "x"), 350);
    EXPECT_EQ(Field(seen[8], "y"), 300);

    // Nothing arrives before the fixed half-second wait.
    EXPECT_GE(seen[0].tick - launched, 500u);
    // The earlier-timed Delete goes at once; its key-up waits from that time.
    EXPECT_LT(seen[6].tick - seen[5].tick, 100u);
    EXPECT_GE(seen[7].tick - seen[6].tick, 140u);
    // Recorded gaps from the left click to the last event add up to 450 ms.
    EXPECT_GE(seen[9].tick - seen[0].tick, 430u);
    EXPECT_LT(seen[9].tick - seen[0].tick, 1500u);
}

TEST_F(CompilePlayerTest, HoldingEscapeStopsThePlayerBeforeItsNextEvent) {
    std::vector<MacroEvent> events;
    for (uint32_t i = 0; i < 40; ++i) {
        events.push_back({0x100, 'A', 0x1E, i * 200, 0});
        events.push_back({0x101, 'A', 0x801E, i * 200 + 100, 0});
    }
    const std::string player = BuildPlayer(events);
    ASSERT_TRUE(Exists(player));
    StartTarget();
    player_ = Launch("\"" + player + "\"");
    ASSERT_NE(player_, nullptr);
    // Wait for the first key to arrive, then hold Esc.
    for (int i = 0; i < 500 && ReadTargetLog(targetLog_).empty(); ++i) Sleep(10);
    ASSERT_FALSE(ReadTargetLog(targetLog_).empty()) << "player sent nothing";
    SendEscape(true);
    const DWORD held = GetTickCount();
    const DWORD waited = WaitForSingleObject(player_, 5000);
    const DWORD stopped = GetTickCount();
    SendEscape(false);
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "player kept running with Esc held";
    // It notices at its next event, at most one 100 ms gap later.
    EXPECT_LT(stopped - held, 600u);
    Sleep(200);
    int keysAfter = 0, keys = 0;
    for (const TargetEvent& e : ReadTargetLog(targetLog_)) {
        if (Field(e, "vk") != 'A') continue;
        ++keys;
        if (e.tick > held + 120) ++keysAfter;
    }
    EXPECT_EQ(keysAfter, 0);
    EXPECT_LT(keys, 80);
    EXPECT_GE(keys, 1);
}

}  // namespace
