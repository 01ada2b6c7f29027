// The shading steps of a hit, shared by the reference tracer and the group
// tracer so that both colour a hit with the very same operations.
#pragma once

#include "raytracer/ray_objects.h"

// 0.7 of the surface colour plus 0.3 of the diffuse term N.V (not clamped:
// negative on the side turned away from the light) on every channel.
inline RayColour rayLocalShade(const RayColour& surface, float diffuse) {
    const float lit = 0.3f * diffuse;
    return {0.7f * surface.r + lit, 0.7f * surface.g + lit, 0.7f * surface.b + lit};
}

inline RayColour rayShadowed(const RayColour& local) {
    return {local.r * 0.625f, local.g * 0.625f, local.b * 0.625f};
}

// The mirror direction D - 2 (N.D) N. Its ray starts one unit along it
// from the hit point and is not normalised again.
inline RayVec3 rayReflect(const RayVec3& normal, const RayVec3& direction) {
    const float twiceCos = 2.0f * rayDot(normal, direction);
    return direction - twiceCos * normal;
}

// (1 - k) of the local colour plus k of the colour the mirror ray sees.
inline RayColour rayMirrorBlend(const RayColour& local, float k, const RayColour& mirrored) {
    const float keep = 1.0f - k;
    return {keep * local.r + k * mirrored.r, keep * local.g + k * mirrored.g, keep * local.b + k * mirrored.b};
}

// Reflections are on and another bounce is allowed: depth > 0 rather than
// depth != 0, since a negative depth would recurse without end between two
// mirrors.
inline bool rayBounces(int32_t flags, int32_t depth) { return (flags & kRayReflections) && depth > 0; }
