#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine3d/pipeline.h"
#include "scene_helpers.h"

namespace {

class Pipeline : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(initEngine(), 0);
        for (uint32_t& t : texture) t = 0x808080;
        frame.assign(64000, 0);
    }
    void TearDown() override { shutdownEngine(); }

    // Camera at the origin looking down +z, fov 90; one object.
    ScenePtr sceneWith(const s3d::Object& o) {
        s3d::Scene d;
        d.cameras.push_back(stillCamera({0, 0, 0}, {0, 0, 10}));
        d.objects.push_back(o);
        ScenePtr s = parseOk(d);
        for (auto& slot : s->textures) slot = texture;
        return s;
    }

    int build(Scene& s) {
        updateCamera(s, 0.0f);
        animateObjects(s, 0.0f);
        return buildPolygonList(s);
    }

    int litPixels() {
        int n = 0;
        for (uint32_t p : frame) n += p != 0;
        return n;
    }

    uint32_t texture[65536];
    std::vector<uint32_t> frame;
};

TEST_F(Pipeline, ProjectionScaleAndCameraAxes) {
    ScenePtr s = sceneWith(singleTriangle({0, 0, 5}, {1, 0, 5}, {0, 1, 5}));
    build(*s);
    EXPECT_NEAR(s->projScaleX, 160.0f * std::sqrt(3.0f), 0.01f);
    EXPECT_EQ(s->projScaleX, s->projScaleY);
    // Looking down +z with no roll: x stays right, y up.
    EXPECT_NEAR(s->cameraMatrix[0], 1.0f, 1e-6f);
    EXPECT_NEAR(s->cameraMatrix[4], 1.0f, 1e-6f);
    EXPECT_NEAR(s->cameraMatrix[8], 1.0f, 1e-6f);
    const SceneVertex& v = s->objects[0].vertices[1];
    EXPECT_NEAR(v.sx, 160.0f + s->projScaleX / 5.0f, 1e-3f);
    EXPECT_FLOAT_EQ(v.sy, 100.0f);
    EXPECT_EQ(s->currentCamera, &s->cameras[0]);
}

TEST_F(Pipeline, OutcodesPutTheWindowEdgesInside) {
    EXPECT_EQ(outcodeOf(319.5f, 200.0f), 0);
    EXPECT_EQ(outcodeOf(0.0f, 0.0f), 0);
    EXPECT_EQ(outcodeOf(319.6f, 100.0f), kRightOfWindow);
    EXPECT_EQ(outcodeOf(-0.1f, 200.1f), kLeftOfWindow | kBelowWindow);
    EXPECT_EQ(outcodeOf(10.0f, -1.0f), kAboveWindow);
}

TEST_F(Pipeline, TriangleBehindTheEyeGivesNothing) {
    s3d::Object o = singleTriangle({-1, -1, 0.5f}, {1, -1, 0.5f}, {0, 1, -3});
    o.defaultFlags = 0x80;
    ScenePtr s = sceneWith(o);
    EXPECT_EQ(build(*s), 0);
    EXPECT_EQ(s->objects[0].livePolygonCount, 1);
}

TEST_F(Pipeline, TriangleLeftOfTheWindowIsSkippedBeforeClipping) {
    s3d::Object o = singleTriangle({-40, 0, 10}, {-30, 0, 10}, {-35, 5, 10});
    o.defaultFlags = 0x80;
    ScenePtr s = sceneWith(o);
    EXPECT_EQ(build(*s), 0);
    EXPECT_EQ(s->objects[0].livePolygonCount, 1);
    EXPECT_EQ(s->objects[0].liveVertexCount, 3);
}

TEST_F(Pipeline, InsideTriangleIsListedUnclippedAndCullingFollowsTheWinding) {
    // Wound so that (V1 - V0) x (V2 - V0) points away from the eye.
    ScenePtr front = sceneWith(singleTriangle({-1, -1, 5}, {1, -1, 5}, {0, 1, 5}));
    ASSERT_EQ(build(*front), 1);
    EXPECT_EQ(polygonList()[0], &front->objects[0].polygons[0]);
    ScenePtr back = sceneWith(singleTriangle({-1, -1, 5}, {0, 1, 5}, {1, -1, 5}));
    EXPECT_EQ(build(*back), 0);
    s3d::Object twoSided = singleTriangle({-1, -1, 5}, {0, 1, 5}, {1, -1, 5});
    twoSided.defaultFlags = 0x80;
    ScenePtr both = sceneWith(twoSided);
    EXPECT_EQ(build(*both), 1);
}

TEST_F(Pipeline, DoubleSidedTriangleDrawsTheSamePixelsFromBothSides) {
    renderScene(*sceneWith(singleTriangle({-1, -1, 5}, {1, -1, 5}, {0, 1, 5})), frame.data(), 0.0f);
    const std::vector<uint32_t> front = frame;
    frame.assign(64000, 0);
    s3d::Object o = singleTriangle({-1, -1, 5}, {0, 1, 5}, {1, -1, 5});
    o.defaultFlags = 0x80;
    renderScene(*sceneWith(o), frame.data(), 0.0f);
    EXPECT_GT(litPixels(), 1000);
    // The apex line may differ: there the two edges start at the same x
    // and their order decides whether the line's background gap is drawn.
    for (int i = 50 * 320; i < 160 * 320; ++i) ASSERT_EQ(frame[i], front[i]) << i;
}

TEST_F(Pipeline, NearAndFourWindowEdgesMakeAnOctagon) {
    s3d::Object o = singleTriangle({-4, 5, -10}, {5, -4, 10}, {-2, -1, 10});
    o.defaultFlags = 0x80;
    ScenePtr s = sceneWith(o);
    ASSERT_EQ(build(*s), 1);
    const ScenePolygon& p = *polygonList()[0];
    ASSERT_EQ(p.count, 8);
    EXPECT_EQ(p.index[8], p.index[0]);
    for (int j = 0; j < 8; ++j) {
        const SceneVertex& v = p.vertices[p.index[j]];
        EXPECT_GE(v.sx, 0.0f);
        EXPECT_LE(v.sx, kWindowRight);
        EXPECT_GE(v.sy, 0.0f);
        EXPECT_LE(v.sy, kWindowBottom);
        EXPECT_EQ(v.firstLine, static_cast<int>(std::ceil(v.sy)));
    }
    // The near result and the screen result each took a spare slot.
    EXPECT_EQ(s->objects[0].livePolygonCount, 3);
    // Drawn, it fills the window: every line has pixels.
    renderScene(*s, frame.data(), 0.0f);
    for (int y = 0; y < 200; y += 20) EXPECT_NE(frame[y * 320 + 160], 0u) << y;
}

TEST_F(Pipeline, NearClipKeepsTheInFrontPartOnly) {
    // A floor under the eye reaching behind it: the near-clipped polygon
    // lies below the horizon, nothing above it.
    s3d::Object o;
    o.vertices = {{-50, -2, -20}, {50, -2, -20}, {0, -2, 60}};
    o.triangles = {{0, 2, 1}};
    o.defaultFlags = 0x80;
    renderScene(*sceneWith(o), frame.data(), 0.0f);
    EXPECT_EQ(lastFrameStats().listedPolygons, 1);
    EXPECT_EQ(lastFrameStats().clippedPolygons, 1);
    EXPECT_EQ(frame[99 * 320 + 160], 0u);
    EXPECT_NE(frame[150 * 320 + 160], 0u);
    EXPECT_NE(frame[199 * 320 + 160], 0u);
}

TEST_F(Pipeline, SharedVerticesAreTransformedOncePerFrame) {
    s3d::Object o;
    o.vertices = {{-1, -1, 5}, {1, -1, 5}, {1, 1, 5}, {-1, 1, 5}};
    o.triangles = {{0, 1, 2}, {0, 2, 3}};
    o.defaultFlags = 0x80;
    ScenePtr s = sceneWith(o);
    EXPECT_EQ(build(*s), 2);
    EXPECT_EQ(s->frameStamp, 1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(s->objects[0].vertices[i].frameStamp, 1);
    build(*s);
    EXPECT_EQ(s->objects[0].vertices[0].frameStamp, 2);
}

// Each of the front end's pools overfilled on its own: the drops are
// counted against that pool alone, its message is printed once, and
// nothing is written past the list or the spare slots.
class PipelinePools : public Pipeline {
protected:
    std::string renderCapturingOutput(Scene& s) {
        testing::internal::CaptureStdout();
        renderScene(s, frame.data(), 0.0f);
        return testing::internal::GetCapturedStdout();
    }
};

int occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST_F(PipelinePools, FullPolygonListDropsTheRest) {
    s3d::Object o;
    for (int i = 0; i < 4200; ++i) {
        const float x = static_cast<float>(i % 70) * 0.1f - 3.5f;
        const float y = static_cast<float>(i / 70) * 0.1f - 3.0f;
        const auto b = static_cast<int16_t>(o.vertices.size());
        o.vertices.push_back({x, y, 10});
        o.vertices.push_back({x + 0.05f, y, 10});
        o.vertices.push_back({x, y + 0.05f, 10});
        o.triangles.push_back({b, static_cast<int16_t>(b + 1), static_cast<int16_t>(b + 2)});
    }
    ScenePtr s = sceneWith(o);
    const std::string out = renderCapturingOutput(*s);
    const EngineStats& st = lastFrameStats();
    // The message has no line end of its own; the rasteriser's, whose
    // edge pool runs out too, follow it.
    EXPECT_EQ(out.rfind("pipeline overflow", 0), 0u) << out;
    EXPECT_EQ(occurrences(out, "pipeline overflow"), 1) << out;
    EXPECT_EQ(st.listedPolygons, kMaxFramePolygons);
    EXPECT_EQ(st.polygonListPool.count, 4200 - kMaxFramePolygons);
    EXPECT_EQ(st.droppedPolygons, st.polygonListPool.count);
    EXPECT_EQ(st.sparePolygonPool.count + st.spareVertexPool.count, 0);
    EXPECT_GT(st.raster.edgePool.count, 0);
    EXPECT_EQ(st.raster.edges, kMaxSpanEdges - 2);
    EXPECT_EQ(occurrences(out, "edges overflow\n"), 1) << out;
}

TEST_F(PipelinePools, FullSparePolygonsDropClippedPolygons) {
    // 1500 triangles across the left window edge: each needs a screen clip
    // and two new vertices, so the spare polygons run out first.
    s3d::Object o;
    for (int i = 0; i < 1500; ++i) {
        const float y = static_cast<float>(i) * 0.004f - 3.0f;
        const auto b = static_cast<int16_t>(o.vertices.size());
        o.vertices.push_back({-7, y, 10});
        o.vertices.push_back({-4, y, 10});
        o.vertices.push_back({-7, y + 0.003f, 10});
        o.triangles.push_back({b, static_cast<int16_t>(b + 1), static_cast<int16_t>(b + 2)});
    }
    ScenePtr s = sceneWith(o);
    const std::string out = renderCapturingOutput(*s);
    const EngineStats& st = lastFrameStats();
    const SceneObject& ob = s->objects[0];
    EXPECT_EQ(ob.livePolygonCount, ob.polygonCount + kSparePolygons - 1);  // a clip reserves two
    EXPECT_LE(ob.liveVertexCount, ob.vertexCount + kSpareVertices);
    EXPECT_EQ(st.sparePolygonPool.count, 1500 - (kSparePolygons - 1));
    EXPECT_EQ(st.spareVertexPool.count + st.polygonListPool.count, 0);
    EXPECT_EQ(st.droppedPolygons, st.sparePolygonPool.count);
    EXPECT_EQ(st.listedPolygons + st.droppedPolygons, 1500);
    EXPECT_EQ(occurrences(out, "polys overflow\n"), 1) << out;
    EXPECT_EQ(occurrences(out, "verts overflow\n"), 0) << out;
}

TEST_F(PipelinePools, FullSpareVerticesDropClippedPolygons) {
    // 600 copies of a double-sided floor triangle through the near plane
    // and out of three window edges: a near clip and a screen clip each,
    // with several new vertices, so the spare vertices run out first.
    s3d::Object o;
    for (int i = 0; i < 600; ++i) {
        const auto b = static_cast<int16_t>(o.vertices.size());
        o.vertices.push_back({-50, -2, -20});
        o.vertices.push_back({50, -2, -20});
        o.vertices.push_back({0, -2, 60});
        o.triangles.push_back({b, static_cast<int16_t>(b + 2), static_cast<int16_t>(b + 1)});
    }
    o.defaultFlags = 0x80;
    ScenePtr s = sceneWith(o);
    const std::string out = renderCapturingOutput(*s);
    const EngineStats& st = lastFrameStats();
    const SceneObject& ob = s->objects[0];
    EXPECT_LE(ob.liveVertexCount, ob.vertexCount + kSpareVertices);
    EXPECT_GT(ob.liveVertexCount, ob.vertexCount + kSpareVertices - 8);
    EXPECT_LE(ob.livePolygonCount, ob.polygonCount + kSparePolygons);
    EXPECT_GT(st.spareVertexPool.count, 0);
    EXPECT_EQ(st.sparePolygonPool.count + st.polygonListPool.count, 0);
    EXPECT_EQ(st.droppedPolygons, st.spareVertexPool.count);
    EXPECT_EQ(st.listedPolygons + st.droppedPolygons, 600);
    // All start on one line, so the rasteriser's bucket fills too.
    EXPECT_EQ(out, "verts overflow\nbuckets overflow\n");
}

TEST_F(Pipeline, SceneWithoutCameraDrawsNothing) {
    s3d::Scene d;
    d.objects.push_back(singleTriangle({-1, -1, 5}, {1, -1, 5}, {0, 1, 5}));
    ScenePtr s = parseOk(d);
    renderScene(*s, frame.data(), 0.0f);
    EXPECT_EQ(litPixels(), 0);
}

}  // namespace
