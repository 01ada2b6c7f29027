// The demo's tracer: four rays at once, one per SSE lane, through a scene
// sorted by kind. Each lane does the reference tracer's float operations
// in its order (ray_trace.h), so every ray gets the colour traceRay gives
// it, bit for bit.
#pragma once

#include <cstdint>

#include "raytracer/ray_objects.h"
#include "raytracer/ray_scene.h"
#include "raytracer/ray_vec.h"

// A scene sorted for tracing: the geometry of each kind in its own list,
// each entry with its table index, which breaks ties between equal
// distances in favour of the earlier object. Built once per frame.
struct RayTraceScene {
    const RayScene* scene;
    RayVec3 light;
    int32_t planeCount, sphereCount, ellipsoidCount;
    RayPlaneGeometry planes[kRayMaxObjects];
    RaySphereGeometry spheres[kRayMaxObjects];
    RayEllipsoidGeometry ellipsoids[kRayMaxObjects];
    int32_t planeIndex[kRayMaxObjects];
    int32_t sphereIndex[kRayMaxObjects];
    int32_t ellipsoidIndex[kRayMaxObjects];
    // Per table index of a traced object: its kind (1 plane, 2 sphere,
    // 3 ellipsoid) and its slot in that kind's list.
    int32_t kindOf[kRayMaxObjects];
    int32_t slotOf[kRayMaxObjects];
};

// The terms of each object's intersection that depend on the ray's origin
// only (planeOffset, the body's vector from its centre and bodyRest), for
// all rays from one point: the projection centre, the light. They are the
// very values the intersection routines form, so a ray traced with them
// gives the same bits as one traced without.
struct RayOriginTerms {
    float planeOffset[kRayMaxObjects];
    RayVec3 sphereFrom[kRayMaxObjects];
    float sphereRest[kRayMaxObjects];
    RayVec3 ellipsoidFrom[kRayMaxObjects];
    float ellipsoidRest[kRayMaxObjects];
};

// Reads the scene's light and at most kRayMaxObjects table entries (none
// when the table is missing); unknown type codes are left out.
void prepareRayTrace(const RayScene& scene, RayTraceScene& prepared);
void rayOriginTerms(const RayTraceScene& prepared, const RayVec3& origin, RayOriginTerms& terms);

// Up to four rays from one origin (count 1..4; directions holds four
// entries, the unused ones any finite values), with the terms of that
// origin and of the light: the colours four traceRay calls give, into
// colours[0..count-1].
void traceRayGroup(const RayTraceScene& prepared, const RayOriginTerms& fromOrigin, const RayOriginTerms& fromLight,
                   const RayVec3& origin, const RayVec3* directions, int32_t count, int32_t depth,
                   RayColour* colours);
