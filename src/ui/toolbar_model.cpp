#include "ui/toolbar_model.h"

#include <cstring>

#include "base/format_text.h"

const ToolbarButtonSpec kToolbarButtonSpecs[kToolbarButtons] = {
    {1001, kToolbarFirstX + 0 * kToolbarStepX, "Open", "Open", "Open .rec file", 1001, "open.ico"},
    {1002, kToolbarFirstX + 1 * kToolbarStepX, "Save", "Save", "Save .rec file", 1002, "save.ico"},
    {1003, kToolbarFirstX + 2 * kToolbarStepX, "Rec", "&Rec", "Record (Ctrl+Shift+Alt+R)", 1003,
     "record.ico"},
    {1004, kToolbarFirstX + 3 * kToolbarStepX, "Play", "&Play", "Play (Ctrl+Shift+Alt+P)", 1004,
     "play.ico"},
    {1005, kToolbarFirstX + 4 * kToolbarStepX, ".exe", ".exe", "Compile to EXE", 1005, "compile.ico"},
    {1006, kToolbarFirstX + 5 * kToolbarStepX, "Prefs", "Prefs", "Preferences", 1006, "prefs.ico"},
};

const int kDefaultIconLoadOrder[kDefaultIconCount] = {1001, 1002, 1003, kStopIconResource,
                                                      1004, 1005, 1006};

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
