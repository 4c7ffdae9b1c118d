#include "playback/input_synth.h"

#include <cstring>

#include "macro/macro_event.h"

namespace {

constexpr uint32_t kPlaced = inflag::Absolute | inflag::VirtualDesk;

void AddCursor(SynthPlan* plan, int32_t x, int32_t y) {
    SynthStep& step = plan->steps[plan->count++];
    step.kind = SynthStepKind::SetCursor;
    step.x = x;
    step.y = y;
}

void AddSleep(SynthPlan* plan, uint32_t ms) {
    SynthStep& step = plan->steps[plan->count++];
    step.kind = SynthStepKind::Sleep;
    step.ms = ms;
}

void AddMouse(SynthPlan* plan, int32_t dx, int32_t dy, uint32_t flags, int32_t mouseData, int paired,
              uint32_t secondFlags) {
    SynthStep& step = plan->steps[plan->count++];
    step.kind = SynthStepKind::Send;
    step.inputCount = paired ? 2 : 1;
    for (int i = 0; i < step.inputCount; ++i) {
        SynthInput& input = step.inputs[i];
        input.dx = dx;
        input.dy = dy;
        input.mouseData = mouseData;
        input.flags = kPlaced | (i == 0 ? flags : secondFlags);
    }
}

struct ButtonFlags {
    uint32_t down, up;
};

}  // namespace

int32_t NormaliseCoordinate(int32_t position, int32_t origin, int32_t extent) {
    // No desktop size (a failed metrics query) leaves nothing to scale against.
    if (extent <= 0) return 0;
    // The system maps a value back as origin + ((value * extent) >> 16); the
    // smallest value that lands on `position` is the exact ceiling of the
    // inverse. Division truncates toward zero, which is already the ceiling
    // for a negative offset.
    const int64_t scaled = ((int64_t)position - origin) * 65536;
    int64_t value = scaled / extent;
    if (value * extent < scaled) ++value;
    return (int32_t)value;
}

void PlanMouseEvent(uint32_t message, int32_t x, int32_t y, uint32_t wheelWord,
                    const VirtualScreen& screen, SynthPlan* plan) {
    memset(plan, 0, sizeof *plan);
    if (!IsMouseMessage(message)) return;
    if (message != msg::MouseMove) {
        AddCursor(plan, x, y);
        AddSleep(plan, 1);
    }
    int32_t dx = NormaliseCoordinate(x, screen.left, screen.width);
    int32_t dy = NormaliseCoordinate(y, screen.top, screen.height);
    static constexpr ButtonFlags kLeft = {inflag::LeftDown, inflag::LeftUp};
    static constexpr ButtonFlags kRight = {inflag::RightDown, inflag::RightUp};
    static constexpr ButtonFlags kMiddle = {inflag::MiddleDown, inflag::MiddleUp};
    const ButtonFlags* button = nullptr;
    switch (message) {
    case msg::MouseMove: AddMouse(plan, dx, dy, inflag::MouseMove, 0, 0, 0); return;
    case msg::MouseWheel:
        AddMouse(plan, dx, dy, inflag::Wheel, (int32_t)(int16_t)(uint16_t)(wheelWord >> 16), 0, 0);
        return;
    case msg::LButtonDown: case msg::LButtonUp: case msg::LButtonDblClk: button = &kLeft; break;
    case msg::RButtonDown: case msg::RButtonUp: case msg::RButtonDblClk: button = &kRight; break;
    default: button = &kMiddle; break;
    }
    switch ((message - msg::LButtonDown) % 3) {
    case 0:  // down: the target gets 2 ms to see the button held
        AddMouse(plan, dx, dy, button->down, 0, 0, 0);
        AddSleep(plan, 2);
        break;
    case 1: AddMouse(plan, dx, dy, button->up, 0, 0, 0); break;
    default:  // double-click: two full clicks 10 ms apart
        AddMouse(plan, dx, dy, button->down, 0, 1, button->up);
        AddSleep(plan, 10);
        AddMouse(plan, dx, dy, button->down, 0, 1, button->up);
        break;
    }
}

void PlanKeyEvent(uint32_t message, uint32_t virtualKey, uint32_t scanCode, uint32_t flagsByte,
                  SynthPlan* plan) {
    memset(plan, 0, sizeof *plan);
    SynthStep& step = plan->steps[plan->count++];
    step.kind = SynthStepKind::Send;
    step.inputCount = 1;
    SynthInput& input = step.inputs[0];
    input.isKey = 1;
    input.vk = (uint16_t)virtualKey;
    input.scan = (uint16_t)scanCode;
    if (message == msg::KeyUp || message == msg::SysKeyUp) input.flags |= inflag::KeyUp;
    if (flagsByte & 1) input.flags |= inflag::KeyExtended;
}

uint32_t PlannedSleepMs(const SynthPlan& plan) {
    uint32_t total = 0;
    for (int i = 0; i < plan.count; ++i)
        if (plan.steps[i].kind == SynthStepKind::Sleep) total += plan.steps[i].ms;
    return total;
}
