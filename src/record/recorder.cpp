#include "record/recorder.h"

#include <cstring>

KeyAction ClassifyKeyEvent(uint32_t message, uint32_t vkCode, int altDown, int stopEnabled,
                           int stopKey) {
    // Task switching and the Start menu must keep working and must never replay.
    if (altDown && (vkCode == vk::Tab || vkCode == vk::Escape)) return KeyAction::PassOn;
    if (vkCode == vk::LeftWin || vkCode == vk::RightWin) return KeyAction::PassOn;

    bool down = message == msg::KeyDown || message == msg::SysKeyDown;
    if (stopEnabled && (int)vkCode == stopKey && down) return KeyAction::StopKey;
    return IsKeyMessage(message) ? KeyAction::Record : KeyAction::PassOn;
}

int TrimRecordingTail(const MacroEvent* events, int count) {
    if (!events || count <= 0) return 0;
    uint32_t last = events[count - 1].message;
    if (last == msg::LButtonUp || last == msg::LButtonDown) {
        --count;
        if (count > 0 && events[count - 1].message == msg::LButtonDown) --count;
    } else if (last == msg::KeyUp || last == msg::SysKeyUp) {
        --count;
        if (count > 0) {
            uint32_t previous = events[count - 1].message;
            if (previous == msg::KeyDown || previous == msg::SysKeyDown) --count;
        }
    } else {
        --count;
    }
    return count;
}

namespace {

bool IsMove(const MacroEvent& e) { return e.message == msg::MouseMove; }
bool IsKeyDown(uint32_t m) { return m == msg::KeyDown || m == msg::SysKeyDown; }
bool IsKeyUp(uint32_t m) { return m == msg::KeyUp || m == msg::SysKeyUp; }

int TrimButtonClick(const MacroEvent* events, int count) {
    int n = count;
    while (n > 0 && IsMove(events[n - 1])) --n;
    if (n > 0 && events[n - 1].message == msg::LButtonUp) {
        --n;
        while (n > 0 && IsMove(events[n - 1])) --n;
    }
    if (n > 0 && events[n - 1].message == msg::LButtonDown) return n - 1;
    // No click: the button was pressed with Space from the keyboard.
    return TrimRecordingTail(events, count);
}

// Either side's code of a modifier is what the hook reports; the generic one
// is accepted too.
bool InHotkey(uint32_t vk, const StopGesture& gesture) {
    if (vk == gesture.key) return true;
    if ((gesture.modifiers & hotmod::Control) && (vk == 0x11 || vk == 0xA2 || vk == 0xA3)) return true;
    if ((gesture.modifiers & hotmod::Shift) && (vk == 0x10 || vk == 0xA0 || vk == 0xA1)) return true;
    if ((gesture.modifiers & hotmod::Alt) && (vk == 0x12 || vk == 0xA4 || vk == 0xA5)) return true;
    return false;
}

int TrimHotkeyPress(MacroEvent* events, int count, const StopGesture& gesture) {
    // The tail where the hotkey was being pressed: moves and the hotkey's own keys.
    int start = count;
    while (start > 0) {
        const MacroEvent& e = events[start - 1];
        if (!IsMove(e) && !(IsKeyMessage(e.message) && InHotkey(e.paramL, gesture))) break;
        --start;
    }
    // Walking back, a key-down is kept only when its key comes up later; the
    // kept events are packed toward the end and then moved down in one go.
    bool upLater[256] = {};
    int write = count;
    for (int i = count - 1; i >= start; --i) {
        const MacroEvent& e = events[i];
        uint32_t vk = e.paramL & 0xFF;
        if (IsKeyUp(e.message)) upLater[vk] = true;
        else if (IsKeyDown(e.message) && !upLater[vk]) continue;
        events[--write] = e;
    }
    int kept = count - write;
    if (write != start) memmove(events + start, events + write, (size_t)kept * sizeof(MacroEvent));
    return start + kept;
}

}  // namespace

int TrimStopGesture(MacroEvent* events, int count, const StopGesture& gesture) {
    if (!events || count <= 0) return 0;
    switch (gesture.source) {
    case StopSource::RecButton: return TrimButtonClick(events, count);
    case StopSource::StopKey: {
        const MacroEvent& last = events[count - 1];
        return IsKeyUp(last.message) && last.paramL == gesture.key ? count - 1 : count;
    }
    case StopSource::Hotkey: return TrimHotkeyPress(events, count, gesture);
    case StopSource::WindowKey:
    case StopSource::Other: break;
    }
    return TrimRecordingTail(events, count);
}
