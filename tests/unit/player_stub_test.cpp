// The player source generated from a recording: the embedded data layout, the
// fixed replay code around it, and the refusals that must leave no stub behind.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "compile/player_stub.h"
#include "macro/macro_event.h"

namespace {

class PlayerStubTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/comp_stub_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        recPath_ = dir_ + "/in.rec";
        stubPath_ = dir_ + "/out.c";
    }
    void TearDown() override {
        unlink(recPath_.c_str());
        unlink(stubPath_.c_str());
        rmdir(dir_.c_str());
    }
    void WriteBytes(const std::vector<unsigned char>& bytes) {
        FILE* f = fopen(recPath_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        if (!bytes.empty()) {
            ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
        }
        fclose(f);
    }
    std::string ReadStub() {
        std::string text;
        FILE* f = fopen(stubPath_.c_str(), "rb");
        if (!f) return text;
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), f)) > 0) text.append(buf, n);
        fclose(f);
        return text;
    }
    bool StubExists() {
        struct stat st;
        return stat(stubPath_.c_str(), &st) == 0;
    }
    std::string dir_, recPath_, stubPath_;
};

std::vector<unsigned char> Image(const std::vector<MacroEvent>& events) {
    std::vector<unsigned char> bytes(4 + events.size() * sizeof(MacroEvent));
    int32_t count = static_cast<int32_t>(events.size());
    memcpy(bytes.data(), &count, 4);
    if (!events.empty()) memcpy(bytes.data() + 4, events.data(), events.size() * sizeof(MacroEvent));
    return bytes;
}

constexpr char kHeader[] =
    "/* Auto-generated Quorrel Player */\n#include <windows.h>\n\nstatic unsigned char g_macroData[] = {\n    ";

// The part of the stub from the data array's first byte to the end of the size line.
std::string DataSection(const std::string& stub) {
    if (stub.compare(0, sizeof(kHeader) - 1, kHeader) != 0) return "<bad header>";
    size_t end = stub.find("static UINT SimulateMouse");
    if (end == std::string::npos) return "<no SimulateMouse>";
    return stub.substr(sizeof(kHeader) - 1, end - (sizeof(kHeader) - 1));
}

TEST_F(PlayerStubTest, OneEventEmbedsTwentyFourBytesOnAFullLineAndAShortOne) {
    // count 1, then {0x100 'A' scan 0x1E, time 10, hwnd 0}
    WriteBytes(Image({{0x100, 0x41, 0x1E, 10, 0}}));
    int count = -1;
    ASSERT_EQ(WritePlayerStub(recPath_.c_str(), stubPath_.c_str(), &count), 1);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(DataSection(ReadStub()),
              "0x01,0x00,0x00,0x00,0x00,0x01,0x00,0x00,0x41,0x00,0x00,0x00,0x1E,0x00,0x00,0x00,\n"
              "    0x0A,0x00,0x00,0x00,0x00,0x00,0x00,0x00\n"
              "};\n"
              "\n"
              "static int g_dataSize = 24;\n"
              "\n");
}

TEST_F(PlayerStubTest, ThreeEventsFillFourLinesWithNoTrailingCommaOrEmptyLine) {
    WriteBytes(Image({{0x200, 0x1234, 0xABCD, 0, 0},
                      {0x20A, 100, 0xFF880032u, 0xFFFFFFFFu, 0},
                      {0x101, 0x0A, 0x01C0, 0x7F, 0x10203040}}));
    ASSERT_EQ(WritePlayerStub(recPath_.c_str(), stubPath_.c_str(), nullptr), 1);
    EXPECT_EQ(DataSection(ReadStub()),
              "0x03,0x00,0x00,0x00,0x00,0x02,0x00,0x00,0x34,0x12,0x00,0x00,0xCD,0xAB,0x00,0x00,\n"
              "    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x0A,0x02,0x00,0x00,0x64,0x00,0x00,0x00,\n"
              "    0x32,0x00,0x88,0xFF,0xFF,0xFF,0xFF,0xFF,0x00,0x00,0x00,0x00,0x01,0x01,0x00,0x00,\n"
              "    0x0A,0x00,0x00,0x00,0xC0,0x01,0x00,0x00,0x7F,0x00,0x00,0x00,0x40,0x30,0x20,0x10\n"
              "};\n"
              "\n"
              "static int g_dataSize = 64;\n"
              "\n");
}

TEST_F(PlayerStubTest, EveryByteValuePrintsAsTwoUpperCaseDigits) {
    // 13 records carry 260 arbitrary bytes: all 256 values appear after the count.
    std::vector<unsigned char> bytes(4 + 13 * 20);
    int32_t count = 13;
    memcpy(bytes.data(), &count, 4);
    for (size_t i = 4; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i - 4);
    WriteBytes(bytes);
    ASSERT_EQ(WritePlayerStub(recPath_.c_str(), stubPath_.c_str(), nullptr), 1);
    std::string data = DataSection(ReadStub());
    // Parse back what was written and check it is the file, byte for byte.
    std::vector<unsigned char> parsed;
    size_t pos = 0;
    while ((pos = data.find("0x", pos)) != std::string::npos) {
        std::string digits = data.substr(pos + 2, 2);
        for (char c : digits) ASSERT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << digits;
        parsed.push_back(static_cast<unsigned char>(strtoul(digits.c_str(), nullptr, 16)));
        pos += 4;
    }
    EXPECT_EQ(parsed, bytes);
    // Lines break after every sixteenth byte of the file, counting the count field.
    EXPECT_NE(data.find("0x9F,0xA0,0xA1,0xA2"), std::string::npos);
    EXPECT_NE(data.find("0xFB,\n    0xFC,"), std::string::npos);  // file offsets 255 and 256
}

TEST_F(PlayerStubTest, BytesAfterTheLastRecordAreIgnored) {
    std::vector<unsigned char> bytes = Image({{0x201, 10, 20, 5, 0}, {0x202, 10, 20, 9, 0}});
    WriteBytes(bytes);
    ASSERT_EQ(WritePlayerStub(recPath_.c_str(), stubPath_.c_str(), nullptr), 1);
    const std::string plain = ReadStub();
    bytes.insert(bytes.end(), {0xDE, 0xAD, 0xBE, 0xEF, 0x01});
    WriteBytes(bytes);
    ASSERT_EQ(WritePlayerStub(recPath_.c_str(), stubPath_.c_str(), nullptr), 1);
    EXPECT_EQ(ReadStub(), plain);
}

TEST_F(PlayerStubTest, ReplayCodeFollowsTheDataWithItsDeclarations) {
    WriteBytes(Image({{0x100, 0x41, 0x1E, 10, 0}}));
    ASSERT_EQ(WritePlayerStub(recPath_.c_str(), stubPath_.c_str(), nullptr), 1);
    const std::string stub = ReadStub();
    const size_t mouse = stub.find("static int g_dataSize = 24;\n\nstatic UINT SimulateMouse(UINT msg, int x, int y, DWORD extra) {\n");
    const size_t key = stub.find("}\n\nstatic UINT SimulateKey(UINT msg, UINT vk, UINT scan, UINT flags) {\n");
    const size_t main = stub.find("}\n\nint WINAPI WinMain(HINSTANCE h, HINSTANCE p, LPSTR c, int s) {\n");
    ASSERT_NE(mouse, std::string::npos);
    ASSERT_NE(key, std::string::npos);
    ASSERT_NE(main, std::string::npos);
    EXPECT_LT(mouse, key);
    EXPECT_LT(key, main);
    EXPECT_NE(stub.find("Sleep(500); /* Brief delay before playback */\n", main), std::string::npos);
    // Nothing at the top level besides the three functions: a player's state
    // lives in WinMain.
    size_t lineStart = stub.find("{\n", mouse) + 2;
    for (size_t end; (end = stub.find('\n', lineStart)) != std::string::npos; lineStart = end + 1) {
        const std::string line = stub.substr(lineStart, end - lineStart);
        if (line.empty() || line[0] == ' ' || line == "}") continue;
        EXPECT_TRUE(line.rfind("static UINT SimulateKey(", 0) == 0 || line.rfind("int WINAPI WinMain(", 0) == 0)
            << line;
    }
    EXPECT_EQ(stub.find('\t'), std::string::npos);
    EXPECT_EQ(stub.find('\r'), std::string::npos);  // the stream adds CR on Windows, never us
    ASSERT_GE(stub.size(), 3u);
    EXPECT_EQ(stub.substr(stub.size() - 3), "\n}\n");
}

struct Refusal {
    const char* name;
    std::vector<unsigned char> bytes;
    int expectedCount;  // what the count place holds afterwards (-1: untouched)
};

TEST_F(PlayerStubTest, BadRecordingsAreRefusedBeforeTheStubIsTouched) {
    std::vector<unsigned char> truncated = Image({{0x100, 1, 2, 3, 0}, {0x101, 1, 2, 4, 0}});
    truncated.pop_back();  // ends inside its last record
    const Refusal cases[] = {
        {"empty file", {}, -1},
        {"three bytes", {1, 0, 0}, -1},
        {"count zero", {0, 0, 0, 0}, -1},
        {"count minus one", {0xFF, 0xFF, 0xFF, 0xFF}, -1},
        {"count most negative", {0x00, 0x00, 0x00, 0x80}, -1},
        {"count too large for the size", {0x00, 0x00, 0x00, 0x7F}, -1},
        {"count header only", {2, 0, 0, 0}, 2},
        {"ends inside last record", truncated, 2},
    };
    for (const Refusal& c : cases) {
        WriteBytes(c.bytes);
        FILE* old = fopen(stubPath_.c_str(), "w");
        ASSERT_NE(old, nullptr);
        fputs("previous", old);
        fclose(old);
        int count = -1;
        EXPECT_EQ(WritePlayerStub(recPath_.c_str(), stubPath_.c_str(), &count), 0) << c.name;
        EXPECT_EQ(count, c.expectedCount) << c.name;
        EXPECT_EQ(ReadStub(), "previous") << c.name;
        unlink(stubPath_.c_str());
        EXPECT_EQ(WritePlayerStub(recPath_.c_str(), stubPath_.c_str(), nullptr), 0) << c.name;
        EXPECT_FALSE(StubExists()) << c.name;
    }
}

TEST_F(PlayerStubTest, MissingRecordingOrUnwritableStubFails) {
    EXPECT_EQ(WritePlayerStub((dir_ + "/absent.rec").c_str(), stubPath_.c_str(), nullptr), 0);
    EXPECT_FALSE(StubExists());
    WriteBytes(Image({{0x100, 0x41, 0x1E, 10, 0}}));
    int count = 0;
    EXPECT_EQ(WritePlayerStub(recPath_.c_str(), (dir_ + "/no/such/dir/out.c").c_str(), &count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(WritePlayerStub(nullptr, stubPath_.c_str(), nullptr), 0);
    EXPECT_EQ(WritePlayerStub(recPath_.c_str(), nullptr, nullptr), 0);
}

TEST_F(PlayerStubTest, LargeRecordingIsEmbeddedWhole) {
    // Large enough to cross many internal write chunks.
    std::vector<MacroEvent> events(50000);
    for (size_t i = 0; i < events.size(); ++i)
        events[i] = {0x200, static_cast<uint32_t>(i * 7), static_cast<uint32_t>(i * 13), static_cast<uint32_t>(i), 0};
    const std::vector<unsigned char> bytes = Image(events);
    WriteBytes(bytes);
    int count = 0;
    ASSERT_EQ(WritePlayerStub(recPath_.c_str(), stubPath_.c_str(), &count), 1);
    EXPECT_EQ(count, 50000);
    const std::string data = DataSection(ReadStub());
    // 1,000,004 bytes: 62,500 full lines and a last line of 4.
    const size_t lines = 1000004 / 16;
    EXPECT_EQ(data.size(), 1000004 * 5 - 1 + lines * 5 + strlen("\n};\n\nstatic int g_dataSize = 1000004;\n\n"));
    char last[64];
    snprintf(last, sizeof(last), "0x%02X,0x%02X,0x%02X,0x%02X\n};\n", bytes[1000000], bytes[1000001], bytes[1000002],
             bytes[1000003]);
    EXPECT_NE(data.find(std::string("\n    ") + last), std::string::npos);
}

// The generated source compiles with the options the build uses, when the
// cross compiler is installed on this machine.
TEST_F(PlayerStubTest, GeneratedSourceCompilesForWindows) {
    if (system("command -v i686-w64-mingw32-gcc >/dev/null 2>&1") != 0) GTEST_SKIP() << "no cross compiler";
    WriteBytes(Image({{0x200, 10, 20, 0, 0}, {0x20A, 10, 0xFF880014u, 5, 0}, {0x100, 0x41, 0x11E, 9, 0}}));
    ASSERT_EQ(WritePlayerStub(recPath_.c_str(), stubPath_.c_str(), nullptr), 1);
    const std::string exe = dir_ + "/player.exe";
    const std::string cmd = "i686-w64-mingw32-gcc -Werror \"" + stubPath_ + "\" -o \"" + exe +
                            "\" -mwindows -s -Os -luser32 2>&1";
    EXPECT_EQ(system(cmd.c_str()), 0);
    struct stat st;
    EXPECT_EQ(stat(exe.c_str(), &st), 0);
    unlink(exe.c_str());
}

}  // namespace
