// The generated player's own logic, at this test's bitness: its source, as the
// generator writes it, is compiled into a DLL with SendInput, SetCursorPos,
// GetSystemMetrics, GetAsyncKeyState, Sleep and the functions it finds at run
// time replaced by stand-ins that log and answer from a scripted world. The compiler is the MinGW cross compiler of
// this test's bitness, reached through the test bench's compiler bridge.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "compile/player_stub.h"
#include "macro/macro_event.h"
#include "playback/input_synth.h"
#include "test_files.h"
#include "test_process.h"

namespace {

// What the player sees and does, shared with the DLL as text so that both
// sides lay it out alike.
#define PLAYER_WORLD                                                                            \
    typedef struct {                                                                            \
        DWORD time;                                                                             \
        DWORD type;                                                                             \
        int size;                                                                               \
        LONG dx, dy;                                                                            \
        DWORD mouseData;                                                                        \
        DWORD flags;                                                                            \
        WORD vk, scan;                                                                          \
        int cursor[2];          /* where the pointer was put */                                 \
    } SentInput;                                                                                \
    typedef struct {                                                                            \
        DWORD now;              /* ms, advanced by the player's Sleep */                        \
        DWORD userEscapeAt;     /* the user holds Esc from then on */                           \
        DWORD userCtrlAltUpAt;  /* the user holds Ctrl and Alt until then */                    \
        DWORD refusedFrom;      /* SendInput takes nothing from then on */                      \
        int escapeUpLag;        /* reads of Esc still down after an injected release */         \
        int escapeUpLagLeft;                                                                    \
        int primary[2];         /* SM_CXSCREEN, SM_CYSCREEN */                                  \
        int desktops[2][4];     /* left, top, width, height; the second from desktopChangesAt */ \
        DWORD desktopChangesAt;                                                                 \
        BYTE down[256];         /* keys, and buttons as 1, 2, 4, that the input holds down */   \
        int sentCount;                                                                          \
        SentInput sent[64];                                                                     \
        int cursor[2];                                                                          \
        /* a: DPI-aware, per monitor; p: timer kept when hidden; b, e: 1 ms timer period        \
           begun, ended; s: Sleep; i: SendInput; c: SetCursorPos */                             \
        char calls[160];                                                                        \
    } PlayerWorld;
PLAYER_WORLD
#define TEXT_OF(...) #__VA_ARGS__
#define EXPANDED_TEXT_OF(...) TEXT_OF(__VA_ARGS__)

constexpr char kHarness[] =
    "#include <windows.h>\n"
    "#include <string.h>\n" EXPANDED_TEXT_OF(PLAYER_WORLD) "\n"
    "static PlayerWorld* world;\n"
    "static UINT FakeSendInput(UINT count, LPINPUT inputs, int size);\n"
    "static int FakeGetSystemMetrics(int index);\n"
    "static SHORT FakeGetAsyncKeyState(int key);\n"
    "static void FakeSleep(DWORD ms);\n"
    "static BOOL FakeSetCursorPos(int x, int y);\n"
    "static FARPROC WINAPI FakeGetProcAddress(HMODULE module, LPCSTR name);\n"
    "#define SendInput FakeSendInput\n"
    "#define SetCursorPos FakeSetCursorPos\n"
    "#define GetProcAddress FakeGetProcAddress\n"
    "#define GetSystemMetrics FakeGetSystemMetrics\n"
    "#define GetAsyncKeyState FakeGetAsyncKeyState\n"
    "#define Sleep FakeSleep\n"
    "#include \"player.c\"\n"
    "#undef GetProcAddress\n"
    "static void Note(char call) {\n"
    "    size_t n = strlen(world->calls);\n"
    "    if (n + 1 < sizeof(world->calls)) world->calls[n] = call;\n"
    "}\n"
    "static UINT FakeSendInput(UINT count, LPINPUT inputs, int size) {\n"
    "    UINT n;\n"
    "    Note('i');\n"
    "    if (world->now >= world->refusedFrom) return 0;\n"
    "    for (n = 0; n < count && world->sentCount < 64; n++) {\n"
    "        const INPUT* in = &inputs[n];\n"
    "        SentInput* out = &world->sent[world->sentCount++];\n"
    "        out->time = world->now;\n"
    "        out->type = in->type;\n"
    "        out->size = size;\n"
    "        memcpy(out->cursor, world->cursor, sizeof(out->cursor));\n"
    "        if (in->type == INPUT_KEYBOARD) {\n"
    "            out->vk = in->ki.wVk;\n"
    "            out->scan = in->ki.wScan;\n"
    "            out->flags = in->ki.dwFlags;\n"
    "            world->down[in->ki.wVk & 0xFF] = !(in->ki.dwFlags & KEYEVENTF_KEYUP);\n"
    "            if (in->ki.wVk == VK_ESCAPE && (in->ki.dwFlags & KEYEVENTF_KEYUP))\n"
    "                world->escapeUpLagLeft = world->escapeUpLag;\n"
    "        } else {\n"
    "            DWORD f = in->mi.dwFlags;\n"
    "            out->dx = in->mi.dx;\n"
    "            out->dy = in->mi.dy;\n"
    "            out->mouseData = in->mi.mouseData;\n"
    "            out->flags = f;\n"
    "            if (f & (MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP)) world->down[1] = !(f & MOUSEEVENTF_LEFTUP);\n"
    "            if (f & (MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP)) world->down[2] = !(f & MOUSEEVENTF_RIGHTUP);\n"
    "            if (f & (MOUSEEVENTF_MIDDLEDOWN | MOUSEEVENTF_MIDDLEUP)) world->down[4] = !(f & MOUSEEVENTF_MIDDLEUP);\n"
    "        }\n"
    "    }\n"
    "    return n;\n"
    "}\n"
    "static int FakeGetSystemMetrics(int index) {\n"
    "    const int* d = world->desktops[world->now >= world->desktopChangesAt];\n"
    "    switch (index) {\n"
    "    case SM_XVIRTUALSCREEN: return d[0];\n"
    "    case SM_YVIRTUALSCREEN: return d[1];\n"
    "    case SM_CXVIRTUALSCREEN: return d[2];\n"
    "    case SM_CYVIRTUALSCREEN: return d[3];\n"
    "    case SM_CXSCREEN: return world->primary[0];\n"
    "    case SM_CYSCREEN: return world->primary[1];\n"
    "    }\n"
    "    return 0;\n"
    "}\n"
    "static SHORT FakeGetAsyncKeyState(int key) {\n"
    "    int down = world->down[key & 0xFF];\n"
    "    if (key == VK_ESCAPE && world->now >= world->userEscapeAt) down = 1;\n"
    "    if ((key == VK_CONTROL || key == VK_MENU) && world->now < world->userCtrlAltUpAt) down = 1;\n"
    "    if (key == VK_ESCAPE && world->escapeUpLagLeft > 0) {\n"
    "        world->escapeUpLagLeft--;\n"
    "        down = 1;\n"
    "    }\n"
    "    return down ? (SHORT)0x8000 : 0;\n"
    "}\n"
    "static void FakeSleep(DWORD ms) { world->now += ms; Note('s'); }\n"
    "static BOOL FakeSetCursorPos(int x, int y) { world->cursor[0] = x; world->cursor[1] = y; Note('c'); return TRUE; }\n"
    "static BOOL WINAPI FakeAwareContext(HANDLE context) { Note(context == (HANDLE)-4 ? 'a' : '?'); return TRUE; }\n"
    "static BOOL WINAPI FakeSetInformation(HANDLE h, int kind, LPVOID info, DWORD size) {\n"
    "    Note(kind == 4 && size == 12 && !memcmp(info, \"\\1\\0\\0\\0\\4\\0\\0\\0\\0\\0\\0\", 12) ? 'p' : '?'); return TRUE; }\n"
    "static UINT WINAPI FakeBeginPeriod(UINT ms) { Note(ms == 1 ? 'b' : '?'); return 0; }\n"
    "static UINT WINAPI FakeEndPeriod(UINT ms) { Note(ms == 1 ? 'e' : '?'); return 0; }\n"
    "static FARPROC WINAPI FakeGetProcAddress(HMODULE module, LPCSTR name) {\n"
    "    if (!strcmp(name, \"SetProcessDpiAwarenessContext\")) return (FARPROC)FakeAwareContext;\n"
    "    if (!strcmp(name, \"SetProcessInformation\")) return (FARPROC)FakeSetInformation;\n"
    "    if (!strcmp(name, \"timeBeginPeriod\")) return (FARPROC)FakeBeginPeriod;\n"
    "    if (!strcmp(name, \"timeEndPeriod\")) return (FARPROC)FakeEndPeriod;\n"
    "    return GetProcAddress(module, name);\n"
    "}\n"
    "__declspec(dllexport) int RunPlayer(const unsigned char* image, int size, PlayerWorld* w) {\n"
    "    if (size > (int)sizeof(g_macroData)) return 0;\n"
    "    memcpy(g_macroData, image, size);\n"
    "    world = w;\n"
    "    WinMain(GetModuleHandleA(NULL), NULL, (LPSTR)\"\", SW_SHOWNORMAL);\n"
    "    return 1;\n"
    "}\n";

typedef int (*RunPlayerFn)(const unsigned char* image, int size, PlayerWorld* world);

// The generated source is built once, from a recording of this many empty
// events; each case copies its own macro over that data before it runs.
constexpr int kRoomEvents = 32;
constexpr DWORD kNever = 0xFFFFFFFF;

std::vector<unsigned char> Image(const std::vector<MacroEvent>& events) {
    std::vector<unsigned char> bytes(4 + events.size() * sizeof(MacroEvent));
    const int32_t count = static_cast<int32_t>(events.size());
    memcpy(bytes.data(), &count, 4);
    if (!events.empty()) memcpy(bytes.data() + 4, events.data(), events.size() * sizeof(MacroEvent));
    return bytes;
}

// Runs the compiler bridge on `arguments` with the cross compiler of this
// build's bitness; its exit code, or -1.
int RunCrossCompiler(const std::string& arguments) {
    const char* script = sizeof(void*) == 8 ? "exec x86_64-w64-mingw32-gcc \"$@\"" : "exec i686-w64-mingw32-gcc \"$@\"";
    SetEnvironmentVariableA("QUORREL_TEST_GCC_SCRIPT", script);
    const int code = RunToEnd(TestsDir() + "test_gcc.exe", arguments, 120000);
    SetEnvironmentVariableA("QUORREL_TEST_GCC_SCRIPT", nullptr);
    return code;
}

class PlayerLogicTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char temp[MAX_PATH], name[64];
        GetTempPathA(MAX_PATH, temp);
        wsprintfA(name, "quorrel_player_%lu_%lu\\", GetCurrentProcessId(), GetTickCount());
        dir_ = std::string(temp) + name;
        CreateDirectoryA(dir_.c_str(), nullptr);
        const std::vector<unsigned char> room = Image(std::vector<MacroEvent>(kRoomEvents, MacroEvent{0, 0, 0, 0, 0}));
        if (!WriteBytes(dir_ + "room.rec", room.data(), room.size()) ||
            !WritePlayerStub((dir_ + "room.rec").c_str(), (dir_ + "player.c").c_str(), nullptr) ||
            !WriteBytes(dir_ + "harness.c", kHarness, sizeof(kHarness) - 1)) {
            problem_ = "cannot write the player source in " + dir_;
            return;
        }
        const int code = RunCrossCompiler("-Werror -shared -static-libgcc -o \"" + dir_ + "player.dll\" \"" + dir_ +
                                          "harness.c\" -luser32");
        if (code != 0) {
            problem_ = "the player source did not build (exit code " + std::to_string(code) + ")";
            return;
        }
        module_ = LoadLibraryA((dir_ + "player.dll").c_str());
        run_ = module_ ? reinterpret_cast<RunPlayerFn>(reinterpret_cast<void*>(GetProcAddress(module_, "RunPlayer")))
                       : nullptr;
        if (!run_) problem_ = "no RunPlayer in " + dir_ + "player.dll";
    }
    static void TearDownTestSuite() {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
        for (const char* file : {"room.rec", "player.c", "harness.c", "player.dll"}) DeleteFileA((dir_ + file).c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    void SetUp() override {
        ASSERT_EQ(problem_, "");
        world_ = PlayerWorld();
        world_.userEscapeAt = kNever;
        world_.refusedFrom = kNever;
        world_.primary[0] = 1920;
        world_.primary[1] = 1080;
        const int single[4] = {0, 0, 1920, 1080};
        memcpy(world_.desktops[0], single, sizeof(single));
        memcpy(world_.desktops[1], single, sizeof(single));
        world_.desktopChangesAt = kNever;
    }
    void Play(const std::vector<MacroEvent>& events) {
        ASSERT_LE(events.size(), static_cast<size_t>(kRoomEvents));
        const std::vector<unsigned char> image = Image(events);
        ASSERT_EQ(run_(image.data(), static_cast<int>(image.size()), &world_), 1);
        for (int i = 0; i < world_.sentCount; ++i) ASSERT_EQ(world_.sent[i].size, static_cast<int>(sizeof(INPUT)));
    }
    // The keyboard inputs sent, as "A0/2A down", "A3/1D ext up".
    std::vector<std::string> Keys() const {
        std::vector<std::string> keys;
        for (int i = 0; i < world_.sentCount; ++i) {
            const SentInput& s = world_.sent[i];
            if (s.type != INPUT_KEYBOARD) continue;
            char text[32];
            wsprintfA(text, "%02X/%02X%s %s", s.vk, s.scan, (s.flags & KEYEVENTF_EXTENDEDKEY) ? " ext" : "",
                      (s.flags & KEYEVENTF_KEYUP) ? "up" : "down");
            keys.push_back(text);
        }
        return keys;
    }
    std::vector<int> Held() const {
        std::vector<int> held;
        for (int vk = 0; vk < 256; ++vk)
            if (world_.down[vk]) held.push_back(vk);
        return held;
    }
    static std::string dir_;
    static std::string problem_;
    static HMODULE module_;
    static RunPlayerFn run_;
    PlayerWorld world_;
};

std::string PlayerLogicTest::dir_;
std::string PlayerLogicTest::problem_;
HMODULE PlayerLogicTest::module_;
RunPlayerFn PlayerLogicTest::run_;

// Shift (pressed three times over, as a held key repeats), right Ctrl and the
// left button stay down when the user stops at 500 ms, and when the macro ends.
TEST_F(PlayerLogicTest, StopOrEndReleasesWhatTheMacroHoldsLastPressedFirst) {
    const std::vector<MacroEvent> events = {
        {0x100, VK_LSHIFT, 0x2A, 0, 0},
        {0x100, VK_LSHIFT, 0x2A, 30, 0},
        {0x100, VK_RCONTROL, 0x11D, 60, 0},
        {0x100, VK_LSHIFT, 0x2A, 90, 0},
        {0x100, 'A', 0x1E, 100, 0},
        {0x200, 300, 200, 110, 0},
        {0x201, 300, 200, 120, 0},
        {0x200, 400, 250, 130, 0},
        {0x101, 'A', 0xC01E, 140, 0},
        {0x100, 'B', 0x30, 1000, 0},
        {0x101, 'B', 0xC030, 1010, 0},
    };
    const std::vector<std::string> pressed = {"A0/2A down", "A0/2A down", "A3/1D ext down", "A0/2A down",
                                              "41/1E down", "41/1E up"};
    const std::vector<std::string> released = {"A3/1D ext up", "A0/2A up"};

    // The user presses Esc just after 'A' goes up, inside the gap before 'B';
    // the player looks again when the gap ends and sends no 'B'.
    world_.userEscapeAt = 500 + 141;
    Play(events);
    std::vector<std::string> expected = pressed;
    expected.insert(expected.end(), released.begin(), released.end());
    EXPECT_EQ(Keys(), expected);
    ASSERT_GE(world_.sentCount, 3);
    // The button went up after the macro's last input and before the keys,
    // with no move: where the pointer is.
    const SentInput& button = world_.sent[world_.sentCount - 3];
    EXPECT_EQ(button.type, static_cast<DWORD>(INPUT_MOUSE));
    EXPECT_TRUE(button.flags & MOUSEEVENTF_LEFTUP) << std::hex << button.flags;
    EXPECT_FALSE(button.flags & MOUSEEVENTF_MOVE) << std::hex << button.flags;
    EXPECT_EQ(Held(), std::vector<int>{});
    // The 1 ms timer period covers the whole run, the stopped one too.
    EXPECT_EQ(std::string(world_.calls).substr(0, 4), "apbs");
    EXPECT_EQ(std::string(world_.calls).back(), 'e');

    SetUp();
    Play(events);
    expected = pressed;
    expected.insert(expected.end(), {"42/30 down", "42/30 up"});
    expected.insert(expected.end(), released.begin(), released.end());
    EXPECT_EQ(Keys(), expected);
    EXPECT_TRUE(world_.sent[world_.sentCount - 3].flags & MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(Held(), std::vector<int>{});
}

// Ctrl+Alt of the shortcut key that started the player, held past its lead-in:
// the first record waits for them; then the desktop locks and nothing more goes
// out, the macro's Shift going up as far as the system lets it.
TEST_F(PlayerLogicTest, WaitsForTheShortcutsKeysAndEndsOnRefusedInput) {
    world_.userCtrlAltUpAt = 1200;
    world_.refusedFrom = 1200 + 500;
    Play({{0x100, VK_LSHIFT, 0x2A, 0, 0}, {0x100, 'A', 0x1E, 10, 0}, {0x100, 'B', 0x30, 1000, 0}});
    EXPECT_EQ(Keys(), (std::vector<std::string>{"A0/2A down", "41/1E down"}));
    EXPECT_EQ(world_.sent[0].time, 1200u);
    EXPECT_EQ(std::string(world_.calls).substr(strlen(world_.calls) - 5), "siiie") << "B refused, then A and Shift";
}

// The macro's own Esc, held and then still reported down once after its
// release, does not stop the player; the user's Esc afterwards does.
TEST_F(PlayerLogicTest, EscInTheMacroIsNotAStopButTheUsersIs) {
    const std::vector<MacroEvent> events = {
        {0x100, 'C', 0x2E, 0, 0},
        {0x100, VK_ESCAPE, 0x01, 100, 0},
        {0x100, VK_ESCAPE, 0x01, 200, 0},
        {0x101, VK_ESCAPE, 0xC001, 300, 0},
        {0x101, 'C', 0xC02E, 400, 0},
        {0x100, 'D', 0x20, 500, 0},
        {0x101, 'D', 0xC020, 600, 0},
        {0x100, 'E', 0x12, 700, 0},
        {0x101, 'E', 0xC012, 710, 0},
    };
    world_.escapeUpLag = 1;
    world_.userEscapeAt = 500 + 600;  // as 'D' goes up
    Play(events);
    EXPECT_EQ(Keys(), (std::vector<std::string>{"43/2E down", "1B/01 down", "1B/01 down", "1B/01 up", "43/2E up",
                                                "44/20 down", "44/20 up"}));
    EXPECT_EQ(Held(), std::vector<int>{});
}

// A second monitor left of and above the primary one, then a desktop that
// reports no size: moves are placed as the program's playback places them.
TEST_F(PlayerLogicTest, MovesArePlacedOnTheVirtualDesktopReadForEachEvent) {
    const int offset[4] = {-1280, -300, 3200, 1380};
    memcpy(world_.desktops[0], offset, sizeof(offset));
    memset(world_.desktops[1], 0, sizeof(world_.desktops[1]));
    world_.desktopChangesAt = 500 + 100;
    const struct {
        int32_t x, y;
    } moves[] = {{0, 0}, {1919, 1079}, {-1280, -300}, {-1500, -400}, {40000, 30000}};
    std::vector<MacroEvent> events;
    for (const auto& m : moves) events.push_back({0x200, static_cast<uint32_t>(m.x), static_cast<uint32_t>(m.y), 0, 0});
    events.push_back({0x201, 10, 10, 0, 0});
    events.push_back({0x202, 10, 10, 0, 0});
    events.push_back({0x20A, 10, (0xFF88u << 16) | 0xFFECu, 0, 0});  // y -20: above the primary monitor
    events.push_back({0x200, 500, 500, 100, 0});  // on the desktop with no size
    Play(events);
    ASSERT_EQ(world_.sentCount, static_cast<int>(events.size()));
    for (size_t i = 0; i < sizeof(moves) / sizeof(moves[0]); ++i) {
        const SentInput& s = world_.sent[i];
        EXPECT_EQ(s.dx, NormaliseCoordinate(moves[i].x, offset[0], offset[2])) << i;
        EXPECT_EQ(s.dy, NormaliseCoordinate(moves[i].y, offset[1], offset[3])) << i;
        EXPECT_EQ(s.flags, static_cast<DWORD>(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK)) << i;
    }
    EXPECT_EQ(world_.sent[0].dx, 26215);  // the primary screen's left edge, 1280 of 3200 pixels in
    // Buttons and the wheel act where the pointer was put, and only they put it.
    for (int i = 5; i < 8; ++i) {
        EXPECT_FALSE(world_.sent[i].flags & MOUSEEVENTF_MOVE) << i;
        EXPECT_EQ(world_.sent[i].cursor[0], 10) << i;
        EXPECT_EQ(world_.sent[i].cursor[1], i < 7 ? 10 : -20) << i;
    }
    // Aware of the real pixels before any input, the timer period around the run.
    EXPECT_STREQ(world_.calls, "apbsiiiiicicicisie");
    EXPECT_EQ(static_cast<LONG>(world_.sent[7].mouseData), -120);
    const SentInput& last = world_.sent[8];
    EXPECT_EQ(last.dx, 0);
    EXPECT_EQ(last.dy, 0);
    EXPECT_TRUE(last.flags & MOUSEEVENTF_MOVE);
}

}  // namespace
