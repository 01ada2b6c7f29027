#include "raytracer/ray_scene.h"

#include <gtest/gtest.h>

#include "data/test_files.h"

namespace {

const std::string kHeader =
    "viewport\n\t81\t36\t7\t60.5\ncamera\n\t1\t2\t3\n\t4\t5\t6\n\t0.25\nlight\n\t-1\t-2\t-3\n";

// Every texture loads as this one, except "missing.tex"; names are kept.
RayTexture gTexture;
std::vector<std::string> gTextureNames;
RayTexture* fakeTexture(const char* name) {
    gTextureNames.push_back(name);
    return std::string(name) == "missing.tex" ? nullptr : &gTexture;
}

struct Parsed {
    RayViewport viewport;
    RayScene scene;
    std::string log;
    const RaySphere& sphere(int i) const { return *static_cast<const RaySphere*>(scene.objects[i].record); }
};

Parsed parse(const std::string& text, RayViewport viewport = {}) {
    Parsed p;
    p.viewport = viewport;
    gTextureNames.clear();
    testing::internal::CaptureStderr();
    EXPECT_EQ(parseRayScene(reinterpret_cast<const uint8_t*>(text.data()), text.size(), p.viewport, p.scene, fakeTexture), 1);
    p.log = testing::internal::GetCapturedStderr();
    return p;
}

TEST(RayScene, HeaderOnlyAndTheSecondViewportWins) {
    Parsed p = parse(kHeader);
    EXPECT_EQ(p.scene.objectCount, 0);
    EXPECT_EQ(p.log, "RAYTR: 0 object(s) loaded.\n");
    EXPECT_EQ(p.viewport.focal, 60.5f);
    EXPECT_EQ(p.scene.target[0], 4.0f);
    EXPECT_EQ(p.scene.cameraExtra, 0.25f);
    EXPECT_EQ(p.scene.light[2], -3.0f);
    // Only the tokens' order matters; the later file's values replace.
    Parsed q = parse("viewport 40 20 1 9 camera 1 2 3 4 5 6 7 light 1 2 3", p.viewport);
    EXPECT_EQ(q.viewport.width, 40);
    EXPECT_EQ(q.viewport.focal, 9.0f);
    // A header that stops at "x" keeps the older values after it, and the
    // object loop starts at "x".
    Parsed bad = parse("viewport 50 x 1 9 camera", p.viewport);
    EXPECT_EQ(bad.viewport.width, 50);
    EXPECT_EQ(bad.viewport.height, 36);
    EXPECT_EQ(bad.log.rfind("RAYTR: warning - unknown object \"x\"\n", 0), 0u);
}

TEST(RayScene, AllKindsFillTheirFieldsInOrder) {
    Parsed p = parse(kHeader + "plane\n\t0\t1\t0\t2\n\t0.5\t0.5\t0.5\n\t0.3\n" +
                     "sphere\n\t1\t2\t3\t4\n\t1\t0\t0\n\t0.1\t" +
                     "ellipsoid\n\t1\t2\t3\n\t1\t2\t4\n\t5\n\t0\t1\t0\n\t0.2\n" +
                     "plane_text\n\t0\t0\t1\t9\n\tfloor.tex\n\t0.4\t" +
                     "sphere_text\n\t7\t8\t9\t1.5\n\tball.tex\n\t0.6\n" +
                     "ellipsoid_text\n\t1\t1\t1\n\t2\t2\t2\n\t3\n\tegg.tex\n\t0.7\n");
    ASSERT_EQ(p.scene.objectCount, 6);
    EXPECT_EQ(p.log, "RAYTR: 6 object(s) loaded.\n");
    const int32_t types[] = {1, 2, 3, 21, 22, 23};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(p.scene.objects[i].type, types[i]);
    EXPECT_EQ(static_cast<RayPlane*>(p.scene.objects[0].record)->reflectivity, 0.3f);
    EXPECT_EQ(p.sphere(1).radius, 4.0f);
    auto* ell = static_cast<RayEllipsoid*>(p.scene.objects[2].record);
    EXPECT_EQ(ell->sz, 4.0f);
    EXPECT_EQ(ell->green, 1.0f);
    auto* tp = static_cast<RayTexPlane*>(p.scene.objects[3].record);
    EXPECT_EQ(tp->texture, &gTexture);
    EXPECT_EQ(tp->reflectivity, 0.4f);
    EXPECT_EQ(static_cast<RayTexEllipsoid*>(p.scene.objects[5].record)->radius, 3.0f);
    EXPECT_EQ(gTextureNames, (std::vector<std::string>{"floor.tex", "ball.tex", "egg.tex"}));
}

TEST(RayScene, FailedAndUnknownObjects) {
    // "plane_text" is its own word, "Sphere" is not "sphere", and two failed
    // objects in a row leave the good ones packed from entry 0.
    Parsed p = parse(kHeader + "sphere 1 2 3 4 1 1 1 0\n" + "plane_text 0 1 0 0 missing.tex 0\n" +
                     "sphere 1 2 oops 4\n" + "Sphere\n" + "sphere 5 6 7 8 1 1 1 0");  // no final break
    EXPECT_EQ(p.scene.objectCount, 2);
    EXPECT_EQ(p.sphere(1).x, 5.0f);
    EXPECT_EQ(p.log,
              "RAYTR: error loading texture mapped plane\n"
              "RAYTR: error loading sphere\n"
              "RAYTR: warning - unknown object \"oops\"\n"
              "RAYTR: warning - unknown object \"4\"\n"
              "RAYTR: warning - unknown object \"Sphere\"\n"
              "RAYTR: 2 object(s) loaded.\n");
}

TEST(RayScene, LimitsAreKeptNotOverrun) {
    std::string text = kHeader;
    for (int i = 0; i < 12; ++i) text += "sphere " + std::to_string(i) + " 0 0 1 1 1 1 0\n";
    Parsed many = parse(text);
    EXPECT_EQ(many.scene.objectCount, 10);
    EXPECT_EQ(many.sphere(9).x, 9.0f);
    EXPECT_EQ(many.log, "RAYTR: warning - more than 10 objects, the rest are ignored\nRAYTR: 10 object(s) loaded.\n");

    // 64-character keyword, 256- and 255-character texture names.
    Parsed p = parse(kHeader + std::string(64, 'q') + "\n" + "sphere_text 0 0 0 1 " + std::string(256, 'n') +
                     " 0.5\n" + "sphere_text 0 0 0 1 " + std::string(255, 'n') + " 0.5\n");
    EXPECT_EQ(p.scene.objectCount, 1);
    EXPECT_EQ(gTextureNames, std::vector<std::string>{std::string(255, 'n')});
    EXPECT_EQ(p.log, "RAYTR: warning - unknown object \"" + std::string(63, 'q') + "\"\n" +
                         "RAYTR: error loading texture mapped sphere\n"
                         "RAYTR: warning - unknown object \"0.5\"\n"
                         "RAYTR: 1 object(s) loaded.\n");
    // Numbers convert exactly as strtof does.
    Parsed n = parse(kHeader + "sphere 1e-3 -.5 0x10 3.4028236e38 0.1 1 1 1.000000059604644775390625");
    ASSERT_EQ(n.scene.objectCount, 1);
    EXPECT_EQ(n.sphere(0).x, 1e-3f);
    EXPECT_EQ(n.sphere(0).z, 16.0f);
    EXPECT_EQ(n.sphere(0).radius, std::strtof("3.4028236e38", nullptr));
    EXPECT_EQ(n.sphere(0).reflectivity, std::strtof("1.000000059604644775390625", nullptr));
}

TEST(RayTexture, PaletteSizeAndTruncation) {
    Bytes t(10 + 768 + 65536, 0);
    t[5] = 1, t[7] = 1;  // 256 x 256
    t[10 + 15] = 63, t[10 + 16] = 32, t[10 + 17] = 1;
    t[10 + 768 + 257] = 5;
    RayTexture* tex = parseRayTexture(t.data(), t.size());
    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(tex->texels[257][0], 0.984375f);
    EXPECT_EQ(tex->texels[257][1], 0.5f);
    EXPECT_EQ(tex->texels[257][2], 0.015625f);
    delete tex;
    EXPECT_EQ(parseRayTexture(t.data(), t.size() - 1), nullptr);
    t[5] = 2;
    EXPECT_EQ(parseRayTexture(t.data(), t.size()), nullptr);

    t[5] = 1;
    writeFile(scratchPath("wall.tex"), t);
    writeFile(scratchPath("one.scn"), asBytes(kHeader + "plane_text 0 0 1 0 " + scratchPath("wall.tex") + " 0.5\n" +
                                              "sphere_text 0 0 0 1 " + scratchPath("none.tex") + " 0.5\n"));
    RayViewport v;
    RayScene s;
    EXPECT_EQ(loadRayScene(scratchPath("none.scn").c_str(), v, s), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadRayScene(scratchPath("one.scn").c_str(), v, s), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "fopen: No such file or directory\n"
              "RAYTR: error loading texture mapped sphere\n"
              "RAYTR: 1 object(s) loaded.\n");
    ASSERT_EQ(s.objectCount, 1);
    EXPECT_EQ(static_cast<RayTexPlane*>(s.objects[0].record)->texture->texels[257][1], 0.5f);
}

}  // namespace
