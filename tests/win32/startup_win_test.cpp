// Start-up pieces in-process: the command-line file test, the main window's shape
// and the awareness the built program declares.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "app/app_win.h"

namespace {

std::string TempDir() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return temp;
}

TEST(StartupArgument, NeedsAnExistingRecFileThatIsNotAFolder) {
    std::string base = TempDir() + "qstart";
    CreateDirectoryA(base.c_str(), nullptr);
    std::string file = base + "\\My Demo.REC";
    std::string folder = base + "\\x.rec";
    HANDLE f = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
    CreateDirectoryA(folder.c_str(), nullptr);

    char out[260];
    EXPECT_EQ(FindRecPathArgument(("\"" + file + "\" ignored").c_str(), out), 1);
    EXPECT_EQ(std::string(out), file);
    EXPECT_EQ(FindRecPathArgument(file.c_str(), out), 0) << "unquoted path is cut at the space";
    EXPECT_EQ(FindRecPathArgument(("\"" + folder + "\"").c_str(), out), 0);
    EXPECT_EQ(FindRecPathArgument(("\"" + base + "\\missing.rec\"").c_str(), out), 0);

    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA(base.c_str());
}

TEST(StartupWindow, FixedSizeWindowCentredOnThePrimaryScreen) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ASSERT_EQ(RegisterMainWindowClass(instance), 1);
    HWND window = CreateMainWindow(instance, SW_SHOWNOACTIVATE);
    ASSERT_NE(window, nullptr);

    char title[64];
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Quorrel");
    char cls[64];
    GetClassNameA(window, cls, sizeof cls);
    EXPECT_STREQ(cls, "QuorrelWindowClass");
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);

    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 265);
    EXPECT_EQ(client.bottom, 55);

    RECT outer;
    GetWindowRect(window, &outer);
    int width = outer.right - outer.left, height = outer.bottom - outer.top;
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);

    ApplyClientHeight(window, kClientHeightWithoutCaptions);
    GetClientRect(window, &client);
    EXPECT_EQ(client.bottom, 36);
    RECT moved;
    GetWindowRect(window, &moved);
    EXPECT_EQ(moved.left, outer.left) << "resizing keeps the position";
    EXPECT_EQ(moved.top, outer.top);

    DestroyWindow(window);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// Wine takes every program for per-monitor aware, so a build that lost the
// declaration would still replay on the right pixels there: the manifest is read.
TEST(StartupManifest, TheBuiltProgramDeclaresPerMonitorV2Awareness) {
    char self[MAX_PATH];
    std::string exe(self, GetModuleFileNameA(nullptr, self, sizeof self));
    exe = exe.substr(0, exe.rfind('\\')) + "\\..\\quorrel.exe";
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = module ? FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST) : nullptr;
    ASSERT_NE(found, nullptr) << exe;
    std::string manifest((const char*)LockResource(LoadResource(module, found)), SizeofResource(module, found));
    FreeLibrary(module);
    size_t value = manifest.find('>', manifest.find("<dpiAwareness")) + 1;
    EXPECT_EQ(manifest.compare(value, 12, "PerMonitorV2"), 0) << manifest;
}

}  // namespace
