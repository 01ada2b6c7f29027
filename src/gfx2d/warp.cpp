#include "gfx2d/warp.h"

#include <cmath>

#include "gfx2d/colour.h"
#include "gfx2d/float_int.h"
#include "gfx2d/fmath.h"
#include "gfx2d/frame.h"

GridPoint WarpGrid[kGridPoints];

namespace {

constexpr float kPi256 = 0.01227184630308513f;
constexpr float kPi128 = 0.02454369260617026f;
constexpr float kPi64 = 0.04908738521234052f;

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

namespace {

// The grid column or row at coordinate c (8 pixels apart), or -1.
int gridIndex(float c, int count) {
    if (!(c >= 0.0f && c <= 8.0f * static_cast<float>(count - 1))) return -1;
    const int k = static_cast<int>(c) / 8;
    return static_cast<float>(8 * k) == c ? k : -1;
}

// Fills terms for time t when they hold another time. Each term function
// writes what it works out into out.
template <typename Common, typename OfX, typename OfY>
void refreshTerms(WaveTerms& terms, float t, Common common, OfX ofX, OfY ofY) {
    if (terms.valid && terms.time == t) return;
    common(t, terms.common);
    for (int j = 0; j < kGridColumns; ++j) ofX(t, static_cast<float>(8 * j), terms.column[j]);
    for (int i = 0; i < kGridRows; ++i) ofY(t, static_cast<float>(8 * i), terms.row[i]);
    terms.time = t;
    terms.valid = t == t;  // a NaN time is never matched
}

// Looks up or works out the terms of (x, y), then combines them.
template <typename Common, typename OfX, typename OfY, typename Combine>
void waveMapPoint(WaveTerms& terms, float t, float x, float y, GridPoint& point, Common common, OfX ofX, OfY ofY,
                  Combine combine) {
    refreshTerms(terms, t, common, ofX, ofY);
    const int j = gridIndex(x, kGridColumns);
    const int i = gridIndex(y, kGridRows);
    float xs[3], ys[3];
    const float* xt = xs;
    const float* yt = ys;
    if (j >= 0) {
        xt = terms.column[j];
    } else {
        ofX(t, x, xs);
    }
    if (i >= 0) {
        yt = terms.row[i];
    } else {
        ofY(t, y, ys);
    }
    combine(x, y, terms.common, xt, yt, point);
}

// Wave A:
//   u = trunc(x + 24 d cos((x + t) pi/256))
//     + trunc(x + 30 sin((2.1 t + 0.75 y) pi/256) + 40 cos(t pi/128))
//   v = trunc(y + 16 d cos((y + t) pi/128))
//     + trunc(y + 30 sin((2 t + 0.75 x) pi/256) + 40 sin(t pi/128))
// with d = sin(t pi/256) + 2.
void waveACommon(float t, float* out) {
    out[0] = fm::sin(t * kPi256) + 2.0f;
    out[1] = fm::cos(t * kPi128);
    out[2] = fm::sin(t * kPi128);
}
void waveAOfX(float t, float x, float* out) {
    out[0] = fm::cos((x + t) * kPi256);
    out[1] = fm::sin((2.0f * t + 0.75f * x) * kPi256);
}
void waveAOfY(float t, float y, float* out) {
    out[0] = fm::sin((2.1f * t + 0.75f * y) * kPi256);
    out[1] = fm::cos((y + t) * kPi128);
}
void waveACombine(float x, float y, const float* c, const float* xt, const float* yt, GridPoint& point) {
    const float d = c[0];
    point.u = truncToInt(x + 24.0f * d * xt[0]) + truncToInt(x + 30.0f * yt[0] + 40.0f * c[1]);
    point.v = truncToInt(y + 16.0f * d * yt[1]) + truncToInt(y + 30.0f * xt[1] + 40.0f * c[2]);
}

// Wave B:
//   u = trunc(x + 24 d cos((t - x) pi/256) sin((x - t) pi/128))
//     + trunc(-48 e sin(x pi/64 + t))
//   v = trunc(y + 16 d sin((y + t) pi/256) cos((y + t) pi/128))
//     + trunc(48 e cos(t - y pi/64))
// with d = sin(1.2 t) + 2 and e = 1 / d.
void waveBCommon(float t, float* out) {
    out[0] = fm::sin(1.2f * t) + 2.0f;
    out[1] = 1.0f / out[0];
    out[2] = 0.0f;
}
void waveBOfX(float t, float x, float* out) {
    out[0] = fm::cos((t - x) * kPi256);
    out[1] = fm::sin((x - t) * kPi128);
    out[2] = fm::sin(x * kPi64 + t);
}
void waveBOfY(float t, float y, float* out) {
    out[0] = fm::sin((y + t) * kPi256);
    out[1] = fm::cos((y + t) * kPi128);
    out[2] = fm::cos(t - y * kPi64);
}
void waveBCombine(float x, float y, const float* c, const float* xt, const float* yt, GridPoint& point) {
    const float d = c[0];
    const float e = c[1];
    point.u = truncToInt(x + 24.0f * d * xt[0] * xt[1]) + truncToInt(-48.0f * e * xt[2]);
    point.v = truncToInt(y + 16.0f * d * yt[0] * yt[1]) + truncToInt(48.0f * e * yt[2]);
}

}  // namespace

void WaveWarpA::mapPoint(float x, float y, GridPoint& point) {
    waveMapPoint(terms, time, x, y, point, waveACommon, waveAOfX, waveAOfY, waveACombine);
}

void WaveWarpB::mapPoint(float x, float y, GridPoint& point) {
    waveMapPoint(terms, time, x, y, point, waveBCommon, waveBOfX, waveBOfY, waveBCombine);
}

PlaneWarp::PlaneWarp() : GridWarp(true) {
    for (int j = 0; j < kGridColumns; ++j) columnSine[j] = fm::sin(static_cast<float>(8 * j) * kPi128);
    for (int i = 0; i < kGridRows; ++i) rowSine[i] = fm::sin(static_cast<float>(8 * i) * kPi128);
}

void PlaneWarp::prepare() { matrix.setRotation(a1, a2, a3); }

void PlaneWarp::mapPoint(float x, float y, GridPoint& point) {
    const float e = 160.0f - x;
    const float d = 100.0f - y;
    const float* m = matrix.m;
    const float f = e * m[0] + d * m[4] + 128.0f * m[8] + m[12];
    const float g = e * m[1] + d * m[5] + 128.0f * m[9] + m[13];
    float h = e * m[2] + d * m[6] + 128.0f * m[10] + m[14];
    if (wobble != 0.0f) {
        const int j = gridIndex(x, kGridColumns);
        const int i = gridIndex(y, kGridRows);
        const float sy = i >= 0 ? rowSine[i] : fm::sin(y * kPi128);
        const float sx = j >= 0 ? columnSine[j] : fm::sin(x * kPi128);
        h += wobble * (sy + sx);
    }
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
            uint32_t* row = dst + (8 * i) * kFramePitch + 8 * j;
            for (int r = 0; r < 8; ++r, row += kFramePitch) {
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
            uint32_t* row = dst + (8 * i) * kFramePitch + 8 * j;
            for (int r = 0; r < 8; ++r, row += kFramePitch) {
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
