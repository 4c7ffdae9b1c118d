#include <gtest/gtest.h>

#include <cfloat>

#include "ui/number_parse.h"

namespace {

struct SpeedCase {
    const char* text;
    int ok;
    float value;
};

TEST(PrefsParseSpeed, AcceptsOnlyAPositiveNumberWithNothingAfterIt) {
    const SpeedCase cases[] = {
        {"3.5", 1, 3.5f},     {" 7", 1, 7.0f},     {"+2", 1, 2.0f},       {"0.05", 1, 0.05f},
        {"2000", 1, 2000.0f}, {"1e2", 1, 100.0f},  {"0", 0, 0},           {"-2", 0, 0},
        {"abc", 0, 0},        {"3.5 ", 0, 0},      {"", 0, 0},            {"5x", 0, 0},
        {"1e-60", 0, 0},      {"nan", 0, 0},       {"-0.0", 0, 0},        {" ", 0, 0},
    };
    for (const SpeedCase& c : cases) {
        float value = -99.0f;
        EXPECT_EQ(c.ok, ParseSpeed(c.text, &value)) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(c.value, value) << c.text;
        } else {
            EXPECT_EQ(-99.0f, value) << "failure must leave the output alone: " << c.text;
        }
    }
}

TEST(PrefsParseSpeed, NullTextFailsAndHugeValuesBecomeInfinite) {
    float value = 1.0f;
    EXPECT_EQ(0, ParseSpeed(nullptr, &value));
    EXPECT_EQ(1, ParseSpeed("1e300", &value));
    EXPECT_GT(value, FLT_MAX);  // the range check of the custom speed rejects it later
}

struct IntCase {
    const char* text;
    int ok;
    int value;
};

TEST(PrefsParseIntInRange, LoopCountsWithinOneTo9999) {
    const IntCase cases[] = {
        {"1", 1, 1},     {"9999", 1, 9999}, {" 3", 1, 3},  {"+12", 1, 12}, {"0", 0, 0},
        {"10000", 0, 0}, {"5x", 0, 0},      {"", 0, 0},    {"-1", 0, 0},   {"3 ", 0, 0},
        {"2.5", 0, 0},   {"99999999999999999999", 0, 0},   {"-99999999999999999999", 0, 0},
    };
    for (const IntCase& c : cases) {
        int value = -7;
        EXPECT_EQ(c.ok, ParseIntInRange(c.text, &value, 1, 9999)) << '"' << c.text << '"';
        EXPECT_EQ(c.ok ? c.value : -7, value) << c.text;
    }
    int value = 0;
    EXPECT_EQ(0, ParseIntInRange(nullptr, &value, 1, 9999));
    EXPECT_EQ(1, ParseIntInRange("-5", &value, -10, 10));
    EXPECT_EQ(-5, value);
}

}  // namespace
