#include "raytracer/ray_trace.h"

#include <cmath>

namespace {

RayCounts counts = {0, 0, 0};

constexpr RayColour kBlack = {0.0f, 0.0f, 0.0f};

// Texel coordinate from a non-negative term: clamped to 0..255, then
// truncated; NaN reads 0.
inline int32_t texelTerm(float x) {
    if (!(x > 0.0f)) return 0;
    if (x > 255.0f) return 255;
    return static_cast<int32_t>(x);
}

// trunc(|x|) wrapped to 0..255; a value that does not fit an int32 (or NaN)
// counts as 0.
inline int32_t tiledTerm(float x) {
    const float magnitude = std::fabs(x);
    if (!(magnitude < 2147483648.0f)) return 0;
    return static_cast<int32_t>(magnitude) & 255;
}

inline RayColour texel(const RayTexture* texture, int32_t row, int32_t column) {
    if (!texture) return kBlack;
    const float* t = texture->texels[row * 256 + column];
    return {t[0], t[1], t[2]};
}

RayPlaneGeometry planeOf(const RayObject& object) {
    if (object.type == kRayTexPlane) {
        const auto& p = *static_cast<const RayTexPlane*>(object.record);
        return {p.a, p.b, p.c, p.d};
    }
    const auto& p = *static_cast<const RayPlane*>(object.record);
    return {p.a, p.b, p.c, p.d};
}

RaySphereGeometry sphereOf(const RayObject& object) {
    if (object.type == kRayTexSphere) {
        const auto& s = *static_cast<const RayTexSphere*>(object.record);
        return {{s.x, s.y, s.z}, s.radius};
    }
    const auto& s = *static_cast<const RaySphere*>(object.record);
    return {{s.x, s.y, s.z}, s.radius};
}

RayEllipsoidGeometry ellipsoidOf(const RayObject& object) {
    if (object.type == kRayTexEllipsoid) {
        const auto& e = *static_cast<const RayTexEllipsoid*>(object.record);
        return {{e.x, e.y, e.z}, {e.sx, e.sy, e.sz}, e.radius};
    }
    const auto& e = *static_cast<const RayEllipsoid*>(object.record);
    return {{e.x, e.y, e.z}, {e.sx, e.sy, e.sz}, e.radius};
}

// A type code the tracer knows and a record to read it from.
inline bool traceable(const RayObject& object) {
    if (!object.record) return false;
    switch (object.type) {
        case kRayPlane:
        case kRaySphere:
        case kRayEllipsoid:
        case kRayTexPlane:
        case kRayTexSphere:
        case kRayTexEllipsoid:
            return true;
        default:
            return false;
    }
}

// Where the nearest hit was found: the kind list and the slot in it.
enum class HitKind { kNone, kPlane, kSphere, kEllipsoid };

// The intersections with the origin's terms given: the second halves of
// the routines below.
inline float planeHit(const RayPlaneGeometry& p, float offset, const RayVec3& d) {
    const float denom = p.a * d.x + p.b * d.y + p.c * d.z;
    if (denom == 0.0f) return RAY_MISS;
    const float t = -offset / denom;
    return t > 0.0f ? t : RAY_MISS;
}

inline float sphereHit(const RayVec3& from, float rest, const RayVec3& d) {
    const float b = 2.0f * rayDot(from, d);
    const float disc = b * b - 4.0f * rest;
    if (disc < 0.0f) return RAY_MISS;
    const float t = (-b - std::sqrt(disc)) * 0.5f;
    return t > 0.0f ? t : RAY_MISS;
}

inline float ellipsoidHit(const RayEllipsoidGeometry& e, const RayVec3& from, float rest, const RayVec3& d) {
    const RayVec3 v = {e.scale.x * d.x, e.scale.y * d.y, e.scale.z * d.z};
    const float a = rayDot(v, v);
    const float b = 2.0f * rayDot(v, from);
    const float disc = b * b - 4.0f * a * rest;
    if (disc < 0.0f) return RAY_MISS;
    const float t = (-b - std::sqrt(disc)) / (2.0f * a);
    return t > 0.0f ? t : RAY_MISS;
}

inline float planeOffset(const RayPlaneGeometry& p, const RayVec3& o) { return p.d + p.a * o.x + p.b * o.y + p.c * o.z; }

inline RayVec3 ellipsoidFrom(const RayEllipsoidGeometry& e, const RayVec3& o) {
    return {e.scale.x * (o.x - e.centre.x), e.scale.y * (o.y - e.centre.y), e.scale.z * (o.z - e.centre.z)};
}

// True when any object lies on the shadow ray closer than the limit; the
// order of the tests does not change the answer.
bool shadowed(const RayTraceScene& s, const RayOriginTerms& fromLight, const RayVec3& d, float limit) {
    for (int32_t k = 0; k < s.planeCount; ++k)
        if (planeHit(s.planes[k], fromLight.planeOffset[k], d) < limit) return true;
    for (int32_t k = 0; k < s.sphereCount; ++k)
        if (sphereHit(fromLight.sphereFrom[k], fromLight.sphereRest[k], d) < limit) return true;
    for (int32_t k = 0; k < s.ellipsoidCount; ++k)
        if (ellipsoidHit(s.ellipsoids[k], fromLight.ellipsoidFrom[k], fromLight.ellipsoidRest[k], d) < limit)
            return true;
    return false;
}

}  // namespace

float intersectPlane(const RayPlaneGeometry& p, const Ray& ray) {
    return planeHit(p, planeOffset(p, ray.origin), ray.direction);
}

float intersectSphere(const RaySphereGeometry& s, const Ray& ray) {
    const RayVec3 from = ray.origin - s.centre;
    return sphereHit(from, rayDot(from, from) - s.radius * s.radius, ray.direction);
}

float intersectEllipsoid(const RayEllipsoidGeometry& e, const Ray& ray) {
    const RayVec3 from = ellipsoidFrom(e, ray.origin);
    return ellipsoidHit(e, from, rayDot(from, from) - e.radius * e.radius, ray.direction);
}

RayVec3 planeNormal(const RayPlaneGeometry& p) { return {p.a, p.b, p.c}; }

RayVec3 sphereNormal(const RaySphereGeometry& s, const RayVec3& point) {
    const RayVec3 n = s.centre - point;
    return {n.x / s.radius, n.y / s.radius, n.z / s.radius};
}

RayVec3 ellipsoidNormal(const RayEllipsoidGeometry& e, const RayVec3& point) {
    const RayVec3 n = e.centre - point;
    return {n.x / e.radius, n.y / e.radius, n.z / e.radius};
}

RayColour planeTextureColour(const RayTexture* texture, const RayVec3& point) {
    const int32_t u = tiledTerm(0.3f * point.x);
    const int32_t v = tiledTerm(0.3f * point.z);
    return texel(texture, v, u);
}

RayColour bodyTextureColour(const RayTexture* texture, const RayVec3& normal) {
    // 81.487... = 256 / pi: the row runs over the angle's magnitude 0..pi.
    const int32_t row = texelTerm(std::fabs(std::atan2(normal.y, normal.x)) * 81.48739662120894f);
    const int32_t column = texelTerm(std::fabs(normal.z) * 51.2f);
    return texel(texture, row, column);
}

float intersectObject(const Ray& ray, const RayObject& object) {
    if (!traceable(object)) return RAY_MISS;
    switch (object.type) {
        case kRayPlane:
        case kRayTexPlane:
            return intersectPlane(planeOf(object), ray);
        case kRaySphere:
        case kRayTexSphere:
            return intersectSphere(sphereOf(object), ray);
        default:
            return intersectEllipsoid(ellipsoidOf(object), ray);
    }
}

RayVec3 objectNormal(const RayObject& object, const RayVec3& point) {
    if (!traceable(object)) return {0.0f, 0.0f, 0.0f};
    switch (object.type) {
        case kRayPlane:
        case kRayTexPlane:
            return planeNormal(planeOf(object));
        case kRaySphere:
        case kRayTexSphere:
            return sphereNormal(sphereOf(object), point);
        default:
            return ellipsoidNormal(ellipsoidOf(object), point);
    }
}

RayColour objectColour(const RayObject& object, const RayVec3& point, const RayVec3& normal) {
    if (!traceable(object)) return kBlack;
    switch (object.type) {
        case kRayPlane: {
            const auto& p = *static_cast<const RayPlane*>(object.record);
            return {p.red, p.green, p.blue};
        }
        case kRaySphere: {
            const auto& s = *static_cast<const RaySphere*>(object.record);
            return {s.red, s.green, s.blue};
        }
        case kRayEllipsoid: {
            const auto& e = *static_cast<const RayEllipsoid*>(object.record);
            return {e.red, e.green, e.blue};
        }
        case kRayTexPlane:
            return planeTextureColour(static_cast<const RayTexPlane*>(object.record)->texture, point);
        case kRayTexSphere:
            return bodyTextureColour(static_cast<const RayTexSphere*>(object.record)->texture, normal);
        default:
            return bodyTextureColour(static_cast<const RayTexEllipsoid*>(object.record)->texture, normal);
    }
}

float objectReflectivity(const RayObject& object) {
    if (!traceable(object)) return 0.0f;
    switch (object.type) {
        case kRayPlane:
            return static_cast<const RayPlane*>(object.record)->reflectivity;
        case kRaySphere:
            return static_cast<const RaySphere*>(object.record)->reflectivity;
        case kRayEllipsoid:
            return static_cast<const RayEllipsoid*>(object.record)->reflectivity;
        case kRayTexPlane:
            return static_cast<const RayTexPlane*>(object.record)->reflectivity;
        case kRayTexSphere:
            return static_cast<const RayTexSphere*>(object.record)->reflectivity;
        default:
            return static_cast<const RayTexEllipsoid*>(object.record)->reflectivity;
    }
}

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
                s.planeIndex[s.planeCount] = i;
                s.planes[s.planeCount++] = planeOf(object);
                break;
            case kRaySphere:
            case kRayTexSphere:
                s.sphereIndex[s.sphereCount] = i;
                s.spheres[s.sphereCount++] = sphereOf(object);
                break;
            default:
                s.ellipsoidIndex[s.ellipsoidCount] = i;
                s.ellipsoids[s.ellipsoidCount++] = ellipsoidOf(object);
                break;
        }
    }
}

void rayOriginTerms(const RayTraceScene& s, const RayVec3& o, RayOriginTerms& terms) {
    for (int32_t k = 0; k < s.planeCount; ++k) terms.planeOffset[k] = planeOffset(s.planes[k], o);
    for (int32_t k = 0; k < s.sphereCount; ++k) {
        const RaySphereGeometry& sphere = s.spheres[k];
        const RayVec3 from = o - sphere.centre;
        terms.sphereFrom[k] = from;
        terms.sphereRest[k] = rayDot(from, from) - sphere.radius * sphere.radius;
    }
    for (int32_t k = 0; k < s.ellipsoidCount; ++k) {
        const RayEllipsoidGeometry& e = s.ellipsoids[k];
        const RayVec3 from = ellipsoidFrom(e, o);
        terms.ellipsoidFrom[k] = from;
        terms.ellipsoidRest[k] = rayDot(from, from) - e.radius * e.radius;
    }
}

RayColour traceRay(const RayTraceScene& s, const RayOriginTerms& fromOrigin, const RayOriginTerms& fromLight,
                   const RayVec3& origin, const RayVec3& direction, int32_t depth) {
    ++counts.traced;

    // Nearest hit; on equal distances the earlier table entry wins.
    float nearest = RAY_MISS;
    int32_t hit = -1;
    HitKind kind = HitKind::kNone;
    int32_t slot = 0;
    for (int32_t k = 0; k < s.planeCount; ++k) {
        const float t = planeHit(s.planes[k], fromOrigin.planeOffset[k], direction);
        if (t != RAY_MISS && (t < nearest || (t == nearest && s.planeIndex[k] < hit))) {
            nearest = t;
            hit = s.planeIndex[k];
            kind = HitKind::kPlane;
            slot = k;
        }
    }
    for (int32_t k = 0; k < s.sphereCount; ++k) {
        const float t = sphereHit(fromOrigin.sphereFrom[k], fromOrigin.sphereRest[k], direction);
        if (t != RAY_MISS && (t < nearest || (t == nearest && s.sphereIndex[k] < hit))) {
            nearest = t;
            hit = s.sphereIndex[k];
            kind = HitKind::kSphere;
            slot = k;
        }
    }
    for (int32_t k = 0; k < s.ellipsoidCount; ++k) {
        const float t =
            ellipsoidHit(s.ellipsoids[k], fromOrigin.ellipsoidFrom[k], fromOrigin.ellipsoidRest[k], direction);
        if (t != RAY_MISS && (t < nearest || (t == nearest && s.ellipsoidIndex[k] < hit))) {
            nearest = t;
            hit = s.ellipsoidIndex[k];
            kind = HitKind::kEllipsoid;
            slot = k;
        }
    }
    if (kind == HitKind::kNone) return kBlack;

    const RayVec3 point = origin + nearest * direction;
    RayVec3 toPoint = point - s.light;  // from the light towards the hit
    const float lightDistance = rayNormalize(toPoint);
    const float shadowLimit = lightDistance - 0.01f;

    RayVec3 normal;
    switch (kind) {
        case HitKind::kPlane:
            normal = planeNormal(s.planes[slot]);
            break;
        case HitKind::kSphere:
            normal = sphereNormal(s.spheres[slot], point);
            break;
        default:
            normal = ellipsoidNormal(s.ellipsoids[slot], point);
            break;
    }
    // Not clamped: negative on the side turned away from the light.
    const float diffuse = rayDot(normal, toPoint);
    const RayObject& object = s.scene->objects[hit];
    const RayColour c = objectColour(object, point, normal);
    const float lit = 0.3f * diffuse;
    RayColour local = {0.7f * c.r + lit, 0.7f * c.g + lit, 0.7f * c.b + lit};

    const int32_t flags = s.scene->flags;
    if (flags & kRayShadows) {
        ++counts.shadow;
        if (shadowed(s, fromLight, toPoint, shadowLimit)) {
            local = {local.r * 0.625f, local.g * 0.625f, local.b * 0.625f};
        }
    }
    // depth > 0 rather than != 0: a negative depth would recurse without end
    // between two mirrors.
    if ((flags & kRayReflections) && depth > 0) {
        const float k = objectReflectivity(object);
        if (k != 0.0f) {
            const float twiceCos = 2.0f * rayDot(normal, direction);
            const RayVec3 reflected = direction - twiceCos * normal;
            const RayVec3 start = point + reflected;
            ++counts.reflected;
            RayOriginTerms fromStart;
            rayOriginTerms(s, start, fromStart);
            const RayColour m = traceRay(s, fromStart, fromLight, start, reflected, depth - 1);
            const float keep = 1.0f - k;
            local = {keep * local.r + k * m.r, keep * local.g + k * m.g, keep * local.b + k * m.b};
        }
    }
    return local;
}

RayColour traceRay(const RayScene& scene, const RayVec3& origin, const RayVec3& direction, int32_t depth) {
    RayTraceScene prepared;
    prepareRayTrace(scene, prepared);
    RayOriginTerms fromOrigin, fromLight;
    rayOriginTerms(prepared, origin, fromOrigin);
    rayOriginTerms(prepared, prepared.light, fromLight);
    return traceRay(prepared, fromOrigin, fromLight, origin, direction, depth);
}

RayCounts rayCounts() { return counts; }
void resetRayCounts() { counts = {0, 0, 0}; }
