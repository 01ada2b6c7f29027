// One ray against one object: the intersection of each surface kind, its
// normal, the colour of plain and textured records, and the dispatch on an
// object's type code. All arithmetic is float, rounded after every step in
// the order the formulas are written, so a result is the same bit for bit
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
// kinds alike) so the tracers read one plain layout per kind.
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

// The terms of each intersection that depend on the ray's origin only, as
// the routines above form them: d + a*O.x + b*O.y + c*O.z for a plane; for
// a body the vector from its centre to O (scaled for the ellipsoid) and
// that vector's square length less radius * radius. Worked out once, they
// serve every ray from one point.
float planeOffset(const RayPlaneGeometry& plane, const RayVec3& origin);
RayVec3 ellipsoidFrom(const RayEllipsoidGeometry& ellipsoid, const RayVec3& origin);
float bodyRest(const RayVec3& from, float radius);

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

// A type code the tracers know and a record to read it from.
bool traceable(const RayObject& object);
// The geometry of a traceable object of the kind (plain or textured).
RayPlaneGeometry planeOf(const RayObject& object);
RaySphereGeometry sphereOf(const RayObject& object);
RayEllipsoidGeometry ellipsoidOf(const RayObject& object);

// Dispatch on the type code; an unknown code never hits, has a zero normal,
// black colour and no reflectivity.
float intersectObject(const Ray& ray, const RayObject& object);
RayVec3 objectNormal(const RayObject& object, const RayVec3& point);
RayColour objectColour(const RayObject& object, const RayVec3& point, const RayVec3& normal);
float objectReflectivity(const RayObject& object);
