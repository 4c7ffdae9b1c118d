#include "ui/prefs_menu.h"

#include <cmath>
#include <cstring>

#include "base/format_text.h"
#include "base/version.h"
#include "settings/settings.h"

namespace {

constexpr int kVkF8 = 0x77;

// Appends one item; labels longer than the field are cut, never overrun.
MenuItemModel* Add(MenuModel* menu, MenuItemKind kind, int id, const char* label) {
    constexpr int kCapacity = (int)(sizeof menu->items / sizeof menu->items[0]);
    if (menu->count >= kCapacity) return nullptr;
    MenuItemModel* item = &menu->items[menu->count++];
    memset(item, 0, sizeof *item);
    item->kind = kind;
    item->id = id;
    if (label) FormatText(item->label, sizeof item->label, "%s", label);
    return item;
}

void AddText(MenuModel* menu, int id, const char* label, bool checked) {
    MenuItemModel* item = Add(menu, MenuItemKind::Text, id, label);
    if (item) item->checked = checked;
}

void AddGreyed(MenuModel* menu, int id, const char* label) {
    MenuItemModel* item = Add(menu, MenuItemKind::Text, id, label);
    if (item) item->greyed = true;
}

void AddSeparator(MenuModel* menu) { Add(menu, MenuItemKind::Separator, 0, nullptr); }

void AddSubmenu(MenuModel* menu, const char* label, int index) {
    MenuItemModel* item = Add(menu, MenuItemKind::Submenu, 0, label);
    if (item) item->submenu = index;
}

void BuildRecordingHotkeyModel(MenuModel* menu) {
    int complex = UseComplexRecord.load();
    AddGreyed(menu, IDM_REC_HOTKEY_TITLE, "Start/stop recording:");
    AddSeparator(menu);
    AddText(menu, IDM_REC_HOTKEY_F8, "F8", complex == 0 && RecordingHotkey.load() == kVkF8);
    AddText(menu, IDM_REC_HOTKEY_COMBO, "Ctrl+Shift+Alt+R", complex != 0);
}

void BuildPlaybackHotkeyModel(MenuModel* menu) {
    int complex = UseComplexPlayback.load();
    AddText(menu, IDM_PLAY_HOTKEY_COMBO, "Control + Shift + Alt + P", complex != 0);
    AddText(menu, IDM_PLAY_HOTKEY_F8, "F8", complex == 0 && PlaybackHotkey.load() == kVkF8);
    AddSeparator(menu);
    AddGreyed(menu, IDM_PLAY_HOTKEY_HINT, "Hint: Press ESC to stop playback");
}

}  // namespace

bool SpeedMatches(float speed, float preset) {
    // The difference of two floats is exact in double; it is deliberately not
    // rounded back to float before the comparison.
    double difference = (double)speed - (double)preset;
    return std::fabs(difference) < (double)0.01f;
}

void FormatCustomSpeedLabel(char* buffer, size_t size, float customSpeed) {
    double speed = customSpeed;
    const char* format = "Play Custom Speed:  %.2fx";
    if (speed == std::trunc(speed)) {
        format = "Play Custom Speed:  %.0fx";
    } else if (speed * 10.0 == std::trunc(speed * 10.0)) {
        format = "Play Custom Speed:  %.1fx";
    }
    FormatText(buffer, size, format, speed);
}

void FormatLoopsLabel(char* buffer, size_t size, int repeatMode, int repeatCount) {
    if (repeatMode == kRepeatContinuous) {
        FormatText(buffer, size, "%s", "Set Playback Loops...  (l)");
    } else {
        FormatText(buffer, size, "Set Playback Loops...  (%d)", repeatCount);
    }
}

void BuildPrefsMenuModel(PrefsMenuModel* model) {
    memset(model, 0, sizeof *model);
    MenuModel* menu = &model->main;
    float speed = PlaybackSpeed.load();
    float custom = CustomSpeed.load();
    char label[kMenuLabelSize];

    AddText(menu, IDM_SPEED_HALF, "Play Speed:  1/2x", SpeedMatches(speed, 0.5f));
    AddText(menu, IDM_SPEED_1X, "Play Speed:  1x", SpeedMatches(speed, 1.0f));
    AddText(menu, IDM_SPEED_2X, "Play Speed:  2x", SpeedMatches(speed, 2.0f));
    AddText(menu, IDM_SPEED_100X, "Play Speed:  100x", SpeedMatches(speed, 100.0f));
    FormatCustomSpeedLabel(label, sizeof label, custom);
    AddText(menu, IDM_SPEED_CUSTOM, label, SpeedMatches(speed, custom));
    AddText(menu, IDM_SET_CUSTOM_SPEED, "Set Custom Speed...", false);
    AddSeparator(menu);
    AddText(menu, IDM_CONTINUOUS, "&Continuous Playback", RepeatMode.load() == kRepeatContinuous);
    FormatLoopsLabel(label, sizeof label, RepeatMode.load(), RepeatCount.load());
    AddText(menu, IDM_SET_LOOPS, label, false);
    AddSeparator(menu);
    AddSubmenu(menu, "Recording Hotkey", 0);
    AddSubmenu(menu, "Playback Hotkey", 1);
    AddSeparator(menu);
    AddText(menu, IDM_ALWAYS_ON_TOP, "&Always on Top", AlwaysOnTop != 0);
    AddText(menu, IDM_SHOW_CAPTIONS, "Show Captions", ShowCaptions != 0);
    AddText(menu, IDM_CUSTOM_TOOLBAR, "Use Custom Toolbar...", UseCustom != 0);
    // "Use Default Toolbar" really returns to the built-in icons, so its tick
    // says whether they are the ones showing.
    AddText(menu, IDM_DEFAULT_TOOLBAR, "Use Default Toolbar", UseCustom == 0);
    AddSeparator(menu);
    AddText(menu, IDM_WEBSITE, "Quorrel Website", false);
    AddText(menu, IDM_ABOUT, "About Quorrel " QUORREL_VERSION_TEXT, false);

    BuildRecordingHotkeyModel(&model->submenus[0]);
    BuildPlaybackHotkeyModel(&model->submenus[1]);
}
