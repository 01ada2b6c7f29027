#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "frame_helpers.h"
#include "gfx2d/colour.h"
#include "gfx2d/map_table.h"

namespace {

// u = x, v = y (relative to the centre): the table shows the texture
// unwarped, which makes draws easy to predict.
class ShiftMap : public MapFunction {
public:
    ShiftMap() : MapFunction(0.0f) {}
    void map(float x, float y, int32_t& u, int32_t& v) const override {
        u = static_cast<int32_t>(std::floor(x));
        v = static_cast<int32_t>(std::floor(y));
    }
};

std::vector<uint32_t> texture256() { return numberedPicture(256, 256, 0x030201); }

template <typename Table>
void expectTableMatchesFunction(const Table& table, const MapFunction& f, int w, int h, float nudge) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float fx = static_cast<float>(x - w / 2), fy = static_cast<float>(y - h / 2);
            if (fx == 0.0f) fx = nudge;
            if (fy == 0.0f) fy = nudge;
            int32_t u, v;
            f.map(fx, fy, u, v);
            ASSERT_EQ(table.entries[y * w + x], ((v & 255) << 8) | (u & 255)) << x << "," << y;
        }
}

}  // namespace

TEST(MapTable, EntriesAreTheMapFunction) {
    const TunnelMap tunnel(4096.0f);
    const PolarMap polar(128.0f);
    const InversionMap inversion(2048.0f);
    EXPECT_FLOAT_EQ(polar.k, 1.0f / 128.0f);
    for (const MapFunction* f : std::initializer_list<const MapFunction*>{&tunnel, &polar, &inversion}) {
        auto small = std::make_unique<MapTable>(*f);
        expectTableMatchesFunction(*small, *f, 320, 200, 0.001f);
        auto big = std::make_unique<BigMapTable>(*f);
        expectTableMatchesFunction(*big, *f, 640, 400, 0.00001f);
    }
}

TEST(MapTable, TunnelAtTheOriginAndAlongTheAxis) {
    const TunnelMap tunnel(4096.0f);
    auto table = std::make_unique<MapTable>(tunnel);
    // (0, 0) becomes (0.001, 0.001): k over the distance 0.0014142...
    const uint16_t origin = table->entries[100 * 320 + 160];
    const int32_t expectU = static_cast<int32_t>(4096.0 / 0.0014142135623730951);
    EXPECT_NEAR(origin & 255, expectU & 255, 1);
    EXPECT_EQ(origin >> 8, 64);  // atan(1) * 256/pi
    // Row y = 0: v = 0 and u = 4096/|x|, give or take the last bit of
    // cos(atan(0.001/x)), which is just below 1.
    for (int x = 1; x < 160; ++x)
        for (const int side : {x, -x}) {
            const uint16_t e = table->entries[100 * 320 + 160 + side];
            EXPECT_EQ(e >> 8, 0) << side;
            EXPECT_LE(((4096 / x) - e) & 255, 1) << side;
        }
    // Column x = 0: angle near +-pi/2, v = +-127.
    EXPECT_EQ(table->entries[0 * 320 + 160] >> 8, (-127) & 255);
    EXPECT_EQ(table->entries[199 * 320 + 160] >> 8, 127);
}

TEST(MapTable, DrawAddsTheOffset) {
    const ShiftMap shift;
    auto table = std::make_unique<MapTable>(shift);
    const std::vector<uint32_t> tex = texture256();
    GuardedFrame f(0x404040);
    table->offset = 0x10000 + 256 * 3 + 1;  // only the low 16 bits count: down 3 rows, right 1 column
    table->draw(f.px(), tex.data());
    for (int y = 0; y < kH; y += 7)
        for (int x = 0; x < kW; x += 5) {
            const uint16_t e = static_cast<uint16_t>((((y - 100) & 255) << 8 | ((x - 160) & 255)) + 256 * 3 + 1);
            ASSERT_EQ(f.at(x, y), tex[e]) << x << "," << y;
        }
    table->drawHalf(f.px(), tex.data());
    EXPECT_EQ(f.at(10, 10), tex[static_cast<uint16_t>(((10 - 100) & 255) << 8 | ((10 - 160) & 255)) + 769] &
                                0xFEFEFEu);
    EXPECT_TRUE(f.guardsIntact());
}

TEST(BigMapTable, WindowPicksTheQuarterAndIsKeptInside) {
    const ShiftMap shift;
    auto table = std::make_unique<BigMapTable>(shift);
    const std::vector<uint32_t> tex = texture256();
    auto texelAt = [&](int mx, int my) { return tex[((my - 200) & 255) << 8 | ((mx - 320) & 255)]; };

    GuardedFrame f;
    table->draw(f.px(), tex.data());
    EXPECT_EQ(f.at(0, 0), texelAt(0, 0));
    EXPECT_EQ(f.at(319, 199), texelAt(319, 199));

    table->window = 200 * 640 + 320;
    table->draw(f.px(), tex.data());
    EXPECT_EQ(f.at(0, 0), texelAt(320, 200));
    EXPECT_EQ(f.at(319, 199), texelAt(639, 399));
    const uint64_t bottomRight = checksum(f.px(), kPixels);

    table->window = 10000000;  // beyond the map: held at the bottom-right corner
    table->drawHalf(f.px(), tex.data());
    EXPECT_EQ(f.at(319, 199), texelAt(639, 399) & 0xFEFEFEu);
    table->window = -5;
    table->draw(f.px(), tex.data());
    EXPECT_EQ(f.at(0, 0), texelAt(0, 0));
    EXPECT_NE(checksum(f.px(), kPixels), bottomRight);
    EXPECT_TRUE(f.guardsIntact());
}
