// The shell's decisions against a fake front end that records each call: the
// refusals, the order of dialog, save, build and clean-up, the three ways a
// .rec is loaded and the two ways recording is toggled.
#include "app/commands.h"
#include "app/hotkeys.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "macro/macro_buffer.h"
#include "playback/playback_loop.h"
#include "settings/settings.h"

namespace {

std::vector<std::string> calls;
const char* chosenPath;  // what the dialogs return (null: cancelled)
int recording, saveWorks = 1, loadCount;
StopGesture lastStop;

char* Copy(const char* text) { return text ? strcpy((char*)malloc(strlen(text) + 1), text) : nullptr; }
void Box(const char* text, const char* caption, BoxKind) { calls.push_back(std::string("box ") + caption + ": " + text); }
char* ChooseRec(int forSave) {
    calls.push_back(forSave ? "save dialog" : "open dialog");
    return Copy(chosenPath);
}
char* ChooseExe() {
    calls.push_back("exe dialog");
    return Copy(chosenPath);
}
void Repaint(int id) { calls.push_back("repaint " + std::to_string(id)); }
void ButtonText(int id, const char* text) { calls.push_back("text " + std::to_string(id) + " " + text); }
int IsRec(intptr_t origin) { return origin == 0x1234; }
void Prefs() { calls.push_back("prefs menu"); }
MacroEvent* Load(const char* path, int* count) {
    calls.push_back(std::string("load ") + path);
    if (!loadCount) return nullptr;
    *count = loadCount;
    return (MacroEvent*)calloc((size_t)loadCount, sizeof(MacroEvent));
}
int Save(const char* path, const MacroEvent*, int count) {
    calls.push_back(std::string("save ") + path + " " + std::to_string(count));
    return saveWorks;
}
int Temp(const char* name, char* out, size_t size) {
    snprintf(out, size, "T:\\%s", name);
    return 1;
}
void Build(const char* rec, const char* exe) { calls.push_back(std::string("build ") + rec + " -> " + exe); }
void Remove(const char* path) { calls.push_back(std::string("delete ") + path); }
int StartRec() {
    calls.push_back("start recording");
    return recording = 1;
}
int StopRec(const StopGesture& how) {
    calls.push_back("stop recording");
    lastStop = how;
    recording = 0;
    return 1;
}
int IsRecordingNow() { return recording; }
int StartPlay(const MacroEvent*, int count, int startKey) {
    calls.push_back("play " + std::to_string(count) + (startKey ? " sparing " + std::to_string(startKey) : ""));
    return 1;
}
int StopPlay() { return 1; }

const ShellServices kFake = {Box, ChooseRec, ChooseExe, Repaint, ButtonText, IsRec, Prefs, Load, Save,
                             Temp, Build, Remove, StartRec, StopRec, IsRecordingNow, StartPlay, StopPlay};

using Calls = std::vector<std::string>;

class Commands : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        chosenPath = "C:\\m.rec";
        recording = 0;
        saveWorks = 1;
        loadCount = 0;
        ClearBuffer();
        SetLoadedMacro(nullptr, 0);
        ResetSettingsToDefaults();
    }
    void TearDown() override {
        ClearActiveRun();
        ClearBuffer();
        SetLoadedMacro(nullptr, 0);
    }
    static void GiveWorkingMacro(int n) {
        std::vector<MacroEvent> events((size_t)n, MacroEvent{0x200, 1, 2, 0, 0});
        AssignEvents(events.data(), n);
    }
};

TEST_F(Commands, RefusalsComeBeforeAnyDialog) {
    BeginActiveRun(7, 0, 1000, 1);  // a playback is reading a macro
    RunToolbarCommand(kFake, CMD_OPEN, 0);
    ClearActiveRun();
    RunToolbarCommand(kFake, CMD_SAVE, 0);
    RunToolbarCommand(kFake, CMD_PLAY, 0);
    GiveWorkingMacro(2);
    recording = 1;
    RunToolbarCommand(kFake, CMD_COMPILE, 0);
    RunToolbarCommand(kFake, CMD_PLAY, 0);
    EXPECT_EQ((Calls{"box Open: Cannot open while playing!", "box Save: No events to save!\nRecord a macro first.",
                     "box Play: No events to play!\nRecord or open a macro first.",
                     "box Compile: Cannot compile while recording!", "box Play: Cannot play while recording!"}),
              calls);
}

TEST_F(Commands, CompileSavesATemporaryRecBuildsReportsAndCleansUp) {
    GiveWorkingMacro(3);
    chosenPath = "C:\\p.exe";
    RunToolbarCommand(kFake, CMD_COMPILE, 0);
    EXPECT_EQ((Calls{"exe dialog", "save T:\\quorrel_compile.rec 3", "build T:\\quorrel_compile.rec -> C:\\p.exe",
                     "delete T:\\quorrel_compile.rec"}),
              calls);
    calls.clear();
    saveWorks = 0;  // a failed write leaves no partial file and builds nothing
    RunToolbarCommand(kFake, CMD_COMPILE, 0);
    EXPECT_EQ((Calls{"exe dialog", "save T:\\quorrel_compile.rec 3", "delete T:\\quorrel_compile.rec",
                     "box Error: Failed to save temporary file!"}),
              calls);
}

TEST_F(Commands, ARecIsLoadedThreeWaysWithTheirOwnWords) {
    loadCount = 4;
    RunToolbarCommand(kFake, CMD_OPEN, 0);
    EXPECT_EQ(nullptr, GetEvents(nullptr)) << "Open fills the loaded macro";
    EXPECT_EQ(1, LoadRecordingFile(kFake, "C:\\a.rec", LoadInto::LoadedMacro, LoadReport::StartUp));
    OpenIntoWorkingMacro(kFake);
    EXPECT_EQ(4, GetEventCount()) << "the O key fills the working macro";
    loadCount = 0;
    RunToolbarCommand(kFake, CMD_OPEN, 0);
    EXPECT_EQ(0, LoadRecordingFile(kFake, "C:\\b.rec", LoadInto::LoadedMacro, LoadReport::StartUp));
    OpenIntoWorkingMacro(kFake);
    EXPECT_EQ((Calls{"open dialog", "load C:\\m.rec", "box Open: Loaded 4 events from:\nC:\\m.rec",
                     "load C:\\a.rec",
                     "box Quorrel - File Loaded: Auto-loaded 4 events from:\nC:\\a.rec\n\nPress Ctrl+Shift+Alt+P to play.",
                     "open dialog", "load C:\\m.rec",
                     "open dialog", "load C:\\m.rec", "box Error: Failed to load file!\nFile may be corrupted or invalid.",
                     "load C:\\b.rec",
                     "box Quorrel - Load Error: Failed to load file:\nC:\\b.rec\n\nFile may be corrupted or invalid.",
                     "open dialog", "load C:\\m.rec"}),
              calls);
}

TEST_F(Commands, RecordingTogglesByCommandWithBoxesAndByHotkeySilently) {
    RunToolbarCommand(kFake, CMD_RECORD, 0x1234);
    RunToolbarCommand(kFake, CMD_RECORD, 0x1234);
    EXPECT_EQ(StopSource::RecButton, lastStop.source);
    StopGesture hotkey = {StopSource::Hotkey, 'R', 7};
    ToggleRecordingByHotkey(kFake, hotkey);
    ToggleRecordingByHotkey(kFake, hotkey);
    EXPECT_EQ(StopSource::Hotkey, lastStop.source);
    EXPECT_EQ((Calls{"start recording", "repaint 1003", "stop recording", "repaint 1003",
                     "box Record: Recording stopped.\n0 events captured.", "start recording", "text 1003 Stop",
                     "stop recording", "text 1003 Record"}),
              calls);
    // What stopped it travels with the command's origin.
    const struct { intptr_t origin; StopSource source; uint32_t key; } origins[] = {
        {CMD_ORIGIN_STOP_KEY, StopSource::StopKey, 27}, {CMD_ORIGIN_WINDOW_KEY, StopSource::WindowKey, 0},
        {0x1234, StopSource::RecButton, 0}, {0, StopSource::Other, 0}, {0x999, StopSource::Other, 0}};
    for (const auto& o : origins) {
        recording = 1;
        RunToolbarCommand(kFake, CMD_RECORD, o.origin);
        EXPECT_EQ(o.source, lastStop.source) << o.origin;
        EXPECT_EQ(o.key, lastStop.key) << o.origin;
    }
}

}  // namespace

namespace {

TEST_F(Commands, ThePlaybackHotkeyOnlyStartsAndSparesItsOwnPress) {
    PlayByHotkey(kFake);  // nothing to play: silent
    GiveWorkingMacro(2);
    recording = 1;
    PlayByHotkey(kFake);  // refused while recording: silent
    recording = 0;
    PlayByHotkey(kFake);
    ClearActiveRun();
    UseComplexPlayback = 0;  // F8 alone: its own press must not stop the playback it starts
    PlaybackHotkey = 0x77;
    PlayByHotkey(kFake);
    EXPECT_EQ((Calls{"play 2", "text 1004 Stop", "play 2 sparing 119", "text 1004 Stop"}), calls);
}

TEST(HotkeyChoice, ASingleKeyFallsBackToTheBareKeyAsAFailure) {
    HotkeyAttempt a[2];
    ASSERT_EQ(1, PlanHotkeyChoice(1, 'R', 0x77, 2, a));
    EXPECT_EQ(7u, a[0].modifiers);
    EXPECT_EQ((uint32_t)'R', a[0].key);
    ASSERT_EQ(2, PlanHotkeyChoice(0, 'R', 0x77, 2, a));  // F8: function keys take no modifiers
    EXPECT_EQ(0u, a[0].modifiers);
    ASSERT_EQ(2, PlanHotkeyChoice(0, 'R', 'K', 2, a));
    EXPECT_EQ(2u, a[0].modifiers);
    EXPECT_EQ(1, a[0].counts);
    EXPECT_EQ(0u, a[1].modifiers);
    EXPECT_EQ((uint32_t)'K', a[1].key);
    EXPECT_EQ(0, a[1].counts);
}

}  // namespace
