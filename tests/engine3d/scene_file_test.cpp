#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "engine3d/pipeline.h"
#include "scene_helpers.h"

namespace {

s3d::VectorKeys vkeys(std::vector<s3d::V3> keys, std::vector<int16_t> times) {
    s3d::VectorKeys k;
    k.keys = std::move(keys);
    k.times = std::move(times);
    return k;
}

std::string captureParse(const std::vector<uint8_t>& bytes, int& result) {
    ScenePtr scene(new Scene());
    testing::internal::CaptureStdout();
    result = parseScene(bytes.data(), bytes.size(), *scene);
    return testing::internal::GetCapturedStdout();
}

TEST(SceneFile, EmptySceneLoadsAndPrintsOnlyTheObjectLine) {
    int result = -2;
    const std::string out = captureParse(s3d::encode(s3d::Scene{}), result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(out, "Lecture des objets...\n");
}

TEST(SceneFile, ProgressLinesInFileOrder) {
    s3d::Scene d;
    s3d::PointLight pl;
    pl.position = vkeys({{1, 2, 3}, {4, 5, 6}}, {0, 10});
    pl.intensity.keys = {7};
    pl.intensity.times = {0};
    d.pointLights.push_back(pl);
    d.cameras.push_back(stillCamera({0, 0, 0}, {0, 0, 1}));
    s3d::Flare f;
    f.position = vkeys({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}}, {0, 1, 2});
    d.flares.push_back(f);
    d.objects.push_back(singleTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
    int result = -2;
    const std::string out = captureParse(s3d::encode(d), result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(out,
              "nbr de keys pos de la ponctual : 2\n"
              "nbr de keys intensite de la ponctual : 1\n"
              "done\n"
              "nbr de keys pos du flare : 3\n"
              "Lecture des objets...\n"
              "verts: 3 polys: 1\n");
}

TEST(SceneFile, ObjectWithEveryOptionalBlockRoundTrips) {
    s3d::Scene d;
    s3d::Object o;
    o.vertices = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {10, 10, 5}};
    o.triangles = {{0, 1, 2}, {1, 3, 2}};
    o.u = {0.0f, 1.0f, 0.25f, 1.25f};
    o.v = {0.5f, 0.75f, 2.0f, -1.0f};
    o.slots = {3, 15};
    o.polygonFlags = {0, -128};  // 0x80 as a signed byte: double-sided
    o.extraTriples = {{9, 9, 9}, {8, 8, 8}};
    o.headerValue2 = 77;
    o.position = vkeys({{1, 2, 3}, {4, 5, 6}}, {0, 100});
    o.rotation = vkeys({{0.5f, 0.25f, 0.125f}}, {0});
    d.objects.push_back(o);
    d.pairs = {{1, 2}, {3, -4}};
    d.headerByte6 = 6;
    d.headerByte7 = -7;
    ScenePtr s = parseOk(d);
    ASSERT_EQ(s->objectCount, 1);
    EXPECT_EQ(s->pairCount, 2);
    EXPECT_EQ(s->pairSecond[1], -4);
    EXPECT_EQ(s->headerByte6, 6);
    EXPECT_EQ(s->headerByte7, -7);
    EXPECT_EQ(s->frameStamp, 0);
    const SceneObject& ob = s->objects[0];
    EXPECT_EQ(ob.vertexCount, 4);
    EXPECT_EQ(ob.polygonCount, 2);
    EXPECT_EQ(ob.extraTripleCount, 2);
    EXPECT_FLOAT_EQ(ob.headerValue2, 77.0f);
    EXPECT_FLOAT_EQ(ob.vertices[3].object.z, 5.0f);
    EXPECT_FLOAT_EQ(ob.vertices[3].u, 1.25f);
    EXPECT_FLOAT_EQ(ob.vertices[3].v, -1.0f);
    EXPECT_EQ(ob.vertices[3].frameStamp, 0);
    EXPECT_EQ(ob.polygons[1].textureSlot, 15);
    EXPECT_EQ(ob.polygons[0].flags, 0);
    EXPECT_EQ(ob.polygons[1].flags, -128);
    EXPECT_EQ(ob.polygons[1].count, 3);
    EXPECT_EQ(ob.polygons[1].index[0], 1);
    EXPECT_EQ(ob.polygons[1].index[3], 1);  // closed by repeating the first
    EXPECT_EQ(ob.polygons[1].vertices, ob.vertices);
    // Keys after the skipped extra triples are where they belong, and the
    // unused slots repeat the last key.
    EXPECT_EQ(ob.positionTrack.count, 2);
    EXPECT_FLOAT_EQ(ob.positionTrack.keys[1].y, 5.0f);
    EXPECT_EQ(ob.positionTrack.times[1], 100);
    EXPECT_FLOAT_EQ(ob.positionTrack.keys[kKeySlots - 1].z, 6.0f);
    EXPECT_FLOAT_EQ(ob.rotationTrack.keys[0].x, 0.5f);
    EXPECT_FLOAT_EQ(ob.rotationTrack.keys[2].z, 0.125f);
    // (V0 - V1) x (V0 - V2) for (0,0,0), (10,0,0), (0,10,0) is +z.
    EXPECT_FLOAT_EQ(ob.polygons[0].normal.z, 1.0f);
    EXPECT_FLOAT_EQ(ob.polygons[0].normal.x, 0.0f);
}

TEST(SceneFile, ObjectWithoutFlagsUsesTheDefaultsAndZeroTextureCoordinates) {
    s3d::Scene d;
    s3d::Object o = singleTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    o.defaultSlot = 9;
    o.defaultFlags = 0x80;
    d.objects.push_back(o);
    ScenePtr s = parseOk(d);
    EXPECT_EQ(s->objects[0].polygons[0].textureSlot, 9);
    EXPECT_EQ(s->objects[0].polygons[0].flags, 0x80);
    EXPECT_EQ(s->objects[0].vertices[1].u, 0.0f);
    EXPECT_EQ(s->objects[0].vertices[2].v, 0.0f);
}

TEST(SceneFile, FlagsBitTwoAloneReadsPolygonFlags) {
    s3d::Scene d;
    s3d::Object o = singleTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    o.defaultSlot = 4;
    o.polygonFlags = {0x12};
    d.objects.push_back(o);
    ScenePtr s = parseOk(d);
    EXPECT_EQ(s->objects[0].polygons[0].flags, 0x12);
    EXPECT_EQ(s->objects[0].polygons[0].textureSlot, 4);
}

TEST(SceneFile, AngleAndValueConversions) {
    s3d::Scene d;
    s3d::Camera c = stillCamera({0, 0, 0}, {0, 0, 1}, 60.0f);
    c.roll.keys = {90.0f};
    d.cameras.push_back(c);
    s3d::TargetLight tl;
    tl.angle.keys = {30};
    tl.angle.times = {0};
    tl.colour.keys = {200, 100};
    tl.colour.times = {0, 5};
    d.targetLights.push_back(tl);
    s3d::PointLight pl;
    pl.intensity.keys = {-3};
    pl.intensity.times = {0};
    d.pointLights.push_back(pl);
    ScenePtr s = parseOk(d);
    EXPECT_FLOAT_EQ(s->cameras[0].rollTrack.keys[0], 1.5707963f);
    EXPECT_FLOAT_EQ(s->cameras[0].fovTrack.keys[0], 60.0f);
    EXPECT_FLOAT_EQ(s->targetLights[0].angleTrack.keys[0], 150.0f);
    EXPECT_FLOAT_EQ(s->targetLights[0].colourTrack.keys[1].z, 100.0f);
    EXPECT_FLOAT_EQ(s->pointLights[0].intensityTrack.keys[0].y, -3.0f);
}

TEST(SceneFile, MorphKeysLoadWithTheMorphStepDisabled) {
    s3d::Scene d;
    s3d::Object o = singleTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    o.morphTimes = {0, 10, 20};
    o.extraTriples.assign(9, s3d::V3{5, 5, 5});
    d.objects.push_back(o);
    ScenePtr s = parseOk(d);
    EXPECT_EQ(s->objects[0].morphCount, 3);
    EXPECT_EQ(s->objects[0].morphTimes[2], 20);
    EXPECT_EQ(s->objects[0].morphFrames, nullptr);
}

// A valid description that each rejection case below breaks in one way.
s3d::Scene validScene() {
    s3d::Scene d;
    d.cameras.push_back(stillCamera({0, 0, 0}, {0, 0, 1}));
    s3d::Object o = singleTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    o.position = vkeys({{0, 0, 0}, {1, 1, 1}}, {0, 10});
    d.objects.push_back(o);
    return d;
}

TEST(SceneFile, RejectsCountsBeyondTheRecords) {
    ASSERT_EQ(parseResult(validScene()), 0);
    {
        s3d::Scene d = validScene();
        d.objects.assign(5, d.objects[0]);
        EXPECT_EQ(parseResult(d), -1) << "5 objects";
    }
    {
        s3d::Scene d = validScene();
        d.cameras.assign(3, d.cameras[0]);
        EXPECT_EQ(parseResult(d), -1) << "3 cameras";
    }
    {
        s3d::Scene d = validScene();
        d.pointLights.resize(2);
        EXPECT_EQ(parseResult(d), -1) << "2 point lights";
    }
    {
        s3d::Scene d = validScene();
        d.targetLights.resize(2);
        EXPECT_EQ(parseResult(d), -1) << "2 target lights";
    }
    {
        s3d::Scene d = validScene();
        d.flares.resize(5);
        EXPECT_EQ(parseResult(d), -1) << "5 flares";
    }
    {
        s3d::Scene d = validScene();
        d.pairs.assign(33, {0, 0});
        EXPECT_EQ(parseResult(d), -1) << "33 pairs";
    }
    {
        s3d::Scene d = validScene();
        d.objects[0].morphTimes.resize(1001);
        for (int i = 0; i < 1001; ++i) d.objects[0].morphTimes[i] = static_cast<int16_t>(i);
        EXPECT_EQ(parseResult(d), -1) << "1001 morph times";
    }
}

// Each count at its limit loads: the checks above refuse one more, not
// the limit itself.
TEST(SceneFile, CountsAtTheirLimitsLoad) {
    const std::pair<const char*, void (*)(s3d::Scene&)> limits[] = {
        {"4 objects", [](s3d::Scene& d) { d.objects.assign(4, d.objects[0]); }},
        {"2 cameras", [](s3d::Scene& d) { d.cameras.assign(2, d.cameras[0]); }},
        {"1 point light", [](s3d::Scene& d) { d.pointLights.resize(1); }},
        {"1 target light", [](s3d::Scene& d) { d.targetLights.resize(1); }},
        {"4 flares", [](s3d::Scene& d) { d.flares.resize(4); }},
        {"32 pairs", [](s3d::Scene& d) { d.pairs.assign(32, {0, 0}); }},
        {"1000 morph times",
         [](s3d::Scene& d) {
             d.objects[0].morphTimes.resize(1000);
             for (int i = 0; i < 1000; ++i) d.objects[0].morphTimes[i] = static_cast<int16_t>(i);
         }},
    };
    for (const auto& [what, make] : limits) {
        s3d::Scene d = validScene();
        make(d);
        EXPECT_EQ(parseResult(d), 0) << what;
    }
}

TEST(SceneFile, RejectsTracksOfMoreThan32Keys) {
    auto longTrack = [](int n) {
        s3d::VectorKeys k;
        for (int i = 0; i < n; ++i) {
            k.keys.push_back({1, 2, 3});
            k.times.push_back(static_cast<int16_t>(i * 10));
        }
        return k;
    };
    {
        s3d::Scene d = validScene();
        d.cameras[0].eye = longTrack(32);
        EXPECT_EQ(parseResult(d), 0) << "32 keys fit";
        d.cameras[0].eye = longTrack(33);
        EXPECT_EQ(parseResult(d), -1) << "33 camera keys";
    }
    {
        s3d::Scene d = validScene();
        d.objects[0].rotation = longTrack(33);
        EXPECT_EQ(parseResult(d), -1) << "33 rotation keys";
    }
    {
        s3d::Scene d = validScene();
        s3d::Flare f;
        f.position = longTrack(33);
        d.flares.push_back(f);
        EXPECT_EQ(parseResult(d), -1) << "33 flare keys";
    }
}

// Repeated or reversed key times load wherever no evaluated segment divides
// by a zero time difference; the last segment of an evaluated track of four
// or more keys is the one place where a repeat would.
TEST(SceneFile, KeyTimesAreRefusedOnlyWhereTheyDivideByZero) {
    auto fourKeys = [](std::vector<int16_t> times) {
        return vkeys({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}}, std::move(times));
    };
    auto loads = [](const s3d::Scene& d) {
        int result = -2;
        SceneLoadError error{};
        parseBytes(s3d::encode(d), result, &error);
        return result == 0 ? std::string("loads") : std::string(error.what);
    };
    const std::string refused = "the last segment of a track has no length";
    {
        s3d::Scene d = validScene();
        d.objects[0].position.times = {10, 5};  // two keys: constant
        d.cameras[0].fov.keys = {90, 80};
        d.cameras[0].fov.times = {3, 3};
        d.objects[0].morphTimes = {0, 20, 10, 10};  // no morph frames come from the file
        d.objects[0].rotation = fourKeys({0, 0, 5, 9});  // the first segment is never taken
        EXPECT_EQ(loads(d), "loads");
        d.objects[0].rotation = fourKeys({0, 9, 5, 5});  // reversed, and a repeat after the last segment
        EXPECT_EQ(loads(d), "loads");
        d.objects[0].rotation = fourKeys({0, 5, 5, 9});
        EXPECT_EQ(loads(d), refused) << "object rotation";
    }
    {
        s3d::Scene d = validScene();
        d.objects[0].position = fourKeys({0, 1, 1, 1});
        EXPECT_EQ(loads(d), refused) << "object position";
    }
    {
        s3d::Scene d = validScene();
        d.cameras[0].eye = fourKeys({0, 0, 0, 0});
        EXPECT_EQ(loads(d), refused) << "camera eye";
        d.cameras[0].eye = fourKeys({0, 10, 20, 30});
        d.cameras[0].roll.keys = {0, 1, 2, 3, 4};
        d.cameras[0].roll.times = {0, 10, 20, 20, 30};
        EXPECT_EQ(loads(d), refused) << "camera roll";
        // The second camera is never animated, nor are lights and flares.
        s3d::Scene d2 = validScene();
        d2.cameras.push_back(d.cameras[0]);
        EXPECT_EQ(loads(d2), "loads");
        s3d::PointLight light;
        light.position = fourKeys({4, 4, 4, 4});
        light.intensity.keys = {1, 2, 3, 4};
        light.intensity.times = {7, 7, 7, 7};
        s3d::TargetLight spot;
        spot.position = spot.target = fourKeys({0, 2, 2, 1});
        spot.colour = spot.angle = light.intensity;
        s3d::Flare flare;
        flare.position = fourKeys({0, 1, 1, 0});
        d2.pointLights = {light};
        d2.targetLights = {spot};
        d2.flares = {flare};
        EXPECT_EQ(loads(d2), "loads");
    }
}

// The show's own scene with one extra point light whose two keys share a
// time: it loads, and draws every frame exactly as the scene without it.
TEST(SceneFile, ExtraPointLightWithRepeatedKeyTimesPlays) {
    std::FILE* f = std::fopen(PLIVAK_DATA_DIR "/dazovad.scn", "rb");
    if (f == nullptr) GTEST_SKIP() << "no generated data";
    std::vector<uint8_t> show;
    int c;
    while ((c = std::fgetc(f)) != EOF) show.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
    ASSERT_GT(show.size(), 10u);
    ASSERT_EQ(show[1], 0) << "the show's scene has no point light";
    const size_t pairs = static_cast<size_t>(show[8] | show[9] << 8);
    s3d::Bytes light;
    light.i16(2);
    light.v3({10, 20, 30});
    light.v3({40, 50, 60});
    light.i16(100);
    light.i16(100);
    light.i16(2);
    light.i16(7);
    light.i16(9);
    light.i16(-4);
    light.i16(-4);
    std::vector<uint8_t> withLight = show;
    withLight[1] = 1;
    withLight.insert(withLight.begin() + static_cast<std::ptrdiff_t>(10 + 4 * pairs), light.data.begin(),
                     light.data.end());

    int result = -2;
    ScenePtr plain = parseBytes(show, result);
    ASSERT_EQ(result, 0);
    ScenePtr lit = parseBytes(withLight, result);
    ASSERT_EQ(result, 0);
    ASSERT_EQ(lit->pointLightCount, 1);
    EXPECT_EQ(lit->pointLights[0].positionTrack.times[1], 100);
    ASSERT_EQ(lit->objectCount, plain->objectCount);

    static uint32_t texture[65536];
    for (size_t i = 0; i < 65536; ++i) texture[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
    for (int k = 0; k < kTextureSlots; ++k) plain->textures[k] = lit->textures[k] = texture;
    ASSERT_EQ(initEngine(), 0);
    std::vector<uint32_t> a(64000), b(64000);
    int drawn = 0;
    for (float t : {0.0f, 37.5f, 120.0f, 999.0f, 6000.0f}) {
        std::fill(a.begin(), a.end(), 0u);
        std::fill(b.begin(), b.end(), 0u);
        renderScene(*plain, a.data(), t);
        renderScene(*lit, b.data(), t);
        EXPECT_EQ(a, b) << "t " << t;
        drawn += lastFrameStats().listedPolygons > 0;
    }
    shutdownEngine();
    EXPECT_GT(drawn, 0);
}

TEST(SceneFile, RejectsBadIndicesAndTextureSlots) {
    {
        s3d::Scene d = validScene();
        d.objects[0].triangles[0].c = 3;
        EXPECT_EQ(parseResult(d), -1) << "index V";
        d.objects[0].triangles[0].c = -1;
        EXPECT_EQ(parseResult(d), -1) << "index -1";
    }
    for (int slot : {16, 31, 32, -1}) {
        s3d::Scene d = validScene();
        d.objects[0].slots = {static_cast<int8_t>(slot)};
        EXPECT_EQ(parseResult(d), -1) << "slot " << slot;
        d.objects[0].slots.clear();
        d.objects[0].defaultSlot = static_cast<int16_t>(slot);
        EXPECT_EQ(parseResult(d), -1) << "default slot " << slot;
    }
    s3d::Scene d = validScene();
    d.objects[0].slots = {15};
    EXPECT_EQ(parseResult(d), 0);
}

TEST(SceneFile, RejectsNegativeCounts) {
    // Header byte -1 for the objects.
    std::vector<uint8_t> bytes = s3d::encode(s3d::Scene{});
    bytes[0] = 0xFF;
    int result = 0;
    parseBytes(bytes, result);
    EXPECT_EQ(result, -1) << "objects";
    // A negative pair count, key count and vertex count, written by hand.
    s3d::Bytes pairs;
    for (int i = 0; i < 8; ++i) pairs.i8(0);
    pairs.i16(-1);
    parseBytes(pairs.data, result);
    EXPECT_EQ(result, -1) << "pairs";
    s3d::Bytes camera;
    for (int b : {0, 0, 0, 1, 0, 0, 0, 0}) camera.i8(b);
    camera.i16(0);
    camera.i16(-2);  // target key count
    for (int i = 0; i < 16; ++i) camera.i16(0);
    parseBytes(camera.data, result);
    EXPECT_EQ(result, -1) << "key count";
    s3d::Bytes object;
    for (int b : {1, 0, 0, 0, 0, 0, 0, 0}) object.i8(b);
    object.i16(0);
    for (int w : {-3, 0, 0, 0, 0, 0, 0, 0, 0, 0}) object.i16(w);
    parseBytes(object.data, result);
    EXPECT_EQ(result, -1) << "vertex count";
}

TEST(SceneFile, EveryTruncationOfAFullSceneFailsCleanly) {
    s3d::Scene d = validScene();
    d.pointLights.resize(1);
    d.pointLights[0].position = vkeys({{1, 2, 3}}, {0});
    d.targetLights.resize(1);
    d.targetLights[0].position = d.targetLights[0].target = vkeys({{1, 2, 3}, {4, 5, 6}}, {0, 4});
    d.targetLights[0].colour.keys = d.targetLights[0].angle.keys = {7, 8};
    d.targetLights[0].colour.times = d.targetLights[0].angle.times = {0, 4};
    d.flares.resize(1);
    d.flares[0].position = vkeys({{1, 2, 3}}, {0});
    d.objects[0].extraTriples = {{1, 1, 1}};
    d.objects[0].u = {0, 1, 0};
    d.objects[0].v = {0, 0, 1};
    d.objects[0].slots = {2};
    d.objects[0].polygonFlags = {0};
    d.objects[0].morphTimes = {0, 5};
    const std::vector<uint8_t> bytes = s3d::encode(d);
    int result = -2;
    parseBytes(bytes, result);
    ASSERT_EQ(result, 0);
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        SceneLoadError error;
        parseBytes(cut, result, &error);
        ASSERT_EQ(result, -1) << "length " << n;
        EXPECT_LE(error.offset, n);
        ASSERT_NE(error.what, nullptr);
    }
}

// The extra triples are skipped as one block of 12 bytes each: a file that
// ends inside them is reported where they begin, however much is left.
TEST(SceneFile, AFileEndingInTheExtraTriplesIsReportedWhereTheyBegin) {
    s3d::Scene d = validScene();
    d.objects[0].extraTriples = {{9, 9, 9}, {9, 9, 9}};
    const std::vector<uint8_t> bytes = s3d::encode(d);
    const uint8_t nine[] = {0x00, 0x00, 0x10, 0x41};  // 9.0f, little-endian
    const size_t start = static_cast<size_t>(std::search(bytes.begin(), bytes.end(), nine, nine + 4) - bytes.begin());
    ASSERT_LT(start + 24, bytes.size());
    for (size_t left : {0, 11, 12, 22, 23}) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(start + left));
        int result = -2;
        SceneLoadError error{};
        parseBytes(cut, result, &error);
        ASSERT_EQ(result, -1) << left;
        EXPECT_STREQ(error.what, "file ends early") << left;
        EXPECT_EQ(error.offset, start) << left;
    }
}

// Every key count of every kind of track, one past the 32 slots and
// negative, stops the load at that count.
TEST(SceneFile, EveryKindOfTrackRefusesCountsOutsideItsSlots) {
    s3d::Scene full = validScene();
    full.pointLights.resize(1);
    full.targetLights.resize(1);
    full.flares.resize(1);
    const std::vector<uint8_t> bytes = s3d::encode(full);
    int result = -2;
    ScenePtr s = parseBytes(bytes, result);
    ASSERT_EQ(result, 0);
    // Offsets of the count words, found by walking the records of this
    // description: 10 header and pair bytes, then every track's count.
    std::vector<size_t> counts;
    size_t at = 10;
    auto track = [&](size_t valueBytes, size_t keys) {
        counts.push_back(at);
        at += 2 + keys * (valueBytes + 2);
    };
    track(12, 0);  // point light position
    track(2, 0);   // intensity
    for (size_t b : {12, 12, 2, 2}) track(b, 0);  // target light
    const s3d::Camera& c = full.cameras[0];
    track(12, c.target.keys.size());
    track(12, c.eye.keys.size());
    track(4, c.roll.keys.size());
    track(4, c.fov.keys.size());
    at += 6;  // flare parameters
    track(12, 0);
    ASSERT_LT(at, bytes.size());
    for (size_t offset : counts) {
        for (int bad : {33, -1}) {
            std::vector<uint8_t> b = bytes;
            b[offset] = static_cast<uint8_t>(bad & 0xFF);
            b[offset + 1] = static_cast<uint8_t>((bad >> 8) & 0xFF);
            SceneLoadError error{};
            parseBytes(b, result, &error);
            EXPECT_EQ(result, -1) << "count " << bad << " at " << offset;
            EXPECT_STREQ(error.what, bad < 0 ? "negative key count" : "more than 32 keys in a track") << offset;
            EXPECT_EQ(error.offset, offset + 2);
        }
    }
}

TEST(SceneFile, FilesThatCannotBeReadFail) {
    ScenePtr s(new Scene());
    SceneLoadError error{};
    EXPECT_EQ(loadScene("/nonexistent/dazovad.scn", s.get(), &error), -1);
    EXPECT_STREQ(error.what, "cannot open the file");
    // A folder opens, but reading it fails.
    EXPECT_EQ(loadScene("/tmp", s.get(), &error), -1);
    EXPECT_STREQ(error.what, "read error");
    EXPECT_EQ(loadScene(PLIVAK_SOURCE_DIR "/README.md", nullptr, &error), -1);
    EXPECT_STREQ(error.what, "cannot open the file");
}

}  // namespace

#include <random>

#include "engine3d/pipeline.h"

namespace {

// Random byte changes of a small valid scene: each parses or is rejected,
// and what parses renders, without reading or writing out of bounds (the
// sanitizer build checks that).
TEST(SceneFile, MutatedFilesAreParsedOrRejectedAndRenderSafely) {
    s3d::Scene d;
    d.cameras.push_back(stillCamera({0, 1, -8}, {0, 0, 0}));
    s3d::Object o;
    o.vertices = {{-3, -3, 0}, {3, -3, 0}, {3, 3, 0}, {-3, 3, 0}, {0, 0, -4}};
    o.triangles = {{0, 1, 2}, {0, 2, 3}, {0, 4, 1}, {2, 4, 3}};
    o.u = {0, 1, 1, 0, 0.5f};
    o.v = {0, 0, 1, 1, 0.5f};
    o.slots = {1, 2, 3, 4};
    o.polygonFlags = {0, 0, -128, 0};
    o.position = vkeys({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}}, {0, 10, 20, 30, 40});
    d.objects.push_back(o);
    const std::vector<uint8_t> bytes = s3d::encode(d);
    ASSERT_EQ(initEngine(), 0);
    static uint32_t texture[65536];
    std::vector<uint32_t> frame(64000, 0);
    std::mt19937 rng(99);
    int accepted = 0;
    for (int trial = 0; trial < 1500; ++trial) {
        std::vector<uint8_t> m = bytes;
        const int changes = 1 + static_cast<int>(rng() % 4);
        for (int c = 0; c < changes; ++c) m[rng() % m.size()] = static_cast<uint8_t>(rng());
        int result = -2;
        ScenePtr s = parseBytes(m, result);
        ASSERT_TRUE(result == 0 || result == -1);
        if (result != 0) continue;
        ++accepted;
        for (auto& slot : s->textures) slot = texture;
        testing::internal::CaptureStdout();
        for (float t : {0.0f, 15.0f, 60.0f}) renderScene(*s, frame.data(), t);
        testing::internal::GetCapturedStdout();
    }
    EXPECT_GT(accepted, 100);
    shutdownEngine();
}

}  // namespace
