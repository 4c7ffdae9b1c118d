// The settings' text forms, the file path, the window pull-back and the key map
// run against an in-memory profile store that behaves like the platform's one.
#include "settings/settings_store.h"
#include "settings/settings_values.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(SettingsText, FloatsAreWrittenWithTwoDecimals) {
    const struct { float value; const char* text; } cases[] = {
        {1.0f, "1.00"}, {8.0f, "8.00"}, {2.5f, "2.50"}, {0.333f, "0.33"}, {0.5f, "0.50"},
        {-1.5f, "-1.50"}, {100.0f, "100.00"}, {0.0f, "0.00"},
    };
    for (const auto& c : cases) {
        char text[kFloatTextSize];
        FormatSettingFloat(text, c.value);
        EXPECT_STREQ(c.text, text) << c.value;
    }
}

TEST(SettingsText, FloatsReadTheirLeadingNumberOrZero) {
    const struct { const char* text; float value; } cases[] = {
        {"2.5", 2.5f}, {"2.50", 2.5f}, {"abc", 0.0f}, {"", 0.0f}, {"3x", 3.0f},
        {" 1.25", 1.25f}, {"-0.5", -0.5f}, {"1e2", 100.0f},
    };
    for (const auto& c : cases) EXPECT_FLOAT_EQ(c.value, ParseSettingFloat(c.text)) << c.text;
    EXPECT_FLOAT_EQ(0.33f, ParseSettingFloat("0.33"));  // a saved 0.333 comes back as 0.33
}

TEST(SettingsText, IntegersReadLikeTheProfileReader) {
    const struct { const char* text; int fallback; int value; } cases[] = {
        {"abc", 7, 0},       {"-3", 7, -3},        {"", 7, 7},      {"12abc", 7, 12},
        {"  42", 7, 42},     {"+5", 7, 5},         {"-", 7, 0},     {"1.9", 7, 1},
        {"0", 7, 0},         {"4294967295", 7, -1}, {"2147483648", 7, (int)0x80000000u},
        {"-2147483648", 7, (int)0x80000000u},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value, ParseSettingInt(c.text, c.fallback)) << c.text;
}

TEST(SettingsPath, SitsNextToTheExecutable) {
    char path[kSettingsPathSize];
    ASSERT_EQ(1, JoinSettingsPath(path, "C:\\Tools\\Macro\\quorrel.exe"));
    EXPECT_STREQ("C:\\Tools\\Macro\\Quorrel.ini", path);
    ASSERT_EQ(1, JoinSettingsPath(path, "C:\\q.exe"));
    EXPECT_STREQ("C:\\Quorrel.ini", path);
}

TEST(SettingsPath, RefusesAPathThatWouldBeCut) {
    // dir + "\" + "Quorrel.ini" must fit the buffer: a directory 12 shorter
    // fits exactly, one more would name a different, truncated file.
    std::string dir = "C:\\" + std::string(kSettingsPathSize - 1 - 12 - 3, 'd');
    char path[kSettingsPathSize];
    ASSERT_EQ(1, JoinSettingsPath(path, (dir + "\\quorrel.exe").c_str()));
    EXPECT_EQ(kSettingsPathSize - 1u, strlen(path));
    EXPECT_STREQ((dir + "\\Quorrel.ini").c_str(), path);

    std::string longer = dir + "e";
    memset(path, 'x', sizeof path);
    EXPECT_EQ(0, JoinSettingsPath(path, (longer + "\\quorrel.exe").c_str()));
    EXPECT_STREQ("", path);
}

TEST(SettingsWindowPlace, PullsALostPositionIntoTheWorkArea) {
    const WorkArea area = {0, 0, 1280, 984};  // primary work area above a taskbar
    const int w = 281, h = 94;
    const struct { const char* name; int x, y, ex, ey; } cases[] = {
        {"inside stays", 100, 100, 100, 100},
        {"left overhang up to 200 stays", -200, 10, -200, 10},
        {"further left snaps to the left edge", -201, 10, 0, 10},
        {"top overhang up to 50 stays", 10, -50, 10, -50},
        {"further up snaps to the top", 10, -51, 10, 0},
        {"past the right edge ends at it", 1231, 10, 1280 - w, 10},
        {"right within 50 stays", 1230, 10, 1230, 10},
        {"below the bottom ends at it", 10, 935, 10, 984 - h},
        {"far off bottom right", 5000, 3000, 1280 - w, 984 - h},
    };
    for (const auto& c : cases) {
        int x = 0, y = 0;
        PullBackWindowPosition(c.x, c.y, area, w, h, &x, &y);
        EXPECT_EQ(c.ex, x) << c.name;
        EXPECT_EQ(c.ey, y) << c.name;
    }
}

// An INI store with the platform's rules: a missing key gives the fallback,
// a write replaces the key where it stands or appends key and section.
struct IniKey { std::string key, value; };
struct IniSection { std::string name; std::vector<IniKey> keys; };
std::vector<IniSection> ini;
std::vector<std::string> writeLog;
int writesFail;

IniKey* FindKey(const char* section, const char* key) {
    for (auto& s : ini)
        if (s.name == section)
            for (auto& k : s.keys)
                if (k.key == key) return &k;
    return nullptr;
}

void FakeRead(const char* section, const char* key, const char* fallback, char* out, int size) {
    IniKey* k = FindKey(section, key);
    std::string text = k ? k->value : fallback;
    strncpy(out, text.c_str(), size - 1);
    out[size - 1] = '\0';
}

int FakeWrite(const char* section, const char* key, const char* value) {
    writeLog.push_back(std::string(section) + "/" + key);
    if (writesFail) return 0;
    if (IniKey* k = FindKey(section, key)) {
        k->value = value;
        return 1;
    }
    for (auto& s : ini)
        if (s.name == section) {
            s.keys.push_back({key, value});
            return 1;
        }
    ini.push_back({section, {{key, value}}});
    return 1;
}

std::string IniText() {
    std::string text;
    for (auto& s : ini) {
        text += "[" + s.name + "]\n";
        for (auto& k : s.keys) text += k.key + "=" + k.value + "\n";
    }
    return text;
}

const ProfileStore kFake = {FakeRead, FakeWrite};

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        ini.clear();
        writeLog.clear();
        writesFail = 0;
        ResetSettingsToDefaults();
    }
    void TearDown() override { ResetSettingsToDefaults(); }
};

TEST_F(SettingsStore, FirstSaveWritesEveryKeyInFileOrder) {
    EXPECT_EQ(1, WriteSettingValues(kFake));
    EXPECT_EQ(
        "[Settings]\n"
        "PlaybackSpeed=1.00\nCustomSpeed=8.00\nRepeatMode=0\nRepeatCount=1\nAlwaysOnTop=0\n"
        "ShowCaptions=1\nRecordingHotkey=82\nRecordingModifiers=0\nUseComplexRecord=1\n"
        "PlaybackHotkey=80\nPlaybackModifiers=0\nUseComplexPlayback=1\nStopHotkey=27\n"
        "StopHotkeyEnabled=1\n"
        "[Toolbar]\nCustomPath=\nUseCustom=0\n",
        IniText());
}

TEST_F(SettingsStore, SaveReportsTheLastWrite) {
    writesFail = 1;
    EXPECT_EQ(0, WriteSettingValues(kFake));
    EXPECT_EQ(16u, writeLog.size());
    EXPECT_EQ("Toolbar/UseCustom", writeLog.back());
}

TEST_F(SettingsStore, MissingFileGivesTheInitialValues) {
    PlaybackSpeed = 3.0f;
    RepeatCount = 9;
    StopHotkey = 5;
    UseCustom = 1;
    strcpy(CustomPath, "D:\\icons");
    ReadSettingValues(kFake);
    EXPECT_FLOAT_EQ(1.0f, PlaybackSpeed.load());
    EXPECT_FLOAT_EQ(8.0f, CustomSpeed.load());
    EXPECT_EQ(1, RepeatCount.load());
    EXPECT_EQ(27, StopHotkey.load());
    EXPECT_EQ(1, ShowCaptions);
    EXPECT_EQ(82, RecordingHotkey.load());
    EXPECT_EQ(0, UseCustom);
    EXPECT_STREQ("", CustomPath);
}

TEST_F(SettingsStore, ValuesAreTakenAsReadWithoutClamping) {
    ini = {{"Settings",
            {{"PlaybackSpeed", "2.5"}, {"CustomSpeed", "abc"}, {"RepeatCount", "-3"},
             {"RepeatMode", "abc"}, {"ShowCaptions", "0"}, {"StopHotkey", "119"}}},
           {"Toolbar", {{"UseCustom", "7"}, {"CustomPath", "C:\\My Icons"}}}};
    ReadSettingValues(kFake);
    EXPECT_FLOAT_EQ(2.5f, PlaybackSpeed.load());
    EXPECT_FLOAT_EQ(0.0f, CustomSpeed.load());
    EXPECT_EQ(-3, RepeatCount.load());
    EXPECT_EQ(0, RepeatMode.load());
    EXPECT_EQ(0, ShowCaptions);
    EXPECT_EQ(119, StopHotkey.load());
    EXPECT_EQ(1, StopHotkeyEnabled.load());  // missing: its initial value
    EXPECT_EQ(7, UseCustom);
    EXPECT_STREQ("C:\\My Icons", CustomPath);

    WriteSettingValues(kFake);
    EXPECT_EQ("2.50", FindKey("Settings", "PlaybackSpeed")->value);
    EXPECT_EQ("1", FindKey("Toolbar", "UseCustom")->value);  // any nonzero is "1"
}

TEST_F(SettingsStore, ChangesSurviveARestart) {
    PlaybackSpeed = 0.333f;
    RepeatMode = 2;
    RepeatCount = -1;
    AlwaysOnTop = 1;
    PlaybackHotkey = 119;
    UseComplexPlayback = 0;
    RecordingModifiers = 3;
    strcpy(CustomPath, "E:\\set");
    UseCustom = 1;
    WriteSettingValues(kFake);

    ResetSettingsToDefaults();
    ReadSettingValues(kFake);
    EXPECT_FLOAT_EQ(0.33f, PlaybackSpeed.load());
    EXPECT_EQ(2, RepeatMode.load());
    EXPECT_EQ(-1, RepeatCount.load());
    EXPECT_EQ(1, AlwaysOnTop);
    EXPECT_EQ(119, PlaybackHotkey.load());
    EXPECT_EQ(0, UseComplexPlayback.load());
    EXPECT_EQ(3, RecordingModifiers);
    EXPECT_EQ(1, UseCustom);
    EXPECT_STREQ("E:\\set", CustomPath);
}

TEST_F(SettingsStore, ASecondSaveKeepsKeysWhereTheyStand) {
    ini = {{"Settings", {{"WindowX", "10"}, {"RepeatCount", "4"}}}};
    RepeatCount = 6;
    WriteSettingValues(kFake);
    ASSERT_GE(ini[0].keys.size(), 2u);
    EXPECT_EQ("WindowX", ini[0].keys[0].key);
    EXPECT_EQ("RepeatCount", ini[0].keys[1].key);
    EXPECT_EQ("6", ini[0].keys[1].value);
}

}  // namespace
