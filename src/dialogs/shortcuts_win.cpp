// Runs the shortcuts dialog from its in-memory template.
#include "dialogs/shortcuts_win.h"

#include "base/shell_handles_win.h"
#include "dialogs/modal_win.h"
#include "dialogs/shortcuts.h"

namespace {
// DLGTEMPLATE and its items must be DWORD aligned.
alignas(DWORD) unsigned char shortcutsTemplate[kShortcutsTemplateSize];
}  // namespace

const DLGTEMPLATE* BuildShortcutsTemplate() {
    WriteShortcutsTemplate(shortcutsTemplate, sizeof shortcutsTemplate);
    return (const DLGTEMPLATE*)shortcutsTemplate;
}

INT_PTR CALLBACK ShortcutsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

void ShowShortcutsDialog(HWND owner) {
    SystemModal modal(owner);
    DialogBoxIndirectParamA(GetAppInstance(), BuildShortcutsTemplate(), owner, ShortcutsDialogProc, 0);
}
