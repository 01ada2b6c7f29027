// Intersection and shading: one ray against the objects of a RayScene, the
// colour of the nearest hit lit by the scene's point light, with an optional
// hard shadow and one optional mirror bounce. All arithmetic is float and
// follows the formulas step by step, so a picture is the same bit for bit
// on every build.
#pragma once

#include <cstdint>

#include "raytracer/ray_scene.h"
#include "raytracer/ray_vec.h"

// An intersection routine returns a distance t > 0 along the ray, or this.
constexpr float RAY_MISS = 100000000.0f;

// Linear intensities, 1.0 full; values outside 0..1 are clamped later.
struct RayColour {
    float r, g, b;
};

// Origin and direction. Rays of the renderer have unit directions; the
// sphere formula relies on that.
struct Ray {
    RayVec3 origin;
    RayVec3 direction;
};

// The geometry of one object, copied out of its record (plain and textured
// kinds alike) so the inner loops read one plain layout per kind.
struct RayPlaneGeometry {
    float a, b, c, d;
};
struct RaySphereGeometry {
    RayVec3 centre;
    float radius;
};
struct RayEllipsoidGeometry {
    RayVec3 centre;
    RayVec3 scale;
    float radius;
};

float intersectPlane(const RayPlaneGeometry& plane, const Ray& ray);
// Only the nearer root is tried: a ray starting inside the sphere misses.
float intersectSphere(const RaySphereGeometry& sphere, const Ray& ray);
float intersectEllipsoid(const RayEllipsoidGeometry& ellipsoid, const Ray& ray);

// (a, b, c) as stored: neither normalised nor turned towards the viewer.
RayVec3 planeNormal(const RayPlaneGeometry& plane);
// (centre - P) / radius: points into the body. The ellipsoid's is not unit
// length (its scales do not enter).
RayVec3 sphereNormal(const RaySphereGeometry& sphere, const RayVec3& point);
RayVec3 ellipsoidNormal(const RayEllipsoidGeometry& ellipsoid, const RayVec3& point);

// Texel lookups. The plane mapping tiles every 256 / 0.3 units and is
// mirrored about x = 0 and z = 0; the body mapping takes the row from the
// normal's angle about z and the column from |N.z|, each clamped to 0..255.
// A null texture reads black.
RayColour planeTextureColour(const RayTexture* texture, const RayVec3& point);
RayColour bodyTextureColour(const RayTexture* texture, const RayVec3& normal);

// Dispatch on the type code; an unknown code never hits, has a zero normal,
// black colour and no reflectivity.
float intersectObject(const Ray& ray, const RayObject& object);
RayVec3 objectNormal(const RayObject& object, const RayVec3& point);
RayColour objectColour(const RayObject& object, const RayVec3& point, const RayVec3& normal);
float objectReflectivity(const RayObject& object);

// Object slots of one kind, rounded up to whole groups of four SSE lanes.
constexpr int kRayLaneSlots = (kRayMaxObjects + 3) / 4 * 4;

// A scene sorted for tracing: the geometry of each kind in its own list,
// each entry with its table index, which breaks ties between equal
// distances in favour of the earlier object. The lists are also kept field
// by field (four objects to a register), with a lane mask that is all ones
// for a real object and zero for the padding after the last one. Built
// once per frame.
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
    alignas(16) float planeA[kRayLaneSlots], planeB[kRayLaneSlots], planeC[kRayLaneSlots], planeD[kRayLaneSlots];
    alignas(16) float sphereX[kRayLaneSlots], sphereY[kRayLaneSlots], sphereZ[kRayLaneSlots];
    alignas(16) float sphereRadius2[kRayLaneSlots];  // radius * radius
    alignas(16) float ellipsoidX[kRayLaneSlots], ellipsoidY[kRayLaneSlots], ellipsoidZ[kRayLaneSlots];
    alignas(16) float ellipsoidSX[kRayLaneSlots], ellipsoidSY[kRayLaneSlots], ellipsoidSZ[kRayLaneSlots];
    alignas(16) float ellipsoidRadius2[kRayLaneSlots];
    alignas(16) uint32_t planeLive[kRayLaneSlots], sphereLive[kRayLaneSlots], ellipsoidLive[kRayLaneSlots];
    // Per table index of a traced object: its kind (1 plane, 2 sphere,
    // 3 ellipsoid) and its slot in that kind's list.
    int32_t kindOf[kRayMaxObjects];
    int32_t slotOf[kRayMaxObjects];
};

// The parts of each intersection that depend on the ray's origin only,
// worked out once for all rays from one point (the projection centre, the
// light). They are the very values the intersection routines form, so a
// ray traced with them gives the same bits as one traced without. Kept
// field by field like the scene's lane lists.
struct RayOriginTerms {
    alignas(16) float planeOffset[kRayLaneSlots];  // d + a*O.x + b*O.y + c*O.z
    alignas(16) float sphereFromX[kRayLaneSlots], sphereFromY[kRayLaneSlots], sphereFromZ[kRayLaneSlots];  // O - centre
    alignas(16) float sphereRest[kRayLaneSlots];  // (O - centre).(O - centre) - r*r
    alignas(16) float ellipsoidFromX[kRayLaneSlots], ellipsoidFromY[kRayLaneSlots],
        ellipsoidFromZ[kRayLaneSlots];            // scaled O - centre
    alignas(16) float ellipsoidRest[kRayLaneSlots];  // its square length - r*r
};

// Reads the scene's light and at most kRayMaxObjects table entries (none
// when the table is missing); unknown type codes are left out.
void prepareRayTrace(const RayScene& scene, RayTraceScene& prepared);
void rayOriginTerms(const RayTraceScene& prepared, const RayVec3& origin, RayOriginTerms& terms);

// The colour seen along the ray. Shadows when flags bit 1 is set; one
// mirror bounce per level of depth when flags bit 0 is set (the renderer
// passes depth 1). A ray that hits nothing is black.
RayColour traceRay(const RayScene& scene, const RayVec3& origin, const RayVec3& direction, int32_t depth);
// The same on a prepared scene, with the terms of the ray's origin and of
// the light (both from rayOriginTerms).
RayColour traceRay(const RayTraceScene& prepared, const RayOriginTerms& fromOrigin, const RayOriginTerms& fromLight,
                   const RayVec3& origin, const RayVec3& direction, int32_t depth);

// Up to four rays from one origin at once (count 1..4; directions holds
// four entries, the unused ones any finite values): the same colours as
// four traceRay calls.
void traceRayGroup(const RayTraceScene& prepared, const RayOriginTerms& fromOrigin, const RayOriginTerms& fromLight,
                   const RayVec3& origin, const RayVec3* directions, int32_t count, int32_t depth,
                   RayColour* colours);

// Rays cast since the last reset, for the benchmark: the counters cost one
// add per ray and are not meant to be read by the demo.
struct RayCounts {
    int64_t traced;     // traceRay calls at any depth (primary + reflected)
    int64_t shadow;     // shadow rays cast
    int64_t reflected;  // reflected rays cast
};
RayCounts rayCounts();
void resetRayCounts();
