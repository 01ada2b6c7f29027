// The generated pictures read back through small readers of their own: file
// sizes and storage, the PCX stream, the shape outlines, sprite grounds,
// pattern levels, strip repeats, texture seams, and run-to-run identity.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "gen/pic_table.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes readRaw(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Whole content as the demo's loader sees it: gzread inflates gzip files
// and passes plain ones through.
Bytes readInflated(const std::string& path) {
    Bytes out;
    gzFile f = gzopen(path.c_str(), "rb");
    if (!f) return out;
    uint8_t buf[16384];
    int n;
    while ((n = gzread(f, buf, sizeof buf)) > 0) out.insert(out.end(), buf, buf + n);
    gzclose(f);
    return out;
}

bool isGzip(const Bytes& b) { return b.size() >= 10 && b[0] == 0x1F && b[1] == 0x8B; }

class Pictures : public ::testing::Test {
protected:
    static std::string dirA, dirB, baseDir;

    // CTest runs every test in its own process; they share one output of
    // the generator, kept under a name made from the generator binary's size
    // and time, written to a fresh folder and renamed into place.
    static void SetUpTestSuite() {
        struct stat st {};
        ASSERT_EQ(stat(PLIVAK_BIN_DIR "/plivak-data", &st), 0) << "plivak-data is not built";
        const std::string shared = "/tmp/plivak_pics_" + std::to_string(long(st.st_size)) + "_" +
                                   std::to_string(long(st.st_mtime)) + "/";
        char tmpl[] = "/tmp/plivak_pics_XXXXXX";
        const char* base = mkdtemp(tmpl);
        ASSERT_NE(base, nullptr);
        baseDir = base;
        dirB = baseDir + "/b/";
        struct stat done {};
        if (stat((shared + "shape7").c_str(), &done) != 0) {
            const std::string fresh = std::string(base) + "/a/";
            generate(fresh);
            if (std::rename(fresh.c_str(), shared.c_str()) != 0) {
                // Another process got there first: use that output.
                (void)std::system(("rm -rf " + fresh).c_str());
            }
        }
        dirA = shared;
    }

    static void TearDownTestSuite() {
        if (!baseDir.empty()) (void)std::system(("rm -rf " + baseDir).c_str());
    }

    static void generate(const std::string& dir) {
        // The other generators' results are not judged here; only the
        // pictures must exist.
        const std::string cmd = std::string(PLIVAK_BIN_DIR "/plivak-data ") + dir + " > /dev/null";
        (void)std::system(cmd.c_str());
    }

    static Bytes file(const char* name) { return readInflated(dirA + name); }
    static const pic::PictureFile& entry(const char* name) {
        for (const pic::PictureFile& f : pic::kPictureFiles)
            if (std::string(f.name) == name) return f;
        ADD_FAILURE() << "no table entry " << name;
        return pic::kPictureFiles[0];
    }
};
std::string Pictures::dirA, Pictures::dirB, Pictures::baseDir;

TEST_F(Pictures, EveryFileHasItsSizeAndStorage) {
    int gz = 0, plain = 0;
    std::set<Bytes> distinct;
    for (const pic::PictureFile& f : pic::kPictureFiles) {
        const Bytes raw = readRaw(dirA + f.name);
        ASSERT_FALSE(raw.empty()) << f.name;
        EXPECT_EQ(isGzip(raw), f.gzip) << f.name;
        if (isGzip(raw)) {
            ++gz;
            // mtime (bytes 4..7) zero: the file does not depend on when it was made.
            EXPECT_EQ(raw[4] | raw[5] | raw[6] | raw[7], 0) << f.name;
        } else {
            ++plain;
        }
        const Bytes content = readInflated(dirA + f.name);
        const size_t expected = size_t(f.width) * size_t(f.height) * (f.use == pic::Use::Pattern ? 1 : 3);
        EXPECT_EQ(content.size(), expected) << f.name;
        EXPECT_TRUE(distinct.insert(content).second) << f.name << " repeats another picture";
    }
    EXPECT_GT(gz, 10);
    EXPECT_GT(plain, 10);
}

TEST_F(Pictures, TwoRunsWriteIdenticalFiles) {
    generate(dirB);
    std::vector<std::string> names;
    for (const pic::PictureFile& f : pic::kPictureFiles) names.push_back(f.name);
    names.push_back("cooltext.pcx");
    for (int n = 1; n <= pic::kShapeCount; ++n) names.push_back("shape" + std::to_string(n));
    for (const std::string& n : names) {
        const Bytes a = readRaw(dirA + n), b = readRaw(dirB + n);
        EXPECT_FALSE(a.empty()) << n;
        EXPECT_TRUE(a == b) << n << " differs between runs";
    }
}

TEST_F(Pictures, CoolTextIsA256SquareRunLengthPcx) {
    const Bytes b = readRaw(dirA + "cooltext.pcx");
    ASSERT_GT(b.size(), 128u + 769u);
    auto le16 = [&](size_t at) { return int(int16_t(b[at] | b[at + 1] << 8)); };
    EXPECT_EQ(b[0], 10);
    EXPECT_EQ(b[1], 5);
    EXPECT_EQ(b[2], 1);
    EXPECT_EQ(b[3], 8);
    EXPECT_EQ(le16(4), 0);
    EXPECT_EQ(le16(6), 0);
    EXPECT_EQ(le16(8), 255);
    EXPECT_EQ(le16(10), 255);
    EXPECT_EQ(b[65], 1);
    EXPECT_EQ(le16(66), 256);
    // One continuous run stream, as the loader decodes it.
    size_t p = 128, produced = 0;
    std::set<int> indices;
    while (produced < 65536) {
        ASSERT_LT(p, b.size());
        const uint8_t v = b[p++];
        if (v >= 192) {
            const int n = v & 63;
            EXPECT_GT(n, 0) << "empty run at " << p - 1;
            ASSERT_LT(p, b.size());
            indices.insert(b[p++]);
            produced += size_t(n);
        } else {
            indices.insert(v);
            ++produced;
        }
    }
    EXPECT_EQ(produced, 65536u);
    ASSERT_EQ(b.size(), p + 769) << "marker and palette follow the pixels exactly";
    EXPECT_EQ(b[p], 0x0C);
    EXPECT_GT(indices.size(), 100u) << "the picture uses its palette's ramps";
    // The palette is not flat: entries differ.
    std::set<uint32_t> colours;
    for (int i = 0; i < 256; ++i)
        colours.insert(uint32_t(b[p + 1 + i * 3]) << 16 | uint32_t(b[p + 2 + i * 3]) << 8 | b[p + 3 + i * 3]);
    EXPECT_GT(colours.size(), 200u);
}

TEST_F(Pictures, ShapesParseAsOutlinesOfSimilarLength) {
    for (int n = 1; n <= pic::kShapeCount; ++n) {
        const std::string path = dirA + "shape" + std::to_string(n);
        FILE* f = std::fopen(path.c_str(), "r");
        ASSERT_NE(f, nullptr) << path;
        int count = 0;
        char word[32] = {0};
        ASSERT_EQ(std::fscanf(f, "%d %31s", &count, word), 2) << path;
        EXPECT_STREQ(word, "vertices");
        EXPECT_GE(count, 8) << path;
        EXPECT_LE(count, 12) << path;
        std::set<long> directions;
        double previous = 0;
        for (int i = 0; i < count; ++i) {
            float x, y;
            ASSERT_EQ(std::fscanf(f, "%f %f", &x, &y), 2) << path << " vertex " << i;
            EXPECT_GT(std::hypot(x, y), 1.0f) << "a vertex at the origin has no direction";
            const double angle = std::atan2(y, x) * 180.0 / M_PI;
            directions.insert((std::lround(angle) + 360) % 360);
            // Every outline turns the same way round, less than half a turn
            // per vertex, so that morphing between them does not fold over.
            if (i > 0) {
                const double step = std::fmod(angle - previous + 720.0, 360.0);
                EXPECT_LT(step, 180.0) << path << " vertex " << i;
            }
            previous = angle;
        }
        EXPECT_GE(directions.size(), 3u) << path;
        std::fclose(f);
    }
}

TEST_F(Pictures, KeyedSpritesHaveNoPixelNearTheKey) {
    for (const pic::PictureFile& f : pic::kPictureFiles) {
        if (f.use != pic::Use::Keyed) continue;
        const Bytes px = file(f.name);
        ASSERT_EQ(px.size(), size_t(f.width) * size_t(f.height) * 3);
        size_t key = 0, near = 0;
        for (size_t i = 0; i < px.size(); i += 3) {
            if (px[i] == 0 && px[i + 1] == 0 && px[i + 2] == 255) ++key;
            if (pic::nearKey(px[i], px[i + 1], px[i + 2])) ++near;
        }
        const size_t total = px.size() / 3;
        EXPECT_EQ(near, 0u) << f.name;
        EXPECT_GT(key, total / 20) << f.name << " has almost no transparent ground";
        EXPECT_LT(key, total - total / 20) << f.name << " is almost all key";
        // The top-left corner is ground: every sprite sits on the key.
        EXPECT_TRUE(px[0] == 0 && px[1] == 0 && px[2] == 255) << f.name;
    }
}

TEST_F(Pictures, AdditiveSpritesSitOnBlack) {
    for (const pic::PictureFile& f : pic::kPictureFiles) {
        if (f.use != pic::Use::Additive) continue;
        const Bytes px = file(f.name);
        size_t black = 0, bright = 0;
        for (size_t i = 0; i < px.size(); i += 3) {
            const int sum = px[i] + px[i + 1] + px[i + 2];
            if (sum == 0) ++black;
            if (sum > 360) ++bright;
        }
        const size_t total = px.size() / 3;
        EXPECT_GT(black, total / 4) << f.name;
        EXPECT_GT(bright, total / 100) << f.name << " shows too little when added";
    }
}

TEST_F(Pictures, PatternsOrderEveryLevelEqually) {
    for (const char* name : {"pattern1.gra", "pattern2.gra"}) {
        const Bytes p = file(name);
        ASSERT_EQ(p.size(), 64000u);
        std::vector<int> count(256, 0);
        for (uint8_t v : p) ++count[v];
        // pattern2 is filled every second level up to 254: its last level
        // is merged into 254 so that the dissolve ends on a white screen.
        const bool evenLevels = std::string(name) == "pattern2.gra";
        for (int level = 0; level < 256; ++level) {
            int want = !evenLevels ? 250 : level < 254 ? 250 : level == 254 ? 500 : 0;
            EXPECT_EQ(count[size_t(level)], want) << name << " level " << level;
        }
        // Neighbours are mostly close in level: an ordered dissolve, not noise.
        long jump = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 1; x < 320; ++x) jump += std::abs(p[size_t(y * 320 + x)] - p[size_t(y * 320 + x - 1)]);
        EXPECT_LT(double(jump) / (200.0 * 319.0), 20.0) << name;
    }
}

TEST_F(Pictures, DigitStripsRepeatEvery200Rows) {
    for (const char* name : {"binary1.rgb", "binary2.rgb"}) {
        const Bytes p = file(name);
        ASSERT_EQ(p.size(), 64u * 400u * 3u);
        const size_t half = 64u * 200u * 3u;
        EXPECT_TRUE(std::equal(p.begin(), p.begin() + long(half), p.begin() + long(half))) << name;
    }
}

// Mean absolute difference between two texel columns (or rows) of a
// 256x256 texture.
double lineDiff(const Bytes& t, int a, int b, bool columns) {
    long sum = 0;
    for (int i = 0; i < 256; ++i) {
        const size_t pa = columns ? size_t(i * 256 + a) : size_t(a * 256 + i);
        const size_t pb = columns ? size_t(i * 256 + b) : size_t(b * 256 + i);
        for (int c = 0; c < 3; ++c) sum += std::abs(t[pa * 3 + size_t(c)] - t[pb * 3 + size_t(c)]);
    }
    return double(sum) / (256.0 * 3.0);
}

TEST_F(Pictures, TexturesTileWithoutSeams) {
    for (const pic::PictureFile& f : pic::kPictureFiles) {
        if (f.use != pic::Use::Texture) continue;
        const Bytes t = file(f.name);
        ASSERT_EQ(t.size(), 256u * 256u * 3u);
        for (bool columns : {true, false}) {
            // The wrap from the last line to the first is no harder an edge
            // than the hardest edge inside the texture (woven and tiled ones
            // have sharp edges of their own).
            double hardest = 0;
            for (int k = 0; k < 255; ++k) hardest = std::max(hardest, lineDiff(t, k, k + 1, columns));
            EXPECT_LE(lineDiff(t, 255, 0, columns), hardest + 2.0)
                << f.name << (columns ? " left/right" : " top/bottom") << " seam";
        }
    }
}

TEST_F(Pictures, ScrollerTextIsStoredStripByStrip) {
    // Strip k is column k of the text image, top to bottom: the first and last
    // pixel of every strip are the bar's dark top and bottom edge, whatever
    // letters the column crosses.
    const Bytes p = file("greets.rgb");
    ASSERT_EQ(p.size(), 1024u * 80u * 3u);
    int text = 0;
    for (int k = 0; k < 1024; ++k) {
        const uint8_t* top = &p[size_t(k) * 80 * 3];
        const uint8_t* bottom = top + 79 * 3;
        EXPECT_LT(top[0] + top[1] + top[2], 200) << "strip " << k;
        EXPECT_LT(bottom[0] + bottom[1] + bottom[2], 200) << "strip " << k;
        const uint8_t* mid = top + 40 * 3;
        if (mid[0] > 200 && mid[1] > 120) ++text;  // the letters are warm yellow
    }
    EXPECT_GT(text, 100) << "the text runs along the strips";
}

TEST_F(Pictures, FrameOfTheRaytracedViewIsDrawnInItsBands) {
    // Rows 0..29 and 170..199 are the visible frame; they carry detail.
    const Bytes p = file("rayflare.rgb");
    std::set<uint32_t> colours;
    for (int y : {5, 15, 25, 175, 185, 195})
        for (int x = 0; x < 320; ++x) {
            const uint8_t* q = &p[size_t(y * 320 + x) * 3];
            colours.insert(uint32_t(q[0]) << 16 | uint32_t(q[1]) << 8 | q[2]);
        }
    EXPECT_GT(colours.size(), 50u);
}

}  // namespace
