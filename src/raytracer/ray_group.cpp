#include "raytracer/ray_group.h"

#include "raytracer/ray_lanes.h"
#include "raytracer/ray_shade.h"

namespace {

// Where the nearest hit was found: the kind list and the slot in it.
enum class HitKind : int32_t { kNone = 0, kPlane = 1, kSphere = 2, kEllipsoid = 3 };

// The intersections of four rays with one object, the second halves of the
// per-object routines (planeHit, sphereHit and ellipsoidHit there) written
// again in lanes: the same steps in the same order, a miss where the
// scalar routine returns early.
inline RayLanes planeLanes(const RayPlaneGeometry& p, RayLanes offset, const RayLanes3& d) {
    const RayLanes denom = p.a * d.x + p.b * d.y + p.c * d.z;
    const RayLanes t = -offset / denom;
    return select((denom != 0.0f) & (t > 0.0f), t, RAY_MISS);
}

inline RayLanes sphereLanes(const RayLanes3& from, RayLanes rest, const RayLanes3& d) {
    const RayLanes b = 2.0f * rayDot(from, d);
    const RayLanes disc = b * b - 4.0f * rest;
    // No lane with a root (a NaN discriminant has none either): skip the
    // root. Otherwise a negative discriminant gives a NaN root, and NaN > 0
    // is false.
    if ((disc >= 0.0f).none()) return RAY_MISS;
    const RayLanes t = (-b - sqrt(disc)) * 0.5f;
    return select(t > 0.0f, t, RAY_MISS);
}

inline RayLanes ellipsoidLanes(const RayEllipsoidGeometry& e, const RayLanes3& from, RayLanes rest,
                               const RayLanes3& d) {
    const RayLanes3 v = scaled(e.scale, d);
    const RayLanes a = rayDot(v, v);
    const RayLanes b = 2.0f * rayDot(v, from);
    const RayLanes disc = b * b - 4.0f * a * rest;
    if ((disc >= 0.0f).none()) return RAY_MISS;
    const RayLanes t = (-b - sqrt(disc)) / (2.0f * a);
    return select(t > 0.0f, t, RAY_MISS);
}

// One origin for all four lanes: its terms, worked out once, broadcast.
struct SharedOrigin {
    const RayOriginTerms& o;
    RayLanes plane(const RayTraceScene& s, int32_t k, const RayLanes3& d) const {
        return planeLanes(s.planes[k], o.planeOffset[k], d);
    }
    RayLanes sphere(const RayTraceScene&, int32_t k, const RayLanes3& d) const {
        return sphereLanes(RayLanes3::splat(o.sphereFrom[k]), o.sphereRest[k], d);
    }
    RayLanes ellipsoid(const RayTraceScene& s, int32_t k, const RayLanes3& d) const {
        return ellipsoidLanes(s.ellipsoids[k], RayLanes3::splat(o.ellipsoidFrom[k]), o.ellipsoidRest[k], d);
    }
};

// An origin per lane (the mirror rays): each lane forms the terms of
// planeOffset, ellipsoidFrom and bodyRest itself, in their order.
struct LaneOrigins {
    RayLanes3 o;
    RayLanes plane(const RayTraceScene& s, int32_t k, const RayLanes3& d) const {
        const RayPlaneGeometry& p = s.planes[k];
        return planeLanes(p, p.d + p.a * o.x + p.b * o.y + p.c * o.z, d);
    }
    RayLanes sphere(const RayTraceScene& s, int32_t k, const RayLanes3& d) const {
        const RaySphereGeometry& b = s.spheres[k];
        const RayLanes3 from = o - RayLanes3::splat(b.centre);
        return sphereLanes(from, rayDot(from, from) - b.radius * b.radius, d);
    }
    RayLanes ellipsoid(const RayTraceScene& s, int32_t k, const RayLanes3& d) const {
        const RayEllipsoidGeometry& e = s.ellipsoids[k];
        const RayLanes3 from = scaled(e.scale, o - RayLanes3::splat(e.centre));
        return ellipsoidLanes(e, from, rayDot(from, from) - e.radius * e.radius, d);
    }
};

constexpr RayColour kBlack = {0.0f, 0.0f, 0.0f};

// Four rays, one per lane; live holds one bit per lane that carries a ray
// (the others read any finite values and are ignored). Each live lane gets
// the colour traceRay gives its ray.
template <typename Origin>
void traceGroup(const RayTraceScene& s, const Origin& from, const RayOriginTerms& fromLight, const RayVec3* origins,
                const RayVec3* directions, int32_t live, int32_t depth, RayColour* colours) {
    // Nearest hit per lane, with the reference tracer's tie rule: on equal
    // distances the earlier table entry wins, whatever its kind. Table
    // indices are small whole numbers, exact in float lanes.
    const RayLanes3 d = RayLanes3::gather(directions);
    RayLanes nearest = RAY_MISS;
    RayLanes nearestIndex = -1.0f;
    const auto keepNearer = [&](RayLanes t, int32_t index) {
        const RayLanes i = static_cast<float>(index);
        const RayLaneMask take = (t != RAY_MISS) & ((t < nearest) | ((t == nearest) & (i < nearestIndex)));
        nearest = select(take, t, nearest);
        nearestIndex = select(take, i, nearestIndex);
    };
    for (int32_t k = 0; k < s.planeCount; ++k) keepNearer(from.plane(s, k, d), s.planeIndex[k]);
    for (int32_t k = 0; k < s.sphereCount; ++k) keepNearer(from.sphere(s, k, d), s.sphereIndex[k]);
    for (int32_t k = 0; k < s.ellipsoidCount; ++k) keepNearer(from.ellipsoid(s, k, d), s.ellipsoidIndex[k]);
    alignas(16) float hitIndex[4];
    nearestIndex.store(hitIndex);

    // What the normal needs per lane: a plane's (a, b, c) as stored, a
    // body's centre and radius for (centre - P) / radius.
    RayVec3 centre[4];
    alignas(16) float radius[4];
    int32_t hit[4];
    int32_t planes = 0;  // lanes that hit a plane
    int32_t active = 0;  // live lanes whose ray hit something
    for (int32_t l = 0; l < 4; ++l) {
        colours[l] = kBlack;
        centre[l] = {0.0f, 0.0f, 0.0f};
        radius[l] = 1.0f;
        hit[l] = static_cast<int32_t>(hitIndex[l]);
        if (!((live >> l) & 1) || hit[l] < 0) continue;
        const int32_t slot = s.slotOf[hit[l]];
        switch (static_cast<HitKind>(s.kindOf[hit[l]])) {
            case HitKind::kPlane: {
                const RayPlaneGeometry& p = s.planes[slot];
                centre[l] = {p.a, p.b, p.c};
                planes |= 1 << l;
                break;
            }
            case HitKind::kSphere:
                centre[l] = s.spheres[slot].centre;
                radius[l] = s.spheres[slot].radius;
                break;
            case HitKind::kEllipsoid:
                centre[l] = s.ellipsoids[slot].centre;
                radius[l] = s.ellipsoids[slot].radius;
                break;
            default:
                continue;
        }
        active |= 1 << l;
    }
    if (!active) return;

    // The reference tracer's steps up to the shadow test, in lanes: the
    // point, the unit vector from the light and the shadow limit, the
    // normal, the diffuse term.
    const RayLanes3 point = RayLanes3::gather(origins) + nearest * d;
    const RayLanes3 v = point - RayLanes3::splat(s.light);
    const RayLanes distance = sqrt(rayDot(v, v));
    const RayLanes3 toPoint = select(distance != 0.0f, v / distance, RayLanes3::splat({0.0f, 0.0f, 0.0f}));
    const RayLanes shadowLimit = distance - 0.01f;
    const RayLanes3 c = RayLanes3::gather(centre);
    const RayLanes3 normal = select(RayLaneMask::of(planes), c, (c - point) / RayLanes::load(radius));
    alignas(16) float diffuse[4];
    rayDot(normal, toPoint).store(diffuse);
    RayVec3 points[4], normals[4];
    point.scatter(points);
    normal.scatter(normals);

    // The shadow rays of the lanes that hit, all from the light: a lane is
    // in shadow once any object lies closer than its limit.
    const int32_t flags = s.scene->flags;
    int32_t blocked = 0;
    if (flags & kRayShadows) {
        const SharedOrigin light = {fromLight};
        for (int32_t k = 0; k < s.planeCount && (blocked & active) != active; ++k)
            blocked |= (light.plane(s, k, toPoint) < shadowLimit).bits();
        for (int32_t k = 0; k < s.sphereCount && (blocked & active) != active; ++k)
            blocked |= (light.sphere(s, k, toPoint) < shadowLimit).bits();
        for (int32_t k = 0; k < s.ellipsoidCount && (blocked & active) != active; ++k)
            blocked |= (light.ellipsoid(s, k, toPoint) < shadowLimit).bits();
    }

    RayVec3 starts[4], reflected[4];
    float reflectivity[4] = {};
    int32_t mirrors = 0;  // lanes whose hit reflects
    int32_t first = -1;
    const bool bounces = rayBounces(flags, depth);
    for (int32_t l = 0; l < 4; ++l) {
        if (!((active >> l) & 1)) continue;
        const RayObject& object = s.scene->objects[hit[l]];
        colours[l] = rayLocalShade(objectColour(object, points[l], normals[l]), diffuse[l]);
        if ((blocked >> l) & 1) colours[l] = rayShadowed(colours[l]);
        if (!bounces) continue;
        const float k = objectReflectivity(object);
        if (k == 0.0f) continue;
        reflected[l] = rayReflect(normals[l], directions[l]);
        starts[l] = points[l] + reflected[l];
        reflectivity[l] = k;
        mirrors |= 1 << l;
        if (first < 0) first = l;
    }
    if (!mirrors) return;

    // The mirror rays as one group with an origin per lane; lanes without
    // one repeat the first mirror's ray and are ignored.
    for (int32_t l = 0; l < 4; ++l)
        if (!((mirrors >> l) & 1)) {
            starts[l] = starts[first];
            reflected[l] = reflected[first];
        }
    RayColour seen[4];
    traceGroup(s, LaneOrigins{RayLanes3::gather(starts)}, fromLight, starts, reflected, mirrors, depth - 1, seen);
    for (int32_t l = 0; l < 4; ++l)
        if ((mirrors >> l) & 1) colours[l] = rayMirrorBlend(colours[l], reflectivity[l], seen[l]);
}

}  // namespace

void prepareRayTrace(const RayScene& scene, RayTraceScene& s) {
    s.scene = &scene;
    s.light = {scene.light[0], scene.light[1], scene.light[2]};
    s.planeCount = s.sphereCount = s.ellipsoidCount = 0;
    int32_t count = scene.objects ? scene.objectCount : 0;
    if (count > kRayMaxObjects) count = kRayMaxObjects;
    for (int32_t i = 0; i < count; ++i) {
        const RayObject& object = scene.objects[i];
        if (!traceable(object)) continue;
        switch (object.type) {
            case kRayPlane:
            case kRayTexPlane:
                s.kindOf[i] = static_cast<int32_t>(HitKind::kPlane);
                s.slotOf[i] = s.planeCount;
                s.planeIndex[s.planeCount] = i;
                s.planes[s.planeCount++] = planeOf(object);
                break;
            case kRaySphere:
            case kRayTexSphere:
                s.kindOf[i] = static_cast<int32_t>(HitKind::kSphere);
                s.slotOf[i] = s.sphereCount;
                s.sphereIndex[s.sphereCount] = i;
                s.spheres[s.sphereCount++] = sphereOf(object);
                break;
            default:
                s.kindOf[i] = static_cast<int32_t>(HitKind::kEllipsoid);
                s.slotOf[i] = s.ellipsoidCount;
                s.ellipsoidIndex[s.ellipsoidCount] = i;
                s.ellipsoids[s.ellipsoidCount++] = ellipsoidOf(object);
                break;
        }
    }
}

void rayOriginTerms(const RayTraceScene& s, const RayVec3& o, RayOriginTerms& terms) {
    for (int32_t k = 0; k < s.planeCount; ++k) terms.planeOffset[k] = planeOffset(s.planes[k], o);
    for (int32_t k = 0; k < s.sphereCount; ++k) {
        terms.sphereFrom[k] = o - s.spheres[k].centre;
        terms.sphereRest[k] = bodyRest(terms.sphereFrom[k], s.spheres[k].radius);
    }
    for (int32_t k = 0; k < s.ellipsoidCount; ++k) {
        terms.ellipsoidFrom[k] = ellipsoidFrom(s.ellipsoids[k], o);
        terms.ellipsoidRest[k] = bodyRest(terms.ellipsoidFrom[k], s.ellipsoids[k].radius);
    }
}

void traceRayGroup(const RayTraceScene& s, const RayOriginTerms& fromOrigin, const RayOriginTerms& fromLight,
                   const RayVec3& origin, const RayVec3* directions, int32_t count, int32_t depth, RayColour* colours) {
    if (count <= 0) return;
    if (count > 4) count = 4;
    const RayVec3 origins[4] = {origin, origin, origin, origin};
    RayColour out[4];
    traceGroup(s, SharedOrigin{fromOrigin}, fromLight, origins, directions, (1 << count) - 1, depth, out);
    for (int32_t l = 0; l < count; ++l) colours[l] = out[l];
}
