// The pure rules of the recording engine: which key events are recorded, which
// stop the recording, how keys and mouse input are packed into MacroEvent
// fields, and how the tail of a finished recording is trimmed. Portable.
#pragma once
#include <cstdint>

#include "macro/macro_event.h"

// What the keyboard hook does with one key event.
enum class KeyAction {
    PassOn,     // hand it on untouched, record nothing (system switches, non-key messages)
    Record,     // record it, then hand it on
    StopKey,    // swallow it and ask the user-interface thread to stop the recording
};

namespace vk {
constexpr uint32_t Tab = 0x09;
constexpr uint32_t Escape = 0x1B;
constexpr uint32_t LeftWin = 0x5B;
constexpr uint32_t RightWin = 0x5C;
}  // namespace vk

// The filters come before the stop key, so Alt+Esc neither stops the recording
// nor is recorded even when Esc is the stop key.
KeyAction ClassifyKeyEvent(uint32_t message, uint32_t vkCode, int altDown, int stopEnabled,
                           int stopKey);

// paramH of a key record: flags byte in bits 8-15, scan byte in bits 0-7.
constexpr uint32_t PackKeyParamH(uint32_t scanCode, uint32_t flags) {
    return ((flags << 8) & 0xFFFF) | (scanCode & 0xFF);
}

// paramH of a mouse record: y, except for the wheel, whose delta (the high word
// of mouseData) shares the field with the low 16 bits of y.
constexpr uint32_t PackMouseParamH(uint32_t message, int32_t y, uint32_t mouseData) {
    return message == msg::MouseWheel ? (mouseData & 0xFFFF0000u) | ((uint32_t)y & 0xFFFF)
                                      : (uint32_t)y;
}

// Windows removes a low-level hook that answers late without a word ("the hook
// is silently removed"), and a recording would then go on counting while it
// records nothing. Input newer than the last hook call by more than this means
// the hooks are gone.
constexpr uint32_t kHookSilenceMs = 1000;
// `lastInputTick` (the system's last input) and `lastHookTick` (the last call
// of either hook) on the same millisecond clock, compared modulo 2^32.
constexpr bool HooksLookLost(uint32_t lastInputTick, uint32_t lastHookTick) {
    return (int32_t)(lastInputTick - lastHookTick) > (int32_t)kHookSilenceMs;
}

// Only the mouse messages the hook can report, move through wheel, are kept.
constexpr bool IsRecordedMouseMessage(uint32_t message) { return IsMouseMessage(message); }

// The count left after dropping the input that ended the recording: a click
// (its button-down too, when it directly precedes the button-up), a key stroke
// (its key-down too), or else the single last event.
int TrimRecordingTail(const MacroEvent* events, int count);

// What ended a recording. Each gesture leaves its own trace at the end of the
// macro, and only that trace may go: anything more loses the user's input,
// anything less replays the stop (or leaves keys held after every playback).
enum class StopSource {
    Other,      // origin unknown: the general rule of TrimRecordingTail
    WindowKey,  // the main window's R key: the general rule
    RecButton,  // a click on the Rec/Stop button
    StopKey,    // the stop key, whose key-down the hook swallowed
    Hotkey,     // the recording hotkey
};

struct StopGesture {
    StopSource source;
    uint32_t key;        // StopKey: the stop key; Hotkey: the hotkey's key
    uint32_t modifiers;  // Hotkey: its modifier bits (1 Alt, 2 Ctrl, 4 Shift)
};

namespace hotmod {
constexpr uint32_t Alt = 1;
constexpr uint32_t Control = 2;
constexpr uint32_t Shift = 4;
}  // namespace hotmod

// Removes the stop gesture from the end of the macro, compacting the tail in
// place where the gesture's events are interleaved with ones that stay, and
// returns the new count.
//  RecButton: the last left click with any moves between or after it (a button
//    pressed from the keyboard falls back to the general rule);
//  StopKey: a final key-up of the stop key, nothing else;
//  Hotkey: the key-downs of the hotkey's key and modifiers (either side) at the
//    end of the macro that no key-up follows; moves and key-ups there stay.
int TrimStopGesture(MacroEvent* events, int count, const StopGesture& gesture);
