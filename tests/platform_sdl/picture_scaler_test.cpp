// The window's CPU scaler against a plain two-step reference: nearest to
// the largest whole multiple, then a linear stretch sampled at pixel
// centres, evaluated per output pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/picture_scaler.h"

namespace {

struct Sample {
    int a, b;
    double t;  // weight of b
};

Sample sampleAxis(int n, int out, int i) {
    int k = ptc::wholeFactor(n, out);
    int inter = n * k;
    double pos = std::clamp((i + 0.5) * inter / out - 0.5, 0.0, inter - 1.0);
    int p0 = static_cast<int>(std::floor(pos));
    int p1 = std::min(p0 + 1, inter - 1);
    return {p0 / k, p1 / k, pos - p0};
}

double channel(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

// The reference value of one channel of output pixel (x, y).
double reference(const std::vector<uint32_t>& src, int w, int h, const ptc::PictureRect& r, int x, int y, int shift) {
    Sample sx = sampleAxis(w, r.w, x), sy = sampleAxis(h, r.h, y);
    auto at = [&](int cx, int cy) { return channel(src[static_cast<size_t>(cy) * w + cx], shift); };
    double top = at(sx.a, sy.a) * (1 - sx.t) + at(sx.b, sy.a) * sx.t;
    double bottom = at(sx.a, sy.b) * (1 - sx.t) + at(sx.b, sy.b) * sx.t;
    return top * (1 - sy.t) + bottom * sy.t;
}

std::vector<uint32_t> scaled(ptc::PictureScaler& scaler, const std::vector<uint32_t>& src) {
    const ptc::PictureRect& r = scaler.rect();
    std::vector<uint32_t> out(static_cast<size_t>(r.w) * r.h, 0xDEADBEEF);
    scaler.scale(src.data(), reinterpret_cast<uint8_t*>(out.data()), r.w * 4);
    return out;
}

}  // namespace

TEST(PictureScaler, FitsTheLargest4By3Rectangle) {
    ptc::PictureRect r = ptc::fitPicture(1920, 1080);
    EXPECT_EQ(r.x, 240);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.w, 1440);
    EXPECT_EQ(r.h, 1080);
    r = ptc::fitPicture(960, 720);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.w, 960);
    EXPECT_EQ(r.h, 720);
    r = ptc::fitPicture(800, 1000);  // tall window: bars above and below
    EXPECT_EQ(r.w, 800);
    EXPECT_EQ(r.h, 600);
    EXPECT_EQ(r.y, 200);
    r = ptc::fitPicture(1, 1);
    EXPECT_GE(r.w, 1);
    EXPECT_GE(r.h, 1);
}

TEST(PictureScaler, MatchesThePlainTwoStepScale) {
    std::mt19937 rng(7);
    struct Case {
        int w, h, windowW, windowH;
    };
    // The default window, desktop fullscreen, the letterbox console, odd
    // and smaller-than-console windows.
    for (Case c : {Case{320, 200, 960, 720}, Case{320, 200, 1920, 1080}, Case{320, 240, 1920, 1080},
                   Case{320, 200, 1001, 777}, Case{320, 240, 640, 480}, Case{320, 200, 200, 150}}) {
        std::vector<uint32_t> src(static_cast<size_t>(c.w) * c.h);
        for (uint32_t& p : src) p = rng() & 0xFFFFFF;
        ptc::PictureScaler scaler;
        EXPECT_TRUE(scaler.layout(c.w, c.h, c.windowW, c.windowH));
        EXPECT_FALSE(scaler.layout(c.w, c.h, c.windowW, c.windowH));
        const ptc::PictureRect& r = scaler.rect();
        std::vector<uint32_t> out = scaled(scaler, src);
        int worst = 0;
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x)
                for (int shift : {0, 8, 16}) {
                    double want = reference(src, c.w, c.h, r, x, y, shift);
                    int got = static_cast<int>(channel(out[static_cast<size_t>(y) * r.w + x], shift));
                    worst = std::max(worst, static_cast<int>(std::ceil(std::fabs(got - want))));
                }
        // Each step rounds down once with 8-bit weights.
        EXPECT_LE(worst, 3) << c.windowW << "x" << c.windowH;
        for (uint32_t p : out) ASSERT_EQ(p >> 24, 0u);
    }
}

TEST(PictureScaler, WholeMultiplesStaySharp) {
    // 960x720 from 320x240 is exactly 3x3: every output pixel is a console
    // pixel. From 320x200 the columns stay whole and a row mixes only the
    // two console rows whose boundary it straddles.
    std::vector<uint32_t> src(320 * 240);
    for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
    ptc::PictureScaler scaler;
    scaler.layout(320, 240, 960, 720);
    std::vector<uint32_t> out = scaled(scaler, src);
    for (int y = 0; y < 720; ++y)
        for (int x = 0; x < 960; ++x) ASSERT_EQ(out[static_cast<size_t>(y) * 960 + x], src[(y / 3) * 320 + x / 3]);

    scaler.layout(320, 200, 960, 720);
    out = scaled(scaler, src);
    int mixedRows = 0;
    for (int y = 0; y < 720; ++y) {
        const uint32_t* row = &out[static_cast<size_t>(y) * 960];
        for (int x = 0; x < 960; x += 3) ASSERT_TRUE(row[x] == row[x + 1] && row[x] == row[x + 2]) << y;
        // A console row as it is, or a blend of two neighbouring ones.
        auto between = [&](int cy, int next) {
            for (int x = 0; x < 960; ++x)
                for (int shift : {0, 8, 16}) {
                    double v = channel(row[x], shift);
                    double a = channel(src[cy * 320 + x / 3], shift), b = channel(src[next * 320 + x / 3], shift);
                    if (v < std::min(a, b) || v > std::max(a, b)) return false;
                }
            return true;
        };
        bool plain = false, blend = false;
        for (int cy = 0; cy < 200 && !plain; ++cy) plain = between(cy, cy);
        for (int cy = 0; cy + 1 < 200 && !plain && !blend; ++cy) blend = between(cy, cy + 1);
        EXPECT_TRUE(plain || blend) << "row " << y;
        mixedRows += !plain;
    }
    // A boundary of console rows mixes at most the two screen rows that
    // the 1.2x stretch of its 3-row step spreads it over.
    EXPECT_LE(mixedRows, 2 * 199);
    EXPECT_GT(mixedRows, 0);
}
