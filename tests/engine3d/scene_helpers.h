// Scenes for the engine's tests: written with the generator's scene
// writer, parsed by the engine's loader.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine3d/scene.h"
#include "gen/s3d_writer.h"

struct SceneDeleter {
    void operator()(Scene* s) const {
        freeSceneArrays(*s);
        delete s;
    }
};
using ScenePtr = std::unique_ptr<Scene, SceneDeleter>;

// Parses bytes into a fresh Scene; result receives parseScene's status.
inline ScenePtr parseBytes(const std::vector<uint8_t>& bytes, int& result, SceneLoadError* error = nullptr) {
    ScenePtr scene(new Scene());
    testing::internal::CaptureStdout();
    result = parseScene(bytes.data(), bytes.size(), *scene, error);
    testing::internal::GetCapturedStdout();
    return scene;
}

inline ScenePtr parseOk(const s3d::Scene& desc) {
    int result = -2;
    ScenePtr scene = parseBytes(s3d::encode(desc), result);
    EXPECT_EQ(result, 0);
    return scene;
}

inline int parseResult(const s3d::Scene& desc) {
    int result = -2;
    parseBytes(s3d::encode(desc), result);
    return result;
}

// A still camera: eye, target, field of view in degrees.
inline s3d::Camera stillCamera(s3d::V3 eye, s3d::V3 target, float fov = 90.0f) {
    s3d::Camera c;
    c.eye.keys = {eye};
    c.eye.times = {0};
    c.target.keys = {target};
    c.target.times = {0};
    c.roll.keys = {0.0f};
    c.roll.times = {0};
    c.fov.keys = {fov};
    c.fov.times = {0};
    return c;
}

inline s3d::Object singleTriangle(s3d::V3 a, s3d::V3 b, s3d::V3 c) {
    s3d::Object o;
    o.vertices = {a, b, c};
    o.triangles = {{0, 1, 2}};
    return o;
}
