// What one recorded event turns into as synthetic input: the cursor placement,
// the fixed pauses and the input records, in order. Pure logic, no windows.h;
// input_synth_win.cpp carries a plan out with SetCursorPos, Sleep and SendInput.
#pragma once
#include <cstdint>

// Input flag values as the system defines them.
namespace inflag {
constexpr uint32_t MouseMove = 0x0001;
constexpr uint32_t LeftDown = 0x0002;
constexpr uint32_t LeftUp = 0x0004;
constexpr uint32_t RightDown = 0x0008;
constexpr uint32_t RightUp = 0x0010;
constexpr uint32_t MiddleDown = 0x0020;
constexpr uint32_t MiddleUp = 0x0040;
constexpr uint32_t Wheel = 0x0800;
constexpr uint32_t VirtualDesk = 0x4000;
constexpr uint32_t Absolute = 0x8000;
constexpr uint32_t KeyExtended = 0x0001;
constexpr uint32_t KeyUp = 0x0002;
}  // namespace inflag

struct SynthInput {
    int isKey;           // 0 mouse, 1 keyboard
    int32_t dx, dy;      // mouse: position on the 0..65535 virtual-desktop scale
    int32_t mouseData;   // mouse: signed wheel delta
    uint32_t flags;      // mouse or keyboard flags
    uint16_t vk, scan;   // keyboard
};

enum class SynthStepKind : uint8_t { SetCursor, Sleep, Send };

struct SynthStep {
    SynthStepKind kind;
    int32_t x, y;        // SetCursor
    uint32_t ms;         // Sleep
    int inputCount;      // Send: 1 or 2 inputs in one call
    SynthInput inputs[2];
};

constexpr int kMaxSynthSteps = 5;  // a double-click: place, pause, pair, pause, pair
struct SynthPlan {
    int count;
    SynthStep steps[kMaxSynthSteps];
};

struct VirtualScreen {
    int32_t left, top, width, height;
};

// Maps a screen position onto the 0..65535 scale of the virtual desktop: the
// smallest value that the system maps back onto that very pixel (cut to 32 bits
// for positions far off the desktop).
int32_t NormaliseCoordinate(int32_t position, int32_t origin, int32_t extent);

// Plans a mouse record (0x200..0x20A); any other message plans nothing.
void PlanMouseEvent(uint32_t message, int32_t x, int32_t y, uint32_t wheelWord,
                    const VirtualScreen& screen, SynthPlan* plan);
// Plans a key record (0x100, 0x101, 0x104, 0x105): one keyboard input.
void PlanKeyEvent(uint32_t message, uint32_t virtualKey, uint32_t scanCode, uint32_t flagsByte,
                  SynthPlan* plan);
// Total of the fixed pauses in a plan, in ms.
uint32_t PlannedSleepMs(const SynthPlan& plan);
