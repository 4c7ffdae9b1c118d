#include "macro/slots.h"

#include <gtest/gtest.h>

#include <string>

#include "macro/macro_buffer.h"

namespace {

class SlotsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearBuffer();
        SetLoadedMacro(nullptr, 0);
        InitSlots();
    }
    void TearDown() override {
        FreeSlots();
        ClearBuffer();
        SetLoadedMacro(nullptr, 0);
    }
    // A working macro as a recording leaves it: n events tagged with `tag`.
    static void Record(int n, uint32_t tag) {
        ASSERT_TRUE(BeginBuffer(1000, 0));
        for (int i = 0; i < n; ++i) ASSERT_TRUE(AppendEvent(0x200, tag, (uint32_t)i, (uint32_t)i));
    }
    static std::string Caption() {
        char text[256];
        FormatSlotCaption(text, sizeof text);
        return text;
    }
};

TEST_F(SlotsTest, StartsOnAnEmptySlotOne) {
    EXPECT_EQ(1, GetCurrentSlot());
    for (int n = 1; n <= kSlotCount; ++n) EXPECT_EQ(0, GetSlotEventCount(n));
    EXPECT_EQ("Quorrel - Slot 1 (empty)", Caption());
}

TEST_F(SlotsTest, SwitchingAwayAndBackKeepsTheMacro) {
    Record(120, 7);
    ASSERT_EQ(1, SelectSlot(2, 0));
    EXPECT_EQ(120, GetSlotEventCount(1));
    EXPECT_EQ(0, GetEventCount());
    EXPECT_EQ("Quorrel - Slot 2 (empty)", Caption());

    ASSERT_EQ(1, SelectSlot(1, 0));
    int count = 0;
    const MacroEvent* events = GetEvents(&count);
    ASSERT_EQ(120, count);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(7u, events[i].paramL);
        EXPECT_EQ((uint32_t)i, events[i].paramH);
    }
    EXPECT_EQ("Quorrel - Slot 1 (120 events)", Caption());
}

TEST_F(SlotsTest, EachSlotKeepsItsOwnMacro) {
    Record(3, 1);
    SelectSlot(2, 0);
    Record(5, 2);
    SelectSlot(3, 0);
    Record(8, 3);
    SelectSlot(1, 0);
    EXPECT_EQ(3, GetSlotEventCount(1));
    EXPECT_EQ(5, GetSlotEventCount(2));
    EXPECT_EQ(8, GetSlotEventCount(3));
    for (int n : {2, 3, 1}) {
        SelectSlot(n, 0);
        int count = 0;
        const MacroEvent* events = GetEvents(&count);
        ASSERT_EQ(GetSlotEventCount(n), count);
        EXPECT_EQ((uint32_t)n, events[0].paramL);
    }
}

TEST_F(SlotsTest, RefusalsChangeNothing) {
    Record(6, 4);
    const MacroEvent* before = GetEvents(nullptr);
    for (int n : {0, 10, -1}) EXPECT_EQ(0, SelectSlot(n, 0)) << n;
    EXPECT_EQ(0, SelectSlot(2, 1));  // recording or playing
    EXPECT_EQ(1, GetCurrentSlot());
    EXPECT_EQ(0, GetSlotEventCount(1));
    EXPECT_EQ(6, GetEventCount());
    EXPECT_EQ(before, GetEvents(nullptr));  // the array a playback reads is untouched
    EXPECT_EQ("Quorrel - Slot 1 (empty)", Caption());
}

TEST_F(SlotsTest, CurrentSlotAgainRefreshesAndKeeps) {
    Record(2, 5);
    ASSERT_EQ(1, SelectSlot(1, 0));
    EXPECT_EQ(2, GetEventCount());
    EXPECT_EQ("Quorrel - Slot 1 (2 events)", Caption());
}

TEST_F(SlotsTest, LeavingWithAnEmptyWorkingMacroEmptiesTheSlot) {
    Record(2, 5);
    SelectSlot(2, 0);
    SelectSlot(1, 0);
    ResetEventCount();
    SelectSlot(2, 0);
    EXPECT_EQ(0, GetSlotEventCount(1));
}

TEST_F(SlotsTest, LoadedMacroIsNeverCopiedAndStaysCurrent) {
    MacroEvent* file = static_cast<MacroEvent*>(malloc(2 * sizeof(MacroEvent)));
    file[0] = {0x100, 65, 0, 0, 0};
    file[1] = {0x101, 65, 0, 10, 0};
    SetLoadedMacro(file, 2);
    SelectSlot(2, 0);
    EXPECT_EQ(0, GetSlotEventCount(1));
    const MacroEvent* events = nullptr;
    int count = 0;
    ASSERT_EQ(1, CurrentMacro(&events, &count));
    EXPECT_EQ(file, events);
    EXPECT_EQ(2, count);
}

TEST_F(SlotsTest, FreeSlotsEmptiesEverything) {
    Record(3, 1);
    SelectSlot(2, 0);
    FreeSlots();
    EXPECT_EQ(0, GetSlotEventCount(1));
}

}  // namespace
