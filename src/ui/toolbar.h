// What each toolbar button is and shows: its id, place, texts, default icon and
// custom icon file, and the rules that pick its label and icon. Portable (no
// windows.h) so the choices are tested natively; toolbar_win.cpp draws them.
#pragma once
#include <cstddef>

#include "base/resource_ids.h"

constexpr int kToolbarButtons = 6;
constexpr int kToolbarFirstId = CMD_OPEN;
constexpr int kToolbarButtonY = 0;
constexpr int kToolbarButtonWidth = 40;
constexpr int kToolbarButtonHeight = 55;
constexpr int kToolbarFirstX = 7;
constexpr int kToolbarStepX = 42;
constexpr int kToolbarIconSize = 40;
// The images each default icon resource holds, ascending: 40 is drawn at 96 DPI,
// 60 and 80 keep the line art sharp at 150 % and 200 % (tools/make-icons.sh).
constexpr int kToolbarIconImageSizes[] = {40, 60, 80};
constexpr int kToolbarIconImageCount = sizeof kToolbarIconImageSizes / sizeof kToolbarIconImageSizes[0];
// The seven default icons: resources 1001..1006 in button order, then the
// stop square that replaces the record circle while recording.
constexpr int kDefaultIconCount = 7;
constexpr int kStopIconResource = IDI_STOP;
constexpr int kRecordButtonId = CMD_RECORD;

struct ToolbarButtonSpec {
    int id;
    int x;
    const char* windowText;  // text given at creation and by captions-on
    const char* label;       // drawn under the icon when captions are shown
    const char* tooltip;
    int iconResource;
    const char* customFile;  // in the custom icon folder
};

extern const ToolbarButtonSpec kToolbarButtonSpecs[kToolbarButtons];

// 0..5 for the ids 1001..1006, -1 for any other id.
int ToolbarButtonIndex(int controlId);

// The drawn label: the record button reads "*&Rec*" while recording. An empty
// string for an unknown id. Never null; the text is static.
const char* ChooseButtonLabel(int controlId, int recording);

enum class ToolbarIconSource { None, Custom, Default };

struct ToolbarIconChoice {
    ToolbarIconSource source;
    int index;  // Custom: 0..5 in button order; Default: resource id 1001..1007
};

// The custom icon wins while a custom set is in use and that icon is loaded;
// otherwise the default resource, with the stop square on the record button
// while recording. The custom set has no recording variant.
ToolbarIconChoice ChooseButtonIcon(int controlId, int useCustom, int haveCustomIcon, int recording);

// Position of a default icon resource in the load order 1001, 1002, 1003,
// 1007, 1004, 1005, 1006; -1 for any other id.
int DefaultIconSlot(int resourceId);
extern const int kDefaultIconLoadOrder[kDefaultIconCount];

// Writes "folder\fileName" into `out` (`size` bytes). Returns 1 when the whole
// path fits; 0, with `out` emptied, when the folder is empty or the path would
// be cut: a shortened path could name some other file.
int BuildCustomIconPath(char* out, size_t size, const char* folder, const char* fileName);
