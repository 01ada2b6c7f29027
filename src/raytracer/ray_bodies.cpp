#include "raytracer/ray_bodies.h"

RayBody rayBody(RayScene& scene, int index) {
    RayBody body = {nullptr, nullptr, nullptr, nullptr};
    if (!scene.objects || index < 0 || index >= scene.objectCount || index >= kRayMaxObjects) return body;
    RayObject& object = scene.objects[index];
    if (!object.record) return body;
    switch (object.type) {
        case kRaySphere: {
            auto* s = static_cast<RaySphere*>(object.record);
            return {&s->x, &s->y, &s->z, &s->radius};
        }
        case kRayTexSphere: {
            auto* s = static_cast<RayTexSphere*>(object.record);
            return {&s->x, &s->y, &s->z, &s->radius};
        }
        case kRayEllipsoid: {
            auto* e = static_cast<RayEllipsoid*>(object.record);
            return {&e->x, &e->y, &e->z, nullptr};
        }
        case kRayTexEllipsoid: {
            auto* e = static_cast<RayTexEllipsoid*>(object.record);
            return {&e->x, &e->y, &e->z, nullptr};
        }
        default:
            return body;
    }
}
