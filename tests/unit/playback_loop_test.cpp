// The worker's pass loop against a fake clock and a recording injector: which
// waits and inputs happen, in which order, under the speed, repeat and stop rules.
#include "playback/playback_loop.h"
#include "playback/playback.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> trace;
uint32_t fakeNow;
int stopKeyCalls;
std::function<int(int call)> stopKeyScript;      // decides each stop-key sample
std::function<int(int vk)> desktopKeys;          // when set, answers every key-state read
std::function<void(const std::string&)> onPlay;  // lets a test change settings mid-pass

void Log(const std::string& line) {
    trace.push_back(line);
    if (onPlay) onPlay(line);
}

void FakeWait(PlaybackRun*, uint32_t ms) {
    trace.push_back("wait " + std::to_string(ms));
    fakeNow += ms;
}
uint32_t FakeTick() { return fakeNow; }
int FakeKeyDown(int vk) {
    if (desktopKeys) return desktopKeys(vk);
    return stopKeyScript && vk == 27 ? stopKeyScript(stopKeyCalls++) : 0;
}
int FakeKey(PlaybackRun*, uint32_t message, uint32_t vk, uint32_t scan, uint32_t flags) {
    Log("key " + std::to_string(message) + " " + std::to_string(vk) + " " + std::to_string(scan) +
        " " + std::to_string(flags));
    return 1;
}
int FakeMouse(PlaybackRun*, uint32_t message, int32_t x, int32_t y, uint32_t wheel) {
    Log("mouse " + std::to_string(message) + " " + std::to_string(x) + " " + std::to_string(y) +
        " " + std::to_string(wheel));
    return 1;
}
void FakeRelease() { trace.push_back("release"); }
void FakeCursor() { trace.push_back("cursor"); }
void FakePost(PlaybackRun*) { trace.push_back("posted"); }

const PlaybackHooks kHooks = {FakeWait, FakeTick, FakeKeyDown, FakeKey, FakeMouse,
                              FakeRelease, FakeCursor, FakePost};

MacroEvent Move(uint32_t time, int32_t x = 1, int32_t y = 2) {
    return {msg::MouseMove, (uint32_t)x, (uint32_t)y, time, 0};
}

class PlaybackLoop : public ::testing::Test {
protected:
    PlaybackRun run;
    void SetUp() override {
        ResetSettingsToDefaults();
        trace.clear();
        fakeNow = 5000;
        stopKeyCalls = 0;
        stopKeyScript = nullptr;
        desktopKeys = nullptr;
        onPlay = nullptr;
        run.input = HeldInputs{};
        run.stopRequested.store(0);
        run.id = 41;
        run.context = nullptr;
    }
    void TearDown() override {
        ClearActiveRun();
        ResetSettingsToDefaults();
        onPlay = nullptr;
        stopKeyScript = nullptr;
        desktopKeys = nullptr;
    }
    void Play(const std::vector<MacroEvent>& events) {
        run.events = events.data();
        run.count = (int)events.size();
        BeginActiveRun(run.id, fakeNow, 1000, 1);
        RunPlaybackWorker(&run, kHooks);
    }
    std::vector<std::string> Waits() const {
        std::vector<std::string> waits;
        for (auto& line : trace)
            if (line.rfind("wait", 0) == 0) waits.push_back(line);
        return waits;
    }
};

using Lines = std::vector<std::string>;

TEST(PlaybackGap, DividesByTheSpeedAndTruncates) {
    const struct { uint32_t gap; float speed; uint32_t wait; } cases[] = {
        {15, 2.0f, 7},     {1, 2.0f, 0},      {15, 0.5f, 30},     {99, 100.0f, 0},
        {100, 100.0f, 1},  {15, 1.0f, 15},    {15, 0.0f, 0},      {15, -1.0f, 0},
        {33, 0.33f, 99},   {1000, 3.0f, 333}, {0xFFFFFFFFu, 1.0f, 0},  // 2^32 as a float wraps to 0
        {5000, 1e-6f, (uint32_t)(uint64_t)(int64_t)((double)5000.0f / (double)1e-6f)},
        {5000, 1e-30f, 0}, {15, __builtin_nanf(""), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.wait, ScaleGap(c.gap, c.speed)) << c.gap << " / " << c.speed;
}

TEST(PlaybackEstimate, SpansClampBetweenOneSecondAndOneHour) {
    std::vector<MacroEvent> half = {Move(100), Move(600)};
    std::vector<MacroEvent> twoHours = {Move(0), Move(7200000)};
    std::vector<MacroEvent> backwards = {Move(9000), Move(10)};
    std::vector<MacroEvent> fiveSeconds = {Move(0), Move(2500), Move(5000)};
    EXPECT_EQ(1000u, EstimatePassMs(half.data(), 2, 1.0f));
    EXPECT_EQ(3600000u, EstimatePassMs(twoHours.data(), 2, 1.0f));
    EXPECT_EQ(1000u, EstimatePassMs(backwards.data(), 2, 1.0f));
    EXPECT_EQ(1000u, EstimatePassMs(fiveSeconds.data(), 1, 1.0f));
    EXPECT_EQ(1000u, EstimatePassMs(nullptr, 3, 1.0f));
    EXPECT_EQ(2500u, EstimatePassMs(fiveSeconds.data(), 3, 2.0f));
    EXPECT_EQ(5000u, EstimatePassMs(fiveSeconds.data(), 3, 0.0f));  // no speed: the raw span
    EXPECT_EQ(10000u, EstimatePassMs(fiveSeconds.data(), 3, 0.5f));
}

TEST_F(PlaybackLoop, WaitsForEachGapButNotForTheFirstRecord) {
    PlaybackSpeed = 2.0f;
    Play({Move(500), Move(515), Move(516), Move(546)});
    EXPECT_EQ((Lines{"mouse 512 1 2 0", "wait 7", "mouse 512 1 2 0", "mouse 512 1 2 0", "wait 15",
                     "mouse 512 1 2 0", "release", "cursor", "posted"}),
              trace);
    EXPECT_FALSE(IsPlaying());
}

TEST_F(PlaybackLoop, SpeedSetsEveryWait) {
    const struct { float speed; Lines waits; } cases[] = {
        {0.5f, {"wait 30", "wait 2"}},
        {1.0f, {"wait 15", "wait 1"}},
        {100.0f, {}},
        {0.0f, {}},
    };
    for (const auto& c : cases) {
        trace.clear();
        PlaybackSpeed = c.speed;
        Play({Move(0), Move(15), Move(16)});
        EXPECT_EQ(c.waits, Waits()) << c.speed;
    }
}

TEST_F(PlaybackLoop, EqualOrEarlierTimesPlayBackToBack) {
    Play({Move(100), Move(100), Move(50), Move(60)});
    // 50 after 100 plays at once; 60 waits from the previous record's 50
    EXPECT_EQ((Lines{"wait 10"}), Waits());
}

TEST_F(PlaybackLoop, RecordsReachTheirInjectors) {
    Play({
        {msg::KeyDown, 0xA3, 0x11D, 0, 0},                    // extended bit in the flags byte
        {msg::SysKeyUp, 'F', 0x2021, 0, 0},
        {msg::RButtonDblClk, (uint32_t)-5, (uint32_t)-7, 0, 0},
        {msg::MouseWheel, 300, (0xFF88u << 16) | 0xFFF6u, 0, 0},  // delta -120 at y = -10
        {msg::MouseWheel, 300, (120u << 16) | 700u, 0, 0},
        {0x0, 1, 2, 0, 0},                                    // unknown kind: nothing
        {msg::LButtonUp, 4, 5, 0, 0},
    });
    EXPECT_EQ((Lines{"key 256 163 29 1", "key 261 70 33 32", "mouse 518 -5 -7 0",
                     "mouse 522 300 -10 " + std::to_string((0xFF88u << 16) | 0xFFF6u),
                     "mouse 522 300 700 " + std::to_string((120u << 16) | 700u), "mouse 514 4 5 0",
                     "key 257 163 29 1", "release", "cursor", "posted"}),
              trace);
}

TEST_F(PlaybackLoop, CountedRepeatPausesBetweenPassesOnly) {
    RepeatMode = 1;
    RepeatCount = 3;
    std::vector<int> loops;
    onPlay = [&](const std::string&) { loops.push_back(GetCurrentLoop()); };
    Play({Move(0), Move(20)});
    EXPECT_EQ((Lines{"mouse 512 1 2 0", "wait 20", "mouse 512 1 2 0", "release", "wait 100",
                     "mouse 512 1 2 0", "wait 20", "mouse 512 1 2 0", "release", "wait 100",
                     "mouse 512 1 2 0", "wait 20", "mouse 512 1 2 0", "release", "cursor",
                     "posted"}),
              trace);
    EXPECT_EQ((std::vector<int>{1, 1, 2, 2, 3, 3}), loops);
}

TEST_F(PlaybackLoop, EachPassRestartsTheCountdownClock) {
    RepeatMode = 1;
    RepeatCount = 2;
    std::vector<uint32_t> starts;
    onPlay = [&](const std::string&) { starts.push_back(GetLoopStartTick()); };
    Play({Move(0), Move(40)});
    // pass 2 starts after pass 1's 40 ms gap and the 100 ms pause
    EXPECT_EQ((std::vector<uint32_t>{5000, 5000, 5140, 5140}), starts);
}

TEST_F(PlaybackLoop, NoPassesStillEndsAndNotifies) {
    for (int count : {0, -3}) {
        trace.clear();
        RepeatCount = count;
        Play({Move(0), Move(10)});
        EXPECT_EQ((Lines{"cursor", "posted"}), trace) << count;
        EXPECT_FALSE(IsPlaying());
    }
}

TEST_F(PlaybackLoop, OneEventPlaysReleasesAndEnds) {
    Play({{msg::KeyDown, 'Q', 0x10, 3000, 0}});
    EXPECT_EQ((Lines{"key 256 81 16 0", "key 257 81 16 0", "release", "cursor", "posted"}), trace);
}

TEST_F(PlaybackLoop, StopKeyHeldAtStartPlaysNothing) {
    stopKeyScript = [](int) { return 1; };
    Play({Move(0), Move(10)});
    EXPECT_EQ((Lines{"cursor", "posted"}), trace);
    EXPECT_EQ(1, run.stopRequested.load());
}

TEST_F(PlaybackLoop, StopKeySeenAfterAWaitEndsWithoutReleaseOrPause) {
    RepeatMode = 2;
    // samples: before record 0, after its (absent) wait, before record 1, after its wait
    stopKeyScript = [](int call) { return call == 3; };
    Play({Move(0), Move(10), Move(20)});
    EXPECT_EQ((Lines{"mouse 512 1 2 0", "wait 10", "cursor", "posted"}), trace);
}

// Alt and the right Windows key still held from the start: the first record
// waits for them (never releasing them), a stop key works meanwhile, and a
// stuck key is given up on after 5 s.
TEST_F(PlaybackLoop, FirstRecordWaitsForTheModifiersToComeUp) {
    const struct { uint32_t upAt, escAt; size_t waits; long plays; } cases[] = {
        {5040, ~0u, 4, 1}, {~0u, ~0u, 500, 1}, {~0u, 5100, 10, 0}};
    for (const auto& c : cases) {
        SetUp();
        desktopKeys = [&](int vk) {
            return vk == 27 ? fakeNow >= c.escAt : (vk == 0x12 || vk == 0x5C) && fakeNow < c.upAt;
        };
        Play({{msg::KeyDown, 'A', 0x1E, 0, 0}});
        EXPECT_EQ(Lines(c.waits, "wait 10"), Waits()) << c.upAt;
        EXPECT_EQ(c.plays, std::count(trace.begin(), trace.end(), "key 256 65 30 0")) << c.upAt;
    }
}

TEST_F(PlaybackLoop, StopRequestEndsAtTheNextCheck) {
    RepeatMode = 2;
    onPlay = [&](const std::string&) {
        if (trace.size() == 3) run.stopRequested.store(1);
    };
    Play({Move(0), Move(10), Move(20), Move(30)});
    EXPECT_EQ((Lines{"mouse 512 1 2 0", "wait 10", "mouse 512 1 2 0", "cursor", "posted"}), trace);
}

TEST_F(PlaybackLoop, ContinuousSwitchedOffMidPassEndsAfterThatPass) {
    RepeatMode = 2;
    RepeatCount = -1;
    int plays = 0;
    onPlay = [&](const std::string&) {
        if (++plays == 5) {  // third pass, first record: the menu switches continuous off
            RepeatMode = 0;
            RepeatCount = 1;
        }
    };
    Play({Move(0), Move(10)});
    EXPECT_EQ(6, plays);
    EXPECT_EQ(3, GetCurrentLoop());
    // continuous passes pause; the pass that saw the switch does not
    EXPECT_EQ((Lines{"wait 10", "wait 100", "wait 10", "wait 100", "wait 10"}), Waits());
    EXPECT_EQ("posted", trace.back());
}

TEST_F(PlaybackLoop, ContinuousWithACountOfOneRepeatsWithoutPauses) {
    // A hand-edited file can hold continuous mode with RepeatCount 1: the passes
    // go on, but the pause between them is left out.
    RepeatMode = 2;
    RepeatCount = 1;
    int plays = 0;
    onPlay = [&](const std::string&) {
        if (++plays == 3) run.stopRequested.store(1);
    };
    Play({Move(0)});
    EXPECT_EQ((Lines{"mouse 512 1 2 0", "release", "mouse 512 1 2 0", "release", "mouse 512 1 2 0",
                     "cursor", "posted"}),
              trace);
}

TEST_F(PlaybackLoop, SpeedChangeAppliesToTheVeryNextWait) {
    onPlay = [&](const std::string&) {
        if (trace.size() == 3) PlaybackSpeed = 4.0f;
    };
    Play({Move(0), Move(40), Move(80)});
    EXPECT_EQ((Lines{"wait 40", "wait 10"}), Waits());
}

TEST_F(PlaybackLoop, AWorkerOverTakenByALaterRunLeavesItAlone) {
    // The UI gave up on run 41 and started run 42; 41 ends late.
    run.stopRequested.store(1);
    run.events = nullptr;
    run.count = 0;
    BeginActiveRun(42, 0, 1000, 1);
    RunPlaybackWorker(&run, kHooks);
    EXPECT_TRUE(IsPlaying());
    EXPECT_EQ(42u, ActiveRunId());
    EXPECT_EQ((Lines{"cursor"}), trace);  // no end notice for someone else's playback
}

TEST_F(PlaybackLoop, AnAbandonedWorkerStillNotifiesWhenNothingElsePlays) {
    run.stopRequested.store(1);
    run.events = nullptr;
    run.count = 0;
    ClearActiveRun();
    RunPlaybackWorker(&run, kHooks);
    EXPECT_EQ((Lines{"cursor", "posted"}), trace);
}

TEST_F(PlaybackLoop, WhatAPassLeavesHeldIsReleasedLastPressedFirst) {
    Play({
        {msg::KeyDown, 0xA0, 0x2A, 0, 0},          // Shift, held to the end
        {msg::KeyDown, 'A', 0x1E, 0, 0},
        {msg::KeyUp, 'A', 0x1E, 0, 0},              // released by the macro itself
        {msg::KeyDown, 0xA3, 0x11D, 0, 0},          // right Ctrl: extended
        {msg::KeyDown, 0xA3, 0x11D, 0, 0},          // its repeat
        {msg::RButtonDown, 5, 6, 0, 0},
        {msg::MouseMove, 7, 8, 0, 0},
    });
    EXPECT_EQ((Lines{"key 256 160 42 0", "key 256 65 30 0", "key 257 65 30 0", "key 256 163 29 1",
                     "key 256 163 29 1", "mouse 516 5 6 0", "mouse 512 7 8 0",
                     "mouse 517 7 8 0", "key 257 163 29 1", "key 257 160 42 0",
                     "release", "cursor", "posted"}),
              trace);
}

TEST_F(PlaybackLoop, AStoppedPlaybackReleasesWhatItHolds) {
    RepeatMode = 2;
    onPlay = [&](const std::string& line) {
        if (line == "mouse 513 3 4 0") run.stopRequested.store(1);
    };
    Play({{msg::KeyDown, 0xA0, 0x2A, 0, 0}, {msg::LButtonDown, 3, 4, 10, 0}, {msg::KeyDown, 'B', 0x30, 20, 0}});
    // no plain left release: the macro's own press goes up through the injector
    EXPECT_EQ((Lines{"key 256 160 42 0", "wait 10", "mouse 513 3 4 0", "mouse 514 3 4 0",
                     "key 257 160 42 0", "cursor", "posted"}),
              trace);
}

TEST_F(PlaybackLoop, OnlyTheUsersPressOfAStopKeyStops) {
    // F8 is the single-key playback hotkey: a stop key. The macro types a, F8,
    // b; the desktop reports its injected F8 as down a moment after the key-up.
    UseComplexPlayback = 0;
    PlaybackHotkey = 0x77;
    int desktopF8 = 1;  // still down from the press that started the playback
    int lag = 0;
    int userPressAt = -1, reads = 0;
    onPlay = [&](const std::string& line) {
        if (line == "key 256 119 0 0") desktopF8 = 1;
        if (line == "key 257 119 0 0") lag = 2;
    };
    desktopKeys = [&](int vk) {
        if (vk != 0x77) return 0;
        ++reads;
        if (lag > 0 && --lag == 0) desktopF8 = 0;
        return userPressAt >= 0 && reads >= userPressAt ? 1 : desktopF8;
    };
    IgnoreUntilReleased(&run, 0x77);
    std::vector<MacroEvent> macro = {{msg::KeyDown, 'A', 0, 0, 0}, {msg::KeyUp, 'A', 0, 10, 0},
                                     {msg::KeyDown, 0x77, 0, 20, 0}, {msg::KeyUp, 0x77, 0, 30, 0},
                                     {msg::KeyDown, 'B', 0, 40, 0}, {msg::KeyUp, 'B', 0, 50, 0}};
    onPlay = [&, inner = onPlay](const std::string& line) {
        inner(line);
        if (line == "key 256 65 0 0") desktopF8 = 0;  // the user let go of the starting press
    };
    Play(macro);
    EXPECT_EQ("key 257 66 0 0", trace[trace.size() - 4]) << "played to its end";

    // The user's own press, once the macro's F8 has been seen up, stops it
    // before b comes up (the stop then releases b).
    trace.clear();
    run.input = HeldInputs{};
    run.stopRequested.store(0);
    reads = 0;
    lag = 0;
    desktopF8 = 0;
    userPressAt = 11;  // the check before b's key-up
    Play(macro);
    EXPECT_EQ(1, run.stopRequested.load());
    EXPECT_EQ((Lines{"key 256 66 0 0", "key 257 66 0 0", "cursor", "posted"}),
              Lines(trace.end() - 4, trace.end()));
}

int heldKeys[4];
int KeyHeld(int vk) {
    for (int k : heldKeys)
        if (k && k == vk) return 1;
    return 0;
}

TEST(PlaybackStopKeys, FollowTheHotkeySettings) {
    const struct { const char* name; int stopEnabled, complexPlay, complexRec; int held; int expected; } cases[] = {
        {"esc stops", 1, 1, 1, 27, 1},
        {"esc disabled", 0, 1, 1, 27, 0},
        {"single-key play hotkey stops", 1, 0, 1, 119, 1},
        {"combination play hotkey does not", 1, 1, 1, 119, 0},
        {"single-key record hotkey stops", 1, 1, 0, 118, 1},
        {"other keys do not", 1, 0, 0, 65, 0},
    };
    for (const auto& c : cases) {
        ResetSettingsToDefaults();
        StopHotkeyEnabled = c.stopEnabled;
        UseComplexPlayback = c.complexPlay;
        UseComplexRecord = c.complexRec;
        PlaybackHotkey = 119;
        RecordingHotkey = 118;
        heldKeys[0] = c.held;
        EXPECT_EQ(c.expected, StopKeyHeld(KeyHeld)) << c.name;
    }
    heldKeys[0] = 0;
    ResetSettingsToDefaults();
}

}  // namespace
