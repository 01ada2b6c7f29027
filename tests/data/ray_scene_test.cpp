#include "raytracer/ray_scene.h"

#include <gtest/gtest.h>

#include "data/text_scanner.h"
#include "test_files.h"

namespace {

const char kHeader[] =
    "viewport\n\t81\t36\t7\t60.5\ncamera\n\t1\t2\t3\n\t4\t5\t6\n\t0.25\nlight\n\t-1\t-2\t-3\n";

// Every textured object gets this texture; names are recorded.
RayTexture gTexture;
std::vector<std::string> gTextureNames;
RayTexture* fakeTexture(const char* name) {
    gTextureNames.push_back(name);
    return std::string(name) == "missing.tex" ? nullptr : &gTexture;
}

struct Parsed {
    int32_t result;
    RayViewport viewport;
    RayScene scene;
    std::string log;
};

Parsed parse(const std::string& text, RayViewport viewport = {}) {
    Parsed p;
    p.viewport = viewport;
    gTextureNames.clear();
    Bytes b = asBytes(text);
    testing::internal::CaptureStderr();
    p.result = parseRayScene(b.data(), b.size(), p.viewport, p.scene, fakeTexture);
    p.log = testing::internal::GetCapturedStderr();
    return p;
}

const RaySphere& sphere(const Parsed& p, int i) {
    return *static_cast<const RaySphere*>(p.scene.objects[i].record);
}

TEST(RayScene, OnlyAHeader) {
    Parsed p = parse(kHeader);
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.scene.objectCount, 0);
    EXPECT_EQ(p.log, "RAYTR: 0 object(s) loaded.\n");
    EXPECT_EQ(p.viewport.width, 81);
    EXPECT_EQ(p.viewport.height, 36);
    EXPECT_EQ(p.viewport.viewportExtra, 7);
    EXPECT_EQ(p.viewport.focal, 60.5f);
    EXPECT_EQ(p.scene.eye[2], 3.0f);
    EXPECT_EQ(p.scene.target[0], 4.0f);
    EXPECT_EQ(p.scene.cameraExtra, 0.25f);
    EXPECT_EQ(p.scene.light[1], -2.0f);
    // The tokens' order is all that matters: one line works as well.
    Parsed q = parse("viewport 81 36 7 60.5 camera 1 2 3 4 5 6 0.25 light -1 -2 -3");
    EXPECT_EQ(q.log, "RAYTR: 0 object(s) loaded.\n");
    EXPECT_EQ(q.scene.light[2], -3.0f);
}

TEST(RayScene, AllKindsWithTheirFields) {
    Parsed p = parse(std::string(kHeader) +
                     "plane\n\t0\t1\t0\t2\n\t0.5\t0.5\t0.5\n\t0.3\n"
                     "sphere\n\t1\t2\t3\t4\n\t1\t0\t0\n\t0.1\t"
                     "ellipsoid\n\t1\t2\t3\n\t1\t2\t4\n\t5\n\t0\t1\t0\n\t0.2\n"
                     "plane_text\n\t0\t0\t1\t9\n\tfloor.tex\n\t0.4\t"
                     "sphere_text\n\t7\t8\t9\t1.5\n\tball.tex\n\t0.6\n"
                     "ellipsoid_text\n\t1\t1\t1\n\t2\t2\t2\n\t3\n\tegg.tex\n\t0.7\n");
    ASSERT_EQ(p.scene.objectCount, 6);
    EXPECT_EQ(p.log, "RAYTR: 6 object(s) loaded.\n");
    const int32_t types[] = {1, 2, 3, 21, 22, 23};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(p.scene.objects[i].type, types[i]);
    auto* plane = static_cast<RayPlane*>(p.scene.objects[0].record);
    EXPECT_EQ(plane->d, 2.0f);
    EXPECT_EQ(plane->reflectivity, 0.3f);
    EXPECT_EQ(sphere(p, 1).radius, 4.0f);
    EXPECT_EQ(sphere(p, 1).reflectivity, 0.1f);
    auto* ell = static_cast<RayEllipsoid*>(p.scene.objects[2].record);
    EXPECT_EQ(ell->sz, 4.0f);
    EXPECT_EQ(ell->radius, 5.0f);
    EXPECT_EQ(ell->green, 1.0f);
    auto* tp = static_cast<RayTexPlane*>(p.scene.objects[3].record);
    EXPECT_EQ(tp->d, 9.0f);
    EXPECT_EQ(tp->texture, &gTexture);
    EXPECT_EQ(tp->reflectivity, 0.4f);
    auto* ts = static_cast<RayTexSphere*>(p.scene.objects[4].record);
    EXPECT_EQ(ts->radius, 1.5f);
    auto* te = static_cast<RayTexEllipsoid*>(p.scene.objects[5].record);
    EXPECT_EQ(te->radius, 3.0f);
    EXPECT_EQ(te->reflectivity, 0.7f);
    EXPECT_EQ(gTextureNames, (std::vector<std::string>{"floor.tex", "ball.tex", "egg.tex"}));
}

TEST(RayScene, FailedAndUnknownObjects) {
    // "plane_text" is its own keyword; "Sphere" is not "sphere"; two failed
    // objects in a row leave the good ones packed from entry 0.
    Parsed p = parse(std::string(kHeader) +
                     "sphere 1 2 3 4 1 1 1 0\n"
                     "plane_text 0 1 0 0 missing.tex 0\n"
                     "sphere 1 2 oops 4 1 1 1 0\n"
                     "Sphere\n"
                     "sphere 5 6 7 8 1 1 1 0");  // no final line break
    EXPECT_EQ(p.scene.objectCount, 2);
    EXPECT_EQ(p.scene.objects[0].type, kRaySphere);
    EXPECT_EQ(sphere(p, 1).x, 5.0f);
    EXPECT_EQ(p.log,
              "RAYTR: error loading texture mapped plane\n"
              "RAYTR: error loading sphere\n"
              "RAYTR: warning - unknown object \"oops\"\n"
              "RAYTR: warning - unknown object \"4\"\n"
              "RAYTR: warning - unknown object \"1\"\n"
              "RAYTR: warning - unknown object \"1\"\n"
              "RAYTR: warning - unknown object \"1\"\n"
              "RAYTR: warning - unknown object \"0\"\n"
              "RAYTR: warning - unknown object \"Sphere\"\n"
              "RAYTR: 2 object(s) loaded.\n");
}

TEST(RayScene, SecondSceneViewportWinsAndAMalformedHeaderKeepsOldValues) {
    Parsed first = parse(kHeader);
    Parsed second = parse("viewport 40 20 1 9 camera 1 2 3 4 5 6 7 light 1 2 3", first.viewport);
    EXPECT_EQ(second.viewport.width, 40);
    EXPECT_EQ(second.viewport.focal, 9.0f);
    // The header stops at "x": the height and the rest keep what was there,
    // and reading objects starts at "x".
    Parsed bad = parse("viewport 50 x 1 9 camera 1 2 3 4 5 6 7 light 1 2 3\n", first.viewport);
    EXPECT_EQ(bad.viewport.width, 50);
    EXPECT_EQ(bad.viewport.height, 36);
    EXPECT_EQ(bad.viewport.viewportExtra, 7);
    EXPECT_EQ(bad.log.rfind("RAYTR: warning - unknown object \"x\"\n", 0), 0u);
    EXPECT_NE(bad.log.find("unknown object \"camera\""), std::string::npos);
    // Leading whitespace before "viewport" fails the header at once.
    Parsed lead = parse(std::string(" ") + kHeader, first.viewport);
    EXPECT_EQ(lead.viewport.focal, 60.5f);
    EXPECT_EQ(lead.scene.eye[0], 0.0f);
}

TEST(RayScene, LimitsAreKeptNotOverrun) {
    std::string text = kHeader;
    for (int i = 0; i < 12; ++i) text += "sphere " + std::to_string(i) + " 0 0 1 1 1 1 0\n";
    Parsed many = parse(text);
    EXPECT_EQ(many.scene.objectCount, 10);
    EXPECT_EQ(sphere(many, 9).x, 9.0f);
    EXPECT_EQ(many.log,
              "RAYTR: warning - more than 10 objects, the rest are ignored\n"
              "RAYTR: 10 object(s) loaded.\n");

    std::string longWord(64, 'q');
    std::string longName(256, 'n');
    Parsed limits = parse(std::string(kHeader) + longWord + " 1\n" +
                          std::string(63, 'w') + "\n" +
                          "sphere_text 0 0 0 1 " + longName + " 0.5\n" +
                          "sphere_text 0 0 0 1 " + std::string(255, 'n') + " 0.5\n");
    EXPECT_EQ(limits.scene.objectCount, 1);
    EXPECT_EQ(gTextureNames, std::vector<std::string>{std::string(255, 'n')});
    EXPECT_EQ(limits.log, "RAYTR: warning - unknown object \"" + std::string(63, 'q') +
                              "\"\n"
                              "RAYTR: warning - unknown object \"1\"\n"
                              "RAYTR: warning - unknown object \"" + std::string(63, 'w') +
                              "\"\n"
                              "RAYTR: error loading texture mapped sphere\n"
                              "RAYTR: warning - unknown object \"0.5\"\n"
                              "RAYTR: 1 object(s) loaded.\n");
}

TEST(RayScene, NumbersConvertAsStrtofDoes) {
    Parsed p = parse(std::string(kHeader) +
                     "sphere 1e-3 -.5 +2. 0x10 1E+2 3.4028236e38 0.1 1.000000059604644775390625");
    ASSERT_EQ(p.scene.objectCount, 1);
    const RaySphere& s = sphere(p, 0);
    EXPECT_EQ(s.x, 1e-3f);
    EXPECT_EQ(s.y, -0.5f);
    EXPECT_EQ(s.z, 2.0f);
    EXPECT_EQ(s.radius, 16.0f);
    EXPECT_EQ(s.red, 100.0f);
    EXPECT_EQ(s.green, std::strtof("3.4028236e38", nullptr));
    EXPECT_EQ(s.blue, 0.1f);
    EXPECT_EQ(s.reflectivity, std::strtof("1.000000059604644775390625", nullptr));
}

Bytes textureFile(int width, int height) {
    Bytes t(10 + 768 + 65536, 0);
    t[4] = static_cast<uint8_t>(width & 0xFF);
    t[5] = static_cast<uint8_t>(width >> 8);
    t[6] = static_cast<uint8_t>(height & 0xFF);
    t[7] = static_cast<uint8_t>(height >> 8);
    t[10 + 3 * 5 + 0] = 63;
    t[10 + 3 * 5 + 1] = 32;
    t[10 + 3 * 5 + 2] = 1;
    t[10 + 768 + 257] = 5;
    return t;
}

TEST(RayTexture, PaletteAndSizeRules) {
    Bytes t = textureFile(256, 256);
    RayTexture* tex = parseRayTexture(t.data(), t.size());
    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(tex->texels[257][0], 0.984375f);
    EXPECT_EQ(tex->texels[257][1], 0.5f);
    EXPECT_EQ(tex->texels[257][2], 0.015625f);
    EXPECT_EQ(tex->texels[256][0], 0.0f);
    delete tex;
    Bytes wide = textureFile(512, 256);
    EXPECT_EQ(parseRayTexture(wide.data(), wide.size()), nullptr);
    Bytes tall = textureFile(256, 255);
    EXPECT_EQ(parseRayTexture(tall.data(), tall.size()), nullptr);
    EXPECT_EQ(parseRayTexture(t.data(), t.size() - 1), nullptr);
    EXPECT_EQ(parseRayTexture(t.data(), 8), nullptr);

    writeFile(scratchPath("cut.tex"), Bytes(t.begin(), t.begin() + 5000));
    writeFile(scratchPath("good.tex"), t);
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadRayTexture(scratchPath("cut.tex").c_str()), nullptr);
    EXPECT_EQ(loadRayTexture(scratchPath("none.tex").c_str()), nullptr);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log, "fopen: No such file or directory\n");
    tex = loadRayTexture(scratchPath("good.tex").c_str());
    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(tex->texels[257][1], 0.5f);
    delete tex;
}

TEST(RayScene, FileLoadingAndTexturesByName) {
    RayViewport v;
    RayScene s;
    EXPECT_EQ(loadRayScene(scratchPath("none.scn").c_str(), v, s), 0);
    writeFile(scratchPath("wall.tex"), textureFile(256, 256));
    writeText(scratchPath("one.scn"), std::string(kHeader) + "plane_text 0 0 1 0 " +
                                          scratchPath("wall.tex") + " 0.5\n" +
                                          "sphere_text 0 0 0 1 " + scratchPath("none.tex") +
                                          " 0.5\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadRayScene(scratchPath("one.scn").c_str(), v, s), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "fopen: No such file or directory\n"
              "RAYTR: error loading texture mapped sphere\n"
              "RAYTR: 1 object(s) loaded.\n");
    ASSERT_EQ(s.objectCount, 1);
    auto* tp = static_cast<RayTexPlane*>(s.objects[0].record);
    EXPECT_EQ(tp->texture->texels[257][0], 0.984375f);
}

TEST(TextScanner, EndOfFileIndicatorFollowsTheReads) {
    Bytes b = asBytes("12 word");
    TextScanner in(b.data(), b.size());
    int32_t v = 0;
    EXPECT_TRUE(in.readInt(v));
    EXPECT_EQ(v, 12);
    EXPECT_FALSE(in.atEnd());
    EXPECT_FALSE(in.readInt(v));  // "word" is left for the next read
    char w[8];
    EXPECT_EQ(in.readWord(w, sizeof w), 4u);
    EXPECT_STREQ(w, "word");
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(in.readWord(w, sizeof w), 0u);
}

}  // namespace
