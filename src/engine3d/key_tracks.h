// Key tracks: Hermite curves through keyed values, evaluated once per frame
// at the scene time t (tenths of a second).
//
// A segment k runs from key k-1 at time k-1 to key k at time k. Its start
// tangent is the central difference around key k and its end tangent the
// one around key k+1: both are taken one key later than the segment's own
// end points, so the last segment reads key slot n (the padding slot that
// repeats the last key). Beyond the last segment's end the curve is
// extrapolated. Tracks of fewer than 4 keys are constant.
#pragma once

#include <cstdint>

#include "engine3d/scene.h"

// The smallest k in 1..n-3 with times[k] >= t, or n-2 when t is above
// times[n-3]. Needs n >= 4.
int findKeySegment(const int16_t* times, int n, float t);
// keys and times have at least n + 1 slots.
void evalVectorTrack(Vec3& out, const Vec3* keys, const int16_t* times, int n, float t);
void evalScalarTrack(float& out, const float* keys, const int16_t* times, int n, float t);
// Linear blend of the object's morph frames; nothing without frames or
// before the first morph time. Recomputes the face normals.
void evalMorph(SceneObject& object, float t);
