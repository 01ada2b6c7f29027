#include <gtest/gtest.h>

#include <algorithm>

#include "frame_helpers.h"
#include "gfx2d/colour.h"
#include "gfx2d/sprite.h"

namespace {

constexpr uint32_t kKey = 0x0000FF;

// 12x9 sprite, every pixel distinct, with a diagonal of key pixels.
std::vector<uint32_t> testSprite() {
    std::vector<uint32_t> p = numberedPicture(12, 9, 0x203040);
    for (int i = 0; i < 9; ++i) p[i * 12 + i] = kKey;
    return p;
}

// What a keyed draw must show, pixel by pixel with a bounds test.
void referenceKeyed(const Sprite& s, uint32_t* dst) {
    for (int r = 0; r < s.height; ++r)
        for (int c = 0; c < s.width; ++c) {
            const int x = s.x + c, y = s.y + r;
            const uint32_t p = s.pixels[r * s.width + c];
            if (x >= 0 && x < kW && y >= 0 && y < kH && p != s.key) dst[y * kW + x] = p;
        }
}

}  // namespace

TEST(Colour, HalfBlendIdentities) {
    EXPECT_EQ(blendHalf(0xFFFFFF, 0x000000), 0x7F7F7Fu);
    EXPECT_EQ(blendHalf(0x010101, 0x010101), 0u);
    EXPECT_EQ(blendHalf(0x123456, 0x123456), 0x123456u & 0xFEFEFEu);
    EXPECT_EQ(halfColour(0xFF000000u | 0x808080u), 0x404040u);  // the top byte goes
    EXPECT_EQ(blendHalf(0xFF0000, 0x00FF00), 0x7F7F00u);
}

TEST(Colour, SaturatingAdd) {
    EXPECT_EQ(addSaturate(0xFFFFFF, 0x123456), 0xFFFFFFu);
    EXPECT_EQ(addSaturate(0x808080, 0x909090), 0xFFFFFFu);
    EXPECT_EQ(addSaturate(0x10F020, 0x201030), 0x30FF50u);  // channels clamp apart
    EXPECT_EQ(addSaturate(0xFF000000u, 0x000001), 0x000001u);
    // Against the channel-by-channel rule, on pairs that cover each
    // channel's carry cases.
    auto plain = [](uint32_t a, uint32_t b) {
        uint32_t r = 0;
        for (int shift = 0; shift < 24; shift += 8)
            r |= std::min<uint32_t>(((a >> shift) & 255) + ((b >> shift) & 255), 255) << shift;
        return r;
    };
    uint32_t seed = 7;
    for (int i = 0; i < 200000; ++i) {
        const uint32_t a = seed = seed * 1664525u + 1013904223u;
        const uint32_t b = seed = seed * 1664525u + 1013904223u;
        ASSERT_EQ(addSaturate(a, b), plain(a, b)) << std::hex << a << " " << b;
    }
}

// Every edge and corner, and positions just inside and just outside,
// against the plain per-pixel reference; the guard bands stay untouched.
TEST(Sprite, KeyedClipsAtEveryEdgeAndCorner) {
    const std::vector<uint32_t> pix = testSprite();
    const int xs[] = {-12, -11, -5, 0, 150, 308, 313, 319, 320};
    const int ys[] = {-9, -8, -3, 0, 90, 191, 195, 199, 200};
    for (int x : xs)
        for (int y : ys) {
            Sprite s(pix.data(), 12, 9, kKey);
            s.x = x;
            s.y = y;
            GuardedFrame got(0x111111), want(0x111111);
            s.drawKeyed(got.px());
            referenceKeyed(s, want.px());
            ASSERT_TRUE(got.guardsIntact()) << x << "," << y;
            ASSERT_EQ(checksum(got.px(), kPixels), checksum(want.px(), kPixels)) << x << "," << y;
        }
}

TEST(Sprite, CornerCutShowsTheRightSourcePixels) {
    const std::vector<uint32_t> pix = testSprite();
    Sprite s(pix.data(), 12, 9, kKey);
    s.x = -4;
    s.y = -3;
    GuardedFrame f;
    s.drawAdditive(f.px());
    EXPECT_EQ(f.at(0, 0), pix[3 * 12 + 4]);
    EXPECT_EQ(f.at(7, 5), pix[8 * 12 + 11]);
    EXPECT_EQ(f.at(8, 0), 0u);
    EXPECT_EQ(f.at(0, 6), 0u);
}

TEST(Sprite, KeyedModesTreatKeyAndTopByte) {
    const uint32_t pix[3] = {kKey, kKey | 0x01000000u, 0x404040};
    Sprite s(pix, 3, 1, kKey);
    s.x = 10;
    s.y = 20;
    GuardedFrame keyed(0x202020), half(0x202020);
    s.drawKeyed(keyed.px());
    s.drawKeyedHalf(half.px());
    EXPECT_EQ(keyed.at(10, 20), 0x202020u);             // key: untouched
    EXPECT_EQ(keyed.at(11, 20), kKey | 0x01000000u);    // differs in the top byte: drawn
    EXPECT_EQ(keyed.at(12, 20), 0x404040u);
    EXPECT_EQ(half.at(10, 20), 0x202020u);
    EXPECT_EQ(half.at(11, 20), blendHalf(0x202020, kKey | 0x01000000u));
    EXPECT_EQ(half.at(12, 20), 0x303030u);
}

TEST(Sprite, AdditiveIgnoresKeyAndSkipsBlack) {
    const uint32_t pix[4] = {0, kKey, 0xFFFFFF, 0x808080};
    Sprite s(pix, 4, 1, 0x123456);
    s.x = 0;
    s.y = 199;
    GuardedFrame f(0x909090);
    s.drawAdditive(f.px());
    EXPECT_EQ(f.at(0, 199), 0x909090u);
    EXPECT_EQ(f.at(1, 199), 0x9090FFu);
    EXPECT_EQ(f.at(2, 199), 0xFFFFFFu);
    EXPECT_EQ(f.at(3, 199), 0xFFFFFFu);
    EXPECT_EQ(f.at(4, 199), 0x909090u);
    EXPECT_TRUE(f.guardsIntact());
}

