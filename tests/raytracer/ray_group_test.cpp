// The group tracer (four rays in SSE lanes) against the reference tracer,
// bit for bit: random scenes of every kind, random rays in every lane,
// shadows and mirror bounces; ties between equal distances; short groups.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "ray_test_scene.h"
#include "raytracer/ray_group.h"
#include "raytracer/ray_trace.h"

namespace {

bool sameBits(const RayColour& a, const RayColour& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The group tracer as the renderer drives it: the scene prepared and the
// terms of the origin and of the light worked out first.
void traceGroupOf(const RayScene& scene, const RayVec3& origin, const RayVec3* directions, int32_t count,
                  int32_t depth, RayColour* colours) {
    RayTraceScene prepared;
    prepareRayTrace(scene, prepared);
    RayOriginTerms fromOrigin, fromLight;
    rayOriginTerms(prepared, origin, fromOrigin);
    rayOriginTerms(prepared, prepared.light, fromLight);
    traceRayGroup(prepared, fromOrigin, fromLight, origin, directions, count, depth, colours);
}

class Random {
public:
    explicit Random(uint32_t seed) : state_(seed) {}
    uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    float unit() { return static_cast<float>(next()) / 16777216.0f; }  // 0 .. 1
    float between(float lo, float hi) { return lo + (hi - lo) * unit(); }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }
    RayVec3 point(float extent) { return {between(-extent, extent), between(-extent, extent), between(-extent, extent)}; }

private:
    uint32_t state_;
};

// A texture whose every texel differs, so a wrong texel shows.
std::unique_ptr<RayTexture> noiseTexture() {
    auto t = std::make_unique<RayTexture>();
    Random r(7u);
    for (auto& texel : t->texels)
        for (float& channel : texel) channel = r.unit();
    return t;
}

// Up to ten objects of random kinds around the origin (now and then an
// entry of an unknown type, or a copy of an earlier body, which ties with
// it on every ray), a light somewhere around them, random flags. Returns
// the bodies' centres in centres[0..n-1].
int randomScene(Random& r, const RayTexture* texture, TestScene& t, RayVec3* centres) {
    int bodies = 0;
    t.light(r.between(-300, 300), r.between(-300, 300), r.between(-300, 300));
    const int count = 1 + r.below(kRayMaxObjects);
    for (int i = 0; i < count; ++i) {
        const float k = r.below(2) ? 0.0f : r.between(0.1f, 1.0f);
        const RayVec3 c = r.point(100);
        const float radius = r.between(10, 45);
        const float sx = r.between(0.5f, 2), sy = r.between(0.5f, 2), sz = r.between(0.5f, 2);
        const int kind = r.below(8);
        if (kind >= 2) centres[bodies++] = c;
        switch (kind) {
            case 0:
                t.plane({r.between(-1, 1), r.between(-1, 1), r.between(-1, 1), r.between(-150, 150), r.unit(),
                         r.unit(), r.unit(), k});
                break;
            case 1:
                t.texPlane({r.between(-0.2f, 0.2f), -1, r.between(-0.2f, 0.2f), r.between(-150, 150), texture, k});
                break;
            case 2:
                t.sphere({c.x, c.y, c.z, radius, r.unit(), r.unit(), r.unit(), k});
                break;
            case 3:
                t.texSphere({c.x, c.y, c.z, radius, texture, k});
                break;
            case 4:
                t.ellipsoid({c.x, c.y, c.z, sx, sy, sz, radius, r.unit(), r.unit(), r.unit(), k});
                break;
            case 5:
                t.texEllipsoid({c.x, c.y, c.z, sx, sy, sz, radius, texture, k});
                break;
            case 6:
                if (i > 0 && t.scene.objects[0].type == kRaySphere) {
                    RaySphere copy = *static_cast<const RaySphere*>(t.scene.objects[0].record);
                    copy.red = 1.0f - copy.red;
                    t.sphere(copy);
                    centres[bodies - 1] = {copy.x, copy.y, copy.z};
                } else {
                    t.sphere({c.x, c.y, c.z, radius, 1, 1, 1, k});
                }
                break;
            default:
                if (r.below(2)) t.unknown(9);
                else t.ellipsoid({c.x, c.y, c.z, 1, 1, 1, radius, r.unit(), r.unit(), r.unit(), k});
                break;
        }
    }
    t.scene.flags = r.below(4) ? kRayShadows | kRayReflections : r.below(4);
    return bodies;
}

// Which kind a ray's nearest hit is, whether its shadow ray is blocked and
// whether it bounces: only to check that the random input reaches every
// path of the tracer, in every lane.
struct Reached {
    int kind[4][4] = {};  // [lane][0 none, 1 plane, 2 sphere, 3 ellipsoid]
    int blocked[4] = {};
    int mirrored[4] = {};
};

void note(const RayScene& scene, const RayVec3& o, const RayVec3& d, int lane, Reached& reached) {
    float nearest = RAY_MISS;
    int hit = -1;
    for (int i = 0; i < scene.objectCount; ++i) {
        const float t = intersectObject({o, d}, scene.objects[i]);
        if (t != RAY_MISS && t < nearest) {
            nearest = t;
            hit = i;
        }
    }
    const int type = hit < 0 ? 0 : scene.objects[hit].type % 20;
    ++reached.kind[lane][type];
    if (hit < 0) return;
    const RayVec3 light = {scene.light[0], scene.light[1], scene.light[2]};
    RayVec3 v = (o + nearest * d) - light;
    const float limit = rayNormalize(v) - 0.01f;
    bool blocked = false;
    for (int i = 0; i < scene.objectCount; ++i) blocked |= intersectObject({light, v}, scene.objects[i]) < limit;
    reached.blocked[lane] += blocked && (scene.flags & kRayShadows);
    reached.mirrored[lane] += objectReflectivity(scene.objects[hit]) != 0.0f && (scene.flags & kRayReflections);
}

}  // namespace

// Each lane gets its own random ray, mostly aimed near a body so that
// bodies are hit about as often as the planes around them; depth 0 to 2, so mirror rays of mirror rays (an origin per
// lane) are traced too. Short groups leave the colours past count alone.
TEST(RayGroup, MatchesTheReferenceOnRandomScenes) {
    const auto texture = noiseTexture();
    Random r(2024u);
    Reached reached;
    int differ = 0, rays = 0;
    for (int scene = 0; scene < 300; ++scene) {
        TestScene t;
        RayVec3 centres[kRayMaxObjects];
        const int bodies = randomScene(r, texture.get(), t, centres);
        for (int group = 0; group < 12; ++group) {
            const RayVec3 origin = r.point(250);
            const int count = group < 8 ? 4 : 1 + r.below(4);
            const int depth = r.below(3);
            RayVec3 d[4];
            for (RayVec3& dir : d) {
                const int aim = r.below(8);
                if (aim == 0) dir = r.point(1);
                else if (aim < 3 || bodies == 0) dir = r.point(120) - origin;
                else dir = centres[r.below(bodies)] + r.point(30) - origin;
                rayNormalize(dir);
            }
            RayColour got[4];
            const RayColour sentinel = {-7.0f, -7.0f, -7.0f};
            for (RayColour& c : got) c = sentinel;
            traceGroupOf(t.scene, origin, d, count, depth, got);
            for (int l = 0; l < 4; ++l) {
                if (l >= count) {
                    differ += !sameBits(got[l], sentinel);
                    continue;
                }
                differ += !sameBits(got[l], traceRay(t.scene, origin, d[l], depth));
                note(t.scene, origin, d[l], l, reached);
                ++rays;
            }
        }
    }
    EXPECT_EQ(differ, 0) << "of " << rays << " rays";
    for (int l = 0; l < 4; ++l) {
        for (int kind = 0; kind < 4; ++kind) EXPECT_GT(reached.kind[l][kind], 100) << "lane " << l << " kind " << kind;
        EXPECT_GT(reached.blocked[l], 100) << "lane " << l;
        EXPECT_GT(reached.mirrored[l], 300) << "lane " << l;
    }
}

// A plane and a sphere meet the ray at the same distance: the earlier table
// entry is shown, whichever kind the group tracer walks first. Lanes 1 and
// 3 run along the axis, where the distances are equal; lanes 0 and 2 are
// oblique rays without a tie.
TEST(RayGroup, EqualDistancesGoToTheEarlierEntry) {
    for (bool planeFirst : {true, false}) {
        TestScene t;
        t.light(0, 0, -100);
        if (planeFirst) t.plane({0, 0, 1, -8, 1, 0, 0, 0});
        t.sphere({0, 0, 10, 2, 0, 1, 0, 0});
        if (!planeFirst) t.plane({0, 0, 1, -8, 1, 0, 0, 0});
        t.sphere({0, 0, 10, 2, 0, 0, 1, 0});  // a copy: ties with the first sphere, never shown
        t.scene.flags = kRayShadows | kRayReflections;
        RayVec3 d[4] = {{0.6f, 0, 0.8f}, {0, 0, 1}, {0, -0.6f, 0.8f}, {0, 0, 1}};
        RayColour got[4];
        traceGroupOf(t.scene, {0, 0, 0}, d, 4, 1, got);
        for (int l = 0; l < 4; ++l) EXPECT_TRUE(sameBits(got[l], traceRay(t.scene, {0, 0, 0}, d[l], 1))) << l;
        for (int l : {1, 3}) {
            EXPECT_EQ(got[l].r > got[l].g, planeFirst) << l;
            EXPECT_GT(got[l].r + got[l].g, 2.0f * got[l].b) << l;  // never the copy's blue
        }
    }
}

// No objects, unknown codes only, or no table: every lane black.
TEST(RayGroup, EmptyScenesAreBlack) {
    TestScene t;
    t.light(0, 0, -10);
    t.unknown(4);
    t.scene.flags = kRayShadows | kRayReflections;
    const RayVec3 d[4] = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}, {0, 0, -1}};
    RayColour got[4];
    traceGroupOf(t.scene, {0, 0, 0}, d, 4, 1, got);
    for (const RayColour& c : got) EXPECT_TRUE(sameBits(c, {0, 0, 0}));
    t.scene.objects = nullptr;
    traceGroupOf(t.scene, {0, 0, 0}, d, 4, 1, got);
    for (const RayColour& c : got) EXPECT_TRUE(sameBits(c, {0, 0, 0}));
}
