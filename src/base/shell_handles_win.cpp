#include "base/shell_handles_win.h"

namespace {
HINSTANCE appInstance;
HWND mainWindow;
}  // namespace

HINSTANCE GetAppInstance() { return appInstance ? appInstance : GetModuleHandleA(nullptr); }
void SetAppInstance(HINSTANCE instance) { appInstance = instance; }
HWND GetMainWindow() { return mainWindow; }
void SetMainWindow(HWND window) { mainWindow = window; }
