#include "record/record_logic.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct KeyCase {
    const char* name;
    uint32_t message;
    uint32_t vk;
    int altDown;
    int stopEnabled;
    int stopKey;
    KeyAction expected;
};

TEST(RecordKeyFilter, DecidesEachKeyEvent) {
    const KeyCase cases[] = {
        {"plain letter down", msg::KeyDown, 'A', 0, 1, 27, KeyAction::Record},
        {"plain letter up", msg::KeyUp, 'A', 0, 1, 27, KeyAction::Record},
        {"alt letter (sys) down", msg::SysKeyDown, 'F', 1, 1, 27, KeyAction::Record},
        {"alt itself", msg::SysKeyDown, 0x12, 1, 1, 27, KeyAction::Record},
        {"esc stops", msg::KeyDown, vk::Escape, 0, 1, 27, KeyAction::StopKey},
        {"esc as syskeydown stops", msg::SysKeyDown, vk::Escape, 0, 1, 27, KeyAction::StopKey},
        {"esc key-up is recorded", msg::KeyUp, vk::Escape, 0, 1, 27, KeyAction::Record},
        {"esc with stop disabled records", msg::KeyDown, vk::Escape, 0, 0, 27, KeyAction::Record},
        {"alt+esc passes even as stop key", msg::SysKeyDown, vk::Escape, 1, 1, 27, KeyAction::PassOn},
        {"alt+tab passes", msg::SysKeyDown, vk::Tab, 1, 1, 27, KeyAction::PassOn},
        {"alt+tab up passes", msg::SysKeyUp, vk::Tab, 1, 1, 27, KeyAction::PassOn},
        {"tab alone records", msg::KeyDown, vk::Tab, 0, 1, 27, KeyAction::Record},
        {"left win never recorded", msg::KeyDown, vk::LeftWin, 0, 1, 27, KeyAction::PassOn},
        {"right win never recorded", msg::KeyUp, vk::RightWin, 0, 1, 27, KeyAction::PassOn},
        {"win as stop key still passes", msg::KeyDown, vk::LeftWin, 0, 1, vk::LeftWin, KeyAction::PassOn},
        {"other stop key F12", msg::KeyDown, 0x7B, 0, 1, 0x7B, KeyAction::StopKey},
        {"esc when F12 is stop key", msg::KeyDown, vk::Escape, 0, 1, 0x7B, KeyAction::Record},
        {"unknown message passes", 0x0999, 'A', 0, 1, 27, KeyAction::PassOn},
    };
    for (const KeyCase& c : cases)
        EXPECT_EQ(c.expected, ClassifyKeyEvent(c.message, c.vk, c.altDown, c.stopEnabled, c.stopKey))
            << c.name;
}

TEST(RecordPacking, KeyParamHoldsScanByteAndFlagsByte) {
    EXPECT_EQ(0x001Eu, PackKeyParamH(0x1E, 0));
    EXPECT_EQ(0x011Cu, PackKeyParamH(0x1C, 0x01));        // extended key
    EXPECT_EQ(0x8041u, PackKeyParamH(0x41, 0x80));        // release bit
    EXPECT_EQ(0x1041u, PackKeyParamH(0x1241, 0xFF10));    // only the low bytes count
    EXPECT_EQ(0x0000FFFFu, PackKeyParamH(0xFFFFFFFF, 0xFFFFFFFF));  // bits 16-31 stay zero
}

TEST(RecordPacking, MouseParamHIsYExceptForTheWheel) {
    EXPECT_EQ(300u, PackMouseParamH(msg::MouseMove, 300, 0x00780000));
    EXPECT_EQ((uint32_t)-5, PackMouseParamH(msg::LButtonDown, -5, 0));
    // Wheel: delta in the high word, low 16 bits of y below it.
    EXPECT_EQ(0x0078012Cu, PackMouseParamH(msg::MouseWheel, 300, 0x00780000));
    EXPECT_EQ(0xFF88012Cu, PackMouseParamH(msg::MouseWheel, 300, 0xFF880000));  // -120
    // A negative y keeps only its low word: replayed as a large positive y.
    EXPECT_EQ(0x0078FFFBu, PackMouseParamH(msg::MouseWheel, -5, 0x00780000));
    // Low bits of mouseData are not part of the wheel delta.
    EXPECT_EQ(0x00780010u, PackMouseParamH(msg::MouseWheel, 16, 0x00781234));
}

TEST(RecordPacking, OnlyMoveThroughWheelAreRecorded) {
    EXPECT_TRUE(IsRecordedMouseMessage(msg::MouseMove));
    EXPECT_TRUE(IsRecordedMouseMessage(msg::MouseWheel));
    EXPECT_TRUE(IsRecordedMouseMessage(msg::RButtonUp));
    EXPECT_FALSE(IsRecordedMouseMessage(0x20B));  // extra buttons
    EXPECT_FALSE(IsRecordedMouseMessage(0x20E));  // horizontal wheel
    EXPECT_FALSE(IsRecordedMouseMessage(0x1FF));
}

std::vector<MacroEvent> Events(std::initializer_list<uint32_t> messages) {
    std::vector<MacroEvent> out;
    uint32_t t = 0;
    for (uint32_t m : messages) out.push_back({m, 1, 2, t += 10, 0});
    return out;
}

struct TrimCase {
    const char* name;
    std::vector<MacroEvent> events;
    int expected;
};

TEST(RecordTailTrim, DropsTheInputThatEndedTheRecording) {
    using namespace msg;
    const TrimCase cases[] = {
        {"empty", {}, 0},
        {"click on Rec: down and up", Events({MouseMove, LButtonDown, LButtonUp}), 1},
        {"only the button-up", Events({LButtonUp}), 0},
        {"lone button-down", Events({MouseMove, LButtonDown}), 1},
        {"down then up then move kept apart", Events({LButtonDown, LButtonUp, MouseMove}), 2},
        {"down, move, up: only the up", Events({LButtonDown, MouseMove, LButtonUp}), 2},
        {"two downs: both go", Events({KeyDown, LButtonDown, LButtonDown}), 1},
        {"key stroke", Events({MouseMove, KeyDown, KeyUp}), 1},
        {"sys key stroke", Events({MouseMove, SysKeyDown, SysKeyUp}), 1},
        {"keyup after sys keydown", Events({MouseMove, SysKeyDown, KeyUp}), 1},
        {"combination keeps earlier keys", Events({KeyDown, KeyDown, KeyUp}), 1},
        {"key-up after a move", Events({KeyDown, MouseMove, KeyUp}), 2},
        {"lone key-down", Events({MouseMove, KeyDown}), 1},
        {"single key-up", Events({KeyUp}), 0},
        {"single move", Events({MouseMove}), 0},
        {"last move only", Events({KeyDown, KeyUp, MouseMove}), 2},
        {"right button up is not a click of Rec", Events({RButtonDown, RButtonUp}), 1},
        {"wheel", Events({MouseMove, MouseWheel}), 1},
    };
    for (const TrimCase& c : cases)
        EXPECT_EQ(c.expected, TrimRecordingTail(c.events.data(), (int)c.events.size())) << c.name;
}

TEST(RecordTailTrim, NullOrNegativeCountYieldsZero) {
    EXPECT_EQ(0, TrimRecordingTail(nullptr, 5));
    MacroEvent e{};
    EXPECT_EQ(0, TrimRecordingTail(&e, -3));
}

}  // namespace
