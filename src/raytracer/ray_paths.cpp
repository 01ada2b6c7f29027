#include "raytracer/ray_paths.h"

#include <cmath>

#include "gfx2d/angles.h"
#include "gfx2d/fmath.h"
#include "raytracer/ray_bodies.h"

namespace {

void placeLight(RayScene& scene, float pT) {
    scene.light[0] = 400.0f * fm::cos(pT);
    scene.light[1] = 400.0f - 150.0f * fm::cos(kPi * fm::cos(pT));
    scene.light[2] = 400.0f * fm::sin(pT);
}

}  // namespace

void placeAtomScene(RayScene& scene, float T) {
    const float pT = kPi * T;
    placeLight(scene, pT);
    const float e = 300.0f * fm::sin(1.25f * pT) + 500.0f;  // 200..800
    scene.eye[0] = e * fm::sin(pT);
    scene.eye[1] = 150.0f * fm::sin(kPi * fm::cos(pT)) + 200.0f;
    scene.eye[2] = e * fm::cos(0.5f * pT) * fm::cos(pT);

    const float a = -2.0f * kPi * T;
    if (RayBody b = rayBody(scene, 1)) {
        *b.x = 120.0f * fm::cos(a);
        *b.z = 120.0f * fm::sin(a);
    }
    if (RayBody b = rayBody(scene, 2)) {
        *b.x = 120.0f * fm::cos(a + kPi);
        *b.z = 120.0f * fm::sin(a + kPi);
    }
    if (RayBody b = rayBody(scene, 3)) {
        *b.x = 120.0f * fm::cos(a + kPi / 2.0f);
        *b.y = 120.0f * fm::sin(a + kPi / 2.0f);
    }
    if (RayBody b = rayBody(scene, 4)) {
        *b.x = 120.0f * fm::cos(a + 3.0f * kPi / 2.0f);
        *b.y = 120.0f * fm::sin(a + 3.0f * kPi / 2.0f);
    }
}

void placeFinalScene(RayScene& scene, float T) {
    const float pT = kPi * T;
    placeLight(scene, pT);
    const float e = 200.0f * fm::sin(1.25f * pT) + 400.0f;  // 200..600
    scene.eye[0] = e * fm::sin(pT);
    scene.eye[1] = 300.0f - 250.0f * fm::sin(kPi * fm::cos(pT));
    scene.eye[2] = e * fm::cos(pT);

    const float a = -2.0f * kPi * T;
    if (RayBody b = rayBody(scene, 1)) {
        *b.x = *b.y = 40.0f * fm::cos(a);
        *b.z = 40.0f * fm::sin(a);
        if (b.radius) *b.radius = 20.0f * fm::sin(2.5f * pT) + 30.0f;
    }
    if (RayBody b = rayBody(scene, 2)) {
        *b.x = *b.y = -40.0f * fm::cos(a);
        *b.z = -40.0f * fm::sin(a);
    }
}
