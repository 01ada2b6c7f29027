#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "engine3d/rasteriser.h"

namespace {

// Screen-space polygons handed straight to the rasteriser.
class Raster : public ::testing::Test {
protected:
    static constexpr uint32_t kBackground = 0x204060;

    void SetUp() override {
        ASSERT_TRUE(initRasteriser());
        scene = new Scene();
        textures.assign(kUsableTextureSlots, std::vector<uint32_t>(65536));
        for (int k = 0; k < kUsableTextureSlots; ++k) {
            // Even channels, so a blend over black is exactly half.
            const auto u = static_cast<uint32_t>(k);
            const uint32_t c = (((u * 37) & 0xFF) << 16) | (((u * 91) & 0xFF) << 8) | ((u * 53 + 20) & 0xFF);
            for (uint32_t& t : textures[k]) t = c & 0xFEFEFE;
            scene->textures[k] = textures[k].data();
        }
        textures[0][0] = kBackground;
        frame.assign(64000, 0);
        vertices.reserve(256);
    }
    void TearDown() override {
        shutdownRasteriser();
        delete scene;
    }

    uint32_t slotColour(int k) const { return (textures[k][k == 0 ? 1 : 0] & 0xFEFEFE) >> 1; }

    int vertex(float x, float y, float invZ = 0.5f, float u = 0.0f, float v = 0.0f) {
        SceneVertex sv{};
        sv.sx = x;
        sv.sy = y;
        sv.invZ = invZ;
        sv.uOverZ = u * invZ;
        sv.vOverZ = v * invZ;
        sv.firstLine = static_cast<int32_t>(std::ceil(y));
        vertices.push_back(sv);
        return static_cast<int>(vertices.size()) - 1;
    }

    // Vertex indices in screen order top-left-bottom-right (down the left
    // side first), as the front end hands visible polygons over.
    void polygon(std::initializer_list<int> index, int slot, int32_t flags = 0) {
        ScenePolygon p{};
        p.vertices = vertices.data();
        p.count = static_cast<int>(index.size());
        int j = 0;
        for (int i : index) p.index[j++] = i;
        p.index[j] = p.index[0];
        p.textureSlot = slot;
        p.flags = flags;
        polygons.push_back(p);
    }

    void draw() {
        list.clear();
        for (ScenePolygon& p : polygons) {
            p.vertices = vertices.data();
            list.push_back(&p);
        }
        rasterise(*scene, list.data(), static_cast<int>(list.size()), frame.data(), 320);
    }

    uint32_t at(int x, int y) const { return frame[y * 320 + x]; }

    Scene* scene = nullptr;
    std::vector<std::vector<uint32_t>> textures;
    std::vector<uint32_t> frame;
    std::vector<SceneVertex> vertices;
    std::vector<ScenePolygon> polygons;
    std::vector<ScenePolygon*> list;
};

TEST_F(Raster, SpanCoversPixelsFromItsStartUpToItsEnd) {
    // A rectangle from x = 10.2 to 20.0 on lines 5..9.
    const int a = vertex(10.2f, 4.5f), b = vertex(10.2f, 9.5f), c = vertex(20.0f, 9.5f), d = vertex(20.0f, 4.5f);
    polygon({a, b, c, d}, 3);
    draw();
    const uint32_t half = slotColour(3);
    const uint32_t back = (kBackground & 0xFEFEFE) >> 1;
    for (int y = 5; y <= 9; ++y) {
        for (int x = 0; x <= 10; ++x) ASSERT_EQ(at(x, y), back) << x << "," << y;  // gap left of it
        for (int x = 11; x <= 19; ++x) ASSERT_EQ(at(x, y), half) << x << "," << y;
        for (int x = 20; x < 320; ++x) ASSERT_EQ(at(x, y), 0u) << x << "," << y;  // tail not drawn
    }
    EXPECT_EQ(at(15, 4), 0u);
    EXPECT_EQ(at(15, 10), 0u);
    EXPECT_EQ(lastRasterStats().spans, 10);
}

TEST_F(Raster, ZeroAreaPolygonDrawsNothing) {
    const int a = vertex(10, 10), b = vertex(20, 20), c = vertex(30, 30);
    polygon({a, b, c}, 2);
    draw();
    EXPECT_EQ(lastRasterStats().surfaces, 0);
    for (uint32_t p : frame) ASSERT_EQ(p, 0u);
}

// Texel column i stores i so that it survives the blend over black: its
// upper bits in red, its lowest bit in green.
uint32_t columnTexel(int u) { return (static_cast<uint32_t>(u) << 16) | ((static_cast<uint32_t>(u) & 1u) << 9); }
int columnOf(uint32_t blended) { return static_cast<int>(((blended >> 16) << 1) | ((blended >> 8) & 1u)); }

// u = x / 256 puts texel column x - x0 at pixel x for an affine span
// starting on a whole pixel.
class TexturedSpan : public Raster, public ::testing::WithParamInterface<int> {};

TEST_P(TexturedSpan, EveryWidthSamplesItsOwnTexels) {
    const int width = GetParam();
    for (int v = 0; v < 256; ++v)
        for (int u = 0; u < 256; ++u) textures[4][v * 256 + u] = columnTexel(u);
    const float x0 = 40.0f, x1 = 40.0f + width;
    // 1.0 = 256 texels; starting at 1.25 samples what 0.25 would.
    const float u0 = 1.25f, u1 = 1.25f + width / 256.0f;
    const int a = vertex(x0, 2.5f, 1.0f, u0), b = vertex(x0, 3.5f, 1.0f, u0);
    const int c = vertex(x1, 3.5f, 1.0f, u1), d = vertex(x1, 2.5f, 1.0f, u1);
    polygon({a, b, c, d}, 4);
    draw();
    for (int i = 0; i < width; ++i) ASSERT_EQ(columnOf(at(40 + i, 3)), 64 + i) << "pixel " << i;
    EXPECT_EQ(at(40 + width, 3), 0u);
}

INSTANTIATE_TEST_SUITE_P(Widths, TexturedSpan, ::testing::Values(1, 7, 8, 9, 16, 17, 100));

TEST_F(Raster, PerspectiveSpanMatchesTheExactTexelEveryEighthPixel) {
    for (int v = 0; v < 256; ++v)
        for (int u = 0; u < 256; ++u) textures[5][v * 256 + u] = columnTexel(u);
    // 1/z from 1.0 on the left to 0.25 on the right, u from 0 to 0.75.
    const int a = vertex(0.0f, 20.5f, 1.0f, 0.0f), b = vertex(0.0f, 21.5f, 1.0f, 0.0f);
    const int c = vertex(200.0f, 21.5f, 0.25f, 0.75f), d = vertex(200.0f, 20.5f, 0.25f, 0.75f);
    polygon({a, b, c, d}, 5);
    draw();
    const float g = (0.25f - 1.0f) / 200.0f;
    const float gu = 0.75f * 0.25f / 200.0f;
    for (int x = 0; x < 200; x += 8) {
        const float exact = 256.0f * (gu * x) / (1.0f + g * x);
        EXPECT_NEAR(static_cast<float>(columnOf(at(x, 21))), std::floor(exact), 1.0f) << x;
    }
}

TEST_F(Raster, SharedEdgeIsMergedAndLeavesNoSeam) {
    // A quad split along its diagonal into two triangles of one slot.
    const int a = vertex(50, 10.5f), b = vertex(40, 60.5f), c = vertex(120, 60.5f), d = vertex(130, 10.5f);
    polygon({a, b, c}, 6);
    polygon({a, c, d}, 6);
    draw();
    EXPECT_EQ(lastRasterStats().surfaces, 2);
    EXPECT_EQ(lastRasterStats().edges, 3);  // left, right and one diagonal
    const uint32_t half = slotColour(6);
    for (int y = 11; y <= 60; ++y) {
        const float f = (y - 10.5f) / 50.0f;
        const int left = static_cast<int>(std::ceil(50 - 10 * f)) + 1;
        const int right = static_cast<int>(130 - 10 * f) - 1;
        for (int x = left; x <= right; ++x) ASSERT_EQ(at(x, y), half) << x << "," << y;
    }
}

TEST_F(Raster, NearerSurfaceHidesTheFartherOneWhicheverComesFirst) {
    for (int order = 0; order < 2; ++order) {
        polygons.clear();
        vertices.clear();
        frame.assign(64000, 0);
        const int a = vertex(20, 10.5f, 0.2f), b = vertex(20, 40.5f, 0.2f), c = vertex(80, 40.5f, 0.2f),
                  d = vertex(80, 10.5f, 0.2f);
        const int e = vertex(50, 20.5f, 0.6f), f = vertex(50, 30.5f, 0.6f), g = vertex(110, 30.5f, 0.6f),
                  h = vertex(110, 20.5f, 0.6f);
        if (order == 0) {
            polygon({a, b, c, d}, 7);
            polygon({e, f, g, h}, 8);
        } else {
            polygon({e, f, g, h}, 8);
            polygon({a, b, c, d}, 7);
        }
        draw();
        EXPECT_EQ(at(35, 25), slotColour(7));
        EXPECT_EQ(at(65, 25), slotColour(8));  // the near one in front
        EXPECT_EQ(at(95, 25), slotColour(8));
        EXPECT_EQ(at(65, 15), slotColour(7));
    }
}

TEST_F(Raster, OnEqualDepthTheLaterSurfaceStaysBelow) {
    const int a = vertex(10, 10.5f), b = vertex(10, 20.5f), c = vertex(30, 20.5f), d = vertex(30, 10.5f);
    const int e = vertex(20, 10.5f), f = vertex(20, 20.5f), g = vertex(40, 20.5f), h = vertex(40, 10.5f);
    polygon({a, b, c, d}, 9);
    polygon({e, f, g, h}, 10);
    draw();
    for (int x = 11; x < 30; ++x) ASSERT_EQ(at(x, 15), slotColour(9)) << x;
    for (int x = 31; x < 40; ++x) ASSERT_EQ(at(x, 15), slotColour(10)) << x;
}

// Each pool below is overfilled on its own: the polygons (or spans) that
// fit are drawn, the rest are counted against that pool alone, its message
// is printed once, and what was refused leaves no pixel. The dropped
// polygons use a texture slot of their own so that any pixel of theirs
// would show.
class RasterPools : public Raster {
protected:
    std::string drawCapturingOutput() {
        testing::internal::CaptureStdout();
        draw();
        return testing::internal::GetCapturedStdout();
    }
    int pixelsOf(int slot) const {
        int n = 0;
        for (uint32_t p : frame) n += p == slotColour(slot);
        return n;
    }
    // A thin vertical quad on lines top..bottom: one starting and one
    // ending edge, both starting on `top`. Columns of different depths never
    // share a merged edge.
    void column(float x, int top, int slot, float invZ, int bottom = 199) {
        const float y0 = static_cast<float>(top) - 0.5f, y1 = static_cast<float>(bottom) + 0.5f;
        const int a = vertex(x, y0, invZ), b = vertex(x, y1, invZ);
        const int c = vertex(x + 0.6f, y1, invZ), d = vertex(x + 0.6f, y0, invZ);
        polygon({a, b, c, d}, slot);
    }
};

TEST_F(RasterPools, FullBucketDropsThePolygonsStartingOnItsLine) {
    // 600 thin triangles that all start on line 50: two edges each.
    for (int i = 0; i < 600; ++i) {
        const float x = 10.0f + static_cast<float>(i % 300);
        const int a = vertex(x, 49.5f), b = vertex(x, 60.5f), c = vertex(x + 0.7f, 60.5f);
        polygon({a, b, c}, i < kBucketRoom / 2 ? 11 : 12);
    }
    const std::string out = drawCapturingOutput();
    const RasterStats& st = lastRasterStats();
    EXPECT_EQ(st.surfaces, kBucketRoom / 2);
    EXPECT_EQ(st.bucketPool.count, 600 - kBucketRoom / 2);
    EXPECT_EQ(st.droppedPolygons, st.bucketPool.count);
    EXPECT_EQ(st.edgePool.count + st.surfacePool.count + st.spanPool.count, 0);
    EXPECT_EQ(out, "buckets overflow\n");
    EXPECT_EQ(pixelsOf(12), 0);
}

TEST_F(RasterPools, FullEdgePoolDropsWholePolygons) {
    // Two edges a column, 25 short columns starting on each line: the pool
    // holds kMaxSpanEdges - 2 polygon edges.
    const int fit = (kMaxSpanEdges - 2) / 2;
    for (int i = 0; i < fit + 77; ++i)
        column(0.31f * static_cast<float>(i % 1000) + 5.0f, 1 + i / 25, i < fit ? 3 : 4,
               0.2f + 0.0001f * static_cast<float>(i), 4 + i / 25);
    const std::string out = drawCapturingOutput();
    const RasterStats& st = lastRasterStats();
    EXPECT_EQ(st.edges, kMaxSpanEdges - 2);
    EXPECT_EQ(st.surfaces, fit);
    EXPECT_EQ(st.edgePool.count, 77);
    EXPECT_EQ(st.droppedPolygons, 77);
    EXPECT_EQ(st.bucketPool.count + st.surfacePool.count, 0);
    EXPECT_EQ(out, "edges overflow\n");
    EXPECT_GT(pixelsOf(3), 0);
    EXPECT_EQ(pixelsOf(4), 0);
}

TEST_F(RasterPools, FullSurfaceSlotDropsThePolygonsOfThatSlot) {
    // Triangles within one line band: a surface each and no edges.
    for (int i = 0; i < kSurfacesPerSlot + 20; ++i) {
        const float x = static_cast<float>(i % 300);
        const int a = vertex(x, 10.1f), b = vertex(x, 10.6f), c = vertex(x + 2.0f, 10.6f);
        polygon({a, b, c}, 5);
    }
    // A slot with room still takes its polygon.
    const int a = vertex(100, 20.5f), b = vertex(100, 30.5f), c = vertex(120, 30.5f);
    polygon({a, b, c}, 6);
    const std::string out = drawCapturingOutput();
    const RasterStats& st = lastRasterStats();
    EXPECT_EQ(st.surfacePool.count, 20);
    EXPECT_EQ(st.surfaces, kSurfacesPerSlot + 1);
    EXPECT_EQ(st.droppedPolygons, st.surfacePool.count);
    EXPECT_EQ(out, "surfaces overflow\n");
    EXPECT_GT(pixelsOf(6), 0);
}

TEST_F(RasterPools, FullSpanPoolLeavesTheLaterLinesUndrawn) {
    // 320 columns down to line 199 (too thin to cover a pixel centre):
    // about 640 spans a line, the background's gaps between them drawn.
    for (int i = 0; i < 320; ++i) column(static_cast<float>(i) + 0.2f, 1 + i / 100, 7, 0.5f);
    const std::string out = drawCapturingOutput();
    const RasterStats& st = lastRasterStats();
    EXPECT_EQ(st.spans, kMaxSpans);
    EXPECT_GT(st.spanPool.count, 0);
    EXPECT_EQ(st.droppedPolygons, 0);
    EXPECT_EQ(out, "spans overflow\n");
    // Spans are made line by line: the first lines are drawn, the last not.
    EXPECT_EQ(at(100, 10), (kBackground & 0xFEFEFE) >> 1);
    for (int x = 0; x < 320; ++x) ASSERT_EQ(at(x, 199), 0u) << x;
}

TEST_F(RasterPools, DeepestStackOfOneLineDropsNothing) {
    // As many surfaces as the edge pool can hold, all over one another on
    // lines 9..199 at depths in random order: all of them are on the stack
    // at once, and the nearest shows.
    const int count = (kMaxSpanEdges - 2) / 2;
    std::mt19937 rng(99);
    std::vector<int> order(count);
    for (int k = 0; k < count; ++k) order[k] = k;
    std::shuffle(order.begin(), order.end(), rng);
    for (int k = 0; k < count; ++k) {
        const float invZ = 0.1f + 0.0005f * static_cast<float>(order[k]);
        const float inset = 0.1f * static_cast<float>(k);
        const float y0 = static_cast<float>(1 + k / 128) - 0.5f;
        const int a = vertex(5.0f + inset, y0, invZ), b = vertex(5.0f + inset, 199.5f, invZ);
        const int c = vertex(315.0f - inset, 199.5f, invZ), d = vertex(315.0f - inset, y0, invZ);
        polygon({a, b, c, d}, order[k] == count - 1 ? 9 : 8);
    }
    const std::string out = drawCapturingOutput();
    const RasterStats& st = lastRasterStats();
    EXPECT_EQ(st.surfaces, count);
    EXPECT_EQ(st.stackPool.count + st.droppedPolygons + st.spanPool.count, 0);
    EXPECT_EQ(out, "");
    for (int x = 120; x < 200; ++x) ASSERT_EQ(at(x, 100), slotColour(9)) << x;
}

// The visible surface per pixel against a plain depth buffer: random
// slanted triangles in separate depth bands (so none pass through another),
// in random order. Pixels within 1.5 px of any edge are left out.
TEST_F(Raster, VisibleSurfaceMatchesADepthBufferOnRandomScenes) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> px(-10.0f, 330.0f), py(-10.0f, 210.0f), slope(-0.00005f, 0.00005f);
    for (int trial = 0; trial < 40; ++trial) {
        polygons.clear();
        vertices.clear();
        frame.assign(64000, 0);
        struct Tri {
            float x[3], y[3];
            float z0, gx, gy;  // 1/z = z0 + gx x + gy y
            int slot;
        };
        std::vector<Tri> tris;
        const int count = 2 + trial % 9;
        // A depth band per triangle, in random order.
        std::vector<int> band(count);
        for (int k = 0; k < count; ++k) band[k] = k;
        std::shuffle(band.begin(), band.end(), rng);
        for (int k = 0; k < count; ++k) {
            Tri t;
            t.slot = 1 + k;
            t.z0 = 0.1f + 0.08f * static_cast<float>(band[k]);
            t.gx = slope(rng);
            t.gy = slope(rng);
            for (int j = 0; j < 3; ++j) {
                t.x[j] = std::fmin(std::fmax(px(rng), 0.0f), 319.5f);
                t.y[j] = std::fmin(std::fmax(py(rng), 0.0f), 200.0f);
            }
            // Screen order: down the left side first (negative area).
            const float area = (t.x[1] - t.x[0]) * (t.y[2] - t.y[0]) - (t.x[2] - t.x[0]) * (t.y[1] - t.y[0]);
            if (std::fabs(area) < 50.0f) continue;
            if (area > 0.0f) {
                std::swap(t.x[1], t.x[2]);
                std::swap(t.y[1], t.y[2]);
            }
            int idx[3];
            for (int j = 0; j < 3; ++j) idx[j] = vertex(t.x[j], t.y[j], t.z0 + t.gx * t.x[j] + t.gy * t.y[j]);
            polygon({idx[0], idx[1], idx[2]}, t.slot);
            tris.push_back(t);
        }
        draw();
        int checked = 0;
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 320; ++x) {
                float best = -1.0f;
                int bestSlot = -1;
                bool nearEdge = false;
                for (const Tri& t : tris) {
                    // Signed distances to the three edge lines: all negative
                    // inside, for this winding.
                    float dmax = -1e9f;
                    for (int j = 0; j < 3; ++j) {
                        const int k = (j + 1) % 3;
                        const float ex = t.x[k] - t.x[j], ey = t.y[k] - t.y[j];
                        const float d = (ex * (y - t.y[j]) - ey * (x - t.x[j])) / std::sqrt(ex * ex + ey * ey);
                        dmax = std::fmax(dmax, d);
                    }
                    if (std::fabs(dmax) < 1.5f) nearEdge = true;
                    if (dmax < 0.0f) {
                        const float depth = t.z0 + t.gx * x + t.gy * y;
                        if (depth > best) {
                            best = depth;
                            bestSlot = t.slot;
                        }
                    }
                }
                if (nearEdge || bestSlot < 0) continue;
                ++checked;
                ASSERT_EQ(at(x, y), slotColour(bestSlot)) << "trial " << trial << " at " << x << "," << y;
            }
        }
        EXPECT_GT(checked, 0);
    }
}

}  // namespace
