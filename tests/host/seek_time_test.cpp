// The show times the front ends accept: seconds or m:ss(.fff), nothing else.
#include <gtest/gtest.h>

#include "host/seek.h"

TEST(ShowTime, SecondsAndMinutes) {
    struct Case {
        const char* text;
        double seconds;
    };
    for (const Case& c : {Case{"0", 0.0}, Case{"75", 75.0}, Case{"75.25", 75.25}, Case{"1:15", 75.0},
                          Case{"1:15.250", 75.25}, Case{"14:35.55", 875.55}, Case{"0:00", 0.0}}) {
        double got = -1;
        EXPECT_TRUE(ParseShowTime(c.text, got)) << c.text;
        EXPECT_NEAR(got, c.seconds, 1e-9) << c.text;
    }
    for (const char* bad : {"", "-3", "+3", "banana", "1e3", "1:5", "1:60", "1:05:00", "75.", ".5", "1:15.",
                            " 75", "75 ", "nan", "inf", "12345678"}) {
        double got = -1;
        EXPECT_FALSE(ParseShowTime(bad, got)) << bad;
    }
    double unused = 0;
    EXPECT_FALSE(ParseShowTime(nullptr, unused));
}

TEST(ShowTime, FrameAtTime) {
    EXPECT_EQ(FrameAtTime(0.0, 60.0), 0);
    EXPECT_EQ(FrameAtTime(1.0, 60.0), 60);
    EXPECT_EQ(FrameAtTime(1.001, 60.0), 61);      // after frame 60's start: the next one
    EXPECT_EQ(FrameAtTime(38.416667, 60.0), 2305);  // frame 2305 written with six decimals
    EXPECT_EQ(FrameAtTime(38.416666, 60.0), 2305);
}
