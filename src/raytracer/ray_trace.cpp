#include "raytracer/ray_trace.h"

#include <emmintrin.h>

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
enum class HitKind { kNone = 0, kPlane = 1, kSphere = 2, kEllipsoid = 3 };

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

// Four objects of one kind against one ray, one per SSE lane. Each lane
// does the scalar routine's float operations in the same order (sqrtps and
// divps round exactly as their scalar forms), so a lane's distance has the
// same bits as planeHit, sphereHit or ellipsoidHit; misses and padding
// lanes read RAY_MISS.
struct LaneRay {
    __m128 dx, dy, dz;
};

inline LaneRay laneRay(const RayVec3& d) { return {_mm_set1_ps(d.x), _mm_set1_ps(d.y), _mm_set1_ps(d.z)}; }

inline __m128 laneLive(const uint32_t* live) {
    return _mm_castsi128_ps(_mm_load_si128(reinterpret_cast<const __m128i*>(live)));
}

inline __m128 laneSelect(__m128 hit, __m128 t) {
    return _mm_or_ps(_mm_and_ps(hit, t), _mm_andnot_ps(hit, _mm_set1_ps(RAY_MISS)));
}

inline __m128 planeLanes(const RayTraceScene& s, const RayOriginTerms& o, int32_t k, const LaneRay& r) {
    const __m128 denom =
        _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_load_ps(s.planeA + k), r.dx), _mm_mul_ps(_mm_load_ps(s.planeB + k), r.dy)),
                   _mm_mul_ps(_mm_load_ps(s.planeC + k), r.dz));
    const __m128 offset = _mm_load_ps(o.planeOffset + k);
    const __m128 t = _mm_div_ps(_mm_xor_ps(offset, _mm_set1_ps(-0.0f)), denom);
    const __m128 hit = _mm_and_ps(_mm_and_ps(_mm_cmpneq_ps(denom, _mm_setzero_ps()), _mm_cmpgt_ps(t, _mm_setzero_ps())),
                                  laneLive(s.planeLive + k));
    return laneSelect(hit, t);
}

inline __m128 sphereLanes(const RayTraceScene& s, const RayOriginTerms& o, int32_t k, const LaneRay& r) {
    const __m128 dot = _mm_add_ps(
        _mm_add_ps(_mm_mul_ps(_mm_load_ps(o.sphereFromX + k), r.dx), _mm_mul_ps(_mm_load_ps(o.sphereFromY + k), r.dy)),
        _mm_mul_ps(_mm_load_ps(o.sphereFromZ + k), r.dz));
    const __m128 b = _mm_mul_ps(_mm_set1_ps(2.0f), dot);
    const __m128 disc = _mm_sub_ps(_mm_mul_ps(b, b), _mm_mul_ps(_mm_set1_ps(4.0f), _mm_load_ps(o.sphereRest + k)));
    // A negative discriminant gives a NaN root, and NaN > 0 is false.
    const __m128 t =
        _mm_mul_ps(_mm_sub_ps(_mm_xor_ps(b, _mm_set1_ps(-0.0f)), _mm_sqrt_ps(disc)), _mm_set1_ps(0.5f));
    const __m128 hit = _mm_and_ps(_mm_cmpgt_ps(t, _mm_setzero_ps()), laneLive(s.sphereLive + k));
    return laneSelect(hit, t);
}

inline __m128 ellipsoidLanes(const RayTraceScene& s, const RayOriginTerms& o, int32_t k, const LaneRay& r) {
    const __m128 vx = _mm_mul_ps(_mm_load_ps(s.ellipsoidSX + k), r.dx);
    const __m128 vy = _mm_mul_ps(_mm_load_ps(s.ellipsoidSY + k), r.dy);
    const __m128 vz = _mm_mul_ps(_mm_load_ps(s.ellipsoidSZ + k), r.dz);
    const __m128 a = _mm_add_ps(_mm_add_ps(_mm_mul_ps(vx, vx), _mm_mul_ps(vy, vy)), _mm_mul_ps(vz, vz));
    const __m128 dot = _mm_add_ps(
        _mm_add_ps(_mm_mul_ps(vx, _mm_load_ps(o.ellipsoidFromX + k)), _mm_mul_ps(vy, _mm_load_ps(o.ellipsoidFromY + k))),
        _mm_mul_ps(vz, _mm_load_ps(o.ellipsoidFromZ + k)));
    const __m128 b = _mm_mul_ps(_mm_set1_ps(2.0f), dot);
    const __m128 disc = _mm_sub_ps(_mm_mul_ps(b, b),
                                   _mm_mul_ps(_mm_mul_ps(_mm_set1_ps(4.0f), a), _mm_load_ps(o.ellipsoidRest + k)));
    const __m128 t = _mm_div_ps(_mm_sub_ps(_mm_xor_ps(b, _mm_set1_ps(-0.0f)), _mm_sqrt_ps(disc)),
                                _mm_mul_ps(_mm_set1_ps(2.0f), a));
    const __m128 hit = _mm_and_ps(_mm_cmpgt_ps(t, _mm_setzero_ps()), laneLive(s.ellipsoidLive + k));
    return laneSelect(hit, t);
}

// True when any object lies on the shadow ray closer than the limit; the
// order of the tests does not change the answer. Padding lanes never block.
bool shadowed(const RayTraceScene& s, const RayOriginTerms& fromLight, const RayVec3& d, float limit) {
    const LaneRay r = laneRay(d);
    const __m128 l = _mm_set1_ps(limit);
    for (int32_t k = 0; k < s.planeCount; k += 4) {
        const __m128 below = _mm_and_ps(_mm_cmplt_ps(planeLanes(s, fromLight, k, r), l), laneLive(s.planeLive + k));
        if (_mm_movemask_ps(below)) return true;
    }
    for (int32_t k = 0; k < s.sphereCount; k += 4) {
        const __m128 below = _mm_and_ps(_mm_cmplt_ps(sphereLanes(s, fromLight, k, r), l), laneLive(s.sphereLive + k));
        if (_mm_movemask_ps(below)) return true;
    }
    for (int32_t k = 0; k < s.ellipsoidCount; k += 4) {
        const __m128 below =
            _mm_and_ps(_mm_cmplt_ps(ellipsoidLanes(s, fromLight, k, r), l), laneLive(s.ellipsoidLive + k));
        if (_mm_movemask_ps(below)) return true;
    }
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
    for (int32_t k = 0; k < kRayLaneSlots; ++k) {
        const bool plane = k < s.planeCount, sphere = k < s.sphereCount, ellipsoid = k < s.ellipsoidCount;
        const RayPlaneGeometry p = plane ? s.planes[k] : RayPlaneGeometry{0.0f, 0.0f, 0.0f, 0.0f};
        const RaySphereGeometry b = sphere ? s.spheres[k] : RaySphereGeometry{{0.0f, 0.0f, 0.0f}, 0.0f};
        const RayEllipsoidGeometry e =
            ellipsoid ? s.ellipsoids[k] : RayEllipsoidGeometry{{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, 0.0f};
        s.planeA[k] = p.a;
        s.planeB[k] = p.b;
        s.planeC[k] = p.c;
        s.planeD[k] = p.d;
        s.sphereX[k] = b.centre.x;
        s.sphereY[k] = b.centre.y;
        s.sphereZ[k] = b.centre.z;
        s.sphereRadius2[k] = b.radius * b.radius;
        s.ellipsoidX[k] = e.centre.x;
        s.ellipsoidY[k] = e.centre.y;
        s.ellipsoidZ[k] = e.centre.z;
        s.ellipsoidSX[k] = e.scale.x;
        s.ellipsoidSY[k] = e.scale.y;
        s.ellipsoidSZ[k] = e.scale.z;
        s.ellipsoidRadius2[k] = e.radius * e.radius;
        s.planeLive[k] = plane ? ~0u : 0u;
        s.sphereLive[k] = sphere ? ~0u : 0u;
        s.ellipsoidLive[k] = ellipsoid ? ~0u : 0u;
    }
    for (int32_t k = 0; k < s.planeCount; ++k) {
        s.kindOf[s.planeIndex[k]] = static_cast<int32_t>(HitKind::kPlane);
        s.slotOf[s.planeIndex[k]] = k;
    }
    for (int32_t k = 0; k < s.sphereCount; ++k) {
        s.kindOf[s.sphereIndex[k]] = static_cast<int32_t>(HitKind::kSphere);
        s.slotOf[s.sphereIndex[k]] = k;
    }
    for (int32_t k = 0; k < s.ellipsoidCount; ++k) {
        s.kindOf[s.ellipsoidIndex[k]] = static_cast<int32_t>(HitKind::kEllipsoid);
        s.slotOf[s.ellipsoidIndex[k]] = k;
    }
}

// Lane by lane the same operations as planeOffset, ellipsoidFrom and the
// sphere's O - centre, then the square length less r * r.
void rayOriginTerms(const RayTraceScene& s, const RayVec3& o, RayOriginTerms& terms) {
    const __m128 ox = _mm_set1_ps(o.x), oy = _mm_set1_ps(o.y), oz = _mm_set1_ps(o.z);
    for (int32_t k = 0; k < s.planeCount; k += 4) {
        const __m128 offset = _mm_add_ps(
            _mm_add_ps(_mm_add_ps(_mm_load_ps(s.planeD + k), _mm_mul_ps(_mm_load_ps(s.planeA + k), ox)),
                       _mm_mul_ps(_mm_load_ps(s.planeB + k), oy)),
            _mm_mul_ps(_mm_load_ps(s.planeC + k), oz));
        _mm_store_ps(terms.planeOffset + k, offset);
    }
    for (int32_t k = 0; k < s.sphereCount; k += 4) {
        const __m128 fx = _mm_sub_ps(ox, _mm_load_ps(s.sphereX + k));
        const __m128 fy = _mm_sub_ps(oy, _mm_load_ps(s.sphereY + k));
        const __m128 fz = _mm_sub_ps(oz, _mm_load_ps(s.sphereZ + k));
        const __m128 square = _mm_add_ps(_mm_add_ps(_mm_mul_ps(fx, fx), _mm_mul_ps(fy, fy)), _mm_mul_ps(fz, fz));
        _mm_store_ps(terms.sphereFromX + k, fx);
        _mm_store_ps(terms.sphereFromY + k, fy);
        _mm_store_ps(terms.sphereFromZ + k, fz);
        _mm_store_ps(terms.sphereRest + k, _mm_sub_ps(square, _mm_load_ps(s.sphereRadius2 + k)));
    }
    for (int32_t k = 0; k < s.ellipsoidCount; k += 4) {
        const __m128 fx = _mm_mul_ps(_mm_load_ps(s.ellipsoidSX + k), _mm_sub_ps(ox, _mm_load_ps(s.ellipsoidX + k)));
        const __m128 fy = _mm_mul_ps(_mm_load_ps(s.ellipsoidSY + k), _mm_sub_ps(oy, _mm_load_ps(s.ellipsoidY + k)));
        const __m128 fz = _mm_mul_ps(_mm_load_ps(s.ellipsoidSZ + k), _mm_sub_ps(oz, _mm_load_ps(s.ellipsoidZ + k)));
        const __m128 square = _mm_add_ps(_mm_add_ps(_mm_mul_ps(fx, fx), _mm_mul_ps(fy, fy)), _mm_mul_ps(fz, fz));
        _mm_store_ps(terms.ellipsoidFromX + k, fx);
        _mm_store_ps(terms.ellipsoidFromY + k, fy);
        _mm_store_ps(terms.ellipsoidFromZ + k, fz);
        _mm_store_ps(terms.ellipsoidRest + k, _mm_sub_ps(square, _mm_load_ps(s.ellipsoidRadius2 + k)));
    }
}

namespace {

// A hit shaded up to the shadow test: the local colour before the shadow
// and the mirror, and what those two steps need.
struct HitShade {
    RayVec3 point;
    RayVec3 toPoint;  // unit, from the light towards the hit
    RayVec3 normal;
    float shadowLimit;
    RayColour local;
    const RayObject* object;
};

HitShade shadeHit(const RayTraceScene& s, const RayVec3& origin, const RayVec3& direction, float nearest, int32_t hit,
                  HitKind kind, int32_t slot) {
    HitShade h;
    h.point = origin + nearest * direction;
    h.toPoint = h.point - s.light;
    const float lightDistance = rayNormalize(h.toPoint);
    h.shadowLimit = lightDistance - 0.01f;
    switch (kind) {
        case HitKind::kPlane:
            h.normal = planeNormal(s.planes[slot]);
            break;
        case HitKind::kSphere:
            h.normal = sphereNormal(s.spheres[slot], h.point);
            break;
        default:
            h.normal = ellipsoidNormal(s.ellipsoids[slot], h.point);
            break;
    }
    // Not clamped: negative on the side turned away from the light.
    const float diffuse = rayDot(h.normal, h.toPoint);
    h.object = &s.scene->objects[hit];
    const RayColour c = objectColour(*h.object, h.point, h.normal);
    const float lit = 0.3f * diffuse;
    h.local = {0.7f * c.r + lit, 0.7f * c.g + lit, 0.7f * c.b + lit};
    return h;
}

RayColour finishHit(const RayTraceScene& s, const RayOriginTerms& fromLight, const RayVec3& direction, int32_t depth,
                    const HitShade& h, bool inShadow) {
    RayColour local = h.local;
    if (inShadow) local = {local.r * 0.625f, local.g * 0.625f, local.b * 0.625f};
    // depth > 0 rather than != 0: a negative depth would recurse without end
    // between two mirrors.
    if ((s.scene->flags & kRayReflections) && depth > 0) {
        const float k = objectReflectivity(*h.object);
        if (k != 0.0f) {
            const float twiceCos = 2.0f * rayDot(h.normal, direction);
            const RayVec3 reflected = direction - twiceCos * h.normal;
            const RayVec3 start = h.point + reflected;
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

// Four rays from one origin, one per lane, against one object of each
// kind: the origin's terms for the object broadcast, the directions per
// lane, the same float operations as the scalar routines.
struct RayGroup {
    __m128 dx, dy, dz;
};

// The second halves of the routines on four lanes, with the origin's terms
// in lanes too.
inline __m128 groupPlane(const RayTraceScene& s, int32_t k, __m128 offset, const RayGroup& g) {
    const __m128 denom = _mm_add_ps(
        _mm_add_ps(_mm_mul_ps(_mm_set1_ps(s.planeA[k]), g.dx), _mm_mul_ps(_mm_set1_ps(s.planeB[k]), g.dy)),
        _mm_mul_ps(_mm_set1_ps(s.planeC[k]), g.dz));
    const __m128 t = _mm_div_ps(_mm_xor_ps(offset, _mm_set1_ps(-0.0f)), denom);
    const __m128 hit = _mm_and_ps(_mm_cmpneq_ps(denom, _mm_setzero_ps()), _mm_cmpgt_ps(t, _mm_setzero_ps()));
    return laneSelect(hit, t);
}

inline __m128 groupSphere(__m128 fx, __m128 fy, __m128 fz, __m128 rest, const RayGroup& g) {
    const __m128 dot = _mm_add_ps(_mm_add_ps(_mm_mul_ps(fx, g.dx), _mm_mul_ps(fy, g.dy)), _mm_mul_ps(fz, g.dz));
    const __m128 b = _mm_mul_ps(_mm_set1_ps(2.0f), dot);
    const __m128 disc = _mm_sub_ps(_mm_mul_ps(b, b), _mm_mul_ps(_mm_set1_ps(4.0f), rest));
    // No lane with a root (a NaN discriminant has none either): skip the root.
    if (!_mm_movemask_ps(_mm_cmpge_ps(disc, _mm_setzero_ps()))) return _mm_set1_ps(RAY_MISS);
    const __m128 t =
        _mm_mul_ps(_mm_sub_ps(_mm_xor_ps(b, _mm_set1_ps(-0.0f)), _mm_sqrt_ps(disc)), _mm_set1_ps(0.5f));
    return laneSelect(_mm_cmpgt_ps(t, _mm_setzero_ps()), t);
}

inline __m128 groupEllipsoid(const RayTraceScene& s, int32_t k, __m128 fx, __m128 fy, __m128 fz, __m128 rest,
                             const RayGroup& g) {
    const __m128 vx = _mm_mul_ps(_mm_set1_ps(s.ellipsoidSX[k]), g.dx);
    const __m128 vy = _mm_mul_ps(_mm_set1_ps(s.ellipsoidSY[k]), g.dy);
    const __m128 vz = _mm_mul_ps(_mm_set1_ps(s.ellipsoidSZ[k]), g.dz);
    const __m128 a = _mm_add_ps(_mm_add_ps(_mm_mul_ps(vx, vx), _mm_mul_ps(vy, vy)), _mm_mul_ps(vz, vz));
    const __m128 dot = _mm_add_ps(_mm_add_ps(_mm_mul_ps(vx, fx), _mm_mul_ps(vy, fy)), _mm_mul_ps(vz, fz));
    const __m128 b = _mm_mul_ps(_mm_set1_ps(2.0f), dot);
    const __m128 disc = _mm_sub_ps(_mm_mul_ps(b, b), _mm_mul_ps(_mm_mul_ps(_mm_set1_ps(4.0f), a), rest));
    if (!_mm_movemask_ps(_mm_cmpge_ps(disc, _mm_setzero_ps()))) return _mm_set1_ps(RAY_MISS);
    const __m128 t = _mm_div_ps(_mm_sub_ps(_mm_xor_ps(b, _mm_set1_ps(-0.0f)), _mm_sqrt_ps(disc)),
                                _mm_mul_ps(_mm_set1_ps(2.0f), a));
    return laneSelect(_mm_cmpgt_ps(t, _mm_setzero_ps()), t);
}

// One origin for all four lanes: its terms, worked out once, broadcast.
struct SharedOrigin {
    const RayOriginTerms& o;
    __m128 planeHit(const RayTraceScene& s, int32_t k, const RayGroup& g) const {
        return groupPlane(s, k, _mm_set1_ps(o.planeOffset[k]), g);
    }
    __m128 sphereHit(const RayTraceScene&, int32_t k, const RayGroup& g) const {
        return groupSphere(_mm_set1_ps(o.sphereFromX[k]), _mm_set1_ps(o.sphereFromY[k]), _mm_set1_ps(o.sphereFromZ[k]),
                           _mm_set1_ps(o.sphereRest[k]), g);
    }
    __m128 ellipsoidHit(const RayTraceScene& s, int32_t k, const RayGroup& g) const {
        return groupEllipsoid(s, k, _mm_set1_ps(o.ellipsoidFromX[k]), _mm_set1_ps(o.ellipsoidFromY[k]),
                              _mm_set1_ps(o.ellipsoidFromZ[k]), _mm_set1_ps(o.ellipsoidRest[k]), g);
    }
};

// An origin per lane (the mirror rays): each lane forms the terms of
// rayOriginTerms itself, in its order.
struct LaneOrigins {
    __m128 ox, oy, oz;
    __m128 planeHit(const RayTraceScene& s, int32_t k, const RayGroup& g) const {
        const __m128 offset =
            _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_set1_ps(s.planeD[k]), _mm_mul_ps(_mm_set1_ps(s.planeA[k]), ox)),
                                  _mm_mul_ps(_mm_set1_ps(s.planeB[k]), oy)),
                       _mm_mul_ps(_mm_set1_ps(s.planeC[k]), oz));
        return groupPlane(s, k, offset, g);
    }
    __m128 sphereHit(const RayTraceScene& s, int32_t k, const RayGroup& g) const {
        const __m128 fx = _mm_sub_ps(ox, _mm_set1_ps(s.sphereX[k]));
        const __m128 fy = _mm_sub_ps(oy, _mm_set1_ps(s.sphereY[k]));
        const __m128 fz = _mm_sub_ps(oz, _mm_set1_ps(s.sphereZ[k]));
        const __m128 square = _mm_add_ps(_mm_add_ps(_mm_mul_ps(fx, fx), _mm_mul_ps(fy, fy)), _mm_mul_ps(fz, fz));
        return groupSphere(fx, fy, fz, _mm_sub_ps(square, _mm_set1_ps(s.sphereRadius2[k])), g);
    }
    __m128 ellipsoidHit(const RayTraceScene& s, int32_t k, const RayGroup& g) const {
        const __m128 fx = _mm_mul_ps(_mm_set1_ps(s.ellipsoidSX[k]), _mm_sub_ps(ox, _mm_set1_ps(s.ellipsoidX[k])));
        const __m128 fy = _mm_mul_ps(_mm_set1_ps(s.ellipsoidSY[k]), _mm_sub_ps(oy, _mm_set1_ps(s.ellipsoidY[k])));
        const __m128 fz = _mm_mul_ps(_mm_set1_ps(s.ellipsoidSZ[k]), _mm_sub_ps(oz, _mm_set1_ps(s.ellipsoidZ[k])));
        const __m128 square = _mm_add_ps(_mm_add_ps(_mm_mul_ps(fx, fx), _mm_mul_ps(fy, fy)), _mm_mul_ps(fz, fz));
        return groupEllipsoid(s, k, fx, fy, fz, _mm_sub_ps(square, _mm_set1_ps(s.ellipsoidRadius2[k])), g);
    }
};

inline RayGroup rayGroup(const RayVec3* d) {
    return {_mm_setr_ps(d[0].x, d[1].x, d[2].x, d[3].x), _mm_setr_ps(d[0].y, d[1].y, d[2].y, d[3].y),
            _mm_setr_ps(d[0].z, d[1].z, d[2].z, d[3].z)};
}

}  // namespace

RayColour traceRay(const RayTraceScene& s, const RayOriginTerms& fromOrigin, const RayOriginTerms& fromLight,
                   const RayVec3& origin, const RayVec3& direction, int32_t depth) {
    ++counts.traced;

    // Every distance four objects at a time, then the nearest in list order;
    // on equal distances the earlier table entry wins.
    alignas(16) float planeT[kRayLaneSlots], sphereT[kRayLaneSlots], ellipsoidT[kRayLaneSlots];
    const LaneRay r = laneRay(direction);
    for (int32_t k = 0; k < s.planeCount; k += 4) _mm_store_ps(planeT + k, planeLanes(s, fromOrigin, k, r));
    for (int32_t k = 0; k < s.sphereCount; k += 4) _mm_store_ps(sphereT + k, sphereLanes(s, fromOrigin, k, r));
    for (int32_t k = 0; k < s.ellipsoidCount; k += 4)
        _mm_store_ps(ellipsoidT + k, ellipsoidLanes(s, fromOrigin, k, r));
    float nearest = RAY_MISS;
    int32_t hit = -1;
    HitKind kind = HitKind::kNone;
    int32_t slot = 0;
    for (int32_t k = 0; k < s.planeCount; ++k) {
        const float t = planeT[k];
        if (t != RAY_MISS && (t < nearest || (t == nearest && s.planeIndex[k] < hit))) {
            nearest = t;
            hit = s.planeIndex[k];
            kind = HitKind::kPlane;
            slot = k;
        }
    }
    for (int32_t k = 0; k < s.sphereCount; ++k) {
        const float t = sphereT[k];
        if (t != RAY_MISS && (t < nearest || (t == nearest && s.sphereIndex[k] < hit))) {
            nearest = t;
            hit = s.sphereIndex[k];
            kind = HitKind::kSphere;
            slot = k;
        }
    }
    for (int32_t k = 0; k < s.ellipsoidCount; ++k) {
        const float t = ellipsoidT[k];
        if (t != RAY_MISS && (t < nearest || (t == nearest && s.ellipsoidIndex[k] < hit))) {
            nearest = t;
            hit = s.ellipsoidIndex[k];
            kind = HitKind::kEllipsoid;
            slot = k;
        }
    }
    if (kind == HitKind::kNone) return kBlack;
    const HitShade h = shadeHit(s, origin, direction, nearest, hit, kind, slot);
    bool inShadow = false;
    if (s.scene->flags & kRayShadows) {
        ++counts.shadow;
        inShadow = shadowed(s, fromLight, h.toPoint, h.shadowLimit);
    }
    return finishHit(s, fromLight, direction, depth, h, inShadow);
}

namespace {

// Four rays, one per lane; live holds one bit per lane that carries a ray
// (the others read any finite direction and are ignored). Each live lane
// gets the colour traceRay gives its ray.
template <typename Origin>
void traceGroup(const RayTraceScene& s, const Origin& from, const RayOriginTerms& fromLight, const RayVec3* origins,
                const RayVec3* directions, int32_t live, int32_t depth, RayColour* colours) {
    // Nearest hit per lane, objects in the scalar tracer's order and with
    // its tie rule, so every lane picks the same object.
    const RayGroup g = rayGroup(directions);
    const __m128 miss = _mm_set1_ps(RAY_MISS);
    __m128 best = miss;
    __m128i bestIndex = _mm_set1_epi32(-1);
    const auto keepNearer = [&](__m128 t, int32_t index) {
        const __m128i idx = _mm_set1_epi32(index);
        const __m128 tie = _mm_and_ps(_mm_cmpeq_ps(t, best), _mm_castsi128_ps(_mm_cmplt_epi32(idx, bestIndex)));
        const __m128 take = _mm_and_ps(_mm_cmpneq_ps(t, miss), _mm_or_ps(_mm_cmplt_ps(t, best), tie));
        const __m128i takeInt = _mm_castps_si128(take);
        best = _mm_or_ps(_mm_and_ps(take, t), _mm_andnot_ps(take, best));
        bestIndex = _mm_or_si128(_mm_and_si128(takeInt, idx), _mm_andnot_si128(takeInt, bestIndex));
    };
    for (int32_t k = 0; k < s.planeCount; ++k) keepNearer(from.planeHit(s, k, g), s.planeIndex[k]);
    for (int32_t k = 0; k < s.sphereCount; ++k) keepNearer(from.sphereHit(s, k, g), s.sphereIndex[k]);
    for (int32_t k = 0; k < s.ellipsoidCount; ++k) keepNearer(from.ellipsoidHit(s, k, g), s.ellipsoidIndex[k]);
    alignas(16) float nearest[4];
    alignas(16) int32_t hit[4], kind[4], slot[4];
    _mm_store_ps(nearest, best);
    _mm_store_si128(reinterpret_cast<__m128i*>(hit), bestIndex);
    for (int32_t l = 0; l < 4; ++l) {
        kind[l] = hit[l] < 0 ? static_cast<int32_t>(HitKind::kNone) : s.kindOf[hit[l]];
        slot[l] = hit[l] < 0 ? 0 : s.slotOf[hit[l]];
    }

    // The hits shaded up to the shadow test in lanes, shadeHit's steps in
    // its order: the point, the unit vector from the light, the normal (a
    // plane's as stored, a body's (centre - P) / radius), the diffuse term.
    alignas(16) float centreX[4], centreY[4], centreZ[4], radius[4];
    alignas(16) uint32_t planeLane[4];
    int32_t active = 0;  // live lanes whose ray hit something
    for (int32_t l = 0; l < 4; ++l) {
        colours[l] = kBlack;
        centreX[l] = centreY[l] = centreZ[l] = 0.0f;
        radius[l] = 1.0f;
        planeLane[l] = 0u;
        if (!((live >> l) & 1)) continue;
        ++counts.traced;
        switch (static_cast<HitKind>(kind[l])) {
            case HitKind::kPlane: {
                const RayPlaneGeometry& p = s.planes[slot[l]];
                centreX[l] = p.a;
                centreY[l] = p.b;
                centreZ[l] = p.c;
                planeLane[l] = ~0u;
                break;
            }
            case HitKind::kSphere: {
                const RaySphereGeometry& b = s.spheres[slot[l]];
                centreX[l] = b.centre.x;
                centreY[l] = b.centre.y;
                centreZ[l] = b.centre.z;
                radius[l] = b.radius;
                break;
            }
            case HitKind::kEllipsoid: {
                const RayEllipsoidGeometry& e = s.ellipsoids[slot[l]];
                centreX[l] = e.centre.x;
                centreY[l] = e.centre.y;
                centreZ[l] = e.centre.z;
                radius[l] = e.radius;
                break;
            }
            default:
                continue;
        }
        active |= 1 << l;
    }
    if (!active) return;
    const __m128 px = _mm_add_ps(_mm_setr_ps(origins[0].x, origins[1].x, origins[2].x, origins[3].x),
                                 _mm_mul_ps(best, g.dx));
    const __m128 py = _mm_add_ps(_mm_setr_ps(origins[0].y, origins[1].y, origins[2].y, origins[3].y),
                                 _mm_mul_ps(best, g.dy));
    const __m128 pz = _mm_add_ps(_mm_setr_ps(origins[0].z, origins[1].z, origins[2].z, origins[3].z),
                                 _mm_mul_ps(best, g.dz));
    const __m128 vx = _mm_sub_ps(px, _mm_set1_ps(s.light.x));
    const __m128 vy = _mm_sub_ps(py, _mm_set1_ps(s.light.y));
    const __m128 vz = _mm_sub_ps(pz, _mm_set1_ps(s.light.z));
    const __m128 lightDistance =
        _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(vx, vx), _mm_mul_ps(vy, vy)), _mm_mul_ps(vz, vz)));
    const __m128 away = _mm_cmpneq_ps(lightDistance, _mm_setzero_ps());
    const __m128 tx = _mm_and_ps(away, _mm_div_ps(vx, lightDistance));
    const __m128 ty = _mm_and_ps(away, _mm_div_ps(vy, lightDistance));
    const __m128 tz = _mm_and_ps(away, _mm_div_ps(vz, lightDistance));
    const __m128 lim = _mm_sub_ps(lightDistance, _mm_set1_ps(0.01f));
    const __m128 plane = _mm_castsi128_ps(_mm_load_si128(reinterpret_cast<const __m128i*>(planeLane)));
    const __m128 cx = _mm_load_ps(centreX), cy = _mm_load_ps(centreY), cz = _mm_load_ps(centreZ);
    const __m128 r = _mm_load_ps(radius);
    const __m128 nx = _mm_or_ps(_mm_and_ps(plane, cx), _mm_andnot_ps(plane, _mm_div_ps(_mm_sub_ps(cx, px), r)));
    const __m128 ny = _mm_or_ps(_mm_and_ps(plane, cy), _mm_andnot_ps(plane, _mm_div_ps(_mm_sub_ps(cy, py), r)));
    const __m128 nz = _mm_or_ps(_mm_and_ps(plane, cz), _mm_andnot_ps(plane, _mm_div_ps(_mm_sub_ps(cz, pz), r)));
    const __m128 lit = _mm_mul_ps(_mm_set1_ps(0.3f),
                                  _mm_add_ps(_mm_add_ps(_mm_mul_ps(nx, tx), _mm_mul_ps(ny, ty)), _mm_mul_ps(nz, tz)));
    alignas(16) float pointX[4], pointY[4], pointZ[4], shadowX[4], shadowY[4], shadowZ[4], normalX[4], normalY[4],
        normalZ[4], litLane[4];
    _mm_store_ps(pointX, px);
    _mm_store_ps(pointY, py);
    _mm_store_ps(pointZ, pz);
    _mm_store_ps(shadowX, tx);
    _mm_store_ps(shadowY, ty);
    _mm_store_ps(shadowZ, tz);
    _mm_store_ps(normalX, nx);
    _mm_store_ps(normalY, ny);
    _mm_store_ps(normalZ, nz);
    _mm_store_ps(litLane, lit);
    HitShade h[4];
    for (int32_t l = 0; l < 4; ++l) {
        if (!((active >> l) & 1)) continue;
        h[l].point = {pointX[l], pointY[l], pointZ[l]};
        h[l].normal = {normalX[l], normalY[l], normalZ[l]};
        h[l].object = &s.scene->objects[hit[l]];
        const RayColour c = objectColour(*h[l].object, h[l].point, h[l].normal);
        h[l].local = {0.7f * c.r + litLane[l], 0.7f * c.g + litLane[l], 0.7f * c.b + litLane[l]};
    }
    if (!active) return;
    const int32_t flags = s.scene->flags;
    // The shadow rays of the lanes that hit, all from the light: a lane is
    // in shadow once any object lies closer than its limit.
    int32_t blocked = 0;
    if (flags & kRayShadows) {
        for (int32_t l = 0; l < 4; ++l) counts.shadow += (active >> l) & 1;
        const RayGroup sg = {tx, ty, tz};
        const SharedOrigin light = {fromLight};
        for (int32_t k = 0; k < s.planeCount && (blocked & active) != active; ++k)
            blocked |= _mm_movemask_ps(_mm_cmplt_ps(light.planeHit(s, k, sg), lim));
        for (int32_t k = 0; k < s.sphereCount && (blocked & active) != active; ++k)
            blocked |= _mm_movemask_ps(_mm_cmplt_ps(light.sphereHit(s, k, sg), lim));
        for (int32_t k = 0; k < s.ellipsoidCount && (blocked & active) != active; ++k)
            blocked |= _mm_movemask_ps(_mm_cmplt_ps(light.ellipsoidHit(s, k, sg), lim));
    }
    RayVec3 starts[4], reflected[4];
    float reflectivity[4] = {};
    int32_t mirrors = 0;  // lanes whose hit reflects
    int32_t first = -1;
    for (int32_t l = 0; l < 4; ++l) {
        if (!((active >> l) & 1)) continue;
        RayColour& local = colours[l];
        local = h[l].local;
        if ((blocked >> l) & 1) local = {local.r * 0.625f, local.g * 0.625f, local.b * 0.625f};
        // depth > 0 rather than != 0: a negative depth would recurse without
        // end between two mirrors.
        if ((flags & kRayReflections) && depth > 0) {
            const float k = objectReflectivity(*h[l].object);
            if (k != 0.0f) {
                const float twiceCos = 2.0f * rayDot(h[l].normal, directions[l]);
                reflected[l] = directions[l] - twiceCos * h[l].normal;
                starts[l] = h[l].point + reflected[l];
                reflectivity[l] = k;
                mirrors |= 1 << l;
                if (first < 0) first = l;
                ++counts.reflected;
            }
        }
    }
    if (!mirrors) return;
    for (int32_t l = 0; l < 4; ++l)
        if (!((mirrors >> l) & 1)) {
            starts[l] = starts[first];
            reflected[l] = reflected[first];
        }
    const LaneOrigins mirrorFrom = {_mm_setr_ps(starts[0].x, starts[1].x, starts[2].x, starts[3].x),
                                    _mm_setr_ps(starts[0].y, starts[1].y, starts[2].y, starts[3].y),
                                    _mm_setr_ps(starts[0].z, starts[1].z, starts[2].z, starts[3].z)};
    RayColour m[4];
    traceGroup(s, mirrorFrom, fromLight, starts, reflected, mirrors, depth - 1, m);
    for (int32_t l = 0; l < 4; ++l) {
        if (!((mirrors >> l) & 1)) continue;
        const float k = reflectivity[l];
        const float keep = 1.0f - k;
        RayColour& local = colours[l];
        local = {keep * local.r + k * m[l].r, keep * local.g + k * m[l].g, keep * local.b + k * m[l].b};
    }
}

}  // namespace

void traceRayGroup(const RayTraceScene& s, const RayOriginTerms& fromOrigin, const RayOriginTerms& fromLight,
                   const RayVec3& origin, const RayVec3* directions, int32_t count, int32_t depth, RayColour* colours) {
    if (count <= 0) return;
    if (count > 4) count = 4;
    const RayVec3 origins[4] = {origin, origin, origin, origin};
    RayColour out[4];
    traceGroup(s, SharedOrigin{fromOrigin}, fromLight, origins, directions, (1 << count) - 1, depth, out);
    for (int32_t l = 0; l < count; ++l) colours[l] = out[l];
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
