#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

#include "settings/settings.h"
#include "ui/prefs_menu.h"

namespace {

class PrefsMenuModelTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSettingsToDefaults(); }
    void TearDown() override { ResetSettingsToDefaults(); }

    PrefsMenuModel Build() {
        PrefsMenuModel model;
        BuildPrefsMenuModel(&model);
        return model;
    }
    static const MenuItemModel* Find(const MenuModel& menu, int id) {
        for (int i = 0; i < menu.count; ++i) {
            if (menu.items[i].id == id && menu.items[i].kind == MenuItemKind::Text) return &menu.items[i];
        }
        return nullptr;
    }
    static bool Checked(const PrefsMenuModel& model, int id) {
        const MenuItemModel* item = Find(model.main, id);
        for (int s = 0; !item && s < 2; ++s) item = Find(model.submenus[s], id);
        EXPECT_NE(nullptr, item) << id;
        return item && item->checked;
    }
};

struct Expected {
    MenuItemKind kind;
    int id;
    const char* label;
    bool checked;
    bool greyed;
};

void ExpectMenu(const MenuModel& menu, const Expected* expected, int count) {
    ASSERT_EQ(count, menu.count);
    for (int i = 0; i < count; ++i) {
        const MenuItemModel& item = menu.items[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].kind, item.kind);
        EXPECT_EQ(expected[i].id, item.id);
        EXPECT_STREQ(expected[i].label, item.label);
        EXPECT_EQ(expected[i].checked, item.checked);
        EXPECT_EQ(expected[i].greyed, item.greyed);
    }
}

constexpr auto T = MenuItemKind::Text;
constexpr auto S = MenuItemKind::Separator;
constexpr auto P = MenuItemKind::Submenu;

TEST_F(PrefsMenuModelTest, DefaultSettingsGiveTheFullLayoutWithItsTicks) {
    PrefsMenuModel model = Build();
    const Expected main[] = {
        {T, 2001, "Play Speed:  1/2x", false, false},
        {T, 2002, "Play Speed:  1x", true, false},
        {T, 2003, "Play Speed:  2x", false, false},
        {T, 2004, "Play Speed:  100x", false, false},
        {T, 2005, "Play Custom Speed:  8x", false, false},
        {T, 2006, "Set Custom Speed...", false, false},
        {S, 0, "", false, false},
        {T, 2007, "&Continuous Playback", false, false},
        {T, 2008, "Set Playback Loops...  (1)", false, false},
        {S, 0, "", false, false},
        {P, 0, "Recording Hotkey", false, false},
        {P, 0, "Playback Hotkey", false, false},
        {S, 0, "", false, false},
        {T, 2009, "&Always on Top", false, false},
        {T, 2010, "Show Captions", true, false},
        {T, 2011, "Use Custom Toolbar...", false, false},
        {T, 2012, "Use Default Toolbar", true, false},
        {S, 0, "", false, false},
        {T, 2013, "Quorrel Website", false, false},
        {T, 2014, "About Quorrel 1.8", false, false},
    };
    ExpectMenu(model.main, main, 20);
    EXPECT_EQ(0, model.main.items[10].submenu);
    EXPECT_EQ(1, model.main.items[11].submenu);

    const Expected recording[] = {
        {T, 2015, "Start/stop recording:", false, true},
        {S, 0, "", false, false},
        {T, 2101, "F8", false, false},
        {T, 2104, "Ctrl+Shift+Alt+R", true, false},
    };
    ExpectMenu(model.submenus[0], recording, 4);
    const Expected playback[] = {
        {T, 2204, "Control + Shift + Alt + P", true, false},
        {T, 2201, "F8", false, false},
        {S, 0, "", false, false},
        {T, 2016, "Hint: Press ESC to stop playback", false, true},
    };
    ExpectMenu(model.submenus[1], playback, 4);
}

TEST_F(PrefsMenuModelTest, SpeedTicksUseTheSinglePrecisionTolerance) {
    struct Case {
        float speed, custom;
        bool half, one, two, hundred, customTick;
    };
    const Case cases[] = {
        {2.0f, 2.0f, false, false, true, false, true},  // several ticks at once
        {1.005f, 8.0f, false, true, false, false, false},
        {1.02f, 8.0f, false, false, false, false, false},
        {1.02f, 1.025f, false, false, false, false, true},
        {0.5f, 8.0f, true, false, false, false, false},
        {100.0f, 8.0f, false, false, false, true, false},
        {99.995f, 8.0f, false, false, false, true, false},
        {0.0f, 0.0f, false, false, false, false, true},
        {1.011f, 8.0f, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.speed << " / " << c.custom);
        PlaybackSpeed = c.speed;
        CustomSpeed = c.custom;
        PrefsMenuModel model = Build();
        EXPECT_EQ(c.half, Checked(model, IDM_SPEED_HALF));
        EXPECT_EQ(c.one, Checked(model, IDM_SPEED_1X));
        EXPECT_EQ(c.two, Checked(model, IDM_SPEED_2X));
        EXPECT_EQ(c.hundred, Checked(model, IDM_SPEED_100X));
        EXPECT_EQ(c.customTick, Checked(model, IDM_SPEED_CUSTOM));
    }
}

TEST_F(PrefsMenuModelTest, ToleranceIsTheFloatConstantAtItsEdge) {
    // The float nearest 3.01 lies 0.0099999905 above 3, inside 0.01f; the next
    // float up lies 0.0100002 above it, outside.
    float inside = 3.0f + 0.01f;
    float outside = std::nextafter(inside, 4.0f);
    EXPECT_TRUE(SpeedMatches(inside, 3.0f));
    EXPECT_FALSE(SpeedMatches(outside, 3.0f));
    EXPECT_TRUE(SpeedMatches(3.0f, inside));  // symmetric
    EXPECT_FALSE(SpeedMatches(3.0f, outside));
    EXPECT_TRUE(SpeedMatches(1.0f, 1.0f));
    EXPECT_FALSE(SpeedMatches(2.0f, 2.02f));
}

TEST_F(PrefsMenuModelTest, CustomSpeedLabelPicksTheShortestExactForm) {
    struct Case {
        float speed;
        const char* label;
    };
    const Case cases[] = {
        {8.0f, "Play Custom Speed:  8x"},      {3.5f, "Play Custom Speed:  3.5x"},
        {2.25f, "Play Custom Speed:  2.25x"},  {0.3f, "Play Custom Speed:  0.30x"},
        {1000.0f, "Play Custom Speed:  1000x"}, {0.1f, "Play Custom Speed:  0.10x"},
        {0.5f, "Play Custom Speed:  0.5x"},    {-2.5f, "Play Custom Speed:  -2.5x"},
        {0.0f, "Play Custom Speed:  0x"},
    };
    for (const Case& c : cases) {
        CustomSpeed = c.speed;
        PrefsMenuModel model = Build();
        EXPECT_STREQ(c.label, model.main.items[4].label) << c.speed;
    }
}

TEST_F(PrefsMenuModelTest, ExtremeCustomSpeedsStayInsideTheLabelBuffer) {
    const float extremes[] = {FLT_MAX, -FLT_MAX, 1e30f, -123456789.25f, FLT_MIN, -FLT_MIN};
    for (float speed : extremes) {
        CustomSpeed = speed;
        PrefsMenuModel model = Build();
        const char* label = model.main.items[4].label;
        size_t length = strnlen(label, kMenuLabelSize);
        EXPECT_LT(length, kMenuLabelSize) << speed;
        EXPECT_EQ(0, strncmp(label, "Play Custom Speed:  ", 20)) << label;
    }
    // A label longer than its buffer is cut and terminated, never overrun.
    char small[24];
    memset(small, 'Z', sizeof small);
    FormatCustomSpeedLabel(small, 12, 123.25f);
    EXPECT_STREQ("Play Custom", small);
    EXPECT_EQ('Z', small[12]);
    FormatCustomSpeedLabel(small, sizeof small, -FLT_MAX);
    EXPECT_EQ(sizeof small - 1, strlen(small));
}

TEST_F(PrefsMenuModelTest, LoopsLabelAndContinuousTick) {
    struct Case {
        int mode, count;
        const char* label;
        bool continuous;
    };
    const Case cases[] = {
        {0, 1, "Set Playback Loops...  (1)", false},
        {1, 9999, "Set Playback Loops...  (9999)", false},
        {2, -1, "Set Playback Loops...  (l)", true},
        {2, 42, "Set Playback Loops...  (l)", true},
        {1, -3, "Set Playback Loops...  (-3)", false},
    };
    for (const Case& c : cases) {
        RepeatMode = c.mode;
        RepeatCount = c.count;
        PrefsMenuModel model = Build();
        EXPECT_STREQ(c.label, model.main.items[8].label);
        EXPECT_EQ(c.continuous, Checked(model, IDM_CONTINUOUS));
    }
}

TEST_F(PrefsMenuModelTest, FlagItemsFollowTheirSettings) {
    AlwaysOnTop = 1;
    ShowCaptions = 0;
    UseCustom = 1;
    PrefsMenuModel model = Build();
    EXPECT_TRUE(Checked(model, IDM_ALWAYS_ON_TOP));
    EXPECT_FALSE(Checked(model, IDM_SHOW_CAPTIONS));
    EXPECT_TRUE(Checked(model, IDM_CUSTOM_TOOLBAR));
    EXPECT_FALSE(Checked(model, IDM_DEFAULT_TOOLBAR));  // custom icons are showing
}

TEST_F(PrefsMenuModelTest, HotkeySubmenusTickOnlyTheChoicesTheyOffer) {
    struct Case {
        int complexRec, recKey, complexPlay, playKey;
        bool recF8, recCombo, playF8, playCombo;
    };
    const Case cases[] = {
        {0, 0x77, 0, 0x77, true, false, true, false},
        {1, 0x77, 1, 0x77, false, true, false, true},
        {0, 0x75, 0, 0x52, false, false, false, false},  // neither choice from the file
        {0, 0x52, 1, 0x50, false, false, false, true},
    };
    for (const Case& c : cases) {
        UseComplexRecord = c.complexRec;
        RecordingHotkey = c.recKey;
        UseComplexPlayback = c.complexPlay;
        PlaybackHotkey = c.playKey;
        PrefsMenuModel model = Build();
        EXPECT_EQ(c.recF8, Checked(model, IDM_REC_HOTKEY_F8));
        EXPECT_EQ(c.recCombo, Checked(model, IDM_REC_HOTKEY_COMBO));
        EXPECT_EQ(c.playF8, Checked(model, IDM_PLAY_HOTKEY_F8));
        EXPECT_EQ(c.playCombo, Checked(model, IDM_PLAY_HOTKEY_COMBO));
    }
}

}  // namespace
