// .rec files on a real (Wine) file system: byte layout, validation, replacement.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "macro/macro_buffer.h"
#include "macro/rec_file_win.h"

namespace {

class RecFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        dir = std::string(temp) + "qrec_" + info->name();
        CreateDirectoryA(dir.c_str(), nullptr);
    }
    void TearDown() override {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::string name = data.cFileName;
                if (name == "." || name == "..") continue;
                std::string full = dir + "\\" + name;
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveDirectoryA(full.c_str());
                else
                    DeleteFileA(full.c_str());
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
        RemoveDirectoryA(dir.c_str());
    }
    std::string Path(const char* name) const { return dir + "\\" + name; }

    static void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        if (!bytes.empty()) WriteFile(f, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
        CloseHandle(f);
    }
    static std::vector<unsigned char> ReadBytes(const std::string& path) {
        std::vector<unsigned char> bytes;
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        if (f == INVALID_HANDLE_VALUE) return bytes;
        DWORD size = GetFileSize(f, nullptr), got = 0;
        bytes.resize(size);
        if (size) ReadFile(f, bytes.data(), size, &got, nullptr);
        CloseHandle(f);
        return bytes;
    }
    static std::vector<unsigned char> RecImage(int32_t count, int records, unsigned char fill = 0x5A) {
        std::vector<unsigned char> bytes(4 + 20 * records, fill);
        memcpy(bytes.data(), &count, 4);
        return bytes;
    }
    int FileCount() const {
        int n = 0;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return 0;
        do {
            if (strcmp(data.cFileName, ".") && strcmp(data.cFileName, "..")) ++n;
        } while (FindNextFileA(find, &data));
        FindClose(find);
        return n;
    }

    std::string dir;
};

std::vector<MacroEvent> SampleEvents(int n) {
    std::vector<MacroEvent> events(n);
    for (int i = 0; i < n; ++i)
        events[i] = {0x100u + (i % 3), (uint32_t)i * 7, 0xFFFF0000u | (uint32_t)i, (uint32_t)i * 15,
                     0xDEAD0000u + (uint32_t)i};
    return events;
}

TEST_F(RecFileTest, SaveWritesCountThenRawRecordsAndLoadGivesTheSameBytes) {
    std::vector<MacroEvent> events = SampleEvents(3);
    std::string path = Path("three.rec");
    ASSERT_EQ(SaveRecording(path.c_str(), events.data(), 3), 1);
    std::vector<unsigned char> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 64u);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[1] | bytes[2] | bytes[3], 0);
    EXPECT_EQ(memcmp(bytes.data() + 4, events.data(), 60), 0);

    int count = 0;
    MacroEvent* loaded = LoadRecording(path.c_str(), &count);
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(memcmp(loaded, events.data(), 60), 0) << "hwnd fields included";
    free(loaded);
    EXPECT_EQ(FileCount(), 1) << "no temporary file left behind";
}

TEST_F(RecFileTest, SavingOverALongerFileLeavesNoStaleBytes) {
    std::string path = Path("over.rec");
    std::vector<MacroEvent> many = SampleEvents(50), few = SampleEvents(2);
    ASSERT_EQ(SaveRecording(path.c_str(), many.data(), 50), 1);
    ASSERT_EQ(SaveRecording(path.c_str(), few.data(), 2), 1);
    EXPECT_EQ(ReadBytes(path).size(), 44u);
}

TEST_F(RecFileTest, SaveRefusesBadArgumentsWithoutCreatingAFile) {
    std::vector<MacroEvent> events = SampleEvents(1);
    std::string path = Path("none.rec");
    EXPECT_EQ(SaveRecording(path.c_str(), events.data(), 0), 0);
    EXPECT_EQ(SaveRecording(path.c_str(), events.data(), -4), 0);
    EXPECT_EQ(SaveRecording(path.c_str(), nullptr, 1), 0);
    EXPECT_EQ(SaveRecording(nullptr, events.data(), 1), 0);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(FileCount(), 0);
}

TEST_F(RecFileTest, AFailedSaveKeepsThePreviousFileIntact) {
    std::string path = Path("keep.rec");
    std::vector<MacroEvent> first = SampleEvents(4), second = SampleEvents(9);
    ASSERT_EQ(SaveRecording(path.c_str(), first.data(), 4), 1);
    std::vector<unsigned char> before = ReadBytes(path);

    // Another program holds the file open without sharing: the replacement must fail.
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SaveRecording(path.c_str(), second.data(), 9), 0);
    CloseHandle(holder);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(FileCount(), 1) << "the temporary file is removed after a failure";

    // One that lets go within half a second, as a virus scanner does, is waited for.
    holder = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    std::thread release([holder] { Sleep(300), CloseHandle(holder); });
    const DWORD start = GetTickCount();
    EXPECT_EQ(SaveRecording(path.c_str(), second.data(), 9), 1);
    EXPECT_GE(GetTickCount() - start, 250u);
    release.join();
    EXPECT_EQ(ReadBytes(path).size(), 184u);

    // A save into a folder that does not exist fails and creates nothing.
    std::string missing = Path("no-such-dir\\x.rec");
    EXPECT_EQ(SaveRecording(missing.c_str(), second.data(), 9), 0);
    EXPECT_EQ(FileCount(), 1);
}

TEST_F(RecFileTest, LoadRefusesBadCountsAndShortFiles) {
    struct {
        const char* name;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"zero.rec", RecImage(0, 1)},
        {"negative.rec", RecImage(-1, 1)},
        {"huge.rec", RecImage(10000001, 1)},
        {"short.rec", RecImage(3, 2)},
        {"tiny.rec", {1, 0}},
        {"empty.rec", {}},
    };
    for (auto& c : cases) {
        std::string path = Path(c.name);
        WriteBytes(path, c.bytes);
        int count = 12345;
        EXPECT_EQ(LoadRecording(path.c_str(), &count), nullptr) << c.name;
        EXPECT_EQ(count, 0) << c.name;
    }
    int count = 1;
    EXPECT_EQ(LoadRecording(Path("missing.rec").c_str(), &count), nullptr);
    EXPECT_EQ(LoadRecording(nullptr, &count), nullptr);
    EXPECT_EQ(LoadRecording(Path("zero.rec").c_str(), nullptr), nullptr);
}

TEST_F(RecFileTest, LoadIgnoresTrailingBytesAndSharesReading) {
    std::string path = Path("extra.rec");
    std::vector<unsigned char> bytes = RecImage(2, 3, 0x11);  // one record too many
    WriteBytes(path, bytes);
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    int count = 0;
    MacroEvent* loaded = LoadRecording(path.c_str(), &count);
    CloseHandle(reader);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(loaded[1].hwnd, 0x11111111u);
    free(loaded);
}

TEST_F(RecFileTest, TenMillionEventsRoundTrip) {
    const int n = 10000000;
    std::vector<MacroEvent> events(n);
    for (int i = 0; i < n; ++i) events[i] = {0x200, (uint32_t)i, (uint32_t)(n - i), (uint32_t)i, 0};
    std::string path = Path("big.rec");
    ASSERT_EQ(SaveRecording(path.c_str(), events.data(), n), 1);
    int count = 0;
    MacroEvent* loaded = LoadRecording(path.c_str(), &count);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(count, n);
    EXPECT_EQ(memcmp(loaded, events.data(), (size_t)n * 20), 0);
    free(loaded);
}

TEST_F(RecFileTest, PathAtTheLengthLimitSavesAndLoads) {
    // dir + "\" + name == 259 characters, the longest path a 260-byte buffer holds.
    std::string name(259 - dir.size() - 1 - 4, 'n');
    name += ".rec";
    std::string path = Path(name.c_str());
    ASSERT_EQ(path.size(), 259u);
    std::vector<MacroEvent> events = SampleEvents(2);
    ASSERT_EQ(SaveRecording(path.c_str(), events.data(), 2), 1);
    int count = 0;
    MacroEvent* loaded = LoadRecording(path.c_str(), &count);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(count, 2);
    free(loaded);
    EXPECT_EQ(FileCount(), 1);
}

TEST_F(RecFileTest, AFolderAtTheLimitStillTakesFilesThatFit) {
    // A 252-character folder leaves room for a 6-letter name: the save's own
    // temporary file must fit there too, and so must a one-letter name's.
    std::string deep = dir + "\\" + std::string(252 - dir.size() - 1, 'd');
    ASSERT_EQ(deep.size(), 252u);
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    std::string path = deep + "\\ab.rec", shortest = deep + "\\x";
    ASSERT_EQ(path.size(), 259u);
    std::vector<MacroEvent> first = SampleEvents(2), second = SampleEvents(3);
    EXPECT_EQ(SaveRecording(path.c_str(), first.data(), 2), 1);
    EXPECT_EQ(SaveRecording(path.c_str(), second.data(), 3), 1) << "replacing it";
    EXPECT_EQ(SaveRecording(shortest.c_str(), first.data(), 2), 1);
    EXPECT_EQ(SaveRecording(shortest.c_str(), second.data(), 3), 1);
    for (const std::string& p : {path, shortest}) {
        int count = 0;
        MacroEvent* loaded = LoadRecording(p.c_str(), &count);
        EXPECT_EQ(count, 3) << p.size();
        free(loaded);
        DeleteFileA(p.c_str());
    }
    EXPECT_TRUE(RemoveDirectoryA(deep.c_str())) << "no temporary file left behind";
}

}  // namespace
