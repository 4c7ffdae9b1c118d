// Which cursor moves, pauses and input records each kind of recorded event
// turns into, and the virtual-desktop scaling of positions.
#include "playback/input_synth.h"
#include "macro/macro_event.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const VirtualScreen kSingle = {0, 0, 1280, 1024};

// Renders a plan as one line: "cursor 10,20 | sleep 1 | send C002(dx,dy)".
std::string Describe(const SynthPlan& plan) {
    std::string out;
    char text[96];
    for (int i = 0; i < plan.count; ++i) {
        const SynthStep& s = plan.steps[i];
        if (!out.empty()) out += " | ";
        if (s.kind == SynthStepKind::SetCursor) {
            snprintf(text, sizeof text, "cursor %d,%d", s.x, s.y);
            out += text;
        } else if (s.kind == SynthStepKind::Sleep) {
            snprintf(text, sizeof text, "sleep %u", s.ms);
            out += text;
        } else {
            out += "send";
            for (int k = 0; k < s.inputCount; ++k) {
                const SynthInput& in = s.inputs[k];
                if (in.isKey)
                    snprintf(text, sizeof text, " key vk%u sc%u f%u", in.vk, in.scan, in.flags);
                else
                    snprintf(text, sizeof text, " %X(%d,%d,%d)", in.flags, in.dx, in.dy, in.mouseData);
                out += text;
            }
        }
    }
    return out;
}

TEST(InputPlanMouse, EachRecordKindGivesItsInputsAndPauses) {
    // 640 * 65536 / 1280 = 512 * 65536 / 1024 = 32768
    const struct { uint32_t message; const char* plan; } cases[] = {
        {msg::MouseMove, "send C001(32768,32768,0)"},
        {msg::LButtonDown, "cursor 640,512 | sleep 1 | send C002(32768,32768,0) | sleep 2"},
        {msg::LButtonUp, "cursor 640,512 | sleep 1 | send C004(32768,32768,0)"},
        {msg::LButtonDblClk,
         "cursor 640,512 | sleep 1 | send C002(32768,32768,0) C004(32768,32768,0) | sleep 10 | "
         "send C002(32768,32768,0) C004(32768,32768,0)"},
        {msg::RButtonDown, "cursor 640,512 | sleep 1 | send C008(32768,32768,0) | sleep 2"},
        {msg::RButtonUp, "cursor 640,512 | sleep 1 | send C010(32768,32768,0)"},
        {msg::RButtonDblClk,
         "cursor 640,512 | sleep 1 | send C008(32768,32768,0) C010(32768,32768,0) | sleep 10 | "
         "send C008(32768,32768,0) C010(32768,32768,0)"},
        {msg::MButtonDown, "cursor 640,512 | sleep 1 | send C020(32768,32768,0) | sleep 2"},
        {msg::MButtonUp, "cursor 640,512 | sleep 1 | send C040(32768,32768,0)"},
        {msg::MButtonDblClk,
         "cursor 640,512 | sleep 1 | send C020(32768,32768,0) C040(32768,32768,0) | sleep 10 | "
         "send C020(32768,32768,0) C040(32768,32768,0)"},
        {0x1FF, ""},
        {0x20B, ""},
        {msg::KeyDown, ""},
    };
    for (const auto& c : cases) {
        SynthPlan plan;
        PlanMouseEvent(c.message, 640, 512, 0, kSingle, &plan);
        EXPECT_EQ(c.plan, Describe(plan)) << std::hex << c.message;
    }
}

TEST(InputPlanMouse, WheelCarriesTheSignedDelta) {
    const struct { uint32_t word; const char* plan; } cases[] = {
        {(120u << 16) | 5, "cursor 0,0 | sleep 1 | send C800(0,0,120)"},
        {(0xFF88u << 16) | 5, "cursor 0,0 | sleep 1 | send C800(0,0,-120)"},
        {(0x8000u << 16), "cursor 0,0 | sleep 1 | send C800(0,0,-32768)"},
    };
    for (const auto& c : cases) {
        SynthPlan plan;
        PlanMouseEvent(msg::MouseWheel, 0, 0, c.word, kSingle, &plan);
        EXPECT_EQ(c.plan, Describe(plan));
    }
}

TEST(InputPlanMouse, PositionsScaleAcrossTheVirtualDesktop) {
    const struct { const char* name; int32_t pos, origin, extent, expected; } cases[] = {
        {"top-left corner", 0, 0, 1280, 0},
        {"last pixel rounds up", 1279, 0, 1280, 65485},
        {"last row", 1023, 0, 1024, 65472},
        {"primary left edge with a monitor to its left", 0, -1920, 3200, 39322},
        {"left of the desktop goes negative", -10, 0, 1280, -512},
        {"above a desktop that starts above", -1100, -1080, 2104, -622},
        {"no desktop size", 100, 0, 0, 0},
        {"far off the desktop", 40000, 0, 1280, 2048000},
        {"cut to 32 bits", 100000, 0, 1, -2036334592},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, NormaliseCoordinate(c.pos, c.origin, c.extent)) << c.name;
}

// The system turns a value back into origin + ((value * extent) >> 16): every
// pixel of every desktop must come back as itself.
TEST(InputPlanMouse, EveryPixelMapsBackToItself) {
    const struct { int32_t origin, extent; } desktops[] = {
        {0, 1024}, {0, 1280}, {0, 1366}, {0, 1920}, {0, 3840}, {-1920, 3286}};
    for (const auto& d : desktops) {
        for (int32_t x = d.origin; x < d.origin + d.extent; ++x) {
            const int64_t value = NormaliseCoordinate(x, d.origin, d.extent);
            ASSERT_EQ(x, d.origin + ((value * d.extent) >> 16)) << "desktop " << d.origin << "+" << d.extent;
        }
    }
}

TEST(InputPlanKey, FlagsFollowTheMessageAndTheExtendedBit) {
    const struct { uint32_t message; uint32_t vk, scan, flagsByte; const char* plan; } cases[] = {
        {msg::KeyDown, 'A', 0x1E, 0, "send key vk65 sc30 f0"},
        {msg::KeyUp, 'A', 0x1E, 0, "send key vk65 sc30 f2"},
        {msg::SysKeyDown, 'F', 0x21, 0x20, "send key vk70 sc33 f0"},
        {msg::SysKeyUp, 0x12, 0x38, 0x80, "send key vk18 sc56 f2"},
        {msg::KeyDown, 0xA3, 0x1D, 0x01, "send key vk163 sc29 f1"},  // right Ctrl down
        {msg::KeyUp, 0xA3, 0x1D, 0x81, "send key vk163 sc29 f3"},    // right Ctrl up
        {msg::KeyDown, 0x1002E, 0x153, 0, "send key vk46 sc339 f0"},  // low 16 bits only
    };
    for (const auto& c : cases) {
        SynthPlan plan;
        PlanKeyEvent(c.message, c.vk, c.scan, c.flagsByte, &plan);
        EXPECT_EQ(c.plan, Describe(plan));
    }
}

TEST(InputPlanTiming, FixedPausesPerRecordKind) {
    SynthPlan plan;
    PlanMouseEvent(msg::MouseMove, 1, 1, 0, kSingle, &plan);
    EXPECT_EQ(0u, PlannedSleepMs(plan));
    PlanMouseEvent(msg::LButtonDown, 1, 1, 0, kSingle, &plan);
    EXPECT_EQ(3u, PlannedSleepMs(plan));
    PlanMouseEvent(msg::LButtonUp, 1, 1, 0, kSingle, &plan);
    EXPECT_EQ(1u, PlannedSleepMs(plan));
    PlanMouseEvent(msg::MButtonDblClk, 1, 1, 0, kSingle, &plan);
    EXPECT_EQ(11u, PlannedSleepMs(plan));
    PlanKeyEvent(msg::KeyDown, 'A', 0, 0, &plan);
    EXPECT_EQ(0u, PlannedSleepMs(plan));
}

}  // namespace
