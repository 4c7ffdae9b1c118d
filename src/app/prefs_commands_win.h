// Carries out the preferences menu commands (ids 2000..2999): changes the
// settings, applies them where they show and saves them. UI thread only.
#pragma once
#include <windows.h>

void HandlePreferencesCommand(HWND window, int id);
