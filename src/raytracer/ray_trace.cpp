#include "raytracer/ray_trace.h"

#include "raytracer/ray_shade.h"

namespace {

int32_t tracedCount(const RayScene& scene) {
    if (!scene.objects) return 0;
    return scene.objectCount < kRayMaxObjects ? scene.objectCount : kRayMaxObjects;
}

}  // namespace

int32_t nearestObject(const RayScene& scene, const RayVec3& origin, const RayVec3& direction, float& nearest) {
    const int32_t count = tracedCount(scene);
    nearest = RAY_MISS;
    int32_t hit = -1;
    for (int32_t i = 0; i < count; ++i) {
        const float t = intersectObject({origin, direction}, scene.objects[i]);
        if (t != RAY_MISS && t < nearest) {
            nearest = t;
            hit = i;
        }
    }
    return hit;
}

RayColour traceRay(const RayScene& scene, const RayVec3& origin, const RayVec3& direction, int32_t depth) {
    float nearest;
    const int32_t hit = nearestObject(scene, origin, direction, nearest);
    if (hit < 0) return {0.0f, 0.0f, 0.0f};

    const RayObject& object = scene.objects[hit];
    const RayVec3 light = {scene.light[0], scene.light[1], scene.light[2]};
    const RayVec3 point = origin + nearest * direction;
    // From the light towards the hit; a point at the light gets a zero
    // vector and a limit of -0.01, which nothing undercuts.
    RayVec3 toPoint = point - light;
    const float shadowLimit = rayNormalize(toPoint) - 0.01f;
    const RayVec3 normal = objectNormal(object, point);
    RayColour local = rayLocalShade(objectColour(object, point, normal), rayDot(normal, toPoint));

    if (scene.flags & kRayShadows) {
        const int32_t count = tracedCount(scene);
        for (int32_t j = 0; j < count; ++j)
            if (intersectObject({light, toPoint}, scene.objects[j]) < shadowLimit) {
                local = rayShadowed(local);
                break;
            }
    }
    if (rayBounces(scene.flags, depth)) {
        const float k = objectReflectivity(object);
        if (k != 0.0f) {
            const RayVec3 reflected = rayReflect(normal, direction);
            local = rayMirrorBlend(local, k, traceRay(scene, point + reflected, reflected, depth - 1));
        }
    }
    return local;
}
