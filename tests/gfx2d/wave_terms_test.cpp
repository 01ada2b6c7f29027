// The wave warps keep the terms of one time for the grid's columns and
// rows: the grids they compute must be those of the formulas evaluated
// point by point, whatever times follow each other, and off-grid points
// must not read the kept terms.
#include <gtest/gtest.h>

#include <cmath>

#include "gfx2d/float_int.h"
#include "gfx2d/warp.h"

namespace {

constexpr float kPi256 = 0.01227184630308513f;
constexpr float kPi128 = 0.02454369260617026f;
constexpr float kPi64 = 0.04908738521234052f;

GridPoint plainA(float t, float x, float y) {
    GridPoint p{};
    const float d = std::sin(t * kPi256) + 2.0f;
    p.u = truncToInt(x + 24.0f * d * std::cos((x + t) * kPi256)) +
          truncToInt(x + 30.0f * std::sin((2.1f * t + 0.75f * y) * kPi256) + 40.0f * std::cos(t * kPi128));
    p.v = truncToInt(y + 16.0f * d * std::cos((y + t) * kPi128)) +
          truncToInt(y + 30.0f * std::sin((2.0f * t + 0.75f * x) * kPi256) + 40.0f * std::sin(t * kPi128));
    return p;
}

GridPoint plainB(float t, float x, float y) {
    GridPoint p{};
    const float d = std::sin(1.2f * t) + 2.0f;
    const float e = 1.0f / d;
    p.u = truncToInt(x + 24.0f * d * std::cos((t - x) * kPi256) * std::sin((x - t) * kPi128)) +
          truncToInt(-48.0f * e * std::sin(x * kPi64 + t));
    p.v = truncToInt(y + 16.0f * d * std::sin((y + t) * kPi256) * std::cos((y + t) * kPi128)) +
          truncToInt(48.0f * e * std::cos(t - y * kPi64));
    return p;
}

template <typename Warp>
void expectGridsMatch(GridPoint (*plain)(float, float, float)) {
    Warp warp;
    // Repeated, going back, negative, large and fractional times.
    for (float t : {0.0f, 0.0f, 1.0f, 517.25f, 3.0f, -40.5f, 100000.125f, 3.0f}) {
        warp.time = t;
        static GridPoint grid[kGridPoints];
        warp.computeGrid(grid);
        int wrong = 0;
        for (int i = 0; i < kGridRows; ++i)
            for (int j = 0; j < kGridColumns; ++j) {
                const GridPoint want = plain(t, 8.0f * j, 8.0f * i);
                const GridPoint& got = grid[j * kGridRows + i];
                wrong += got.u != want.u || got.v != want.v;
            }
        EXPECT_EQ(wrong, 0) << "time " << t;
        // Between the grid lines and outside the grid.
        for (float x : {3.5f, -8.0f, 328.0f, 160.0f})
            for (float y : {0.25f, 200.0f, 208.0f, -1.0f}) {
                GridPoint got{};
                warp.mapPoint(x, y, got);
                const GridPoint want = plain(t, x, y);
                EXPECT_EQ(got.u, want.u) << t << " " << x << " " << y;
                EXPECT_EQ(got.v, want.v) << t << " " << x << " " << y;
            }
    }
}

TEST(WaveTerms, WaveAGridsAreThoseOfThePlainFormula) { expectGridsMatch<WaveWarpA>(plainA); }
TEST(WaveTerms, WaveBGridsAreThoseOfThePlainFormula) { expectGridsMatch<WaveWarpB>(plainB); }

}  // namespace
