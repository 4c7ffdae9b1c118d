// Turns the menu model into a real popup menu and tracks it.
#include "ui/prefs_menu_win.h"

namespace {

UINT ItemFlags(const MenuItemModel& item) {
    UINT flags = MF_STRING;
    if (item.checked) flags |= MF_CHECKED;
    if (item.greyed) flags |= MF_GRAYED | MF_DISABLED;
    return flags;
}

// A popup made from one level of the model; `model` supplies the nested ones
// (null for a submenu, which has none of its own).
HMENU BuildMenuFrom(const MenuModel& menu, const PrefsMenuModel* model) {
    HMENU popup = CreatePopupMenu();
    if (!popup) return nullptr;
    for (int i = 0; i < menu.count; ++i) {
        const MenuItemModel& item = menu.items[i];
        switch (item.kind) {
        case MenuItemKind::Separator:
            AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
            break;
        case MenuItemKind::Submenu: {
            if (!model || item.submenu < 0 || item.submenu > 1) break;
            HMENU sub = BuildMenuFrom(model->submenus[item.submenu], nullptr);
            // Once appended the submenu belongs to the popup and dies with it.
            if (sub && !AppendMenuA(popup, MF_POPUP | MF_STRING, (UINT_PTR)sub, item.label)) {
                DestroyMenu(sub);
            }
            break;
        }
        case MenuItemKind::Text:
            AppendMenuA(popup, ItemFlags(item), (UINT_PTR)item.id, item.label);
            break;
        }
    }
    return popup;
}

}  // namespace

HMENU BuildPreferencesMenu() {
    PrefsMenuModel model;
    BuildPrefsMenuModel(&model);
    return BuildMenuFrom(model.main, &model);
}

void ShowPreferencesMenu(HWND window, int x, int y, HWND keys) {
    HMENU menu = BuildPreferencesMenu();
    if (!menu) return;
    if (!keys) keys = window;
    // Without the foreground the menu would not close on a click elsewhere,
    // notably when it was opened from the tray icon; and the foreground stays
    // where the keyboard belongs, not with a window a modal one has disabled.
    SetForegroundWindow(keys);
    SendMessageA(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);
    int id = (int)TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, keys, nullptr);
    DestroyMenu(menu);
    if (id) PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    PostMessageA(keys, WM_NULL, 0, 0);
}
