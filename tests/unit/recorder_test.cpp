#include "record/recorder.h"

#include <gtest/gtest.h>

#include <string>
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
    // A negative y keeps only its low word, which playback reads signed again.
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

// Only input more than a second newer than the last hook call means the hooks
// were taken away, across a wrap of the clock too.
TEST(RecordHookWatch, HooksCountAsLostOnlyAfterASecondOfInputWithoutThem) {
    EXPECT_FALSE(HooksLookLost(6000, 5000));
    EXPECT_TRUE(HooksLookLost(6001, 5000));
    EXPECT_FALSE(HooksLookLost(4000, 9000));
    EXPECT_TRUE(HooksLookLost(2000, 0xFFFFFF00u));
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

// A compact macro notation: "+x" key-down, "-x" key-up, "^x" sys key-down,
// "m" move, "D"/"U" left button down/up. Keys: letters, E(sc), C/S/A for the
// left Ctrl, Shift and Alt, 8 for F8.
uint32_t KeyCode(char c) {
    switch (c) {
    case 'E': return vk::Escape;
    case 'C': return 0xA2;
    case 'S': return 0xA0;
    case 'A': return 0xA4;
    case '8': return 0x77;
    default: return (uint32_t)c;
    }
}

std::vector<MacroEvent> Macro(std::initializer_list<const char*> tokens) {
    std::vector<MacroEvent> out;
    uint32_t t = 0;
    for (const char* token : tokens) {
        uint32_t message = token[0] == '+' ? msg::KeyDown : token[0] == '-' ? msg::KeyUp
                         : token[0] == '^' ? msg::SysKeyDown : token[0] == 'm' ? msg::MouseMove
                         : token[0] == 'D' ? msg::LButtonDown : msg::LButtonUp;
        uint32_t paramL = IsKeyMessage(message) ? KeyCode(token[1]) : 40;
        out.push_back({message, paramL, 7, t += 10, 0});
    }
    return out;
}

std::string Notation(const std::vector<MacroEvent>& events, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        const MacroEvent& e = events[i];
        if (!out.empty()) out += ' ';
        switch (e.message) {
        case msg::KeyDown: out += '+'; break;
        case msg::KeyUp: out += '-'; break;
        case msg::SysKeyDown: out += '^'; break;
        case msg::MouseMove: out += 'm'; continue;
        case msg::LButtonDown: out += 'D'; continue;
        default: out += 'U'; continue;
        }
        const char* names = "ECSA8";
        const uint32_t codes[] = {vk::Escape, 0xA2, 0xA0, 0xA4, 0x77};
        char name = (char)e.paramL;
        for (int k = 0; k < 5; ++k)
            if (codes[k] == e.paramL) name = names[k];
        out += name;
    }
    return out;
}

TEST(RecordStopTrim, RemovesTheStopGestureAndNothingElse) {
    constexpr uint32_t kAllMods = hotmod::Alt | hotmod::Control | hotmod::Shift;
    const StopGesture button = {StopSource::RecButton, 0, 0};
    const StopGesture esc = {StopSource::StopKey, vk::Escape, 0};
    const StopGesture combo = {StopSource::Hotkey, 'R', kAllMods};
    const StopGesture f8 = {StopSource::Hotkey, 0x77, 0};
    const struct {
        const char* name;
        StopGesture gesture;
        std::vector<MacroEvent> events;
        std::string left;
    } cases[] = {
        {"button: still click", button, Macro({"+a", "-a", "D", "U"}), "+a -a"},
        {"button: moves between and after", button, Macro({"+a", "-a", "m", "D", "m", "m", "U", "m"}), "+a -a m"},
        {"button: the user's own click stays", button, Macro({"D", "U", "m", "D", "U", "m"}), "D U m"},
        {"button: pressed with Space", button, Macro({"+a", "-a", "+ ", "- "}), "+a -a"},
        {"stop key: its key-up goes", esc, Macro({"+a", "-a", "+c", "-c", "-E"}), "+a -a +c -c"},
        {"stop key: no key-up, nothing goes", esc, Macro({"+a", "-a", "+c", "-c"}), "+a -a +c -c"},
        {"stop key: a last click stays", esc, Macro({"+a", "-a", "D", "U"}), "+a -a D U"},
        {"stop key: other key-up stays", esc, Macro({"+c", "-c", "-a"}), "+c -c -a"},
        {"hotkey: whole combination", combo, Macro({"+c", "-c", "+C", "+S", "^A", "^R"}), "+c -c"},
        {"hotkey: repeats and moves", combo, Macro({"+c", "-c", "+C", "+C", "m", "+S", "^A", "m", "^R"}), "+c -c m m"},
        {"hotkey: a finished press stays", combo, Macro({"+C", "+S", "^A", "^R", "-R"}), "^R -R"},
        {"hotkey: other keys end the search", combo, Macro({"+C", "+x", "+S", "^A", "^R"}), "+C +x"},
        {"hotkey F8: its key only", f8, Macro({"+C", "+c", "-c", "+8"}), "+C +c -c"},
        {"hotkey F8: nothing of it", f8, Macro({"+c", "-c"}), "+c -c"},
        {"R key: general rule", {StopSource::WindowKey, 0, 0}, Macro({"+c", "-c", "+r", "-r"}), "+c -c"},
        {"unknown: general rule", {StopSource::Other, 0, 0}, Macro({"+c", "-c", "m"}), "+c -c"},
    };
    for (auto& c : cases) {
        std::vector<MacroEvent> events = c.events;
        int count = TrimStopGesture(events.data(), (int)events.size(), c.gesture);
        EXPECT_EQ(c.left, Notation(events, count)) << c.name;
    }
    EXPECT_EQ(0, TrimStopGesture(nullptr, 3, esc));
}

}  // namespace
