#include <gtest/gtest.h>

#include <cmath>

#include "engine3d/key_tracks.h"

namespace {

// A scalar track with the padding slots the loader writes.
struct Track {
    float keys[kKeySlots];
    int16_t times[kKeySlots];
    int n;
    Track(std::initializer_list<float> k, std::initializer_list<int16_t> t) : n(static_cast<int>(k.size())) {
        int i = 0;
        for (float v : k) keys[i++] = v;
        i = 0;
        for (int16_t v : t) times[i++] = v;
        for (int j = n; j < kKeySlots; ++j) {
            keys[j] = n > 0 ? keys[n - 1] : 0.0f;
            times[j] = n > 0 ? times[n - 1] : 0;
        }
    }
    float at(float t) const {
        float out = -999.0f;
        evalScalarTrack(out, keys, times, n, t);
        return out;
    }
};

TEST(KeyTracks, FewerThanFourKeysAreConstant) {
    for (int n = 0; n < 4; ++n) {
        Track tr({7.0f, 1.0f, 2.0f}, {0, 10, 20});
        tr.n = n;
        for (float t : {-5.0f, 0.0f, 5.0f, 15.0f, 1000.0f}) EXPECT_EQ(tr.at(t), 7.0f) << "n " << n << " t " << t;
    }
    // The same for a vector track, whose padding slots would blend.
    Vec3 keys[kKeySlots];
    int16_t times[kKeySlots];
    for (int i = 0; i < kKeySlots; ++i) {
        keys[i] = Vec3{float(i), float(2 * i), 7.0f};
        times[i] = static_cast<int16_t>(10 * i);
    }
    for (int n = 0; n < 4; ++n) {
        for (float t : {-5.0f, 0.0f, 5.0f, 15.0f, 1000.0f}) {
            Vec3 out{-1.0f, -1.0f, -1.0f};
            evalVectorTrack(out, keys, times, n, t);
            EXPECT_EQ(out.x, 0.0f) << "n " << n << " t " << t;
            EXPECT_EQ(out.y, 0.0f) << "n " << n << " t " << t;
        }
    }
}

TEST(KeyTracks, SegmentSearch) {
    const int16_t times[] = {0, 10, 20, 30, 40, 50};
    EXPECT_EQ(findKeySegment(times, 6, 0.5f), 1);
    EXPECT_EQ(findKeySegment(times, 6, 10.0f), 1);  // equal time: the lower index
    EXPECT_EQ(findKeySegment(times, 6, 10.5f), 2);
    EXPECT_EQ(findKeySegment(times, 6, 30.0f), 3);
    EXPECT_EQ(findKeySegment(times, 6, 30.5f), 4);  // above T[n-3]: n-2
    EXPECT_EQ(findKeySegment(times, 6, 999.0f), 4);
    EXPECT_EQ(findKeySegment(times, 4, 15.0f), 2);
}

TEST(KeyTracks, PassesThroughKeysAtTheirTimes) {
    Track tr({3.0f, -1.0f, 4.0f, 1.0f, 5.0f, 9.0f}, {0, 10, 25, 30, 50, 60});
    EXPECT_EQ(tr.at(-3.0f), 3.0f);
    EXPECT_EQ(tr.at(0.0f), 3.0f);
    EXPECT_FLOAT_EQ(tr.at(10.0f), -1.0f);
    EXPECT_FLOAT_EQ(tr.at(25.0f), 4.0f);
    EXPECT_FLOAT_EQ(tr.at(30.0f), 1.0f);
    EXPECT_FLOAT_EQ(tr.at(50.0f), 5.0f);
}

TEST(KeyTracks, TangentsAreTakenOneKeyLate) {
    // Segment 1 (key 0 to key 1) starts with the slope around key 1,
    // (K2 - K0) / 2 = 4, and ends with the slope around key 2, (K3 - K1) / 2.
    Track tr({0.0f, 0.0f, 8.0f, 0.0f}, {0, 10, 20, 30});
    // s = 0.5: h3 = 0.125, h4 = -0.125.
    EXPECT_FLOAT_EQ(tr.at(5.0f), 0.125f * 4.0f - 0.125f * 0.0f);
    // Above T[1] with n = 4 the segment is key 1 to key 2, with A = (K3 - K1) / 2
    // and B = (K4 - K2) / 2 from the padding slot (K4 = K3 = 0).
    EXPECT_FLOAT_EQ(tr.at(20.0f), 8.0f);
    EXPECT_FLOAT_EQ(tr.at(15.0f), 0.5f * 8.0f - 0.125f * -4.0f);
}

TEST(KeyTracks, EvenKeysOnALineGiveALine) {
    Track tr({0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0});
    for (int i = 0; i < 8; ++i) {
        tr.keys[i] = 3.0f * i;
        tr.times[i] = static_cast<int16_t>(20 * i);
    }
    for (int i = 8; i < kKeySlots; ++i) tr.keys[i] = tr.keys[7];
    for (float t = 0.0f; t <= 100.0f; t += 3.5f) EXPECT_NEAR(tr.at(t), 0.15f * t, 1e-4f) << t;
    // The last segment (key 5 to key 6) ends with the slope around key 7,
    // read from the padding slot that repeats it: half the line's slope.
    EXPECT_FLOAT_EQ(tr.at(120.0f), 18.0f);
    EXPECT_FLOAT_EQ(tr.at(110.0f), 16.5f - 0.125f * (1.5f - 3.0f));
    // Beyond the second-to-last key that segment is extrapolated.
    EXPECT_GT(tr.at(125.0f), tr.at(120.0f));
}

TEST(KeyTracks, VectorTrackMatchesScalarTracksPerComponent) {
    Vec3 keys[kKeySlots];
    int16_t times[kKeySlots];
    Track x({1, 5, 2, 8, 3}, {0, 7, 19, 23, 40});
    Track y({-1, 0, 4, 4, 0}, {0, 7, 19, 23, 40});
    for (int i = 0; i < kKeySlots; ++i) {
        keys[i] = Vec3{x.keys[i], y.keys[i], 2.0f};
        times[i] = x.times[i];
    }
    for (float t : {1.0f, 7.0f, 12.5f, 22.0f, 31.0f, 55.0f}) {
        Vec3 out{};
        evalVectorTrack(out, keys, times, 5, t);
        EXPECT_EQ(out.x, x.at(t));
        EXPECT_EQ(out.y, y.at(t));
        EXPECT_EQ(out.z, 2.0f);
    }
}

TEST(KeyTracks, MorphBlendsFramesLinearlyAndRenewsNormals) {
    SceneVertex vertices[3] = {};
    ScenePolygon polygon{};
    polygon.vertices = vertices;
    polygon.count = 3;
    polygon.index[0] = 0;
    polygon.index[1] = 1;
    polygon.index[2] = 2;
    polygon.index[3] = 0;
    // Frame 0 lies in z = 0, frame 1 in x = 0.
    const Vec3 frames[6] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}, {0, 0, 2}, {0, 2, 0}};
    SceneObject o{};
    o.vertexCount = 3;
    o.polygonCount = 1;
    o.vertices = vertices;
    o.polygons = &polygon;
    o.morphFrames = frames;
    o.morphCount = 2;
    o.morphTimes[0] = 10;
    o.morphTimes[1] = 20;
    vertices[1].object = Vec3{9, 9, 9};
    evalMorph(o, 10.0f);  // not after the first time: unchanged
    EXPECT_EQ(vertices[1].object.x, 9.0f);
    evalMorph(o, 15.0f);
    EXPECT_FLOAT_EQ(vertices[1].object.x, 0.5f);
    EXPECT_FLOAT_EQ(vertices[1].object.z, 1.0f);
    EXPECT_FLOAT_EQ(vertices[2].object.y, 1.5f);
    evalMorph(o, 20.0f);
    EXPECT_FLOAT_EQ(polygon.normal.x, -1.0f);
    o.morphFrames = nullptr;  // as loaded from a file: nothing happens
    evalMorph(o, 12.0f);
    EXPECT_FLOAT_EQ(vertices[1].object.z, 2.0f);
}

// The scene loader only refuses a track whose last segment has no length;
// every other order of times, repeated or reversed, must evaluate finite
// at every t. Small random tracks over a few distinct times hit repeats and
// reversals everywhere else.
TEST(KeyTracks, AnyTimesButAZeroLastSegmentStayFinite) {
    uint32_t state = 12345;
    auto next = [&state](int range) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % static_cast<uint32_t>(range));
    };
    int tracks = 0;
    while (tracks < 3000) {
        const int n = 4 + next(6);
        Track tr({}, {});
        tr.n = n;
        for (int i = 0; i < n; ++i) {
            tr.keys[i] = static_cast<float>(next(200) - 100);
            tr.times[i] = static_cast<int16_t>(next(5) * 10);
        }
        for (int j = n; j < kKeySlots; ++j) {
            tr.keys[j] = tr.keys[n - 1];
            tr.times[j] = tr.times[n - 1];
        }
        if (tr.times[n - 2] == tr.times[n - 3]) continue;
        ++tracks;
        // The vector track, which has its own checks, gives the same.
        Vec3 keys[kKeySlots];
        for (int j = 0; j < kKeySlots; ++j) keys[j] = Vec3{tr.keys[j], 0.0f, 0.0f};
        for (float t = -5.0f; t <= 60.0f; t += 2.5f) {
            const int k = findKeySegment(tr.times, n, t);
            ASSERT_GE(k, 1);
            ASSERT_LE(k, n - 2);
            ASSERT_TRUE(std::isfinite(tr.at(t))) << "n " << n << " t " << t << " k " << k;
            Vec3 out{};
            evalVectorTrack(out, keys, tr.times, n, t);
            ASSERT_EQ(out.x, tr.at(t)) << "n " << n << " t " << t << " k " << k;
        }
    }
}

}  // namespace
