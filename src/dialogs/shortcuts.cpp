#include "dialogs/shortcuts.h"

#include <cstdint>
#include <cstring>

const char kShortcutsTitle[] = "Keyboard Shortcuts";
const char kShortcutsText[] =
    "Recording && Playback:\r\n"
    "  Ctrl+Shift+Alt+R  Start/Stop Recording\r\n"
    "  Ctrl+Shift+Alt+P  Start Playback\r\n"
    "  ESC               Stop Playback\r\n"
    "\r\n"
    "Macro Slots:\r\n"
    "  Ctrl+1 to Ctrl+9  Switch to Slot\r\n"
    "\r\n"
    "General:\r\n"
    "  F1                Show Shortcuts\r\n"
    "  Right-click       Context Menu";

namespace {

// Style bits as the dialog manager defines them.
constexpr uint32_t kWsPopup = 0x80000000u;
constexpr uint32_t kWsChild = 0x40000000u;
constexpr uint32_t kWsVisible = 0x10000000u;
constexpr uint32_t kWsCaption = 0x00C00000u;
constexpr uint32_t kWsSysMenu = 0x00080000u;
constexpr uint32_t kDsModalFrame = 0x80u;
constexpr uint32_t kDsCenter = 0x800u;
constexpr uint32_t kBsDefPushButton = 0x1u;
constexpr uint16_t kAtomButton = 0x0080;
constexpr uint16_t kAtomStatic = 0x0082;
constexpr uint16_t kNoId = 0xFFFF;
constexpr uint16_t kIdOk = 1;

static_assert((kWsPopup | kWsCaption | kWsSysMenu | kDsModalFrame | kDsCenter) == 0x80C80880u,
              "dialog style");

// Little-endian writer that refuses, rather than overruns, at the end.
struct TemplateWriter {
    unsigned char* buffer;
    size_t size;
    size_t used;
    bool overflow;

    void Bytes(const void* data, size_t count) {
        if (overflow || count > size - used) {
            overflow = true;
            return;
        }
        memcpy(buffer + used, data, count);
        used += count;
    }
    void Word(uint16_t value) {
        unsigned char bytes[2] = {(unsigned char)value, (unsigned char)(value >> 8)};
        Bytes(bytes, 2);
    }
    void Dword(uint32_t value) {
        Word((uint16_t)value);
        Word((uint16_t)(value >> 16));
    }
    // Narrow ASCII text as terminated UTF-16.
    void Text(const char* text) {
        for (; *text; ++text) Word((unsigned char)*text);
        Word(0);
    }
    // Item templates start on a DWORD boundary; the buffer is cleared, so the
    // padding is zero.
    void AlignDword() {
        size_t aligned = (used + 3) & ~(size_t)3;
        if (aligned > size) {
            overflow = true;
            return;
        }
        used = aligned;
    }
};

void WriteItem(TemplateWriter* w, uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy,
               uint16_t id, uint16_t classAtom, const char* text) {
    w->AlignDword();
    w->Dword(style);
    w->Dword(0);  // extended style
    w->Word((uint16_t)x);
    w->Word((uint16_t)y);
    w->Word((uint16_t)cx);
    w->Word((uint16_t)cy);
    w->Word(id);
    w->Word(0xFFFF);  // predefined class by atom
    w->Word(classAtom);
    w->Text(text);
    w->Word(0);  // no creation data
}

}  // namespace

size_t WriteShortcutsTemplate(unsigned char* buffer, size_t size) {
    if (!buffer || size == 0) return 0;
    memset(buffer, 0, size);
    TemplateWriter w = {buffer, size, 0, false};
    w.Dword(kWsPopup | kWsCaption | kWsSysMenu | kDsModalFrame | kDsCenter);
    w.Dword(0);  // extended style
    w.Word(2);   // items
    w.Word(0);   // x
    w.Word(0);   // y
    w.Word(200);
    w.Word(160);
    w.Word(0);  // no menu
    w.Word(0);  // standard dialog class
    w.Text(kShortcutsTitle);
    WriteItem(&w, kWsChild | kWsVisible, 15, 10, 170, 120, kNoId, kAtomStatic, kShortcutsText);
    WriteItem(&w, kWsChild | kWsVisible | kBsDefPushButton, 75, 138, 50, 14, kIdOk, kAtomButton,
              "OK");
    if (w.overflow) {
        memset(buffer, 0, size);
        return 0;
    }
    return w.used;
}
