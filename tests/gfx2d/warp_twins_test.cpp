// The warps' fast forms against plain twins on random input: the plane
// warp's kept wobble sines against the formula worked out point by point,
// and the two block mappers (edge values stepped row by row, pixel values
// stepped pixel by pixel) against each pixel's value written in closed
// form. Random corners move u, v and light along both axes of every block,
// some far beyond the texture so that the wrap shows.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "frame_helpers.h"
#include "gfx2d/colour.h"
#include "gfx2d/float_int.h"
#include "gfx2d/shade_table.h"
#include "gfx2d/warp.h"

namespace {

constexpr float kPi128 = 0.02454369260617026f;

GridPoint plainPlanePoint(const PlaneWarp& w, float x, float y) {
    const float e = 160.0f - x;
    const float d = 100.0f - y;
    const float* m = w.matrix.m;
    const float f = e * m[0] + d * m[4] + 128.0f * m[8] + m[12];
    const float g = e * m[1] + d * m[5] + 128.0f * m[9] + m[13];
    float h = e * m[2] + d * m[6] + 128.0f * m[10] + m[14];
    if (w.wobble != 0.0f) h += w.wobble * (std::sin(y * kPi128) + std::sin(x * kPi128));
    GridPoint p{};
    p.light = truncToInt(0.6f * h + 64.0f);
    p.u = truncToInt(f * w.scaleX / (h + 180.0f) + static_cast<float>(w.offsetU) + 128.0f);
    p.v = truncToInt(g * w.scaleY / (h + 180.0f) + static_cast<float>(w.offsetV) + 128.0f);
    return p;
}

TEST(WarpTwins, PlaneGridIsThatOfThePlainFormula) {
    std::mt19937 rng(77);
    std::uniform_real_distribution<float> angle(-7.0f, 7.0f), wobble(-20.0f, 20.0f);
    PlaneWarp warp;
    static GridPoint grid[kGridPoints];
    for (int trial = 0; trial < 40; ++trial) {
        warp.a1 = angle(rng);
        warp.a2 = angle(rng);
        warp.a3 = angle(rng);
        warp.wobble = trial % 5 == 0 ? 0.0f : wobble(rng);
        warp.offsetU = static_cast<int32_t>(rng() % 2001) - 1000;
        warp.offsetV = static_cast<int32_t>(rng() % 2001) - 1000;
        warp.computeGrid(grid);
        for (int i = 0; i < kGridRows; ++i)
            for (int j = 0; j < kGridColumns; ++j) {
                const GridPoint want = plainPlanePoint(warp, 8.0f * j, 8.0f * i);
                const GridPoint& got = grid[j * kGridRows + i];
                ASSERT_EQ(got.u, want.u) << trial << " " << j << "," << i;
                ASSERT_EQ(got.v, want.v) << trial << " " << j << "," << i;
                ASSERT_EQ(got.light, want.light) << trial << " " << j << "," << i;
            }
        // Off the grid lines the sines are worked out on the spot.
        for (const float x : {3.5f, -8.0f, 330.0f})
            for (const float y : {0.25f, 201.0f, -3.0f}) {
                GridPoint got{};
                warp.mapPoint(x, y, got);
                const GridPoint want = plainPlanePoint(warp, x, y);
                EXPECT_EQ(got.u, want.u);
                EXPECT_EQ(got.v, want.v);
                EXPECT_EQ(got.light, want.light);
            }
    }
}

// A corner value: mostly within a few hundred texels of its neighbours,
// sometimes anywhere in the 32-bit range.
int32_t randomCorner(std::mt19937& rng, int32_t base) {
    if (rng() % 16 == 0) return static_cast<int32_t>(rng());
    return base + static_cast<int32_t>(rng() % 801) - 400;
}

void randomGrid(std::mt19937& rng, GridPoint* grid) {
    const int32_t u0 = static_cast<int32_t>(rng() % 100001) - 50000;
    const int32_t v0 = static_cast<int32_t>(rng() % 100001) - 50000;
    for (int j = 0; j < kGridColumns; ++j)
        for (int i = 0; i < kGridRows; ++i) {
            GridPoint& p = grid[j * kGridRows + i];
            p.u = randomCorner(rng, u0 + 8 * j);
            p.v = randomCorner(rng, v0 + 8 * i);
            p.light = randomCorner(rng, 128);
        }
}

// The value at pixel (k, r) of a block in 24.8 fixed point, from its four
// corners: the left and right edge values of row r, then k eighths of their
// difference (arithmetic shift of the 32-bit difference). Adds wrap.
uint32_t blockValue(int32_t c00, int32_t c01, int32_t c10, int32_t c11, int r, int k) {
    auto edge = [r](int32_t top, int32_t bottom) {
        const uint32_t step = (static_cast<uint32_t>(bottom) - static_cast<uint32_t>(top)) << 5;
        return (static_cast<uint32_t>(top) << 8) + static_cast<uint32_t>(r) * step;
    };
    const uint32_t left = edge(c00, c01), right = edge(c10, c11);
    const uint32_t step = static_cast<uint32_t>(static_cast<int32_t>(right - left) >> 3);
    return left + static_cast<uint32_t>(k) * step;
}

// Each pixel's value in closed form; light is read only by the shaded form.
struct PixelValues {
    uint32_t texel;  // ((v >> 8) & 255) * 256 + ((u >> 8) & 255)
    uint32_t level;  // (l >> 8) & 255
};
PixelValues pixelValues(const GridPoint* grid, int x, int y) {
    const int j = x / 8, i = y / 8, k = x % 8, r = y % 8;
    const GridPoint& p00 = grid[j * kGridRows + i];
    const GridPoint& p01 = grid[j * kGridRows + i + 1];
    const GridPoint& p10 = grid[(j + 1) * kGridRows + i];
    const GridPoint& p11 = grid[(j + 1) * kGridRows + i + 1];
    const uint32_t u = blockValue(p00.u, p01.u, p10.u, p11.u, r, k);
    const uint32_t v = blockValue(p00.v, p01.v, p10.v, p11.v, r, k);
    const uint32_t l = blockValue(p00.light, p01.light, p10.light, p11.light, r, k);
    return {((v >> 8) & 255u) << 8 | ((u >> 8) & 255u), (l >> 8) & 255u};
}

std::vector<uint32_t> randomPicture(std::mt19937& rng, int n) {
    std::vector<uint32_t> p(static_cast<size_t>(n));
    for (uint32_t& c : p) c = rng() & 0xFFFFFFu;
    return p;
}

TEST(WarpTwins, HalfMapperMatchesEachPixelInClosedForm) {
    std::mt19937 rng(4141);
    static GridPoint grid[kGridPoints];
    for (int trial = 0; trial < 8; ++trial) {
        randomGrid(rng, grid);
        const std::vector<uint32_t> texture = randomPicture(rng, 65536);
        const std::vector<uint32_t> before = randomPicture(rng, kPixels);
        GuardedFrame f;
        for (int i = 0; i < kPixels; ++i) f.px()[i] = before[i];
        renderGridHalf(grid, texture.data(), f.px());
        ASSERT_TRUE(f.guardsIntact());
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const uint32_t want = blendHalf(before[y * kW + x], texture[pixelValues(grid, x, y).texel]);
                ASSERT_EQ(f.at(x, y), want) << "trial " << trial << " at " << x << "," << y;
            }
    }
}

TEST(WarpTwins, ShadedMapperMatchesEachPixelInClosedForm) {
    std::mt19937 rng(4242);
    static GridPoint grid[kGridPoints];
    std::vector<uint8_t> index(65536);
    uint32_t palette[256];
    for (uint32_t& c : palette) c = rng() & 0xFFFFFFu;
    const ShadeTable shade(palette, 0x000000, 0xFFFFFF);
    for (int trial = 0; trial < 8; ++trial) {
        randomGrid(rng, grid);
        for (uint8_t& b : index) b = static_cast<uint8_t>(rng());
        const std::vector<uint32_t> before = randomPicture(rng, kPixels);
        GuardedFrame f;
        for (int i = 0; i < kPixels; ++i) f.px()[i] = before[i];
        renderGridShaded(grid, index.data(), shade, f.px());
        ASSERT_TRUE(f.guardsIntact());
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const PixelValues p = pixelValues(grid, x, y);
                const uint32_t want = blendHalf(before[y * kW + x], shade.colour(index[p.texel], p.level));
                ASSERT_EQ(f.at(x, y), want) << "trial " << trial << " at " << x << "," << y;
            }
    }
}

}  // namespace
