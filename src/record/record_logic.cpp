#include "record/record_logic.h"

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
