// The centre smear's fast form (two rows, SWAR brighten, values carried in
// registers) against its plain twin on random pictures, frame after frame,
// with channels near and at 255 so that the brighten's carry trick shows.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "gfx2d/smear.h"

namespace {

uint32_t randomChannel(std::mt19937& rng) {
    switch (rng() % 4) {
        case 0: return 0xFFu;
        case 1: return 0xFEu - rng() % 3;  // 0xFC..0xFE
        case 2: return 0x7Eu + rng() % 3;  // 0x7E..0x80
        default: return rng() & 0xFFu;
    }
}

uint32_t randomPixel(std::mt19937& rng) {
    // Any top byte: the smear must clear it as the plain form does.
    return (rng() & 0xFF000000u) | randomChannel(rng) << 16 | randomChannel(rng) << 8 | randomChannel(rng);
}

TEST(Smear, BrightenRaisesEachChannelUpTo255) {
    std::mt19937 rng(5);
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t b = 0; b < 256; b += 5) {
            const uint32_t c = (rng() & 0xFF000000u) | a << 16 | b << 8 | (a ^ b);
            auto up = [](uint32_t ch) { return ch < 255 ? ch + 1 : 255u; };
            const uint32_t want = up(a) << 16 | up(b) << 8 | up(a ^ b);
            ASSERT_EQ(brighten(c), want) << std::hex << c;
        }
}

TEST(Smear, TwoRowFormMatchesThePlainSmearFrameAfterFrame) {
    std::mt19937 rng(160);
    for (int trial = 0; trial < 20; ++trial) {
        std::vector<uint32_t> fast(2 * 320);
        for (uint32_t& c : fast) c = randomPixel(rng);
        std::vector<uint32_t> plain = fast;
        for (int frame = 0; frame < 12; ++frame) {
            smearRows(fast.data(), fast.data() + 320);
            smearRowPlain(plain.data());
            smearRowPlain(plain.data() + 320);
            ASSERT_EQ(fast, plain) << "trial " << trial << " frame " << frame;
        }
    }
}

}  // namespace
