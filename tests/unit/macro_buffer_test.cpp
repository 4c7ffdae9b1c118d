#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "macro/macro_buffer.h"
#include "macro/rec_codec.h"

namespace {

class MacroBufferTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearBuffer();
        SetLoadedMacro(nullptr, 0);
    }
    void TearDown() override {
        ClearBuffer();
        SetLoadedMacro(nullptr, 0);
    }
    static MacroEvent* OwnedCopy(std::initializer_list<MacroEvent> events) {
        auto* block = static_cast<MacroEvent*>(malloc(events.size() * sizeof(MacroEvent)));
        memcpy(block, events.begin(), events.size() * sizeof(MacroEvent));
        return block;
    }
};

TEST_F(MacroBufferTest, AppendStoresTimeRelativeToStartAndZeroHwnd) {
    ASSERT_EQ(BeginBuffer(1000, 5000), 1);
    ASSERT_EQ(AppendEvent(0x100, 65, 0x011E, 5123), 1);
    int count = 0;
    MacroEvent* events = GetEvents(&count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(events[0].message, 0x100u);
    EXPECT_EQ(events[0].paramL, 65u);
    EXPECT_EQ(events[0].paramH, 0x011Eu);
    EXPECT_EQ(events[0].time, 123u);
    EXPECT_EQ(events[0].hwnd, 0u);
}

TEST_F(MacroBufferTest, TimeDifferenceSurvivesTickCounterWrap) {
    ASSERT_EQ(BeginBuffer(1000, 0xFFFFFF00u), 1);
    ASSERT_EQ(AppendEvent(0x200, 1, 2, 0x00000010u), 1);
    EXPECT_EQ(GetEvents(nullptr)[0].time, 0x110u);
}

TEST_F(MacroBufferTest, InputStampedBeforeTheStartCountsFromTheStart) {
    ASSERT_EQ(BeginBuffer(1000, 0x00000010u), 1);
    ASSERT_EQ(AppendEvent(0x100, 65, 0, 0xFFFFFFF0u), 1);  // 32 ms early, across the wrap
    ASSERT_EQ(AppendEvent(0x101, 65, 0, 0x00000015u), 1);
    EXPECT_EQ(GetEvents(nullptr)[0].time, 0u);
    EXPECT_EQ(GetEvents(nullptr)[1].time, 5u);
}

TEST_F(MacroBufferTest, TheThousandAndFirstEventDoublesCapacityAndKeepsTheFirstThousand) {
    ASSERT_EQ(BeginBuffer(1000, 0), 1);
    for (uint32_t i = 0; i < 1001; ++i) ASSERT_EQ(AppendEvent(0x200, i, i * 2, i), 1);
    EXPECT_EQ(GetBufferCapacity(), 2000);
    int count = 0;
    MacroEvent* events = GetEvents(&count);
    ASSERT_EQ(count, 1001);
    for (uint32_t i = 0; i < 1001; ++i) {
        ASSERT_EQ(events[i].paramL, i);
        ASSERT_EQ(events[i].paramH, i * 2);
    }
}

TEST_F(MacroBufferTest, CapacityDoublingRefusesWhatCannotBeRepresented) {
    int next = 0;
    EXPECT_EQ(NextCapacity(1000, &next), 1);
    EXPECT_EQ(next, 2000);
    // 20 bytes a record: past INT_MAX / 20 records the byte size no longer fits.
    EXPECT_EQ(NextCapacity(INT_MAX / 40 + 1, &next), 0);
    EXPECT_EQ(NextCapacity(INT_MAX / 2 + 1, &next), 0);
    EXPECT_EQ(NextCapacity(0, &next), 0);
    uint32_t bytes = 0;
    EXPECT_EQ(RecordBytes(kMaxRecEvents, &bytes), 1);
    EXPECT_EQ(bytes, 200000000u);
    EXPECT_EQ(RecordBytes(INT_MAX / 20 + 1, &bytes), 0);
    EXPECT_EQ(RecordBytes(-1, &bytes), 0);
}

TEST_F(MacroBufferTest, ClearAndAssignLeaveNoBlockWhenNothingIsCopied) {
    ASSERT_EQ(BeginBuffer(1000, 77), 1);
    AppendEvent(0x200, 1, 1, 80);
    AssignEvents(nullptr, 5);
    int count = -1;
    EXPECT_EQ(GetEvents(&count), nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(GetBufferCapacity(), 0);
    EXPECT_EQ(GetRecordStartTick(), 77u) << "AssignEvents leaves the start tick alone";

    MacroEvent one[1] = {{0x201, 3, 4, 5, 0}};
    AssignEvents(one, 0);
    EXPECT_EQ(GetEvents(nullptr), nullptr);
    ClearBuffer();
    EXPECT_EQ(GetRecordStartTick(), 0u);
}

TEST_F(MacroBufferTest, AssignCopiesSoTheSourceStaysTheCallers) {
    MacroEvent source[2] = {{0x201, 10, 20, 0, 0}, {0x202, 10, 20, 15, 0}};
    AssignEvents(source, 2);
    source[0].paramL = 999;
    int count = 0;
    MacroEvent* events = GetEvents(&count);
    ASSERT_EQ(count, 2);
    EXPECT_NE(events, source);
    EXPECT_EQ(events[0].paramL, 10u);
    EXPECT_EQ(GetBufferCapacity(), 2);
}

TEST_F(MacroBufferTest, CurrentMacroPrefersTheWorkingMacroThenTheLoadedOne) {
    const MacroEvent* events = nullptr;
    int count = -1;
    EXPECT_EQ(CurrentMacro(&events, &count), 0) << "nothing recorded, nothing loaded";
    EXPECT_EQ(events, nullptr);
    EXPECT_EQ(count, 0);

    SetLoadedMacro(OwnedCopy({{0x100, 65, 0, 0, 0}, {0x101, 65, 0, 10, 0}, {0x200, 1, 1, 20, 0}}), 3);
    ASSERT_EQ(CurrentMacro(&events, &count), 1);
    EXPECT_EQ(count, 3);

    ASSERT_EQ(BeginBuffer(1000, 0), 1);
    AppendEvent(0x200, 5, 5, 1);
    ASSERT_EQ(CurrentMacro(&events, &count), 1);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(events, GetEvents(nullptr));

    // A reset keeps the block but the loaded file becomes current again.
    MacroEvent* block = GetEvents(nullptr);
    ResetEventCount();
    EXPECT_EQ(GetEvents(&count), block);
    EXPECT_EQ(count, 0);
    ASSERT_EQ(CurrentMacro(&events, &count), 1);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(events, GetLoadedMacro(nullptr));
}

TEST_F(MacroBufferTest, SetEventCountOnlyLowersTheCount) {
    ASSERT_EQ(BeginBuffer(1000, 0), 1);
    for (int i = 0; i < 5; ++i) AppendEvent(0x200, i, i, i);
    SetEventCount(9);
    EXPECT_EQ(GetEventCount(), 5);
    SetEventCount(3);
    EXPECT_EQ(GetEventCount(), 3);
}

TEST(RecFormat, LoadableCounts) {
    EXPECT_FALSE(IsLoadableRecCount(0));
    EXPECT_FALSE(IsLoadableRecCount(-1));
    EXPECT_FALSE(IsLoadableRecCount(INT32_MIN));
    EXPECT_TRUE(IsLoadableRecCount(1));
    EXPECT_TRUE(IsLoadableRecCount(10000000));
    EXPECT_FALSE(IsLoadableRecCount(10000001));
}

}  // namespace
