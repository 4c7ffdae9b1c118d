#include "playback/input_synth_win.h"

#include "playback/input_synth.h"

namespace {

SendInputFn inputSink = SendInput;

void ToInput(const SynthInput& from, INPUT* to) {
    ZeroMemory(to, sizeof *to);
    if (from.isKey) {
        to->type = INPUT_KEYBOARD;
        to->ki.wVk = from.vk;
        to->ki.wScan = from.scan;
        to->ki.dwFlags = from.flags;
    } else {
        to->type = INPUT_MOUSE;
        to->mi.dx = from.dx;
        to->mi.dy = from.dy;
        to->mi.mouseData = (DWORD)from.mouseData;
        to->mi.dwFlags = from.flags;
    }
}

void PlainSleep(void*, uint32_t ms) { Sleep(ms); }

// 0 when the system took none of the input of one of the plan's sends.
int RunPlan(const SynthPlan& plan, SynthSleepFn sleep, void* context) {
    int taken = 1;
    for (int i = 0; i < plan.count; ++i) {
        const SynthStep& step = plan.steps[i];
        switch (step.kind) {
        case SynthStepKind::SetCursor: SetCursorPos(step.x, step.y); break;
        case SynthStepKind::Sleep: sleep(context, step.ms); break;
        case SynthStepKind::Send: {
            INPUT inputs[2];
            for (int k = 0; k < step.inputCount; ++k) ToInput(step.inputs[k], &inputs[k]);
            if (inputSink((UINT)step.inputCount, inputs, sizeof(INPUT)) == 0) taken = 0;
            break;
        }
        }
    }
    return taken;
}

}  // namespace

int PlayMouseEvent(uint32_t message, int32_t x, int32_t y, uint32_t wheelWord) {
    return PlayMouseEventWith(message, x, y, wheelWord, PlainSleep, nullptr);
}

int PlayMouseEventWith(uint32_t message, int32_t x, int32_t y, uint32_t wheelWord, SynthSleepFn sleep,
                       void* context) {
    // Read afresh each time: monitors may come and go during a long playback.
    VirtualScreen screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    SynthPlan plan;
    PlanMouseEvent(message, x, y, wheelWord, screen, &plan);
    return RunPlan(plan, sleep, context);
}

int PlayKeyEvent(uint32_t message, uint32_t virtualKey, uint32_t scanCode, uint32_t flagsByte) {
    SynthPlan plan;
    PlanKeyEvent(message, virtualKey, scanCode, flagsByte, &plan);
    return RunPlan(plan, PlainSleep, nullptr);
}

void SendLeftButtonRelease() {
    INPUT input;
    ZeroMemory(&input, sizeof input);
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    inputSink(1, &input, sizeof input);
}

void SetInputSink(SendInputFn sink) { inputSink = sink ? sink : SendInput; }
