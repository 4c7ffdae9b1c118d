// The program's instance and main window, set once by start-up and read by the
// engines and the shell alike (the engines post to the window and find it
// here, without knowing the shell). UI thread, apart from reads of the window
// handle by the playback worker at its start.
#pragma once
#include <windows.h>

// The instance WinMain was given, or the executable's module before that.
HINSTANCE GetAppInstance();
void SetAppInstance(HINSTANCE instance);
// Null until WinMain has created the main window.
HWND GetMainWindow();
void SetMainWindow(HWND window);
