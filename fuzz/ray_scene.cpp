// The raytracer's scene parser: whatever it loads is traced once with
// shadows and reflections and drawn into the frame band. Texture names
// ending in ".tex" load a fixed texture (no file is opened); any other name
// fails its object, as a missing file does.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_support.h"
#include "raytracer/ray_render.h"
#include "raytracer/ray_scene.h"

namespace {

RayTexture* fixedTexture(const char* name) {
    static RayTexture* texture = [] {
        auto* t = new RayTexture;
        const uint32_t* pixels = checkerTexture();
        for (int i = 0; i < 256 * 256; ++i) {
            t->texels[i][0] = static_cast<float>(pixels[i] >> 16 & 0xFF) / 256.0f;
            t->texels[i][1] = static_cast<float>(pixels[i] >> 8 & 0xFF) / 256.0f;
            t->texels[i][2] = static_cast<float>(pixels[i] & 0xFF) / 256.0f;
        }
        return t;
    }();
    size_t n = std::strlen(name);
    return n >= 4 && std::strcmp(name + n - 4, ".tex") == 0 ? texture : nullptr;
}

void freeRecords(RayScene& scene) {
    for (int i = 0; i < scene.objectCount; ++i) {
        void* r = scene.objects[i].record;
        switch (scene.objects[i].type) {
        case kRayPlane: delete static_cast<RayPlane*>(r); break;
        case kRaySphere: delete static_cast<RaySphere*>(r); break;
        case kRayEllipsoid: delete static_cast<RayEllipsoid*>(r); break;
        case kRayTexPlane: delete static_cast<RayTexPlane*>(r); break;
        case kRayTexSphere: delete static_cast<RayTexSphere*>(r); break;
        case kRayTexEllipsoid: delete static_cast<RayTexEllipsoid*>(r); break;
        default: __builtin_trap();  // the table holds only known kinds
        }
    }
    delete[] scene.objects;
    scene.objects = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static uint32_t frame[320 * 200];
    RayViewport viewport;
    RayScene scene;
    parseRayScene(data, size, viewport, scene, fixedTexture);
    if (scene.objectCount < 0 || scene.objectCount > kRayMaxObjects) __builtin_trap();
    scene.flags = kRayReflections | kRayShadows;
    // At most a quarter of the grid each way keeps a run cheap; every kind
    // of ray (primary, shadow, reflection) is still traced.
    RayViewport traced = viewport;
    traced.width = std::min(traced.width, kRayGridColumns / 4);
    traced.height = std::min(traced.height, kRayGridRows / 4);
    renderRayGrid(scene, traced);
    // The blocks between traced samples, as blitRayGrid draws them.
    for (int32_t j = 0; j + 1 < traced.width; ++j)
        for (int32_t i = 0; i + 1 < traced.height; ++i)
            blitRayBlock(j, i, frame + 320 * (kRayBandTop + 4 * i) + 4 * j);
    freeRecords(scene);
    return 0;
}
