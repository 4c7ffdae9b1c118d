#include "app/hotkeys.h"

namespace {
constexpr int kF1 = 0x70;
constexpr int kF12 = 0x7B;
}  // namespace

int PlanHotkeyChoice(int useComplex, uint32_t complexKey, int key, int modifiers, HotkeyAttempt out[2]) {
    if (useComplex) {
        out[0] = {hotkey_mod::All, complexKey, 1};
        return 1;
    }
    bool functionKey = key >= kF1 && key <= kF12;
    out[0] = {functionKey ? 0u : (uint32_t)modifiers, (uint32_t)key, 1};
    out[1] = {0u, (uint32_t)key, 0};
    return 2;
}
