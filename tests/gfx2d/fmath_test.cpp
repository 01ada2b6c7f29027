#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "gfx2d/fmath.h"

namespace {

int64_t ulpsApart(double a, double b) {
    int64_t ia, ib;
    std::memcpy(&ia, &a, 8);
    std::memcpy(&ib, &b, 8);
    if (ia < 0) ia = INT64_MIN - ia;
    if (ib < 0) ib = INT64_MIN - ib;
    return ia > ib ? ia - ib : ib - ia;
}

// The angles the parts feed in: demo seconds times small factors, up to a
// few thousand radians, on a step that is not a multiple of pi.
template <typename F>
void sweep(double from, double to, int count, F check) {
    for (int i = 0; i <= count; ++i) check(from + (to - from) * i / count);
}

}  // namespace

// Against the x87's long double functions as the reference: the double
// forms within a few units in the last place, over the range the demo
// uses and across the reduction's quadrants.
TEST(Fmath, DoubleFormsAreWithinAFewUlps) {
    int64_t worstSin = 0, worstCos = 0, worstAtan = 0;
    sweep(-5000.0, 5000.0, 200001, [&](double x) {
        worstSin = std::max(worstSin, ulpsApart(fm::sin(x), static_cast<double>(sinl(x))));
        worstCos = std::max(worstCos, ulpsApart(fm::cos(x), static_cast<double>(cosl(x))));
    });
    sweep(-50.0, 50.0, 100001, [&](double x) {
        worstAtan = std::max(worstAtan, ulpsApart(fm::atan(x), static_cast<double>(atanl(x))));
    });
    EXPECT_LE(worstSin, 2);
    EXPECT_LE(worstCos, 2);
    EXPECT_LE(worstAtan, 4);
}

// The float forms round once from double, which makes them the correctly
// rounded result (C libraries' float functions are often a unit off).
TEST(Fmath, FloatFormsAreCorrectlyRounded) {
    int wrong = 0;
    sweep(-2000.0, 2000.0, 400001, [&](double d) {
        const float x = static_cast<float>(d);
        const float y = static_cast<float>(d * 0.37 + 1.0);
        wrong += fm::sin(x) != static_cast<float>(sinl(x));
        wrong += fm::cos(x) != static_cast<float>(cosl(x));
        wrong += fm::atan2(y, x) != static_cast<float>(atan2l(y, x));
        wrong += fm::atan(y / x) != static_cast<float>(atanl(y / x));
    });
    EXPECT_EQ(wrong, 0);
}

TEST(Fmath, Atan2QuadrantsAxesAndSignedZeros) {
    const double pi = 3.141592653589793;
    EXPECT_DOUBLE_EQ(fm::atan2(1.0, 1.0), pi / 4);
    EXPECT_DOUBLE_EQ(fm::atan2(1.0, -1.0), 3 * pi / 4);
    EXPECT_DOUBLE_EQ(fm::atan2(-1.0, -1.0), -3 * pi / 4);
    EXPECT_DOUBLE_EQ(fm::atan2(-1.0, 1.0), -pi / 4);
    EXPECT_DOUBLE_EQ(fm::atan2(2.0, 0.0), pi / 2);
    EXPECT_DOUBLE_EQ(fm::atan2(-2.0, -0.0), -pi / 2);
    EXPECT_DOUBLE_EQ(fm::atan2(0.0, -3.0), pi);
    EXPECT_DOUBLE_EQ(fm::atan2(-0.0, -3.0), -pi);
    EXPECT_TRUE(fm::atan2(0.0, 3.0) == 0.0 && !std::signbit(fm::atan2(0.0, 3.0)));
    EXPECT_TRUE(fm::atan2(-0.0, 0.0) == 0.0 && std::signbit(fm::atan2(-0.0, 0.0)));
    EXPECT_DOUBLE_EQ(fm::atan2(-0.0, -0.0), -pi);
    EXPECT_TRUE(std::isnan(fm::atan2(std::nan(""), 1.0)));
    EXPECT_DOUBLE_EQ(fm::atan2(HUGE_VAL, -HUGE_VAL), 3 * pi / 4);
    EXPECT_DOUBLE_EQ(fm::atan2(1.0, HUGE_VAL), 0.0);
}

TEST(Fmath, SpecialValues) {
    EXPECT_TRUE(std::isnan(fm::sin(HUGE_VAL)));
    EXPECT_TRUE(std::isnan(fm::cos(-HUGE_VAL)));
    EXPECT_TRUE(std::isnan(fm::sin(std::nan(""))));
    EXPECT_TRUE(std::signbit(fm::sin(-0.0)));
    EXPECT_EQ(fm::cos(0.0), 1.0);
    EXPECT_EQ(fm::sin(1e-30), 1e-30);
    EXPECT_DOUBLE_EQ(fm::atan(HUGE_VAL), 3.141592653589793 / 2);
    // Far beyond the demo's angles the slow reduction still gives a value
    // in range.
    EXPECT_LE(std::fabs(fm::sin(1e12)), 1.0);
}
