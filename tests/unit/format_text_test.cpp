#include <gtest/gtest.h>

#include "base/format_text.h"

TEST(FormatText, CutsToTheBufferAndAlwaysTerminates) {
    char small[8];
    EXPECT_EQ(FormatText(small, sizeof small, "%s-%d", "abcdef", 12345), 7);
    EXPECT_STREQ(small, "abcdef-");
    char exact[6];
    EXPECT_EQ(FormatText(exact, sizeof exact, "%d", 12345), 5);
    EXPECT_STREQ(exact, "12345");
    char one[1];
    EXPECT_EQ(FormatText(one, sizeof one, "abc"), 0);
    EXPECT_STREQ(one, "");
    EXPECT_EQ(FormatText(nullptr, 0, "abc"), 0);
}

TEST(FormatText, FloatForms) {
    char buf[32];
    FormatText(buf, sizeof buf, "%.2f", 1.0);
    EXPECT_STREQ(buf, "1.00");
    FormatText(buf, sizeof buf, "%.1f KB", 1536 / 1024.0);
    EXPECT_STREQ(buf, "1.5 KB");
}
