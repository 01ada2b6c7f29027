// Four floats in one SSE register, one ray per lane, with the operators of
// plain float arithmetic. Each operator is one SSE instruction that rounds
// lane by lane exactly as its scalar form does (addps, subps, mulps, divps
// and sqrtps are IEEE single precision), so an expression written as the
// scalar one, in the same order, gives the same bits in every lane.
// Comparisons give a lane mask; select picks per lane.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "raytracer/ray_vec.h"

struct RayLaneMask {
    __m128 m;
    // One bit per lane, lane 0 in bit 0.
    int32_t bits() const { return _mm_movemask_ps(m); }
    bool none() const { return bits() == 0; }
    // All ones in the lanes whose bit is set.
    static RayLaneMask of(int32_t bits) {
        return {_mm_castsi128_ps(_mm_setr_epi32(bits & 1 ? -1 : 0, bits & 2 ? -1 : 0, bits & 4 ? -1 : 0,
                                                bits & 8 ? -1 : 0))};
    }
};

inline RayLaneMask operator&(RayLaneMask a, RayLaneMask b) { return {_mm_and_ps(a.m, b.m)}; }
inline RayLaneMask operator|(RayLaneMask a, RayLaneMask b) { return {_mm_or_ps(a.m, b.m)}; }

struct RayLanes {
    __m128 v;
    RayLanes() = default;
    RayLanes(__m128 x) : v(x) {}
    // A float stands for itself in every lane, so 2.0f * b reads as it
    // does in the scalar routine.
    RayLanes(float x) : v(_mm_set1_ps(x)) {}
    static RayLanes of(float l0, float l1, float l2, float l3) { return _mm_setr_ps(l0, l1, l2, l3); }
    static RayLanes load(const float* aligned) { return _mm_load_ps(aligned); }
    void store(float* aligned) const { _mm_store_ps(aligned, v); }
};

inline RayLanes operator+(RayLanes a, RayLanes b) { return _mm_add_ps(a.v, b.v); }
inline RayLanes operator-(RayLanes a, RayLanes b) { return _mm_sub_ps(a.v, b.v); }
inline RayLanes operator*(RayLanes a, RayLanes b) { return _mm_mul_ps(a.v, b.v); }
inline RayLanes operator/(RayLanes a, RayLanes b) { return _mm_div_ps(a.v, b.v); }
// Flips the sign bit, as scalar negation does (NaN and zero included).
inline RayLanes operator-(RayLanes a) { return _mm_xor_ps(a.v, _mm_set1_ps(-0.0f)); }

// IEEE comparisons: a NaN lane compares false, except for !=.
inline RayLaneMask operator<(RayLanes a, RayLanes b) { return {_mm_cmplt_ps(a.v, b.v)}; }
inline RayLaneMask operator>(RayLanes a, RayLanes b) { return {_mm_cmpgt_ps(a.v, b.v)}; }
inline RayLaneMask operator>=(RayLanes a, RayLanes b) { return {_mm_cmpge_ps(a.v, b.v)}; }
inline RayLaneMask operator==(RayLanes a, RayLanes b) { return {_mm_cmpeq_ps(a.v, b.v)}; }
inline RayLaneMask operator!=(RayLanes a, RayLanes b) { return {_mm_cmpneq_ps(a.v, b.v)}; }

inline RayLanes sqrt(RayLanes a) { return _mm_sqrt_ps(a.v); }

// Per lane: yes where the mask is set, else no.
inline RayLanes select(RayLaneMask mask, RayLanes yes, RayLanes no) {
    return _mm_or_ps(_mm_and_ps(mask.m, yes.v), _mm_andnot_ps(mask.m, no.v));
}

// Four vectors, one per lane, kept field by field.
struct RayLanes3 {
    RayLanes x, y, z;
    // The same vector in every lane.
    static RayLanes3 splat(const RayVec3& v) { return {v.x, v.y, v.z}; }
    // v[l] in lane l.
    static RayLanes3 gather(const RayVec3* v) {
        return {RayLanes::of(v[0].x, v[1].x, v[2].x, v[3].x), RayLanes::of(v[0].y, v[1].y, v[2].y, v[3].y),
                RayLanes::of(v[0].z, v[1].z, v[2].z, v[3].z)};
    }
    // Lane l into v[l].
    void scatter(RayVec3* v) const {
        alignas(16) float lx[4], ly[4], lz[4];
        x.store(lx);
        y.store(ly);
        z.store(lz);
        for (int l = 0; l < 4; ++l) v[l] = {lx[l], ly[l], lz[l]};
    }
};

inline RayLanes3 operator+(const RayLanes3& a, const RayLanes3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline RayLanes3 operator-(const RayLanes3& a, const RayLanes3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline RayLanes3 operator*(RayLanes s, const RayLanes3& v) { return {s * v.x, s * v.y, s * v.z}; }
inline RayLanes3 operator/(const RayLanes3& v, RayLanes s) { return {v.x / s, v.y / s, v.z / s}; }
// Component by component, as the ellipsoid's scaling.
inline RayLanes3 scaled(const RayVec3& s, const RayLanes3& v) { return {s.x * v.x, s.y * v.y, s.z * v.z}; }
inline RayLanes3 select(RayLaneMask mask, const RayLanes3& yes, const RayLanes3& no) {
    return {select(mask, yes.x, no.x), select(mask, yes.y, no.y), select(mask, yes.z, no.z)};
}

// rayDot's order: (a.x * b.x + a.y * b.y) + a.z * b.z.
inline RayLanes rayDot(const RayLanes3& a, const RayLanes3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
