// The raytracer's vector kit: three floats and the four operations the
// tracer and the camera use. Every operation rounds to float after each
// step, in the order written, so results are the same on every build.
#pragma once

#include <cmath>

struct RayVec3 {
    float x, y, z;
};

inline RayVec3 operator+(const RayVec3& a, const RayVec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline RayVec3 operator-(const RayVec3& a, const RayVec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline RayVec3 operator*(float s, const RayVec3& v) { return {s * v.x, s * v.y, s * v.z}; }

inline float rayDot(const RayVec3& a, const RayVec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline float rayLength(const RayVec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// Divides v by its length and returns the length; a zero vector stays
// (0, 0, 0) and 0 is returned.
inline float rayNormalize(RayVec3& v) {
    const float length = rayLength(v);
    if (length == 0.0f) {
        v = {0.0f, 0.0f, 0.0f};
        return 0.0f;
    }
    v = {v.x / length, v.y / length, v.z / length};
    return length;
}

inline RayVec3 rayCross(const RayVec3& a, const RayVec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
