#include "app/status.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Recording(uint32_t start, uint32_t now) {
    char text[256];
    FormatRecordingCaption(text, sizeof text, start, now);
    return text;
}

TEST(StatusRecordingCaption, ShowsElapsedMinutesAndSeconds) {
    struct {
        uint32_t start, now;
        const char* expected;
    } cases[] = {
        {0, 123456, "REC 00:00"},                       // start tick 0: not started yet
        {5000, 5000, "REC 00:00"},
        {5000, 5999, "REC 00:00"},
        {5000, 6000, "REC 00:01"},
        {1000, 1000 + 59999, "REC 00:59"},
        {1000, 1000 + 60000, "REC 01:00"},
        {1000, 1000 + (65 * 60 + 7) * 1000, "REC 65:07"},  // 1 h 5 min 7 s: minutes not wrapped
        {1000, 1000 + 100 * 60000, "REC 100:00"},
        {0xFFFFF000u, 0x00001000u, "REC 00:08"},         // tick counter wrapped: 8192 ms
        {1, 0, "REC 71582:47"},                          // the longest span the counter holds
    };
    for (auto& c : cases) EXPECT_EQ(c.expected, Recording(c.start, c.now)) << c.start << " " << c.now;
}

TEST(StatusRecordingCaption, CutsToTheBuffer) {
    char text[6];
    EXPECT_EQ(5, FormatRecordingCaption(text, sizeof text, 1000, 2000));
    EXPECT_STREQ("REC 0", text);
}

std::string Playback(uint32_t now, PlaybackProgress p) {
    char text[64];
    FormatPlaybackCaption(text, sizeof text, now, p);
    return text;
}

TEST(StatusPlaybackCaption, CountsDownThePassUnderWay) {
    struct {
        uint32_t now;
        PlaybackProgress progress;
        const char* expected;
    } cases[] = {
        {500, {500, 1000, 1, 1, 0}, "00:01 (1/1)"},            // one-event macro: estimate floor 1 s
        {500, {500, 3600000, 1, 1, 0}, "60:00 (1/1)"},         // the longest estimate
        {1000, {500, 1000, 1, 1, 0}, "00:00 (1/1)"},           // 500 ms left truncates to 0
        {10000, {500, 1000, 2, 5, 0}, "00:00 (2/5)"},          // overrun pass stays at zero
        {1500, {500, 5000, 3, 5, 0}, "00:04 (3/5)"},
        {100, {100, 125000, 1, 9999, 1}, "02:05 (1/-)"},       // continuous
        {100, {100, 2000, 12, 9999, 1}, "00:02 (12/-)"},
        {400, {500, 2000, 1, 1, 0}, "00:02 (1/1)"},            // pass start written after our clock read
        {0x00000100u, {0xFFFFFF00u, 5000, 1, 1, 0}, "00:04 (1/1)"},  // wrap mid-pass: 512 ms gone
        {500, {500, 0, 1, 1, 0}, "00:00 (1/1)"},
    };
    for (auto& c : cases) EXPECT_EQ(c.expected, Playback(c.now, c.progress)) << c.expected;
}

TEST(StatusPlaybackCaption, LongestTextFitsTheBuffer) {
    char text[64];
    int n = FormatPlaybackCaption(text, sizeof text, 0, {0, 3600000, 2147483647, -2147483647 - 1, 0});
    EXPECT_STREQ("60:00 (2147483647/-2147483648)", text);
    EXPECT_EQ(30, n);
}

}  // namespace
