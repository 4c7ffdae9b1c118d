#include "ui/toolbar.h"

#include <cstring>

#include "base/format_text.h"

const ToolbarButtonSpec kToolbarButtonSpecs[kToolbarButtons] = {
    {CMD_OPEN, kToolbarFirstX + 0 * kToolbarStepX, "Open", "Open", "Open .rec file", IDI_OPEN, "open.ico"},
    {CMD_SAVE, kToolbarFirstX + 1 * kToolbarStepX, "Save", "Save", "Save .rec file", IDI_SAVE, "save.ico"},
    {CMD_RECORD, kToolbarFirstX + 2 * kToolbarStepX, "Rec", "&Rec", "Record (Ctrl+Shift+Alt+R)", IDI_RECORD,
     "record.ico"},
    {CMD_PLAY, kToolbarFirstX + 3 * kToolbarStepX, "Play", "&Play", "Play (Ctrl+Shift+Alt+P)", IDI_PLAY,
     "play.ico"},
    {CMD_COMPILE, kToolbarFirstX + 4 * kToolbarStepX, ".exe", ".exe", "Compile to EXE", IDI_COMPILE, "compile.ico"},
    {CMD_PREFS, kToolbarFirstX + 5 * kToolbarStepX, "Prefs", "Prefs", "Preferences", IDI_PREFS, "prefs.ico"},
};

const int kDefaultIconLoadOrder[kDefaultIconCount] = {IDI_OPEN, IDI_SAVE, IDI_RECORD, IDI_STOP,
                                                      IDI_PLAY, IDI_COMPILE, IDI_PREFS};

int ToolbarButtonIndex(int controlId) {
    int index = controlId - kToolbarFirstId;
    return index >= 0 && index < kToolbarButtons ? index : -1;
}

const char* ChooseButtonLabel(int controlId, int recording) {
    int index = ToolbarButtonIndex(controlId);
    if (index < 0) return "";
    if (controlId == kRecordButtonId && recording) return "*&Rec*";
    return kToolbarButtonSpecs[index].label;
}

ToolbarIconChoice ChooseButtonIcon(int controlId, int useCustom, int haveCustomIcon, int recording) {
    int index = ToolbarButtonIndex(controlId);
    if (index < 0) return {ToolbarIconSource::None, 0};
    if (useCustom && haveCustomIcon) return {ToolbarIconSource::Custom, index};
    if (controlId == kRecordButtonId && recording) return {ToolbarIconSource::Default, kStopIconResource};
    return {ToolbarIconSource::Default, kToolbarButtonSpecs[index].iconResource};
}

int DefaultIconSlot(int resourceId) {
    for (int slot = 0; slot < kDefaultIconCount; ++slot)
        if (kDefaultIconLoadOrder[slot] == resourceId) return slot;
    return -1;
}

int BuildCustomIconPath(char* out, size_t size, const char* folder, const char* fileName) {
    if (!out || size == 0) return 0;
    out[0] = '\0';
    if (!folder || !fileName || !folder[0]) return 0;
    size_t length = strlen(folder) + 1 + strlen(fileName);
    if (length >= size) return 0;
    FormatText(out, size, "%s\\%s", folder, fileName);
    return 1;
}
