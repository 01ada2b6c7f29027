// Intersections, nearest-hit order, shading flags and texel lookups.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "ray_test_scene.h"
#include "raytracer/ray_trace.h"

namespace {

Ray ray(RayVec3 o, RayVec3 d) { return {o, d}; }

// A texture whose texel (row, column) reads (row / 256, column / 256, 1),
// so a colour tells which texel was read.
std::unique_ptr<RayTexture> indexTexture() {
    auto t = std::make_unique<RayTexture>();
    for (int row = 0; row < 256; ++row)
        for (int col = 0; col < 256; ++col) {
            float* texel = t->texels[row * 256 + col];
            texel[0] = static_cast<float>(row) / 256.0f;
            texel[1] = static_cast<float>(col) / 256.0f;
            texel[2] = 1.0f;
        }
    return t;
}

struct Texel {
    int row, column;
};
Texel texelOf(const RayColour& c) {
    return {static_cast<int>(c.r * 256.0f), static_cast<int>(c.g * 256.0f)};
}

bool same(const RayColour& a, const RayColour& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

}  // namespace

TEST(RayIntersect, Plane) {
    const RayPlaneGeometry floor = {0.0f, 1.0f, 0.0f, 0.0f};  // y = 0
    EXPECT_EQ(intersectPlane(floor, ray({0, 5, 0}, {0, -1, 0})), 5.0f);
    // Parallel (denominator exactly 0), and pointing away.
    EXPECT_EQ(intersectPlane(floor, ray({0, 5, 0}, {1, 0, 0})), RAY_MISS);
    EXPECT_EQ(intersectPlane(floor, ray({0, 5, 0}, {0, 1, 0})), RAY_MISS);
    // A ray that starts on the plane does not hit it (t = 0).
    EXPECT_EQ(intersectPlane(floor, ray({0, 0, 0}, {0, -1, 0})), RAY_MISS);
}

TEST(RayIntersect, SphereOnlyInFront) {
    const RaySphereGeometry ahead = {{0, 0, 10}, 2};
    EXPECT_EQ(intersectSphere(ahead, ray({0, 0, 0}, {0, 0, 1})), 8.0f);
    EXPECT_EQ(intersectSphere(ahead, ray({0, 0, 0}, {0, 1, 0})), RAY_MISS);
    // Behind the origin: both roots negative.
    EXPECT_EQ(intersectSphere({{0, 0, -10}, 2}, ray({0, 0, 0}, {0, 0, 1})), RAY_MISS);
    // Around the origin: only the nearer (negative) root is tried.
    EXPECT_EQ(intersectSphere({{0, 0, 0.5f}, 2}, ray({0, 0, 0}, {0, 0, 1})), RAY_MISS);
}

TEST(RayIntersect, EllipsoidScalesShortenTheAxes) {
    // Semi-axis along x is radius / sx = 2.
    const RayEllipsoidGeometry e = {{0, 0, 0}, {2, 1, 1}, 4};
    EXPECT_EQ(intersectEllipsoid(e, ray({10, 0, 0}, {-1, 0, 0})), 8.0f);
    EXPECT_EQ(intersectEllipsoid(e, ray({0, 10, 0}, {0, -1, 0})), 6.0f);
    EXPECT_EQ(intersectEllipsoid(e, ray({0, 0, 0}, {1, 0, 0})), RAY_MISS);
}

TEST(RayIntersect, UnitEllipsoidIsTheSphere) {
    const RaySphereGeometry s = {{1.5f, -2.0f, 30.0f}, 7.0f};
    const RayEllipsoidGeometry e = {s.centre, {1, 1, 1}, s.radius};
    // Directions whose squared length is exactly 1 in float.
    const RayVec3 dirs[] = {{0, 0, 1}, {0.6f, 0, 0.8f}, {0, -0.28f, 0.96f}, {0.0625f, 0, 1}};
    for (RayVec3 d : dirs) {
        if (rayDot(d, d) != 1.0f) continue;
        const Ray r = ray({0, 0, 0}, d);
        const float t = intersectSphere(s, r);
        EXPECT_EQ(intersectEllipsoid(e, r), t);
        if (t == RAY_MISS) continue;
        const RayVec3 p = r.origin + t * d;
        const RayVec3 ns = sphereNormal(s, p), ne = ellipsoidNormal(e, p);
        EXPECT_TRUE(ns.x == ne.x && ns.y == ne.y && ns.z == ne.z);
    }
    EXPECT_NE(intersectSphere(s, ray({0, 0, 0}, {0, 0, 1})), RAY_MISS);
}

TEST(RayTrace, NearestHitAndTiesGoToTheEarlierEntry) {
    // A plane z = 8 and a sphere whose front is at z = 8: both at t = 8.
    for (bool planeFirst : {true, false}) {
        TestScene t;
        t.light(0, 0, -100);
        auto addPlane = [&] { t.plane({0, 0, 1, -8, 1, 0, 0, 0}); };
        auto addSphere = [&] { t.sphere({0, 0, 10, 2, 0, 1, 0, 0}); };
        if (planeFirst) {
            addPlane();
            addSphere();
        } else {
            addSphere();
            addPlane();
        }
        t.sphere({0, 0, 40, 5, 0, 0, 1, 0});  // farther: never shown
        const RayColour c = traceRay(t.scene, {0, 0, 0}, {0, 0, 1}, 1);
        EXPECT_EQ(c.r > c.g, planeFirst);
        EXPECT_EQ(c.g > c.r, !planeFirst);
    }
}

TEST(RayTrace, PlainShadingWithoutFlags) {
    TestScene t;
    t.light(0, 10, 0);
    // y = 0 with its normal stored downwards: lit from above.
    t.plane({0, -1, 0, 0, 0.5f, 0.25f, 0.125f, 0.9f});
    t.sphere({0, 5, 0.0f, 1, 1, 1, 1, 0});  // between the light and the hit
    t.scene.flags = 0;
    const RayColour c = traceRay(t.scene, {0, 3, 0}, {0, -1, 0}, 1);
    // diffuse = 1: 0.7 c + 0.3, no shadow, no mirror.
    EXPECT_EQ(c.r, 0.7f * 0.5f + 0.3f);
    EXPECT_EQ(c.g, 0.7f * 0.25f + 0.3f);
    EXPECT_EQ(c.b, 0.7f * 0.125f + 0.3f);
    // Nothing hit, and no objects at all: black.
    EXPECT_TRUE(same(traceRay(t.scene, {0, 3, 0}, {1, 0, 0}, 1), {0, 0, 0}));
    TestScene empty;
    EXPECT_TRUE(same(traceRay(empty.scene, {0, 0, 0}, {0, 0, 1}, 1), {0, 0, 0}));
}

TEST(RayTrace, ShadowFlag) {
    TestScene t;
    t.light(0, 10, 0);
    t.plane({0, -1, 0, 0, 0.5f, 0.5f, 0.5f, 0});
    RaySphere& blocker = t.sphere({0, 5, 0, 1, 1, 1, 1, 0});
    const RayVec3 o = {0, 3, 0.5f}, d = {0, -1, 0};
    t.scene.flags = 0;
    const RayColour lit = traceRay(t.scene, o, d, 1);
    t.scene.flags = kRayShadows;
    const RayColour dark = traceRay(t.scene, o, d, 1);
    EXPECT_EQ(dark.r, lit.r * 0.625f);
    EXPECT_EQ(dark.b, lit.b * 0.625f);
    // A body beyond the light, or below the lit point, casts nothing there.
    blocker.y = 20;
    EXPECT_TRUE(same(traceRay(t.scene, o, d, 1), lit));
    blocker.y = -5;
    EXPECT_TRUE(same(traceRay(t.scene, o, d, 1), lit));
    // A point at the light: zero light vector, diffuse 0, never shadowed.
    TestScene at;
    at.light(0, 0, 0);
    at.plane({0, -1, 0, 0, 1, 1, 1, 0});
    at.sphere({0, 0, 0, 5, 1, 1, 1, 0});  // holds the ray's origin: not hit
    at.scene.flags = kRayShadows;
    const RayColour c = traceRay(at.scene, {0, 3, 0}, {0, -1, 0}, 1);
    EXPECT_EQ(c.r, 0.7f);
}

TEST(RayTrace, ReflectionFlagAndDepth) {
    TestScene t;
    t.light(0, 50, 0);
    t.plane({0, -1, 0, 0, 0.2f, 0.2f, 0.2f, 1.0f});  // a perfect mirror floor y = 0
    t.sphere({0, 6, 14.6667f, 2, 1, 0.5f, 0, 0});  // 10 units along the reflection
    const RayVec3 o = {0, 5, 0}, d = {0, -0.6f, 0.8f};
    // The mirror point and the reflected ray, as the tracer forms them.
    const float t0 = 5.0f / 0.6f;
    const RayVec3 p = o + t0 * d;
    const RayVec3 r = {0, 0.6f, 0.8f};

    t.scene.flags = 0;
    const RayColour floorOnly = traceRay(t.scene, o, d, 1);
    t.scene.flags = kRayReflections;
    const RayColour mirrored = traceRay(t.scene, o, d, 1);
    const RayColour direct = traceRay(t.scene, p + r, r, 0);
    EXPECT_GT(direct.r, 0.5f);  // the reflected ray meets the sphere
    EXPECT_TRUE(same(mirrored, direct));
    EXPECT_FALSE(same(mirrored, floorOnly));
    // Depth 0 does not reflect; half a mirror mixes half and half.
    EXPECT_TRUE(same(traceRay(t.scene, o, d, 0), floorOnly));
    static_cast<RayPlane*>(t.scene.objects[0].record)->reflectivity = 0.5f;
    const RayColour half = traceRay(t.scene, o, d, 1);
    EXPECT_EQ(half.r, 0.5f * floorOnly.r + 0.5f * direct.r);
}

TEST(RayTrace, UnknownTypesAndBadCountsAreSkipped) {
    TestScene t;
    t.light(0, 0, -10);
    t.unknown(7);
    const RayObject& odd = t.scene.objects[0];
    EXPECT_EQ(intersectObject(ray({0, 0, 0}, {0, 0, 1}), odd), RAY_MISS);
    const RayVec3 n = objectNormal(odd, {0, 0, 0});
    EXPECT_TRUE(n.x == 0 && n.y == 0 && n.z == 0);
    EXPECT_TRUE(same(objectColour(odd, {0, 0, 0}, {0, 0, 1}), {0, 0, 0}));
    EXPECT_EQ(objectReflectivity(odd), 0.0f);
    EXPECT_TRUE(same(traceRay(t.scene, {0, 0, 0}, {0, 0, 1}, 1), {0, 0, 0}));

    // Eleven entries: the eleventh is never read. A table pointer that is
    // missing reads as no objects.
    TestScene many;
    many.light(0, 0, -10);
    for (int i = 0; i < 10; ++i) many.sphere({0, 100, 0, 1, 1, 1, 1, 0});
    many.sphere({0, 0, 10, 2, 1, 1, 1, 0});
    EXPECT_TRUE(same(traceRay(many.scene, {0, 0, 0}, {0, 0, 1}, 1), {0, 0, 0}));
    many.scene.objects = nullptr;
    EXPECT_TRUE(same(traceRay(many.scene, {0, 0, 0}, {0, 0, 1}, 1), {0, 0, 0}));
}

TEST(RayTexture, PlaneLookupTilesAndMirrors) {
    auto tex = indexTexture();
    auto at = [&](float x, float z) { return texelOf(planeTextureColour(tex.get(), {x, 0, z})); };
    EXPECT_EQ(at(3.4f, 0).column, 1);   // trunc(1.02)
    EXPECT_EQ(at(-3.4f, 0).column, 1);  // mirrored about x = 0
    EXPECT_EQ(at(0, -10.0f).row, 3);    // mirrored about z = 0
    EXPECT_EQ(at(854.0f, 0).column, 0);  // 256.2 wraps
    EXPECT_EQ(at(1e10f, 0).column, 0);   // does not fit an int32
    EXPECT_EQ(at(std::numeric_limits<float>::quiet_NaN(), 1e30f).column, 0);
    // Through the textured plane's dispatch: the colour at the hit point.
    RayTexPlane p = {0, 1, 0, 0, tex.get(), 0};
    const Texel k = texelOf(objectColour({kRayTexPlane, &p}, {10.0f, 0, 20.0f}, {0, 1, 0}));
    EXPECT_EQ(k.row, 6);
    EXPECT_EQ(k.column, 3);
}

TEST(RayTexture, BodyLookupEdges) {
    auto tex = indexTexture();
    RayTexSphere s = {0, 0, 0, 1, tex.get(), 0};
    const RayObject sphere = {kRayTexSphere, &s};
    auto at = [&](RayVec3 n) { return texelOf(objectColour(sphere, {0, 0, 0}, n)); };
    EXPECT_EQ(at({1, 0, 0}).row, 0);
    EXPECT_EQ(at({-1, 0, 0}).row, 255);   // angle pi: 256 clamped
    EXPECT_EQ(at({0, -1, 0}).row, 128);
    EXPECT_EQ(at({0, 0, -1}).column, 51);
    // The ellipsoid's normal is not unit length: both terms clamp to 255.
    RayTexEllipsoid e = {0, 0, 0, 1, 1, 1, 1, tex.get(), 0};
    const Texel big = texelOf(objectColour({kRayTexEllipsoid, &e}, {0, 0, 0}, {-3, 1e-3f, 9}));
    EXPECT_EQ(big.row, 255);
    EXPECT_EQ(big.column, 255);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Texel none = texelOf(objectColour({kRayTexEllipsoid, &e}, {0, 0, 0}, {nan, nan, nan}));
    EXPECT_EQ(none.row, 0);
    EXPECT_EQ(none.column, 0);
}
