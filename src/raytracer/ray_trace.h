// The reference tracer: one ray through a RayScene, object by object in
// table order, with the per-object routines. The colour of the nearest hit
// lit by the scene's point light, with an optional hard shadow and one
// optional mirror bounce. The demo traces with the group tracer
// (ray_group.h), which gives the same colours bit for bit; this one is the
// plain statement of what they are.
#pragma once

#include <cstdint>

#include "raytracer/ray_objects.h"
#include "raytracer/ray_scene.h"
#include "raytracer/ray_vec.h"

// The table index of the nearest object along the ray, or -1 when it hits
// nothing; on equal distances the earlier entry wins. The distance goes to
// `nearest` (RAY_MISS on a miss).
int32_t nearestObject(const RayScene& scene, const RayVec3& origin, const RayVec3& direction, float& nearest);

// The colour seen along the ray. Shadows when flags bit 1 is set; one
// mirror bounce per level of depth when flags bit 0 is set (the renderer
// passes depth 1). A ray that hits nothing is black. Reads at most
// kRayMaxObjects table entries (none when the table is missing).
RayColour traceRay(const RayScene& scene, const RayVec3& origin, const RayVec3& direction, int32_t depth);
