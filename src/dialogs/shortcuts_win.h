// The keyboard shortcuts dialog, built from an in-memory template (its bytes come
// from shortcuts.h). UI thread only.
#pragma once
#include <windows.h>

// Modal; returns when the dialog is closed (OK, Enter, Esc or the close box).
void ShowShortcutsDialog(HWND owner);
// Fills the process-wide 2048-byte template buffer and returns its start; the
// next call rebuilds the same buffer.
const DLGTEMPLATE* BuildShortcutsTemplate();
INT_PTR CALLBACK ShortcutsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
