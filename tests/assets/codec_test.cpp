// The generator's pure steps: PCX runs, keyed pixel conversion, dissolve
// level ranking.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gen/pic_codec.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The loader's decoding: one continuous stream until count bytes exist.
Bytes decodeRuns(const Bytes& runs, size_t count) {
    Bytes out;
    size_t p = 0;
    while (out.size() < count && p < runs.size()) {
        const uint8_t b = runs[p++];
        if (b >= 192) {
            const uint8_t v = runs.at(p++);
            out.insert(out.end(), size_t(b & 63), v);
        } else {
            out.push_back(b);
        }
    }
    return out;
}

TEST(PcxRuns, SmallCasesEncodeAsTheReaderExpects) {
    EXPECT_EQ(pic::encodePcxRuns({5}, 256), (Bytes{5}));
    EXPECT_EQ(pic::encodePcxRuns({200}, 256), (Bytes{0xC1, 200})) << "a high literal is a run of one";
    EXPECT_EQ(pic::encodePcxRuns({191, 192}, 256), (Bytes{191, 0xC1, 192}));
    EXPECT_EQ(pic::encodePcxRuns(Bytes(64, 7), 256), (Bytes{0xFF, 7, 7})) << "63 then one";
    EXPECT_EQ(pic::encodePcxRuns(Bytes(4, 9), 2), (Bytes{0xC2, 9, 0xC2, 9})) << "runs stop at line ends";
}

TEST(PcxRuns, WholePictureRoundTripsWithShortRuns) {
    Bytes px(256 * 256);
    for (size_t i = 0; i < px.size(); ++i) {
        const size_t x = i % 256, y = i / 256;
        px[i] = y < 64 ? uint8_t(x) : y < 128 ? uint8_t(y) : uint8_t((x / 100) * 97 + 3);
    }
    const Bytes runs = pic::encodePcxRuns(px, 256);
    for (size_t p = 0; p < runs.size(); ++p)
        if (runs[p] >= 192) {
            EXPECT_GE(runs[p] & 63, 1);
            ++p;  // skip the run's value
        }
    EXPECT_EQ(decodeRuns(runs, px.size()), px);
}

TEST(KeyPixel, CoverageBelowHalfIsExactlyTheKeyAndNothingElseComesNear) {
    auto same = [](pic::KeyedPixel k, int r, int g, int b) { return k.r == r && k.g == g && k.b == b; };
    EXPECT_TRUE(same(pic::keyPixel(0, 0, 0, 0), 0, 0, 255));
    EXPECT_TRUE(same(pic::keyPixel(127, 127, 127, 127), 0, 0, 255));
    EXPECT_TRUE(same(pic::keyPixel(128, 128, 128, 128), 255, 255, 255)) << "half-covered white at full strength";
    EXPECT_TRUE(same(pic::keyPixel(255, 255, 128, 0), 255, 128, 0));
    // Drawn blue that would equal or nearly equal the key is pulled away.
    EXPECT_TRUE(same(pic::keyPixel(255, 0, 0, 255), 0, 0, 150));
    EXPECT_TRUE(same(pic::keyPixel(255, 20, 30, 200), 20, 30, 150));
    for (int a = 0; a < 256; a += 5)
        for (int c = 0; c <= a; c += 3) {
            const pic::KeyedPixel k = pic::keyPixel(a, c / 4, c / 5, c);
            EXPECT_FALSE(pic::nearKey(k.r, k.g, k.b)) << a << " " << c;
        }
}

TEST(LevelsByRank, EveryLevelEquallyOftenInScoreOrder) {
    std::vector<float> score(64000);
    uint32_t s = 1;
    for (float& v : score) {
        s = s * 1664525u + 1013904223u;
        v = float(s >> 20);  // many ties
    }
    const Bytes levels = pic::levelsByRank(score);
    std::vector<int> count(256, 0);
    for (uint8_t l : levels) ++count[l];
    for (int c : count) EXPECT_EQ(c, 250);
    for (size_t i = 1; i < score.size(); ++i) {
        // Rising scores never lower the level; equal scores go by position.
        if (score[i] >= score[i - 1]) {
            EXPECT_GE(levels[i], levels[i - 1]) << i;
        }
    }
}

}  // namespace
