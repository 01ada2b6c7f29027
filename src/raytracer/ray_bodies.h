// Handles on the animated fields of a scene's bodies: the raytraced parts
// move table entries by writing their centres (and one radius) each frame.
#pragma once

#include "raytracer/ray_scene.h"

// Pointers into one record; all null when the entry is not a sphere or
// ellipsoid (plain or textured) or lies outside the loaded table. radius is
// set for spheres only.
struct RayBody {
    float* x;
    float* y;
    float* z;
    float* radius;
    explicit operator bool() const { return x != nullptr; }
};

RayBody rayBody(RayScene& scene, int index);
