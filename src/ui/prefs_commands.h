// Carries out the preferences menu commands (ids 2000..2999). UI thread only.
#pragma once
#include <windows.h>

void HandlePreferencesCommand(HWND window, int id);
