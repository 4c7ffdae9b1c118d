// The compiler bridge (tools/gccbridge) under Wine: the product's gcc.exe on
// real compiles, and its test build (test_gcc.exe) with a shell text in place
// of the compiler where the compiler's own behaviour cannot be steered.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "test_files.h"
#include "test_process.h"

namespace {

std::string BuildDir() {
    std::string dir = TestsDir();                        // build\tests\ .
    dir.pop_back();
    return dir.substr(0, dir.find_last_of("\\/") + 1);  // build\ .
}

std::string ProductBridge() { return BuildDir() + "bridge\\gcc.exe"; }
std::string TestBridge() { return BuildDir() + "tests\\test_gcc.exe"; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteText(const std::string& path, const char* text) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    fputs(text, f);
    fclose(f);
}

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(dir + name + "\\");
            else
                DeleteFileA((dir + name).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

// "p<e acute>" in the ANSI code page, the way the program passes it.
std::string WithAccent(const char* before, const char* after) {
    char accent[8] = "";
    WideCharToMultiByte(CP_ACP, 0, L"\u00e9", 1, accent, sizeof(accent) - 1, nullptr, nullptr);
    return std::string(before) + accent + after;
}

const char kProgram[] = "#include <windows.h>\nint WINAPI WinMain(HINSTANCE a, HINSTANCE b, LPSTR c, int d) { return 0; }\n";

class GccBridgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int serial = 0;
        char temp[MAX_PATH], name[64];
        GetTempPathA(MAX_PATH, temp);
        // Wine hands out the same process ids run after run, and the prefix stays.
        wsprintfA(name, "quorrel_bridge_%lu_%lu_%d", GetCurrentProcessId(), GetTickCount(), ++serial);
        dir_ = std::string(temp) + name + "\\";
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
        SetEnvironmentVariableA("QUORREL_TEST_GCC_MODE", nullptr);
        SetEnvironmentVariableA("QUORREL_TEST_GCC_SCRIPT", nullptr);
        SetEnvironmentVariableA("QUORREL_TEST_GCC_HANG_MS", nullptr);
    }
    void TearDown() override {
        SetEnvironmentVariableA("QUORREL_TEST_GCC_MODE", nullptr);
        SetEnvironmentVariableA("QUORREL_TEST_GCC_SCRIPT", nullptr);
        SetEnvironmentVariableA("QUORREL_TEST_GCC_HANG_MS", nullptr);
        RemoveTree(dir_);
    }
    std::string Folder(const std::string& name) {
        std::string path = dir_ + name;
        CreateDirectoryA(path.c_str(), nullptr);
        return path + "\\";
    }
    std::string dir_;
};

// What the shell text receives is exactly the arguments, paths as Linux names
// (UTF-8), and its exit code is the bridge's.
TEST_F(GccBridgeTest, PassesArgumentsAsLinuxPathsAndReturnsTheExitCode) {
    const std::string folder = Folder("with space");
    const std::string argsFile = folder + WithAccent("p", ".txt");
    SetEnvironmentVariableA("QUORREL_TEST_GCC_SCRIPT", "for last; do :; done; printf '%s\\n' \"$@\" > \"$last\"; exit 7");
    const int code = RunToEnd(TestBridge(), "-Os \"" + folder + "a.c\" -o \"" + argsFile + "\"");
    EXPECT_EQ(code, 7);

    typedef char*(CDECL * UnixNameFn)(LPCWSTR);
    UnixNameFn toUnix = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    ASSERT_NE(toUnix, nullptr);
    WCHAR wideDir[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, dir_.c_str(), -1, wideDir, MAX_PATH);
    char* unixDir = toUnix(wideDir);
    ASSERT_NE(unixDir, nullptr);
    std::string base = unixDir;
    HeapFree(GetProcessHeap(), 0, unixDir);
    if (base.back() != '/') base += '/';
    EXPECT_EQ(ReadText(argsFile), "-Os\n" + base + "with space/a.c\n-o\n" + base + "with space/p\xC3\xA9.txt\n");
}

TEST_F(GccBridgeTest, CompilesBetweenFoldersWithSpacesAndNonAsciiLetters) {
    const std::string source = Folder(WithAccent("src d", "j")) + "hello.c";
    WriteText(source, kProgram);
    const std::string output = Folder("out folder") + WithAccent("p", ".exe");
    ASSERT_EQ(RunToEnd(ProductBridge(), "\"" + source + "\" -o \"" + output + "\" -mwindows -s -Os -luser32"), 0);
    EXPECT_TRUE(Exists(output)) << output;
}

TEST_F(GccBridgeTest, ACompileErrorIsAFailureWithNoOutput) {
    const std::string source = dir_ + "broken.c";
    WriteText(source, "int main(void) { return }\n");
    const std::string output = dir_ + "broken.exe";
    EXPECT_EQ(RunToEnd(ProductBridge(), "\"" + source + "\" -o \"" + output + "\""), 1);
    EXPECT_FALSE(Exists(output));
}

// The build driver terminates the bridge at its time-out. Two identical slow
// builds: the one left alone writes its output, the terminated one never does.
TEST_F(GccBridgeTest, TerminatingTheBridgeStopsTheCompilerItStarted) {
    SetEnvironmentVariableA("QUORREL_TEST_GCC_MODE", "hang");
    SetEnvironmentVariableA("QUORREL_TEST_GCC_HANG_MS", "2500");
    const std::string stopped = dir_ + "stopped.exe", finished = dir_ + "finished.exe";
    HANDLE stop = Start(TestBridge(), "x.c -o \"" + stopped + "\"");
    HANDLE finish = Start(TestBridge(), "x.c -o \"" + finished + "\"");
    ASSERT_NE(stop, nullptr);
    ASSERT_NE(finish, nullptr);
    Sleep(1000);
    EXPECT_TRUE(TerminateProcess(stop, 1));
    EXPECT_EQ(WaitForSingleObject(stop, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(finish, 20000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(finish, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(Exists(finished)) << "the slow build never wrote: the check below proves nothing";
    Sleep(1500);
    EXPECT_FALSE(Exists(stopped)) << "the compiler of the terminated bridge wrote on";
    CloseHandle(stop);
    CloseHandle(finish);
}

}  // namespace
