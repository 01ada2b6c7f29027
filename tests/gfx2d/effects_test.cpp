#include <gtest/gtest.h>

#include <algorithm>

#include "frame_helpers.h"
#include "gfx2d/colour.h"
#include "gfx2d/effects.h"

// One strong blob in the middle: the picture shows around it and nowhere
// else, and the rest of the frame keeps its pixels.
TEST(BlobField, RevealsOnlyWhereTheFieldIsStrong) {
    const std::vector<uint32_t> pic = numberedPicture(kW, kH);
    BlobField blobs(1, pic.data(), 128);
    blobs.blobs[0] = {160, 100, 1024};
    GuardedFrame f(0xFF000000u);
    blobs.draw(f.px());
    EXPECT_EQ(blobs.field[40 * 51 + 25], 255u);
    EXPECT_EQ(f.at(160, 100), pic[100 * kW + 160]);
    EXPECT_EQ(f.at(0, 0), 0xFF000000u);
    EXPECT_EQ(f.at(319, 199), 0xFF000000u);
    // Field strength 1024*65536/d >> 16 exceeds 128 within d < 8.
    EXPECT_EQ(f.at(166, 100), pic[100 * kW + 166]);
    EXPECT_EQ(f.at(172, 100), 0xFF000000u);
    const int shown = static_cast<int>(std::count_if(f.px(), f.px() + kPixels, [](uint32_t p) { return p != 0xFF000000u; }));
    EXPECT_GT(shown, 100);
    EXPECT_LT(shown, 400);

    // Far-off blobs read the table's edge instead of memory beyond it.
    blobs.blobs[0] = {-100000, 900000, 1024};
    GuardedFrame g(0xFF000000u);
    blobs.draw(g.px());
    EXPECT_EQ(blobs.field[0], static_cast<uint32_t>(blobs.falloff[199 * 512 + 511]) * 1024u >> 16);
    EXPECT_EQ(std::count(g.px(), g.px() + kPixels, 0xFF000000u), kPixels);
}

namespace {

// 8 strips of 40 pixels: strip k pixel p = k*256 + p + 1.
std::vector<uint32_t> stripPicture() {
    std::vector<uint32_t> p(8 * 40);
    for (int k = 0; k < 8; ++k)
        for (int i = 0; i < 40; ++i) p[k * 40 + i] = static_cast<uint32_t>(k * 256 + i + 1) * 2;
    return p;
}

}  // namespace

TEST(TwistScroller, FaceOnShowsWholeStrips) {
    const std::vector<uint32_t> pic = stripPicture();
    TwistScroller s(pic.data(), 8, 40, 100, 20);
    s.scroll = 3;
    s.wavePhase = 0.0f;
    s.waveStep = 0.0f;  // l = 20 for every column
    GuardedFrame f;
    s.draw(f.px());
    for (int i = 0; i < 20; ++i) {
        const int strip = (3 + i) % 8;
        ASSERT_EQ(f.at(100 + i, 39), 0u);
        for (int r = 0; r < 40; ++r) ASSERT_EQ(f.at(100 + i, 40 + r), pic[strip * 40 + r] / 2) << i << "," << r;
        ASSERT_EQ(f.at(100 + i, 80), 0u);
    }
    EXPECT_EQ(f.at(99, 50), 0u);
    EXPECT_EQ(f.at(120, 50), 0u);
}

TEST(TwistScroller, QuarterTwistGivesTwoEqualFaces) {
    const std::vector<uint32_t> pic = stripPicture();
    TwistScroller s(pic.data(), 8, 40, 0, 1);
    s.leftTwist = s.rightTwist = 64;
    s.wavePhase = 0.0f;
    GuardedFrame f;
    s.draw(f.px());
    int rows = 0, first = -1;
    for (int y = 0; y < kH; ++y)
        if (f.at(0, y) != 0) {
            if (first < 0) first = y;
            ++rows;
        }
    // Each face about 0.707 * 40 = 28 rows, centred on row 40 + 20.
    EXPECT_NEAR(rows, 57, 1);
    EXPECT_NEAR(first + rows / 2, 60, 1);
    EXPECT_EQ(f.at(0, first), pic[0] / 2);
}

TEST(TwistScroller, NeverLeavesTheBufferOrThePicture) {
    const std::vector<uint32_t> pic = stripPicture();
    TwistScroller s(pic.data(), 8, 40, -50, 500);
    s.scroll = -1234567;
    s.leftTwist = -3;
    s.rightTwist = 9000;
    GuardedFrame f;
    for (float phase : {0.0f, 32.0f, 96.0f}) {
        s.wavePhase = phase;
        s.draw(f.px());
    }
    EXPECT_TRUE(f.guardsIntact());

    // One strip taller than the screen: face-on from row 160 + 20, cut at 199.
    TwistScroller tall(pic.data(), 1, 320, 10, 5);
    tall.waveStep = 0.0f;
    GuardedFrame g;
    tall.draw(g.px());
    EXPECT_TRUE(g.guardsIntact());
    EXPECT_EQ(g.at(12, 179), 0u);
    EXPECT_EQ(g.at(12, 180), pic[0] / 2);
    EXPECT_EQ(g.at(12, 199), pic[19] / 2);
}

// H256 written below the tables' height: twisted columns would step by zero
// (a division by zero) or backwards out of the strip; they are left out,
// while face-on columns are still drawn.
TEST(TwistScroller, ShrunkenHeightSkipsTwistedColumns) {
    const std::vector<uint32_t> pic = stripPicture();
    for (int32_t h256 : {0, -2560}) {
        TwistScroller s(pic.data(), 8, 40, 0, 20);
        s.H256 = h256;
        s.leftTwist = s.rightTwist = 64;
        GuardedFrame f;
        s.draw(f.px());
        EXPECT_TRUE(f.guardsIntact());
        for (int y = 0; y < 200; ++y) ASSERT_EQ(f.at(5, y), 0u) << "row " << y;
    }
}
