// The atom: a live raytraced scene in the middle 140 rows, four small
// bodies circling a core in two perpendicular orbits over a tiled floor,
// the camera and the light travelling on closed paths around them. The
// frame picture rayflare.rgb covers rows 0..29 and 170..199 and is copied
// afresh every frame. Scene "atom.scn" (AtomRayScene). Ends at the next
// music beat.
#include <cmath>
#include <cstring>

#include "data/image_bank.h"
#include "host/demo.h"
#include "parts/parts.h"
#include "raytracer/ray_bodies.h"
#include "raytracer/ray_render.h"
#include "raytracer/ray_scene.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int kBandPixels = 30 * kFrameWidth;
constexpr int kLowerBand = 170 * kFrameWidth;

// Bodies 1 and 2 circle opposite each other at constant y, bodies 3 and 4
// a quarter turn later at constant z; one turn every 10 s.
void placeBodies(RayScene& scene, float T) {
    const float a = -2.0f * kPi * T;
    if (RayBody b = rayBody(scene, 1)) {
        *b.x = 120.0f * std::cos(a);
        *b.z = 120.0f * std::sin(a);
    }
    if (RayBody b = rayBody(scene, 2)) {
        *b.x = 120.0f * std::cos(a + kPi);
        *b.z = 120.0f * std::sin(a + kPi);
    }
    if (RayBody b = rayBody(scene, 3)) {
        *b.x = 120.0f * std::cos(a + kPi / 2.0f);
        *b.y = 120.0f * std::sin(a + kPi / 2.0f);
    }
    if (RayBody b = rayBody(scene, 4)) {
        *b.x = 120.0f * std::cos(a + 3.0f * kPi / 2.0f);
        *b.y = 120.0f * std::sin(a + 3.0f * kPi / 2.0f);
    }
}

void placeCamera(RayScene& scene, float T) {
    const float pT = kPi * T;
    scene.light[0] = 400.0f * std::cos(pT);
    scene.light[1] = 400.0f - 150.0f * std::cos(kPi * std::cos(pT));
    scene.light[2] = 400.0f * std::sin(pT);
    const float e = 300.0f * std::sin(1.25f * pT) + 500.0f;
    scene.eye[0] = e * std::sin(pT);
    scene.eye[1] = 150.0f * std::sin(kPi * std::cos(pT)) + 200.0f;
    scene.eye[2] = e * std::cos(0.5f * pT) * std::cos(pT);
}

}  // namespace

int runAtomPart() {
    RayScene& scene = AtomRayScene;
    scene.flags = kRayReflections | kRayShadows;
    LastBeat = BeatCounter.load(std::memory_order_relaxed);
    while (BeatCounter.load(std::memory_order_relaxed) == LastBeat) {
        if (KeyPending()) return -1;
        std::memcpy(FrameBuffer, img::rayflare, sizeof(uint32_t) * kBandPixels);
        std::memcpy(FrameBuffer + kLowerBand, img::rayflare + kLowerBand, sizeof(uint32_t) * kBandPixels);
        const float T = static_cast<float>(0.1 * DemoTime());
        placeCamera(scene, T);
        placeBodies(scene, T);
        renderRayGrid(scene, SharedRayViewport);
        blitRayGrid(FrameBuffer + kRayBandTop * kFrameWidth);
        PresentFrame();
    }
    return 0;
}
