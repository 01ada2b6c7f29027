// The raytrace renderer: one ray per corner of a 4x4 pixel block, 81 x 36
// rays in all, stored in RaySampleGrid, then drawn into the 320 x 140
// middle band of the frame buffer by bilinear interpolation, each pixel
// mixed half and half with what it held before (so moving bodies leave
// fading trails).
#pragma once

#include <cstdint>

#include "raytracer/ray_scene.h"
#include "raytracer/ray_vec.h"

constexpr int kRayGridColumns = 81;
constexpr int kRayGridRows = 36;
constexpr int kRayBlockColumns = kRayGridColumns - 1;  // 80 blocks of 4 pixels: 320
constexpr int kRayBlockRows = kRayGridRows - 1;        // 35 blocks of 4 rows: 140
// blitRayGrid draws from this frame-buffer row (pixel 9600) down.
constexpr int kRayBandTop = 30;

// One sample: channels 0..255.
struct RaySample {
    int32_t r, g, b;
};
// Column by column: RaySampleGrid[column][row]. Keeps its content between
// frames; a render overwrites the samples it traces.
extern RaySample RaySampleGrid[kRayGridColumns][kRayGridRows];

// The image plane of one frame. Rays start at centre, focal sample spacings
// behind the eye; sample (column j, row i) lies at
// eye + (i - halfHeight) * down + (j - halfWidth) * right.
struct RayCamera {
    RayVec3 dir;  // unit, from the target back towards the eye
    RayVec3 right;
    RayVec3 down;
    RayVec3 centre;
    float halfWidth, halfHeight;
};
RayCamera rayCamera(const RayScene& scene, const RayViewport& viewport);

// Traces every sample of the viewport with reflection depth 1 and stores
// the clamped colours. Only the first 81 columns and 36 rows are traced,
// whatever the viewport claims; samples outside a smaller viewport keep
// their old values.
void renderRayGrid(const RayScene& scene, const RayViewport& viewport);

// scale when x > 1, 0 when x < 0 or NaN, else trunc(x * scale).
int32_t clampChannel(float x, int32_t scale);

// One 4x4 block whose top-left pixel is at pixel, from samples (j, i),
// (j, i + 1), (j + 1, i), (j + 1, i + 1); j in 0..79, i in 0..34 (other
// values draw nothing). Rows are 320 pixels apart.
void blitRayBlock(int32_t j, int32_t i, uint32_t* pixel);
// All 80 x 35 blocks; dst is frame-buffer row 30 (FrameBuffer + 9600).
void blitRayGrid(uint32_t* dst);
