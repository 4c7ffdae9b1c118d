#include <gtest/gtest.h>

#include "app/prefs_commands.h"
#include "settings/settings.h"
#include "ui/prefs_menu.h"

namespace {

class PrefsCommandsLogicTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSettingsToDefaults(); }
    void TearDown() override { ResetSettingsToDefaults(); }
};

TEST_F(PrefsCommandsLogicTest, SpeedChoicesSetThePlaybackSpeed) {
    CustomSpeed = 3.5f;
    const struct {
        int id;
        float speed;
    } cases[] = {{IDM_SPEED_HALF, 0.5f}, {IDM_SPEED_1X, 1.0f}, {IDM_SPEED_2X, 2.0f},
                 {IDM_SPEED_100X, 100.0f}, {IDM_SPEED_CUSTOM, 3.5f}};
    for (const auto& c : cases) {
        PlaybackSpeed = 42.0f;
        EXPECT_EQ(1, ApplySpeedChoice(c.id));
        EXPECT_EQ(c.speed, PlaybackSpeed.load()) << c.id;
    }
    PlaybackSpeed = 42.0f;
    EXPECT_EQ(0, ApplySpeedChoice(IDM_SET_CUSTOM_SPEED));
    EXPECT_EQ(0, ApplySpeedChoice(2999));
    EXPECT_EQ(42.0f, PlaybackSpeed.load());
    EXPECT_EQ(3.5f, CustomSpeed.load());
}

TEST_F(PrefsCommandsLogicTest, ContinuousOnAndOffForgetsTheChosenCount) {
    RepeatMode = 1;
    RepeatCount = 7;
    ToggleContinuousPlayback();
    EXPECT_EQ(2, RepeatMode.load());
    EXPECT_EQ(-1, RepeatCount.load());
    ToggleContinuousPlayback();
    EXPECT_EQ(0, RepeatMode.load());
    EXPECT_EQ(1, RepeatCount.load());
}

TEST_F(PrefsCommandsLogicTest, CustomSpeedEntries) {
    struct Case {
        const char* text;
        SpeedEntry result;
        float speed;
    };
    const Case cases[] = {
        {"3.5", SpeedEntry::Accepted, 3.5f},    {" 7", SpeedEntry::Accepted, 7.0f},
        {"0.1", SpeedEntry::Accepted, 0.1f},    {"1000", SpeedEntry::Accepted, 1000.0f},
        {"0.3", SpeedEntry::Accepted, 0.3f},    {"0", SpeedEntry::BadFormat, 0},
        {"-2", SpeedEntry::BadFormat, 0},       {"abc", SpeedEntry::BadFormat, 0},
        {"3.5 ", SpeedEntry::BadFormat, 0},     {"", SpeedEntry::BadFormat, 0},
        {nullptr, SpeedEntry::BadFormat, 0},    {"0.05", SpeedEntry::OutOfRange, 0},
        {"2000", SpeedEntry::OutOfRange, 0},    {"1000.01", SpeedEntry::OutOfRange, 0},
        {"inf", SpeedEntry::OutOfRange, 0},     {"1e300", SpeedEntry::OutOfRange, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        CustomSpeed = 8.0f;
        PlaybackSpeed = 1.0f;
        EXPECT_EQ(c.result, ApplyCustomSpeedEntry(c.text));
        if (c.result == SpeedEntry::Accepted) {
            EXPECT_EQ(c.speed, CustomSpeed.load());
            EXPECT_EQ(c.speed, PlaybackSpeed.load());
        } else {
            EXPECT_EQ(8.0f, CustomSpeed.load());
            EXPECT_EQ(1.0f, PlaybackSpeed.load());
        }
    }
}

TEST_F(PrefsCommandsLogicTest, CustomSpeedPromptOffersAWholeNumber) {
    const struct {
        float speed;
        const char* text;
    } cases[] = {{8.0f, "8"}, {3.5f, "4"}, {0.3f, "0"}, {1000.0f, "1000"}, {2.25f, "2"}};
    for (const auto& c : cases) {
        CustomSpeed = c.speed;
        char text[32];
        FormatCustomSpeedPrompt(text, sizeof text);
        EXPECT_STREQ(c.text, text) << c.speed;
    }
    // Accepting 0.3 and then the offered "0" unchanged is a format error.
    ASSERT_EQ(SpeedEntry::Accepted, ApplyCustomSpeedEntry("0.3"));
    char text[32];
    FormatCustomSpeedPrompt(text, sizeof text);
    EXPECT_EQ(SpeedEntry::BadFormat, ApplyCustomSpeedEntry(text));
}

TEST_F(PrefsCommandsLogicTest, LoopEntriesOutsideOneTo9999ChangeNothing) {
    const char* rejected[] = {"0", "10000", "5x", "", nullptr, "-3", " "};
    for (const char* text : rejected) {
        RepeatMode = 2;
        RepeatCount = -1;
        EXPECT_EQ(0, ApplyLoopsEntry(text)) << (text ? text : "(null)");
        EXPECT_EQ(2, RepeatMode.load());
        EXPECT_EQ(-1, RepeatCount.load());
    }
    RepeatMode = 2;
    EXPECT_EQ(1, ApplyLoopsEntry("9999"));
    EXPECT_EQ(1, RepeatMode.load());
    EXPECT_EQ(9999, RepeatCount.load());
    EXPECT_EQ(1, ApplyLoopsEntry(" 3"));
    EXPECT_EQ(3, RepeatCount.load());
}

TEST_F(PrefsCommandsLogicTest, LoopsPromptOffersTheCountOrOne) {
    const struct {
        int count;
        const char* text;
    } cases[] = {{1, "1"}, {3, "3"}, {9999, "9999"}, {-1, "1"}, {0, "1"}};
    for (const auto& c : cases) {
        RepeatCount = c.count;
        char text[16];
        FormatLoopsPrompt(text, sizeof text);
        EXPECT_STREQ(c.text, text) << c.count;
    }
}

}  // namespace
