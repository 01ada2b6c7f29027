// The generated scene files: they load without a failed object, use the
// 81 x 36 grid, and hold the entries the raytraced parts move. Skipped when
// the data folder has not been generated.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>

#include "raytracer/ray_scene.h"

namespace {

const std::set<std::string> kKeywords = {"plane", "sphere", "ellipsoid", "plane_text", "sphere_text", "ellipsoid_text"};

bool centreKind(int32_t type) {
    return type == kRaySphere || type == kRayEllipsoid || type == kRayTexSphere || type == kRayTexEllipsoid;
}

class SceneFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string probe = std::string(PLIVAK_DATA_DIR) + "/atom.scn";
        if (std::FILE* f = std::fopen(probe.c_str(), "rb")) {
            std::fclose(f);
        } else {
            GTEST_SKIP() << "no generated data in " << PLIVAK_DATA_DIR;
        }
        // Texture names are "../data/NAME", as the demo sees them from bin.
        ASSERT_EQ(chdir(PLIVAK_BIN_DIR), 0);
    }

    // Loads the scene and checks what every scene needs: every object
    // loads (a texture that fails fails its object), on the 81 x 36 grid.
    void load(const char* name, RayScene& scene) {
        const std::string path = std::string("../data/") + name;
        RayViewport viewport;
        EXPECT_EQ(loadRayScene(path.c_str(), viewport, scene), 1);
        EXPECT_EQ(viewport.width, 81);
        EXPECT_EQ(viewport.height, 36);
        EXPECT_GT(viewport.focal, 20.0f);

        std::ifstream in(path);
        std::string token;
        int objects = 0;
        while (in >> token) objects += kKeywords.count(token);
        EXPECT_EQ(scene.objectCount, objects) << name << ": an object failed to load";
        EXPECT_LE(objects, kRayMaxObjects);
        bool texturedGround = false;
        for (int i = 0; i < scene.objectCount; ++i) texturedGround |= scene.objects[i].type == kRayTexPlane;
        EXPECT_TRUE(texturedGround) << name;
    }
};

}  // namespace

TEST_F(SceneFiles, AtomHasFourMovingBodies) {
    RayScene scene;
    load("atom.scn", scene);
    ASSERT_GE(scene.objectCount, 5);
    for (int i = 1; i <= 4; ++i) EXPECT_TRUE(centreKind(scene.objects[i].type)) << "entry " << i;
}

TEST_F(SceneFiles, FinalHasASwellingSphereAndItsPartner) {
    RayScene scene;
    load("final.scn", scene);
    ASSERT_GE(scene.objectCount, 3);
    const int32_t first = scene.objects[1].type;
    EXPECT_TRUE(first == kRaySphere || first == kRayTexSphere);
    EXPECT_TRUE(centreKind(scene.objects[2].type));
}
