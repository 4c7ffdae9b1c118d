// The words of a build: size wording at its unit boundaries, the success
// report with its middle-dot bullets, the temporary source name, the command.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "compile/build_texts.h"

namespace {

TEST(CompileFileSize, UnitsChangeAtTheirBoundaries) {
    const struct {
        uint32_t bytes;
        const char* text;
    } cases[] = {
        {0, "0 bytes"},
        {1023, "1023 bytes"},
        {1024, "1.0 KB"},
        {1536, "1.5 KB"},
        {1126, "1.1 KB"},
        {1048575, "1024.0 KB"},
        {1048576, "1.00 MB"},
        {1572864, "1.50 MB"},
        {16777216, "16.00 MB"},
        {0xFFFFFFFFu, "4096.00 MB"},
    };
    for (const auto& c : cases) EXPECT_STREQ(FormatFileSize(c.bytes), c.text) << c.bytes;
}

TEST(CompileBuildReport, SuccessTextCarriesPathCountSizeAndTime) {
    char text[kBuildReportSize];
    FormatBuildReport(text, "C:\\Macros\\play me.exe", 42, 14336, 1234);
    EXPECT_STREQ(text,
                 "Compilation Successful!\n\nOutput File:\nC:\\Macros\\play me.exe\n\nDetails:\n"
                 "  \u00B7 Events: 42\n  \u00B7 File Size: 14.0 KB\n  \u00B7 Compilation Time: 1.23 seconds\n\n"
                 "The executable is ready to use.");
}

TEST(CompileBuildReport, TimeHasTwoDecimals) {
    const struct {
        uint32_t ms;
        const char* shown;
    } cases[] = {{0, "0.00 seconds"}, {1500, "1.50 seconds"}, {385, "0.38 seconds"}, {999, "1.00 seconds"}, {30000, "30.00 seconds"}};
    for (const auto& c : cases) {
        char text[kBuildReportSize];
        FormatBuildReport(text, "x.exe", 1, 10, c.ms);
        EXPECT_NE(strstr(text, c.shown), nullptr) << c.ms << ": " << text;
    }
}

TEST(CompileBuildReport, LongPathIsCutNotOverflowed) {
    char path[300];
    memset(path, 'p', sizeof(path) - 1);
    path[sizeof(path) - 1] = '\0';
    char text[kBuildReportSize + 16];
    memset(text, 0x5A, sizeof(text));
    FormatBuildReport(text, path, 1, 1, 1);
    EXPECT_LT(strlen(text), kBuildReportSize);
    EXPECT_EQ(text[kBuildReportSize], 0x5A);
}

TEST(CompileBuildNames, SourcePathAndCommandLine) {
    char source[kBuildPathSize];
    FormatStubSourcePath(source, "C:\\Users\\me\\Temp\\", 4242);
    EXPECT_STREQ(source, "C:\\Users\\me\\Temp\\\\quorrel_stub_4242.c");
    FormatStubSourcePath(source, "C:\\T\\", 4294967295u);
    EXPECT_STREQ(source, "C:\\T\\\\quorrel_stub_4294967295.c");

    char command[kCompilerCommandSize];
    FormatCompilerCommand(command, "C:\\T\\\\quorrel_stub_7.c", "D:\\out dir\\p.exe");
    EXPECT_STREQ(command, "gcc \"C:\\T\\\\quorrel_stub_7.c\" -o \"D:\\out dir\\p.exe\" -mwindows -s -Os -luser32");
}

TEST(CompileBuildNames, OverlongNamesAreCutToTheirBuffers) {
    char dir[kBuildPathSize + 100];
    memset(dir, 'd', sizeof(dir) - 1);
    dir[sizeof(dir) - 1] = '\0';
    char source[kBuildPathSize];
    FormatStubSourcePath(source, dir, 1);
    EXPECT_EQ(strlen(source), kBuildPathSize - 1);
    char command[kCompilerCommandSize];
    FormatCompilerCommand(command, dir, dir);
    EXPECT_EQ(strlen(command), kCompilerCommandSize - 1);
}

// Every candidate a PATH value yields, joined with " | ".
std::string Candidates(const std::string& path) {
    std::string all;
    char out[kBuildPathSize];
    const char* cursor = path.c_str();
    while (NextCompilerCandidate(&cursor, out)) all += (all.empty() ? "" : " | ") + std::string(out);
    return all;
}

TEST(CompileCompilerSearch, OnlyFullyQualifiedPathEntriesAreSearched) {
    // The longest folder whose "\gcc.exe" still fits the buffer, and one more.
    const std::string longest = "C:\\" + std::string(kBuildPathSize - 1 - 3 - 8, 'x');
    const std::string tooLong = longest + "y";
    const struct {
        std::string path;
        std::string candidates;
    } cases[] = {
        {"C:\\mingw\\bin", "C:\\mingw\\bin\\gcc.exe"},
        {"C:\\a\\;D:/b;z:\\", "C:\\a\\gcc.exe | D:/b\\gcc.exe | z:\\gcc.exe"},
        {"\\\\server\\share\\bin;//host/tools", "\\\\server\\share\\bin\\gcc.exe | //host/tools\\gcc.exe"},
        {"\"C:\\Program Files\\gcc\\bin\"", "C:\\Program Files\\gcc\\bin\\gcc.exe"},
        // The current folder in all its spellings, folders under it, and
        // folders on the current drive or on a drive's current folder.
        {";.;..;.\\bin;bin;\\tools;C:tools;C:;\"\";\".\";  C:\\spaced", ""},
        {";;C:\\first;;.;C:\\second;", "C:\\first\\gcc.exe | C:\\second\\gcc.exe"},
        {"", ""},
        {tooLong + ";" + longest, longest + "\\gcc.exe"},
    };
    for (const auto& c : cases) EXPECT_EQ(Candidates(c.path), c.candidates) << c.path;
}

}  // namespace
