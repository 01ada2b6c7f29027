// Scenes built in code for the raytracer tests: records live in the
// builder, the table points at them in the order they were added.
#pragma once

#include <deque>
#include <vector>

#include "raytracer/ray_scene.h"

class TestScene {
public:
    TestScene() { table_.reserve(kRayMaxObjects); }
    RayScene scene;

    void light(float x, float y, float z) {
        scene.light[0] = x;
        scene.light[1] = y;
        scene.light[2] = z;
    }
    void camera(float ex, float ey, float ez, float tx = 0.0f, float ty = 0.0f, float tz = 0.0f) {
        scene.eye[0] = ex;
        scene.eye[1] = ey;
        scene.eye[2] = ez;
        scene.target[0] = tx;
        scene.target[1] = ty;
        scene.target[2] = tz;
    }
    RayPlane& plane(RayPlane p) { return add(kRayPlane, planes_, p); }
    RaySphere& sphere(RaySphere s) { return add(kRaySphere, spheres_, s); }
    RayEllipsoid& ellipsoid(RayEllipsoid e) { return add(kRayEllipsoid, ellipsoids_, e); }
    RayTexPlane& texPlane(RayTexPlane p) { return add(kRayTexPlane, texPlanes_, p); }
    RayTexSphere& texSphere(RayTexSphere s) { return add(kRayTexSphere, texSpheres_, s); }
    RayTexEllipsoid& texEllipsoid(RayTexEllipsoid e) { return add(kRayTexEllipsoid, texEllipsoids_, e); }
    // An entry with a type code the tracer does not know.
    void unknown(int32_t type) {
        table_.push_back({type, &spheres_.emplace_back(RaySphere{0, 0, 5, 100, 1, 1, 1, 0})});
        sync();
    }

private:
    template <typename Record>
    Record& add(int32_t type, std::deque<Record>& store, const Record& r) {
        Record& stored = store.emplace_back(r);
        table_.push_back({type, &stored});
        sync();
        return stored;
    }
    void sync() {
        scene.objects = table_.data();
        scene.objectCount = static_cast<int32_t>(table_.size());
    }
    std::vector<RayObject> table_;
    std::deque<RayPlane> planes_;
    std::deque<RaySphere> spheres_;
    std::deque<RayEllipsoid> ellipsoids_;
    std::deque<RayTexPlane> texPlanes_;
    std::deque<RayTexSphere> texSpheres_;
    std::deque<RayTexEllipsoid> texEllipsoids_;
};
