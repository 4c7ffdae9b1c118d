#include "ui/toolbar.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(ToolbarModel, ButtonsSitSideBySideAcrossTheClientArea) {
    for (int i = 0; i < kToolbarButtons; ++i) {
        EXPECT_EQ(kToolbarButtonSpecs[i].id, 1001 + i);
        EXPECT_EQ(kToolbarButtonSpecs[i].x, 7 + 42 * i);
    }
    // The last button ends 8 pixels short of the 265-pixel client width.
    EXPECT_EQ(kToolbarButtonSpecs[5].x + kToolbarButtonWidth, 257);
}

TEST(ToolbarModel, IndexCoversExactlyTheSixIds) {
    const struct {
        int id;
        int index;
    } cases[] = {{1000, -1}, {1001, 0}, {1003, 2}, {1006, 5}, {1007, -1}, {0, -1}, {-1001, -1}, {2001, -1}};
    for (const auto& c : cases) EXPECT_EQ(ToolbarButtonIndex(c.id), c.index) << c.id;
}

TEST(ToolbarModel, LabelsFollowTheRecordingStateOnlyOnTheRecordButton) {
    const struct {
        int id;
        const char* idle;
        const char* recording;
    } cases[] = {
        {1001, "Open", "Open"}, {1002, "Save", "Save"}, {1003, "&Rec", "*&Rec*"},
        {1004, "&Play", "&Play"}, {1005, ".exe", ".exe"}, {1006, "Prefs", "Prefs"},
        {1000, "", ""}, {1007, "", ""}, {0, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(ChooseButtonLabel(c.id, 0), c.idle) << c.id;
        EXPECT_STREQ(ChooseButtonLabel(c.id, 1), c.recording) << c.id;
    }
}

TEST(ToolbarModel, WindowTextsAreNotTheDrawnLabels) {
    // Toggling captions restores these, never "&Rec" or "&Play".
    const char* expected[] = {"Open", "Save", "Rec", "Play", ".exe", "Prefs"};
    for (int i = 0; i < kToolbarButtons; ++i) EXPECT_STREQ(kToolbarButtonSpecs[i].windowText, expected[i]);
}

struct IconCase {
    int id;
    int useCustom;
    int haveCustom;
    int recording;
    ToolbarIconSource source;
    int index;
};

TEST(ToolbarModel, IconChoice) {
    using S = ToolbarIconSource;
    const IconCase cases[] = {
        // Default set: one resource per button, stop square on Rec while recording.
        {1001, 0, 0, 0, S::Default, 1001},
        {1002, 0, 0, 1, S::Default, 1002},
        {1003, 0, 0, 0, S::Default, 1003},
        {1003, 0, 0, 1, S::Default, 1007},
        {1004, 0, 0, 1, S::Default, 1004},
        {1005, 0, 0, 0, S::Default, 1005},
        {1006, 0, 0, 0, S::Default, 1006},
        // Custom set: record.ico in both states.
        {1001, 1, 1, 0, S::Custom, 0},
        {1003, 1, 1, 0, S::Custom, 2},
        {1003, 1, 1, 1, S::Custom, 2},
        {1006, 1, 1, 0, S::Custom, 5},
        // Flag set but nothing loaded: back to the defaults, stop square included.
        {1003, 1, 0, 1, S::Default, 1007},
        {1004, 1, 0, 0, S::Default, 1004},
        // Icons loaded but the flag off: the defaults win.
        {1002, 0, 1, 0, S::Default, 1002},
        {1003, 0, 1, 1, S::Default, 1007},
        // Unknown ids get nothing, whatever the state.
        {1000, 1, 1, 1, S::None, 0},
        {1007, 0, 0, 1, S::None, 0},
    };
    for (const auto& c : cases) {
        ToolbarIconChoice choice = ChooseButtonIcon(c.id, c.useCustom, c.haveCustom, c.recording);
        EXPECT_EQ(choice.source, c.source) << c.id << " custom " << c.useCustom << c.haveCustom
                                           << " rec " << c.recording;
        if (c.source != S::None) {
            EXPECT_EQ(choice.index, c.index) << c.id;
        }
    }
}

TEST(ToolbarModel, EveryDefaultResourceHasALoadSlot) {
    for (int i = 0; i < kToolbarButtons; ++i) {
        int slot = DefaultIconSlot(kToolbarButtonSpecs[i].iconResource);
        ASSERT_GE(slot, 0);
        EXPECT_EQ(kDefaultIconLoadOrder[slot], kToolbarButtonSpecs[i].iconResource);
    }
    EXPECT_EQ(DefaultIconSlot(kStopIconResource), 3);
    EXPECT_EQ(DefaultIconSlot(1000), -1);
    EXPECT_EQ(DefaultIconSlot(1008), -1);
}

TEST(ToolbarModel, CustomIconPathJoinsFolderAndFile) {
    char out[260];
    ASSERT_EQ(BuildCustomIconPath(out, sizeof out, "C:\\icons", "open.ico"), 1);
    EXPECT_STREQ(out, "C:\\icons\\open.ico");
}

TEST(ToolbarModel, CustomIconPathRefusesWhatWouldNotFit) {
    char out[260];
    const std::string file = "compile.ico";  // the longest of the six names
    // 259 characters in all is the most a path may hold.
    std::string folder(259 - 1 - file.size(), 'a');
    ASSERT_EQ(BuildCustomIconPath(out, sizeof out, folder.c_str(), file.c_str()), 1);
    EXPECT_EQ(strlen(out), 259u);
    EXPECT_EQ(std::string(out), folder + "\\" + file);

    folder += 'a';
    memset(out, 'x', sizeof out);
    EXPECT_EQ(BuildCustomIconPath(out, sizeof out, folder.c_str(), file.c_str()), 0);
    EXPECT_STREQ(out, "");

    std::string huge(1000, 'b');
    EXPECT_EQ(BuildCustomIconPath(out, sizeof out, huge.c_str(), "open.ico"), 0);
    EXPECT_STREQ(out, "");
}

TEST(ToolbarModel, CustomIconPathRefusesMissingParts) {
    char out[16];
    memset(out, 'x', sizeof out);
    EXPECT_EQ(BuildCustomIconPath(out, sizeof out, "", "open.ico"), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(BuildCustomIconPath(out, sizeof out, nullptr, "open.ico"), 0);
    EXPECT_EQ(BuildCustomIconPath(out, sizeof out, "d", nullptr), 0);
    EXPECT_EQ(BuildCustomIconPath(nullptr, 16, "d", "open.ico"), 0);
    EXPECT_EQ(BuildCustomIconPath(out, 0, "d", "open.ico"), 0);
    EXPECT_EQ(out[0], '\0');
}

}  // namespace
