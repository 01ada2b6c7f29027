#include "engine3d/key_tracks.h"

namespace {

// The four Hermite weights at s, every intermediate rounded to float.
struct HermiteWeights {
    float h1, h2, h3, h4;
};

HermiteWeights hermite(float s) {
    const float s2 = s * s;
    const float s3 = s2 * s;
    HermiteWeights w;
    w.h1 = 2.0f * s3 - 3.0f * s2 + 1.0f;
    w.h2 = 1.0f - w.h1;
    w.h3 = s3 - 2.0f * s2 + s;
    w.h4 = s3 - s2;
    return w;
}

float blend(const HermiteWeights& w, float k0, float k1, float k2, float k3) {
    const float a = (k2 - k0) * 0.5f;
    const float b = (k3 - k1) * 0.5f;
    return w.h1 * k0 + w.h2 * k1 + w.h3 * a + w.h4 * b;
}

float segmentParameter(const int16_t* times, int k, float t) {
    return (t - static_cast<float>(times[k - 1])) / static_cast<float>(times[k] - times[k - 1]);
}

}  // namespace

int findKeySegment(const int16_t* times, int n, float t) {
    int lo = 1;
    int hi = n - 3;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        if (static_cast<float>(times[mid]) < t) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    return lo;
}

void evalVectorTrack(Vec3& out, const Vec3* keys, const int16_t* times, int n, float t) {
    if (n < 4 || t <= static_cast<float>(times[0])) {
        out = keys[0];
        return;
    }
    const int k = findKeySegment(times, n, t);
    const HermiteWeights w = hermite(segmentParameter(times, k, t));
    const Vec3& k0 = keys[k - 1];
    const Vec3& k1 = keys[k];
    const Vec3& k2 = keys[k + 1];
    const Vec3& k3 = keys[k + 2];
    out.x = blend(w, k0.x, k1.x, k2.x, k3.x);
    out.y = blend(w, k0.y, k1.y, k2.y, k3.y);
    out.z = blend(w, k0.z, k1.z, k2.z, k3.z);
}

void evalScalarTrack(float& out, const float* keys, const int16_t* times, int n, float t) {
    if (n < 4 || t <= static_cast<float>(times[0])) {
        out = keys[0];
        return;
    }
    const int k = findKeySegment(times, n, t);
    const HermiteWeights w = hermite(segmentParameter(times, k, t));
    out = blend(w, keys[k - 1], keys[k], keys[k + 1], keys[k + 2]);
}

void evalMorph(SceneObject& object, float t) {
    const int n = object.morphCount;
    if (object.morphFrames == nullptr || n < 2 || t <= static_cast<float>(object.morphTimes[0])) return;
    // With 2 or 3 times the search returns 1: the first pair, extrapolated.
    const int k = findKeySegment(object.morphTimes, n, t);
    const float u = segmentParameter(object.morphTimes, k, t);
    const int V = object.vertexCount;
    const Vec3* from = object.morphFrames + static_cast<size_t>(k - 1) * V;
    const Vec3* to = object.morphFrames + static_cast<size_t>(k) * V;
    for (int i = 0; i < V; ++i) {
        Vec3& p = object.vertices[i].object;
        p.x = from[i].x + (to[i].x - from[i].x) * u;
        p.y = from[i].y + (to[i].y - from[i].y) * u;
        p.z = from[i].z + (to[i].z - from[i].z) * u;
    }
    computeFaceNormals(object);
}
