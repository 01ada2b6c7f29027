// The camera, the sample grid and the block blit; one small scene drawn
// end to end.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "ray_test_scene.h"
#include "raytracer/ray_render.h"
#include "raytracer/ray_trace.h"

namespace {

constexpr uint32_t kSentinel = 0x00A0B0C0u;

void fillGrid(RaySample s) {
    for (auto& column : RaySampleGrid)
        for (auto& sample : column) sample = s;
}

uint32_t expectedBlend(uint32_t fresh, uint32_t old) { return ((fresh >> 1) & 0x7F7F7Fu) + ((old >> 1) & 0x7F7F7Fu); }

int channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

}  // namespace

TEST(RayRender, ClampChannel) {
    EXPECT_EQ(clampChannel(1.0f, 255), 255);
    EXPECT_EQ(clampChannel(0.5f, 255), 127);
    EXPECT_EQ(clampChannel(-0.2f, 255), 0);
    EXPECT_EQ(clampChannel(3.0f, 255), 255);
    EXPECT_EQ(clampChannel(std::numeric_limits<float>::quiet_NaN(), 255), 0);
}

TEST(RayRender, UniformGridHalvesIntoTheBandOnly) {
    fillGrid({200, 101, 51});
    std::vector<uint32_t> frame(320 * 200, kSentinel);
    blitRayGrid(frame.data() + 9600);
    const uint32_t want = expectedBlend(0xC86533u, kSentinel);
    int wrong = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) {
            const uint32_t expected = (y >= 30 && y < 170) ? want : kSentinel;
            wrong += frame[y * 320 + x] != expected;
        }
    EXPECT_EQ(wrong, 0);
}

TEST(RayRender, BlockInterpolatesInFixedPoint) {
    fillGrid({0, 0, 0});
    // Block (3, 2): red ramps left to right, green top to bottom.
    RaySampleGrid[3][2] = {0, 0, 255};
    RaySampleGrid[4][2] = {255, 0, 255};
    RaySampleGrid[3][3] = {0, 255, 255};
    RaySampleGrid[4][3] = {255, 255, 255};
    std::vector<uint32_t> frame(320 * 8, 0);
    blitRayBlock(3, 2, frame.data());
    EXPECT_EQ(frame[0], 0x00007Fu);  // the top-left sample, halved
    // red: 255 * 256 / 4 = 16320 per step, >> 9 -> 31, 63, 95
    EXPECT_EQ(channel(frame[1], 16), 31);
    EXPECT_EQ(channel(frame[3], 16), 95);
    // green: 255 << 6 per row
    EXPECT_EQ(channel(frame[320], 8), 31);
    EXPECT_EQ(channel(frame[3 * 320 + 3], 8), 95);
    EXPECT_EQ(frame[4], 0u);        // the block is four pixels wide
    EXPECT_EQ(frame[4 * 320], 0u);  // and four rows high
    // Blocks outside the grid draw nothing.
    blitRayBlock(80, 0, frame.data() + 4);
    blitRayBlock(0, 35, frame.data() + 4);
    EXPECT_EQ(frame[4], 0u);
}

TEST(RayRender, CameraOrientation) {
    TestScene t;
    t.camera(0, 0, 100);
    RayViewport vp = {81, 36, 0, 40.0f};
    RayCamera cam = rayCamera(t.scene, vp);
    EXPECT_EQ(cam.dir.z, 1.0f);
    EXPECT_EQ(cam.right.x, -1.0f);
    EXPECT_EQ(cam.right.y, 0.0f);
    EXPECT_EQ(cam.down.y, -1.0f);
    EXPECT_EQ(cam.centre.z, 140.0f);
    EXPECT_EQ(cam.halfWidth, 40.5f);
    EXPECT_EQ(cam.halfHeight, 18.0f);

    // Straight down: the fallback up vector still gives a unit, orthogonal
    // image plane.
    t.camera(3, 100, -2, 3, 0, -2);
    cam = rayCamera(t.scene, vp);
    EXPECT_EQ(cam.dir.y, 1.0f);
    EXPECT_EQ(rayLength(cam.right), 1.0f);
    EXPECT_EQ(rayLength(cam.down), 1.0f);
    EXPECT_EQ(rayDot(cam.right, cam.down), 0.0f);
    EXPECT_EQ(rayDot(cam.right, cam.dir), 0.0f);
}

TEST(RayRender, ViewportsOtherThanTheGrid) {
    TestScene t;
    t.camera(0, 0, 100);
    t.light(0, 0, 100);
    t.sphere({0, 0, 0, 1000, 1, 1, 1, 0});  // fills every ray
    fillGrid({1, 2, 3});
    RayViewport small = {10, 5, 0, 40.0f};
    renderRayGrid(t.scene, small);
    EXPECT_NE(RaySampleGrid[9][4].r, 1);
    EXPECT_EQ(RaySampleGrid[10][4].r, 1);
    EXPECT_EQ(RaySampleGrid[9][5].r, 1);
    // Larger and negative sizes: traced within the grid only.
    RayViewport big = {200, 100, 0, 40.0f};
    renderRayGrid(t.scene, big);
    EXPECT_NE(RaySampleGrid[80][35].r, 1);
    fillGrid({1, 2, 3});
    RayViewport negative = {-5, -1, 0, 40.0f};
    renderRayGrid(t.scene, negative);
    EXPECT_EQ(RaySampleGrid[0][0].r, 1);
}

// A red ball at the origin lit from the eye, and a green ball off to +x,
// which the camera on +z sees on the left of the screen.
TEST(RayRender, SmallSceneEndToEnd) {
    TestScene t;
    t.camera(0, 0, 100);
    t.light(0, 0, 100);
    t.sphere({0, 0, 0, 10, 1, 0, 0, 0});
    t.sphere({30, 0, 0, 6, 0, 1, 0, 0});
    t.scene.flags = kRayShadows | kRayReflections;
    RayViewport vp = {81, 36, 0, 40.0f};
    fillGrid({0, 0, 0});
    renderRayGrid(t.scene, vp);
    std::vector<uint32_t> frame(320 * 200, 0);
    blitRayGrid(frame.data() + 9600);

    // Sample (40, 18) lands on pixel (160, 102): 0.7 red plus a diffuse
    // term of nearly 0.3 on every channel, halved by the blend.
    const uint32_t centre = frame[102 * 320 + 160];
    EXPECT_GE(channel(centre, 16), 125);
    EXPECT_LE(channel(centre, 16), 127);
    EXPECT_GE(channel(centre, 8), 36);
    EXPECT_LE(channel(centre, 8), 38);
    EXPECT_EQ(channel(centre, 0), channel(centre, 8));
    // Nothing in the corners of the band; nothing outside it.
    EXPECT_EQ(frame[30 * 320 + 0], 0u);
    EXPECT_EQ(frame[169 * 320 + 319], 0u);
    // The green ball: left of the centre, none of it on the right.
    int greenLeft = 0, greenRight = 0;
    for (int x = 0; x < 320; ++x) {
        const uint32_t p = frame[102 * 320 + x];
        if (channel(p, 8) > 60 && channel(p, 16) < 40) (x < 160 ? greenLeft : greenRight)++;
    }
    EXPECT_GT(greenLeft, 8);
    EXPECT_EQ(greenRight, 0);
}

// The grid against one plain traceRay per sample, written out from the
// camera formulas, on a scene with every kind, shadows and mirrors: the
// frame-wide shortcuts of the renderer must not change a single sample.
TEST(RayRender, GridMatchesPlainTracing) {
    auto texture = std::make_unique<RayTexture>();
    for (int i = 0; i < 256 * 256; ++i)
        for (int k = 0; k < 3; ++k) texture->texels[i][k] = static_cast<float>((i * (k + 3)) % 251) / 250.0f;
    TestScene t;
    t.camera(140, 90, 260, 0, -10, 0);
    t.light(-200, 300, 150);
    t.texPlane({0, -1, 0, -60, texture.get(), 0.3f});
    t.sphere({0, 0, 0, 40, 0.9f, 0.3f, 0.2f, 0.5f});
    t.texSphere({70, 10, -30, 25, texture.get(), 0.2f});
    t.ellipsoid({-60, 0, 20, 1.5f, 0.7f, 1.0f, 30, 0.2f, 0.8f, 0.4f, 0.6f});
    t.texEllipsoid({20, 40, 60, 1.0f, 2.0f, 1.0f, 20, texture.get(), 0});
    t.plane({0, 0, 1, 400, 0.5f, 0.5f, 0.6f, 0.1f});
    t.scene.flags = kRayShadows | kRayReflections;
    RayViewport vp = {81, 36, 0, 50.0f};
    renderRayGrid(t.scene, vp);

    const RayCamera cam = rayCamera(t.scene, vp);
    const RayVec3 eye = {t.scene.eye[0], t.scene.eye[1], t.scene.eye[2]};
    int differ = 0, black = 0;
    for (int i = 0; i < 36; ++i)
        for (int j = 0; j < 81; ++j) {
            const RayVec3 rowPoint = eye + (static_cast<float>(i) - 18.0f) * cam.down;
            RayVec3 d = rowPoint + (static_cast<float>(j) - 40.5f) * cam.right - cam.centre;
            rayNormalize(d);
            const RayColour c = traceRay(t.scene, cam.centre, d, 1);
            const RaySample& s = RaySampleGrid[j][i];
            differ += s.r != clampChannel(c.r, 255) || s.g != clampChannel(c.g, 255) || s.b != clampChannel(c.b, 255);
            black += s.r == 0 && s.g == 0 && s.b == 0;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_LT(black, 81 * 36 / 4);  // the scene fills most of the view
}

// The grid drawn four blocks at a time against blitRayBlock block by block,
// over a random old frame whose top bytes are set too: random samples, and
// samples of only 0 and 255, whose steps are the largest negative and
// positive ones (arithmetic shifts of negative values round down).
TEST(RayRender, GridBlitMatchesBlockBlit) {
    uint32_t state = 12345u;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) ^ (state << 24);
    };
    const auto channel = [&](bool extremes) { return static_cast<int32_t>(extremes ? (next() & 1) * 255 : next() & 255); };
    for (bool extremes : {false, true}) {
        for (auto& column : RaySampleGrid)
            for (auto& sample : column) {
                sample.r = channel(extremes);
                sample.g = channel(extremes);
                sample.b = channel(extremes);
            }
        std::vector<uint32_t> old(320 * 200);
        for (auto& p : old) p = next();
        std::vector<uint32_t> byGrid = old, byBlock = old;
        blitRayGrid(byGrid.data() + 9600);
        for (int i = 0; i < kRayBlockRows; ++i)
            for (int j = 0; j < kRayBlockColumns; ++j)
                blitRayBlock(j, i, byBlock.data() + 9600 + i * 4 * 320 + j * 4);
        int differ = 0;
        for (size_t k = 0; k < old.size(); ++k) differ += byGrid[k] != byBlock[k];
        EXPECT_EQ(differ, 0) << (extremes ? "0 and 255 only" : "random samples");
    }
}
