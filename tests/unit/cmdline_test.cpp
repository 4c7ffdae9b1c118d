#include <gtest/gtest.h>

#include <string>

#include "app/cmdline.h"

namespace {

struct ScanCase {
    const char* cmdLine;
    int accepted;
    const char* copied;
};

TEST(CommandLineScan, FirstArgumentRules) {
    const ScanCase cases[] = {
        {"\"C:\\My Macros\\demo.rec\"", 1, "C:\\My Macros\\demo.rec"},
        {"C:\\My Macros\\demo.rec", 0, "C:\\My"},             // unquoted: cut at the space
        {"   \t demo.rec  other.rec", 1, "demo.rec"},          // leading blanks skipped
        {"DEMO.REC", 1, "DEMO.REC"},                           // extension ignores case
        {"demo.rec.bak", 0, "demo.rec.bak"},
        {"demo.rc", 0, "demo.rc"},
        {"a.txt b.rec", 0, "a.txt"},                           // only the first argument counts
        {"\"unterminated quote.rec", 1, "unterminated quote.rec"},
        {".rec", 1, ".rec"},
        {"rec", 0, "rec"},
        {"\"\"", 0, ""},
        {"x.rec\tmore", 1, "x.rec"},
    };
    for (const ScanCase& c : cases) {
        char out[kPathBufferSize];
        memset(out, 'Z', sizeof out);
        EXPECT_EQ(ScanRecPathArgument(c.cmdLine, out), c.accepted) << c.cmdLine;
        EXPECT_STREQ(out, c.copied) << c.cmdLine;
    }
}

TEST(CommandLineScan, EmptyOrMissingInputIsRefused) {
    char out[kPathBufferSize] = "untouched";
    EXPECT_EQ(ScanRecPathArgument(nullptr, out), 0);
    EXPECT_EQ(ScanRecPathArgument("", out), 0);
    EXPECT_EQ(ScanRecPathArgument("demo.rec", nullptr), 0);
}

TEST(CommandLineScan, LongPathIsCutTo259CharactersBeforeTheExtensionTest) {
    char out[kPathBufferSize];
    std::string exact(255, 'a');
    exact += ".rec";  // 259 characters: fits exactly
    EXPECT_EQ(ScanRecPathArgument(exact.c_str(), out), 1);
    EXPECT_EQ(std::string(out), exact);

    std::string longer(256, 'a');
    longer += ".rec";  // 260 characters: the cut loses the final "c"
    EXPECT_EQ(ScanRecPathArgument(longer.c_str(), out), 0);
    EXPECT_EQ(strlen(out), 259u);
    EXPECT_EQ(out[258], 'e');

    // Characters, not bytes: 255 Cyrillic letters of two bytes each and ".rec".
    std::string cyrillic(255 * 2, '\xD0');
    for (size_t i = 1; i < cyrillic.size(); i += 2) cyrillic[i] = '\xB6';
    EXPECT_EQ(ScanRecPathArgument((cyrillic + ".rec").c_str(), out), 1);
    EXPECT_EQ(std::string(out), cyrillic + ".rec");
}

}  // namespace
