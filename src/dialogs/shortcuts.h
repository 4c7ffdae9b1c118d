// The keyboard shortcuts dialog, built from an in-memory template. UI thread only.
#pragma once
#include <windows.h>

void ShowShortcutsDialog(HWND owner);
// Fills the process-wide 2048-byte template buffer and returns its start.
const DLGTEMPLATE* BuildShortcutsTemplate();
