// The raytracer's texture reader: a texture that loads is put on a sphere
// and a floor and traced once.
#include <cstddef>
#include <cstdint>

#include "raytracer/ray_render.h"
#include "raytracer/ray_scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RayTexture* texture = parseRayTexture(data, size);
    if (!texture) return 0;
    for (const auto& texel : texture->texels)
        for (float c : texel)
            if (!(c >= 0.0f && c < 4.0f)) __builtin_trap();  // 0..255 / 64

    RayTexSphere ball{0.0f, 0.0f, 0.0f, 40.0f, texture, 0.3f};
    RayTexPlane floor{0.0f, 1.0f, 0.0f, 50.0f, texture, 0.0f};
    RayObject objects[kRayMaxObjects] = {{kRayTexSphere, &ball}, {kRayTexPlane, &floor}};
    RayScene scene;
    scene.flags = kRayReflections | kRayShadows;
    scene.light[1] = -200.0f;
    scene.eye[2] = -200.0f;
    scene.objectCount = 2;
    scene.objects = objects;
    // A small grid: the texture is what is under test.
    RayViewport viewport{9, 4, 0, 8.0f};
    renderRayGrid(scene, viewport);
    delete texture;
    return 0;
}
