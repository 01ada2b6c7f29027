#include "gfx2d/warp.h"

#include <cmath>

#include "gfx2d/colour.h"
#include "gfx2d/float_int.h"

GridPoint WarpGrid[kGridPoints];

namespace {

constexpr float kPi256 = 0.01227184630308513f;
constexpr float kPi128 = 0.02454369260617026f;
constexpr float kPi64 = 0.04908738521234052f;
constexpr int32_t kPitch = 320;

// Texture coordinates in 24.8 fixed point. They are kept in unsigned
// arithmetic, which wraps where the signed sums of a far-off grid point
// would overflow; the bits that select a texel are the same.
struct Edge {
    uint32_t value;
    uint32_t step;  // per row: an eighth of the difference down the block edge
};

inline Edge edgeOf(int32_t top, int32_t bottom) {
    const uint32_t t = static_cast<uint32_t>(top);
    const uint32_t b = static_cast<uint32_t>(bottom);
    return {t << 8, (b - t) << 5};
}

// An eighth of the way from left to right, by arithmetic shift.
inline uint32_t spanStep(uint32_t left, uint32_t right) {
    return static_cast<uint32_t>(static_cast<int32_t>(right - left) >> 3);
}

inline uint32_t texelIndex(uint32_t u, uint32_t v) { return ((v >> 8) & 255) << 8 | ((u >> 8) & 255); }

}  // namespace

void GridWarp::prepare() {}

GridWarp::~GridWarp() = default;

void GridWarp::computeGrid(GridPoint* grid) {
    if (needsPrepare) prepare();
    for (int i = 0; i < kGridRows; ++i)
        for (int j = 0; j < kGridColumns; ++j)
            mapPoint(static_cast<float>(8 * j), static_cast<float>(8 * i), grid[j * kGridRows + i]);
}

void WaveWarpA::mapPoint(float x, float y, GridPoint& point) {
    const float t = time;
    const float d = std::sin(t * kPi256) + 2.0f;
    point.u = truncToInt(x + 24.0f * d * std::cos((x + t) * kPi256)) +
              truncToInt(x + 30.0f * std::sin((2.1f * t + 0.75f * y) * kPi256) + 40.0f * std::cos(t * kPi128));
    point.v = truncToInt(y + 16.0f * d * std::cos((y + t) * kPi128)) +
              truncToInt(y + 30.0f * std::sin((2.0f * t + 0.75f * x) * kPi256) + 40.0f * std::sin(t * kPi128));
}

void WaveWarpB::mapPoint(float x, float y, GridPoint& point) {
    const float t = time;
    const float d = std::sin(1.2f * t) + 2.0f;
    const float e = 1.0f / d;
    point.u = truncToInt(x + 24.0f * d * std::cos((t - x) * kPi256) * std::sin((x - t) * kPi128)) +
              truncToInt(-48.0f * e * std::sin(x * kPi64 + t));
    point.v = truncToInt(y + 16.0f * d * std::sin((y + t) * kPi256) * std::cos((y + t) * kPi128)) +
              truncToInt(48.0f * e * std::cos(t - y * kPi64));
}

void PlaneWarp::prepare() { matrix.setRotation(a1, a2, a3); }

void PlaneWarp::mapPoint(float x, float y, GridPoint& point) {
    const float e = 160.0f - x;
    const float d = 100.0f - y;
    const float* m = matrix.m;
    const float f = e * m[0] + d * m[4] + 128.0f * m[8] + m[12];
    const float g = e * m[1] + d * m[5] + 128.0f * m[9] + m[13];
    float h = e * m[2] + d * m[6] + 128.0f * m[10] + m[14];
    if (wobble != 0.0f) h += wobble * (std::sin(y * kPi128) + std::sin(x * kPi128));
    point.light = truncToInt(0.6f * h + 64.0f);
    point.u = truncToInt(f * scaleX / (h + 180.0f) + static_cast<float>(offsetU) + 128.0f);
    point.v = truncToInt(g * scaleY / (h + 180.0f) + static_cast<float>(offsetV) + 128.0f);
}

void renderGridHalf(const GridPoint* grid, const uint32_t* __restrict texture, uint32_t* __restrict dst) {
    for (int i = 0; i < kGridRows - 1; ++i) {
        for (int j = 0; j < kGridColumns - 1; ++j) {
            const GridPoint& p00 = grid[j * kGridRows + i];
            const GridPoint& p01 = grid[j * kGridRows + i + 1];
            const GridPoint& p10 = grid[(j + 1) * kGridRows + i];
            const GridPoint& p11 = grid[(j + 1) * kGridRows + i + 1];
            Edge uL = edgeOf(p00.u, p01.u), vL = edgeOf(p00.v, p01.v);
            Edge uR = edgeOf(p10.u, p11.u), vR = edgeOf(p10.v, p11.v);
            uint32_t* row = dst + (8 * i) * kPitch + 8 * j;
            for (int r = 0; r < 8; ++r, row += kPitch) {
                const uint32_t du = spanStep(uL.value, uR.value);
                const uint32_t dv = spanStep(vL.value, vR.value);
                uint32_t u = uL.value, v = vL.value;
                for (int k = 0; k < 8; ++k) {
                    row[k] = blendHalf(row[k], texture[texelIndex(u, v)]);
                    u += du;
                    v += dv;
                }
                uL.value += uL.step;
                vL.value += vL.step;
                uR.value += uR.step;
                vR.value += vR.step;
            }
        }
    }
}

void renderGridShaded(const GridPoint* grid, const uint8_t* __restrict indexImage, const ShadeTable& shade,
                      uint32_t* __restrict dst) {
    const uint32_t* __restrict colours = shade.data();
    for (int i = 0; i < kGridRows - 1; ++i) {
        for (int j = 0; j < kGridColumns - 1; ++j) {
            const GridPoint& p00 = grid[j * kGridRows + i];
            const GridPoint& p01 = grid[j * kGridRows + i + 1];
            const GridPoint& p10 = grid[(j + 1) * kGridRows + i];
            const GridPoint& p11 = grid[(j + 1) * kGridRows + i + 1];
            Edge uL = edgeOf(p00.u, p01.u), vL = edgeOf(p00.v, p01.v), lL = edgeOf(p00.light, p01.light);
            Edge uR = edgeOf(p10.u, p11.u), vR = edgeOf(p10.v, p11.v), lR = edgeOf(p10.light, p11.light);
            uint32_t* row = dst + (8 * i) * kPitch + 8 * j;
            for (int r = 0; r < 8; ++r, row += kPitch) {
                const uint32_t du = spanStep(uL.value, uR.value);
                const uint32_t dv = spanStep(vL.value, vR.value);
                const uint32_t dl = spanStep(lL.value, lR.value);
                uint32_t u = uL.value, v = vL.value, l = lL.value;
                for (int k = 0; k < 8; ++k) {
                    const uint32_t index = indexImage[texelIndex(u, v)];
                    const uint32_t level = (l >> 8) & 255;
                    row[k] = blendHalf(row[k], colours[index << 8 | level]);
                    u += du;
                    v += dv;
                    l += dl;
                }
                uL.value += uL.step;
                vL.value += vL.step;
                lL.value += lL.step;
                uR.value += uR.step;
                vR.value += vR.step;
                lR.value += lR.step;
            }
        }
    }
}
