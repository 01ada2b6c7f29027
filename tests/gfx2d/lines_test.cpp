#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

#include "frame_helpers.h"
#include "gfx2d/colour.h"
#include "gfx2d/lines.h"

namespace {

// With this colour a pixel hit again by a neighbour's halo keeps its value
// (blendHalf(c, c) == c), so full pixels and halo pixels can be told apart.
constexpr uint32_t kFull = 0xFEFEFE;
constexpr uint32_t kHalo = 0x7F7F7F;

std::set<std::pair<int, int>> pixelsOf(GuardedFrame& f, uint32_t value) {
    std::set<std::pair<int, int>> s;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (f.at(x, y) == value) s.insert({x, y});
    return s;
}

}  // namespace

TEST(GlowLine, BresenhamStepsAndHalo) {
    GuardedFrame f;
    drawGlowLine(10, 10, 14, 12, kFull, f.px());
    const std::set<std::pair<int, int>> want = {{10, 10}, {11, 11}, {12, 11}, {13, 12}, {14, 12}};
    EXPECT_EQ(pixelsOf(f, kFull), want);
    EXPECT_EQ(f.at(10, 9), kHalo);
    EXPECT_EQ(f.at(9, 10), kHalo);
    EXPECT_EQ(f.at(15, 12), kHalo);
    EXPECT_EQ(f.at(11, 10), 0xBEBEBEu);  // halo of two pixels: blended twice
    EXPECT_EQ(f.at(12, 10), kHalo);
    EXPECT_EQ(f.at(13, 10), 0u);

    GuardedFrame steep;  // y-major, drawn toward the first point
    drawGlowLine(20, 24, 19, 20, kFull, steep.px());
    const std::set<std::pair<int, int>> wantSteep = {{20, 24}, {20, 23}, {19, 22}, {19, 21}, {19, 20}};
    EXPECT_EQ(pixelsOf(steep, kFull), wantSteep);
}

TEST(GlowLine, ZeroLengthIsOnePixelAndFourNeighbours) {
    GuardedFrame f(0x202020);
    drawGlowLine(50, 60, 50, 60, 0xC0C0C0, f.px());
    EXPECT_EQ(f.at(50, 60), 0xC0C0C0u);
    for (auto [x, y] : {std::pair{49, 60}, {51, 60}, {50, 59}, {50, 61}}) EXPECT_EQ(f.at(x, y), 0x707070u);
    EXPECT_EQ(f.at(49, 59), 0x202020u);
}

TEST(GlowLine, OutsideOnOneSideDrawsNothing) {
    const int lines[][4] = {{319, 10, 400, 150}, {-3, 5, 0, 190}, {5, -40, 300, 0}, {10, 199, 300, 260}};
    for (const auto& l : lines) {
        GuardedFrame f;
        drawGlowLine(l[0], l[1], l[2], l[3], kFull, f.px());
        EXPECT_EQ(std::count(f.px(), f.px() + kPixels, 0u), kPixels);
    }
}

// Lines from the centre to far beyond each side and corner: full pixels stay
// inside the window, halos inside the buffer, and the cut end lies on the
// window's edge.
TEST(GlowLine, ClipsToTheWindowOnEverySide) {
    const int far[][2] = {{5000, 100}, {-5000, 100}, {160, 3000}, {160, -3000}, {100000, 70000},
                          {-70000, -100000}, {400, -90}, {-2000000000, 2000000000}};
    for (const auto& e : far) {
        GuardedFrame f;
        drawGlowLine(160, 100, e[0], e[1], kFull, f.px());
        ASSERT_TRUE(f.guardsIntact());
        const auto full = pixelsOf(f, kFull);
        ASSERT_FALSE(full.empty());
        bool touchesEdge = false;
        for (auto [x, y] : full) {
            ASSERT_TRUE(x >= 1 && x <= 318 && y >= 1 && y <= 198) << x << "," << y;
            touchesEdge |= x == 1 || x == 318 || y == 1 || y == 198;
        }
        EXPECT_TRUE(touchesEdge) << e[0] << "," << e[1];
    }
    GuardedFrame across;
    drawGlowLine(-50, 100, 400, 100, kFull, across.px());
    EXPECT_EQ(pixelsOf(across, kFull).size(), 318u);
    EXPECT_EQ(across.at(0, 100), kHalo);
    EXPECT_EQ(across.at(319, 100), kHalo);
}

TEST(GlowLine, PolygonClosesAndHandlesShortLists) {
    const Point2i square[4] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
    GuardedFrame poly, lines;
    drawPolygon(square, 4, kFull, poly.px());
    drawPolyline(square, 4, kFull, lines.px());
    EXPECT_EQ(poly.at(10, 15), kFull);   // the closing side
    EXPECT_EQ(lines.at(10, 15), 0u);
    EXPECT_EQ(pixelsOf(poly, kFull).size(), 40u);

    GuardedFrame one, none;
    drawPolygon(square + 2, 1, kFull, one.px());
    EXPECT_EQ(pixelsOf(one, kFull).size(), 1u);
    drawPolygon(square, 0, kFull, none.px());
    drawPolyline(square, 1, kFull, none.px());
    EXPECT_TRUE(pixelsOf(none, kFull).empty());
}

TEST(Rect, FillBlendCopyAndOutline) {
    GuardedFrame f(0x404040);
    fillRect(5, 5, 0, 10, 0xFFFFFF, f.px());
    fillRect(5, 5, 10, 0, 0xFFFFFF, f.px());
    EXPECT_EQ(checksum(f.px(), kPixels), checksum(GuardedFrame(0x404040).px(), kPixels));

    fillRect(0, 0, 320, 200, 0x808080, f.px());
    blendRect(300, 190, 20, 10, 0x000000, f.px());
    EXPECT_EQ(f.at(299, 199), 0x808080u);
    EXPECT_EQ(f.at(319, 199), 0x404040u);
    EXPECT_EQ(f.at(300, 190), 0x404040u);
    EXPECT_TRUE(f.guardsIntact());

    const std::vector<uint32_t> src = numberedPicture(kW, kH);
    copyRect(3, 4, 5, 6, src.data(), f.px());
    EXPECT_EQ(f.at(3, 4), src[4 * kW + 3]);
    EXPECT_EQ(f.at(7, 9), src[9 * kW + 7]);
    EXPECT_EQ(f.at(8, 9), 0x808080u);
    EXPECT_EQ(f.at(7, 10), 0x808080u);

    GuardedFrame o(0x808080);
    blendRectOutline(10, 10, 5, 2, 0, o.px());  // h = 2: rows only
    EXPECT_EQ(o.at(10, 10), 0x404040u);
    EXPECT_EQ(o.at(14, 11), 0x404040u);
    EXPECT_EQ(o.at(15, 11), 0x808080u);
    blendRectOutline(10, 20, 5, 1, 0, o.px());  // h = 1: the row twice
    EXPECT_EQ(o.at(12, 20), 0x202020u);
    blendRectOutline(30, 30, 4, 4, 0, o.px());
    EXPECT_EQ(o.at(30, 31), 0x404040u);
    EXPECT_EQ(o.at(33, 32), 0x404040u);
    EXPECT_EQ(o.at(31, 31), 0x808080u);
    EXPECT_EQ(o.at(30, 30), 0x404040u);  // corners once
}

TEST(GuideLines, CrossingsTwiceAndOffscreenSkipped) {
    GuardedFrame f(0x808080);
    blendGuideLines(10, 20, 30, 40, 0, f.px());
    EXPECT_EQ(f.at(0, 20), 0x404040u);
    EXPECT_EQ(f.at(319, 59), 0x404040u);
    EXPECT_EQ(f.at(39, 0), 0x404040u);
    EXPECT_EQ(f.at(10, 199), 0x404040u);
    EXPECT_EQ(f.at(10, 20), 0x202020u);
    EXPECT_EQ(f.at(11, 21), 0x808080u);

    GuardedFrame g(0x808080);
    blendGuideLines(-1, 199, 321, 5, 0, g.px());  // only row 199 and column 319 are on screen
    blendCrosshair(320, -1, 0, g.px());
    blendCrosshair(-100000, 300000, 0, g.px());
    EXPECT_TRUE(g.guardsIntact());
    EXPECT_EQ(g.at(0, 199), 0x404040u);
    EXPECT_EQ(g.at(319, 0), 0x404040u);
    EXPECT_EQ(g.at(319, 199), 0x202020u);
    EXPECT_EQ(g.at(0, 0), 0x808080u);

    GuardedFrame c(0x808080);
    blendCrosshair(0, 0, 0, c.px());
    EXPECT_EQ(c.at(0, 0), 0x202020u);
    EXPECT_EQ(c.at(0, 199), 0x404040u);
    EXPECT_EQ(c.at(319, 0), 0x404040u);
}

TEST(MaskWipe, RevealEveryLevelCopiesEachPixelOnce) {
    std::vector<uint8_t> mask(kPixels);
    for (int i = 0; i < kPixels; ++i) mask[i] = static_cast<uint8_t>((i * 37 + i / 320) & 255);
    const std::vector<uint32_t> src = numberedPicture(kW, kH);
    GuardedFrame f(0xFF000000u);  // a value no source pixel has
    MaskWipe wipe(mask.data(), src.data());
    EXPECT_EQ(wipe.level, 0);
    int copied = 0;
    for (wipe.level = 0; wipe.level <= 255; ++wipe.level) {
        const int before = static_cast<int>(std::count(f.px(), f.px() + kPixels, 0xFF000000u));
        wipe.revealLevel(f.px());
        const int after = static_cast<int>(std::count(f.px(), f.px() + kPixels, 0xFF000000u));
        ASSERT_EQ(before - after, std::count(mask.begin(), mask.end(), wipe.level));
        copied += before - after;
    }
    EXPECT_EQ(copied, kPixels);
    EXPECT_EQ(checksum(f.px(), kPixels), checksum(src.data(), kPixels));

    wipe.level = 10;
    wipe.fillUpToLevel(f.px(), 0x123456);
    EXPECT_EQ(std::count(f.px(), f.px() + kPixels, 0x123456u),
              std::count_if(mask.begin(), mask.end(), [](uint8_t m) { return m <= 10; }));
    wipe.level = 255;
    wipe.fillUpToLevel(f.px(), 0x123456);
    EXPECT_EQ(std::count(f.px(), f.px() + kPixels, 0x123456u), kPixels);
}
