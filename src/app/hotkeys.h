// The hotkey rules that need no window: which registrations a hotkey choice
// asks for, in order. Portable; hotkeys_win.cpp carries them out. UI thread.
#pragma once
#include <cstdint>

namespace hotkey_mod {
constexpr uint32_t All = 1 | 2 | 4;  // Alt, Ctrl, Shift
}  // namespace hotkey_mod

struct HotkeyAttempt {
    uint32_t modifiers;
    uint32_t key;
    int counts;  // 1 when this registration is the choice itself, 0 for a stand-in
};

// The fixed Ctrl+Shift+Alt combination, or a single key (function keys never
// take modifiers) and, should that fail, the bare key as a stand-in that still
// counts as a failure. Fills `out` (two places) and returns how many to try.
int PlanHotkeyChoice(int useComplex, uint32_t complexKey, int key, int modifiers, HotkeyAttempt out[2]);
