// The per-object routines: each intersection split where the terms of the
// ray's origin end, the normals, the texel lookups and the dispatch on the
// type code.
#include "raytracer/ray_objects.h"

#include <cmath>

#include "gfx2d/fmath.h"

namespace {

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

// The intersections with the origin's terms given.
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

}  // namespace

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

bool traceable(const RayObject& object) {
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

float planeOffset(const RayPlaneGeometry& p, const RayVec3& o) { return p.d + p.a * o.x + p.b * o.y + p.c * o.z; }

RayVec3 ellipsoidFrom(const RayEllipsoidGeometry& e, const RayVec3& o) {
    return {e.scale.x * (o.x - e.centre.x), e.scale.y * (o.y - e.centre.y), e.scale.z * (o.z - e.centre.z)};
}

float bodyRest(const RayVec3& from, float radius) { return rayDot(from, from) - radius * radius; }

float intersectPlane(const RayPlaneGeometry& p, const Ray& ray) {
    return planeHit(p, planeOffset(p, ray.origin), ray.direction);
}

float intersectSphere(const RaySphereGeometry& s, const Ray& ray) {
    const RayVec3 from = ray.origin - s.centre;
    return sphereHit(from, bodyRest(from, s.radius), ray.direction);
}

float intersectEllipsoid(const RayEllipsoidGeometry& e, const Ray& ray) {
    const RayVec3 from = ellipsoidFrom(e, ray.origin);
    return ellipsoidHit(e, from, bodyRest(from, e.radius), ray.direction);
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
    const int32_t row = texelTerm(std::fabs(fm::atan2(normal.y, normal.x)) * 81.48739662120894f);
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
