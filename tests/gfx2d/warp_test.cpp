#include <gtest/gtest.h>

#include <cmath>

#include "frame_helpers.h"
#include "gfx2d/colour.h"
#include "gfx2d/shade_table.h"
#include "gfx2d/warp.h"

namespace {

constexpr float kPi256 = 0.01227184630308513f;
constexpr float kPi128 = 0.02454369260617026f;

GridPoint& pointAt(GridPoint* grid, int j, int i) { return grid[j * kGridRows + i]; }

std::vector<uint32_t> texture256() { return numberedPicture(256, 256, 0x010203); }

}  // namespace

TEST(GridWarp, WaveAAtTimeZero) {
    WaveWarpA warp;
    warp.computeGrid(WarpGrid);
    for (int j : {0, 7, 20, 40})
        for (int i : {0, 3, 13, 25}) {
            const float x = 8.0f * j, y = 8.0f * i;
            const int u = int(x + 48.0f * std::cos(x * kPi256)) + int(x + 30.0f * std::sin(0.75f * y * kPi256) + 40.0f);
            const int v = int(y + 32.0f * std::cos(y * kPi128)) + int(y + 30.0f * std::sin(0.75f * x * kPi256));
            EXPECT_EQ(pointAt(WarpGrid, j, i).u, u) << j << "," << i;
            EXPECT_EQ(pointAt(WarpGrid, j, i).v, v) << j << "," << i;
        }
}

TEST(GridWarp, PlaneRebuildsItsMatrixEveryCall) {
    PlaneWarp plane;
    plane.computeGrid(WarpGrid);
    // Facing the viewer: the screen centre maps to the texture centre.
    EXPECT_EQ(pointAt(WarpGrid, 20, 0).u, 128);
    EXPECT_EQ(pointAt(WarpGrid, 20, 12).v, int(4.0f * 400.0f / 308.0f + 128.0f));
    EXPECT_EQ(pointAt(WarpGrid, 0, 0).light, 140);
    const int before = pointAt(WarpGrid, 0, 0).u;
    plane.a3 = 1.0f;
    plane.computeGrid(WarpGrid);
    EXPECT_NE(pointAt(WarpGrid, 0, 0).u, before);
    plane.a3 = 0.0f;
    plane.computeGrid(WarpGrid);
    EXPECT_EQ(pointAt(WarpGrid, 0, 0).u, before);
}

// A grid that moves one texel per pixel shows the texture unscaled, shifted
// and wrapped, whatever the sign and size of the coordinates.
TEST(GridMapper, InterpolatesAndWraps) {
    static GridPoint grid[kGridPoints];
    const std::vector<uint32_t> tex = texture256();
    for (const int shiftU : {0, -1, 1000, -70000})
        for (const int shiftV : {0, 37, -3000}) {
            for (int j = 0; j < kGridColumns; ++j)
                for (int i = 0; i < kGridRows; ++i) {
                    pointAt(grid, j, i).u = 8 * j + shiftU;
                    pointAt(grid, j, i).v = 8 * i + shiftV;
                }
            GuardedFrame f(0x808080);
            renderGridHalf(grid, tex.data(), f.px());
            ASSERT_TRUE(f.guardsIntact());
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) {
                    const uint32_t texel = tex[((y + shiftV) & 255) * 256 + ((x + shiftU) & 255)];
                    ASSERT_EQ(f.at(x, y), blendHalf(0x808080, texel)) << x << "," << y;
                }
        }
}

TEST(GridMapper, BilinearSteps) {
    static GridPoint grid[kGridPoints] = {};
    // Block (0, 0): u runs 0 -> 16 across, v runs 0 -> 8 down; constant elsewhere.
    pointAt(grid, 1, 0).u = 16;
    pointAt(grid, 1, 1).u = 16;
    pointAt(grid, 0, 1).v = 8;
    pointAt(grid, 1, 1).v = 8;
    const std::vector<uint32_t> tex = texture256();
    GuardedFrame f;
    renderGridHalf(grid, tex.data(), f.px());
    EXPECT_EQ(f.at(3, 5), halfColour(tex[5 * 256 + 6]));
    EXPECT_EQ(f.at(7, 7), halfColour(tex[7 * 256 + 14]));
}

TEST(GridMapper, ShadedUsesIndexAndLight) {
    static GridPoint grid[kGridPoints];
    std::vector<uint8_t> index(65536);
    for (int i = 0; i < 65536; ++i) index[i] = static_cast<uint8_t>(i * 5);
    uint32_t palette[256];
    for (int p = 0; p < 256; ++p) palette[p] = static_cast<uint32_t>(p) * 0x010101u;
    const ShadeTable shade(palette, 0x000000, 0xFFFFFF);
    for (int j = 0; j < kGridColumns; ++j)
        for (int i = 0; i < kGridRows; ++i) {
            pointAt(grid, j, i).u = 8 * j - 5;
            pointAt(grid, j, i).v = 8 * i;
            pointAt(grid, j, i).light = 128 + 256;  // wraps to level 128: the palette colour
        }
    GuardedFrame f;
    renderGridShaded(grid, index.data(), shade, f.px());
    for (int y = 0; y < kH; y += 13)
        for (int x = 0; x < kW; x += 11) {
            const uint8_t idx = index[(y & 255) * 256 + ((x - 5) & 255)];
            ASSERT_EQ(f.at(x, y), halfColour(palette[idx]));
        }
    EXPECT_TRUE(f.guardsIntact());
}

TEST(ShadeTable, EndLevels) {
    uint32_t palette[256];
    for (int p = 0; p < 256; ++p) palette[p] = (static_cast<uint32_t>(p) << 16) | 0x0080FFu;
    const ShadeTable dark(palette, 0x000000, 0xFFFFFF);
    EXPECT_EQ(dark.colour(77, 0), 0u);
    EXPECT_EQ(dark.colour(77, 128), palette[77]);
    // One 128th short of white: 77 + 127*(255-77)/128 = 253.6, 128 + 127*127/128 = 254.0...
    EXPECT_EQ(dark.colour(77, 255), (253u << 16) | (254u << 8) | 255u);
    EXPECT_EQ(dark.colour(77, 64), ((77u / 2) << 16) | (64u << 8) | 127u);

    const ShadeTable white(palette, 0xFFFFFF, 0xFFFFFF);
    EXPECT_EQ(white.colour(0, 0), 0xFFFFFFu);
    EXPECT_EQ(white.colour(0, 128), palette[0]);
    EXPECT_EQ(white.colour(0, 255), (253u << 16) | (254u << 8) | 255u);
    EXPECT_EQ(white.data()[3 * 256 + 128], palette[3]);
}
