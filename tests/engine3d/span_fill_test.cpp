// The span filler against its plain twins on random input: random u and v
// with random steps along both axes, random textures and frames, odd span
// lengths and spans that run off either end of the row. Every texel of the
// textures differs, so a lane that reads the wrong offset shows.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine3d/span_fill.h"

namespace {

std::vector<uint32_t> randomPicture(std::mt19937& rng, size_t n) {
    std::vector<uint32_t> p(n);
    for (uint32_t& c : p) c = rng();
    return p;
}

// A step of u or v: mostly up to a few texels a pixel either way, sometimes
// any 32-bit value (the adds wrap alike).
uint32_t randomStep(std::mt19937& rng) {
    if (rng() % 4 == 0) return rng();
    return static_cast<uint32_t>(std::uniform_int_distribution<int32_t>(-6 * 65536, 6 * 65536)(rng));
}

TEST(SpanFill, BlockOfEightMatchesThePixelWalk) {
    std::mt19937 rng(8008);
    const std::vector<uint32_t> texture = randomPicture(rng, 65536);
    constexpr int kGuard = 4;
    for (int trial = 0; trial < 20000; ++trial) {
        const uint32_t u = rng(), v = rng(), du = randomStep(rng), dv = randomStep(rng);
        std::vector<uint32_t> fast = randomPicture(rng, 8 + 2 * kGuard);
        std::vector<uint32_t> plain = fast;
        walkBlock8(fast.data() + kGuard, u, v, du, dv, texture.data());
        walkPixels(plain.data() + kGuard, 8, u, v, du, dv, texture.data());
        ASSERT_EQ(fast, plain) << "u " << u << " v " << v << " du " << du << " dv " << dv;
    }
}

struct SpanCase {
    SpanRecord span;
    SpanGradients g;
};

// A span anywhere from 40 pixels left of the row to 20 right of it, up to
// 360 pixels long, with 1/z positive along it and u, v that move along both
// axes at random rates.
SpanCase randomSpan(std::mt19937& rng) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    SpanCase c{};
    const float start = -40.0f + 380.0f * unit(rng);
    const float length = rng() % 8 == 0 ? static_cast<float>(rng() % 24) : 360.0f * unit(rng);
    c.span.startX = static_cast<Fixed16>(start * 65536.0f);
    c.span.endX = static_cast<Fixed16>((start + length) * 65536.0f);
    c.span.line = static_cast<int32_t>(rng() % 200);
    const float invZ = 0.02f + unit(rng);
    const float invZEnd = 0.02f + unit(rng);
    // 1/z heads from invZ towards invZEnd and stays between them.
    c.g.invZ = (invZEnd - invZ) / (length + 1.0f);
    c.span.invZ = invZ;
    c.span.uOverZ = (unit(rng) * 8.0f - 4.0f) * invZ;
    c.span.vOverZ = (unit(rng) * 8.0f - 4.0f) * invZ;
    c.g.uOverZ = (unit(rng) - 0.5f) * 0.04f;
    c.g.vOverZ = (unit(rng) - 0.5f) * 0.04f;
    return c;
}

TEST(SpanFill, FillerMatchesItsPlainTwinOnRandomSpans) {
    std::mt19937 rng(2718);
    const std::vector<uint32_t> texture = randomPicture(rng, 65536);
    std::vector<uint32_t> fast = randomPicture(rng, 64000);
    std::vector<uint32_t> plain = fast;
    int drawn = 0;
    for (int trial = 0; trial < 5000; ++trial) {
        const SpanCase c = randomSpan(rng);
        fillSpan(c.span, c.g, texture.data(), fast.data(), 320);
        fillSpanPlain(c.span, c.g, texture.data(), plain.data(), 320);
        const uint32_t* f = fast.data() + c.span.line * 320;
        const uint32_t* p = plain.data() + c.span.line * 320;
        for (int x = 0; x < 320; ++x)
            ASSERT_EQ(f[x], p[x]) << "trial " << trial << " x " << x << " start " << c.span.startX << " end "
                                  << c.span.endX;
        drawn += c.span.endX > c.span.startX;
    }
    EXPECT_EQ(fast, plain);
    EXPECT_GT(drawn, 4000);
}

// Every span length from 0 to 40 pixels, each from a whole and a
// fractional start: each block count and each remainder (8 by the SSE2
// walk, 1..7 by the pixel walk) against the twin.
TEST(SpanFill, EveryLengthMatchesThePlainTwin) {
    std::mt19937 rng(31);
    const std::vector<uint32_t> texture = randomPicture(rng, 65536);
    for (int length = 0; length <= 40; ++length) {
        for (const float start : {17.0f, 17.4f}) {
            SpanCase c = randomSpan(rng);
            c.span.startX = static_cast<Fixed16>(start * 65536.0f);
            c.span.endX = static_cast<Fixed16>((start + static_cast<float>(length)) * 65536.0f);
            std::vector<uint32_t> fast = randomPicture(rng, 64000);
            std::vector<uint32_t> plain = fast;
            const std::vector<uint32_t> before = fast;
            fillSpan(c.span, c.g, texture.data(), fast.data(), 320);
            fillSpanPlain(c.span, c.g, texture.data(), plain.data(), 320);
            ASSERT_EQ(fast, plain) << "length " << length << " from " << start;
            int changed = 0;
            for (size_t i = 0; i < fast.size(); ++i) changed += fast[i] != before[i];
            EXPECT_LE(changed, length) << "length " << length;  // nothing outside the span's pixels
        }
    }
}

}  // namespace
