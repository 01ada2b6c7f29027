// The final scene: a live raytraced view in the middle 140 rows, two
// mirrored bodies swinging round the origin opposite each other, one of
// them swelling and shrinking, over a tiled floor among pillars; the
// camera and the light travel on closed paths. The frame picture
// rayflare.rgb covers rows 0..29 and 170..199, copied once on entry.
// Scene "final.scn" (FinalRayScene). Ends at the next music beat.
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

void placeScene(RayScene& scene, float T) {
    const float pT = kPi * T;
    scene.light[0] = 400.0f * std::cos(pT);
    scene.light[1] = 400.0f - 150.0f * std::cos(kPi * std::cos(pT));
    scene.light[2] = 400.0f * std::sin(pT);
    const float e = 200.0f * std::sin(1.25f * pT) + 400.0f;
    scene.eye[0] = e * std::sin(pT);
    scene.eye[1] = 300.0f - 250.0f * std::sin(kPi * std::cos(pT));
    scene.eye[2] = e * std::cos(pT);

    // Body 2 stays opposite body 1 through the origin; one turn every 10 s.
    const float a = -2.0f * kPi * T;
    if (RayBody b = rayBody(scene, 1)) {
        *b.x = *b.y = 40.0f * std::cos(a);
        *b.z = 40.0f * std::sin(a);
        if (b.radius) *b.radius = 20.0f * std::sin(2.5f * pT) + 30.0f;
    }
    if (RayBody b = rayBody(scene, 2)) {
        *b.x = *b.y = -40.0f * std::cos(a);
        *b.z = -40.0f * std::sin(a);
    }
}

}  // namespace

int runFinalScenePart() {
    RayScene& scene = FinalRayScene;
    scene.flags = kRayReflections | kRayShadows;
    std::memcpy(FrameBuffer, img::rayflare, sizeof(uint32_t) * kBandPixels);
    std::memcpy(FrameBuffer + kLowerBand, img::rayflare + kLowerBand, sizeof(uint32_t) * kBandPixels);
    LastBeat = BeatCounter.load(std::memory_order_relaxed);
    while (BeatCounter.load(std::memory_order_relaxed) == LastBeat) {
        if (KeyPending()) return -1;
        const float T = static_cast<float>(0.1 * DemoTime());
        placeScene(scene, T);
        renderRayGrid(scene, SharedRayViewport);
        blitRayGrid(FrameBuffer + kRayBandTop * kFrameWidth);
        PresentFrame();
    }
    return 0;
}
