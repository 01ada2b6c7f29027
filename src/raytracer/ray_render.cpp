#include "raytracer/ray_render.h"

#include <emmintrin.h>

#include <cstring>

#include "gfx2d/frame.h"
#include "raytracer/ray_group.h"
#include "raytracer/ray_lanes.h"

RaySample RaySampleGrid[kRayGridColumns][kRayGridRows];

namespace {
}  // namespace

RayCamera rayCamera(const RayScene& scene, const RayViewport& viewport) {
    RayCamera cam;
    const RayVec3 eye = {scene.eye[0], scene.eye[1], scene.eye[2]};
    const RayVec3 target = {scene.target[0], scene.target[1], scene.target[2]};
    cam.dir = eye - target;
    rayNormalize(cam.dir);
    RayVec3 up = {0.0f, 1.0f, 0.0f};
    // Looking straight up or down: (0, 1, 0) is parallel to dir, so the
    // image plane takes its orientation from x instead.
    if (cam.dir.x == 0.0f && cam.dir.z == 0.0f) up = {-cam.dir.y, 0.0f, 0.0f};
    cam.right = rayCross(cam.dir, up);
    rayNormalize(cam.right);
    cam.down = rayCross(cam.dir, cam.right);
    cam.centre = eye + viewport.focal * cam.dir;
    cam.halfWidth = static_cast<float>(viewport.width) * 0.5f;
    cam.halfHeight = static_cast<float>(viewport.height) * 0.5f;
    return cam;
}

int32_t clampChannel(float x, int32_t scale) {
    if (x > 1.0f) return scale;
    if (!(x >= 0.0f)) return 0;
    return static_cast<int32_t>(x * static_cast<float>(scale));
}

void renderRayGrid(const RayScene& scene, const RayViewport& viewport) {
    RayTraceScene prepared;
    prepareRayTrace(scene, prepared);
    const RayCamera cam = rayCamera(scene, viewport);
    // Every primary ray starts at the centre and every shadow ray at the
    // light: their origin terms are shared by the whole frame.
    RayOriginTerms fromCentre, fromLight;
    rayOriginTerms(prepared, cam.centre, fromCentre);
    rayOriginTerms(prepared, prepared.light, fromLight);
    const RayVec3 eye = {scene.eye[0], scene.eye[1], scene.eye[2]};

    int32_t columns = viewport.width < kRayGridColumns ? viewport.width : kRayGridColumns;
    int32_t rows = viewport.height < kRayGridRows ? viewport.height : kRayGridRows;
    if (columns < 0) columns = 0;
    if (rows < 0) rows = 0;

    for (int32_t i = 0; i < rows; ++i) {
        const RayVec3 rowPoint = eye + (static_cast<float>(i) - cam.halfHeight) * cam.down;
        // Four neighbouring samples at a time; a short last group repeats
        // its first direction in the unused lanes.
        for (int32_t j0 = 0; j0 < columns; j0 += 4) {
            const int32_t count = columns - j0 < 4 ? columns - j0 : 4;
            // The four directions in lanes: rowPoint + (j - halfWidth) * right
            // - centre, then rayNormalize's steps.
            alignas(16) float across[4];
            for (int32_t l = 0; l < 4; ++l)
                across[l] = static_cast<float>(j0 + (l < count ? l : 0)) - cam.halfWidth;
            const RayLanes3 v = RayLanes3::splat(rowPoint) + RayLanes::load(across) * RayLanes3::splat(cam.right) -
                                RayLanes3::splat(cam.centre);
            const RayLanes length = sqrt(rayDot(v, v));
            RayVec3 d[4];
            select(length != 0.0f, v / length, RayLanes3::splat({0.0f, 0.0f, 0.0f})).scatter(d);
            RayColour c[4];
            traceRayGroup(prepared, fromCentre, fromLight, cam.centre, d, count, 1, c);
            for (int32_t l = 0; l < count; ++l)
                RaySampleGrid[j0 + l][i] = {clampChannel(c[l].r, 255), clampChannel(c[l].g, 255),
                                            clampChannel(c[l].b, 255)};
        }
    }
}

// 8.8 fixed point per channel: left and right edge values step down the
// block by a quarter of their vertical difference per row, and each row
// steps across by a quarter of (right - left). The samples lie in 0..255,
// so every value stays in 0..0xFF00 and the shifts below are exact.
void blitRayBlock(int32_t j, int32_t i, uint32_t* pixel) {
    if (j < 0 || j >= kRayBlockColumns || i < 0 || i >= kRayBlockRows) return;
    const RaySample& c00 = RaySampleGrid[j][i];
    const RaySample& c01 = RaySampleGrid[j][i + 1];
    const RaySample& c10 = RaySampleGrid[j + 1][i];
    const RaySample& c11 = RaySampleGrid[j + 1][i + 1];

    int32_t leftR = c00.r * 256, leftG = c00.g * 256, leftB = c00.b * 256;
    int32_t rightR = c10.r * 256, rightG = c10.g * 256, rightB = c10.b * 256;
    const int32_t leftStepR = (c01.r - c00.r) * 64, leftStepG = (c01.g - c00.g) * 64, leftStepB = (c01.b - c00.b) * 64;
    const int32_t rightStepR = (c11.r - c10.r) * 64, rightStepG = (c11.g - c10.g) * 64,
                  rightStepB = (c11.b - c10.b) * 64;

    for (int y = 0; y < 4; ++y) {
        int32_t vR = leftR, vG = leftG, vB = leftB;
        const int32_t stepR = (rightR - leftR) >> 2, stepG = (rightG - leftG) >> 2, stepB = (rightB - leftB) >> 2;
        for (int x = 0; x < 4; ++x) {
            // Half the 8-bit value per channel, plus half the old pixel: at
            // most 127 + 127 per byte, so nothing carries across channels.
            const uint32_t fresh = (((static_cast<uint32_t>(vR) & 0xFE00u) << 8) | (static_cast<uint32_t>(vG) & 0xFE00u) |
                                    ((static_cast<uint32_t>(vB) >> 8) & 0xFEu)) >>
                                   1;
            pixel[x] = fresh + ((pixel[x] >> 1) & 0x7F7F7F7Fu);
            vR += stepR;
            vG += stepG;
            vB += stepB;
        }
        leftR += leftStepR;
        leftG += leftStepG;
        leftB += leftStepB;
        rightR += rightStepR;
        rightG += rightStepG;
        rightB += rightStepB;
        pixel += kFramePitch;
    }
}

// Four blocks side by side, one per SSE2 lane: each lane runs the very
// integer steps of blitRayBlock for its block, and a 4x4 transpose turns
// the lanes (one pixel position of four blocks) into four neighbouring
// pixels of one block for the store. The sample rows are copied out of the
// column-major grid first so each corner is one unaligned load.
void blitRayGrid(uint32_t* dst) {
    alignas(16) int32_t top[3][kRayGridColumns + 3];
    alignas(16) int32_t bottom[3][kRayGridColumns + 3];
    const auto copyRow = [](int32_t row, int32_t (&out)[3][kRayGridColumns + 3]) {
        for (int32_t j = 0; j < kRayGridColumns; ++j) {
            const RaySample& s = RaySampleGrid[j][row];
            out[0][j] = s.r;
            out[1][j] = s.g;
            out[2][j] = s.b;
        }
    };
    const __m128i maskHigh = _mm_set1_epi32(0xFE00);
    const __m128i maskLow = _mm_set1_epi32(0xFE);
    const __m128i maskOld = _mm_set1_epi32(0x7F7F7F7F);
    copyRow(0, bottom);
    for (int32_t i = 0; i < kRayBlockRows; ++i) {
        std::memcpy(top, bottom, sizeof top);
        copyRow(i + 1, bottom);
        uint32_t* row = dst + i * 4 * kFramePitch;
        for (int32_t j = 0; j < kRayBlockColumns; j += 4) {
            __m128i left[3], right[3], leftStep[3], rightStep[3];
            for (int c = 0; c < 3; ++c) {
                const __m128i c00 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&top[c][j]));
                const __m128i c10 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&top[c][j + 1]));
                const __m128i c01 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&bottom[c][j]));
                const __m128i c11 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&bottom[c][j + 1]));
                left[c] = _mm_slli_epi32(c00, 8);
                right[c] = _mm_slli_epi32(c10, 8);
                leftStep[c] = _mm_slli_epi32(_mm_sub_epi32(c01, c00), 6);
                rightStep[c] = _mm_slli_epi32(_mm_sub_epi32(c11, c10), 6);
            }
            uint32_t* pixel = row + j * 4;
            for (int y = 0; y < 4; ++y) {
                __m128i v[3], step[3];
                for (int c = 0; c < 3; ++c) {
                    v[c] = left[c];
                    step[c] = _mm_srai_epi32(_mm_sub_epi32(right[c], left[c]), 2);
                }
                // fresh[x]: pixel x of each of the four blocks.
                __m128i fresh[4];
                for (int x = 0; x < 4; ++x) {
                    const __m128i r = _mm_slli_epi32(_mm_and_si128(v[0], maskHigh), 8);
                    const __m128i g = _mm_and_si128(v[1], maskHigh);
                    const __m128i b = _mm_and_si128(_mm_srli_epi32(v[2], 8), maskLow);
                    fresh[x] = _mm_srli_epi32(_mm_or_si128(_mm_or_si128(r, g), b), 1);
                    for (int c = 0; c < 3; ++c) v[c] = _mm_add_epi32(v[c], step[c]);
                }
                // Transpose: block k's four pixels into one register.
                const __m128i t0 = _mm_unpacklo_epi32(fresh[0], fresh[1]);
                const __m128i t1 = _mm_unpacklo_epi32(fresh[2], fresh[3]);
                const __m128i t2 = _mm_unpackhi_epi32(fresh[0], fresh[1]);
                const __m128i t3 = _mm_unpackhi_epi32(fresh[2], fresh[3]);
                const __m128i block[4] = {_mm_unpacklo_epi64(t0, t1), _mm_unpackhi_epi64(t0, t1),
                                          _mm_unpacklo_epi64(t2, t3), _mm_unpackhi_epi64(t2, t3)};
                for (int k = 0; k < 4; ++k) {
                    __m128i* p = reinterpret_cast<__m128i*>(pixel + k * 4);
                    const __m128i old = _mm_and_si128(_mm_srli_epi32(_mm_loadu_si128(p), 1), maskOld);
                    _mm_storeu_si128(p, _mm_add_epi32(block[k], old));
                }
                for (int c = 0; c < 3; ++c) {
                    left[c] = _mm_add_epi32(left[c], leftStep[c]);
                    right[c] = _mm_add_epi32(right[c], rightStep[c]);
                }
                pixel += kFramePitch;
            }
        }
    }
}
