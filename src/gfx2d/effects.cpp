#include "gfx2d/effects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "gfx2d/colour.h"
#include "gfx2d/float_int.h"
#include "gfx2d/fmath.h"
#include "gfx2d/frame.h"

namespace {

constexpr float kPi64 = 0.04908738521234052f;
constexpr float kPi100 = 0.031415926535897934f;
constexpr float kPi128 = 0.02454369260617026f;
constexpr float kPi180 = 0.017453292519943295f;
constexpr float kPi256 = 0.01227184630308513f;

}  // namespace

// ---- BlobField ----

BlobField::BlobField(int32_t count, const uint32_t* picture_, uint32_t threshold_)
    : blobs(new Blob[count > 0 ? count : 1]()),
      blobCount(count > 0 ? count : 0),
      falloff(new int32_t[kFalloffRows * kFalloffColumns]),
      field(),
      threshold(threshold_),
      picture(picture_) {
    for (int dy = 0; dy < kFalloffRows; ++dy) {
        for (int dx = 0; dx < kFalloffColumns; ++dx) {
            const float d = std::sqrt(static_cast<float>(dy * dy + dx * dx));
            falloff[dy * kFalloffColumns + dx] = truncToInt(65536.0f / std::max(d, 0.3f));
        }
    }
}

void BlobField::update(float t) {
    const float s = fm::sin(t * kPi180);
    const float k = fm::cos(t * 0.02026833970057931f);
    for (int32_t i = 0; i < blobCount; ++i) {
        const float e = t + 10.0f * static_cast<float>(i);
        const float angle = e * kPi100;
        const float sign1 = (i & 1) ? -1.0f : 1.0f;
        const float sign2 = -sign1;
        blobs[i].x = truncToInt(fm::cos(angle) * sign1 * s * 120.0f + 160.0f);
        blobs[i].y = truncToInt(fm::sin(angle) * sign2 * k * 70.0f + 100.0f);
        blobs[i].strength = truncToInt(fm::cos(e * kPi128) * 256.0f + 768.0f);
    }
}

void BlobField::draw(uint32_t* dst) {
    // 1. The field at the grid points, summed blob by blob (the sum is
    // unsigned and wraps, so the order does not matter). Distances beyond
    // the falloff table (blobs far off their usual path) use its last row
    // or column.
    std::fill(std::begin(field), std::end(field), 0u);
    // Rows outer: consecutive columns read neighbouring entries of one
    // falloff row, which keeps the 400 KB table's reads in cache lines.
    for (int32_t b = 0; b < blobCount; ++b) {
        const Blob blob = blobs[b];
        int32_t columnAt[kFieldColumns];
        for (int c = 0; c < kFieldColumns; ++c)
            columnAt[c] = static_cast<int32_t>(std::min<int64_t>(std::llabs(int64_t{4 * c} - blob.x), kFalloffColumns - 1));
        const uint32_t strength = static_cast<uint32_t>(blob.strength);
        for (int r = 0; r < kFieldRows; ++r) {
            const int64_t dy = std::min<int64_t>(std::llabs(int64_t{4 * r} - blob.y), kFalloffRows - 1);
            const int32_t* line = falloff.get() + dy * kFalloffColumns;
            for (int c = 0; c < kFieldColumns; ++c)
                field[c * kFieldRows + r] += static_cast<uint32_t>(line[columnAt[c]]) * strength;
        }
    }
    for (uint32_t& value : field) value = std::min<uint32_t>(value >> 16, 255);

    // 2. Each 4x4 cell with a corner at or above the threshold is
    // interpolated in 8.8 fixed point; the picture shows where the value
    // exceeds the threshold.
    if (picture == nullptr) return;
    for (int r = 0; r < kFieldRows - 1; ++r) {
        for (int c = 0; c < kFieldColumns - 1; ++c) {
            const int32_t tl = static_cast<int32_t>(field[c * kFieldRows + r]);
            const int32_t tr = static_cast<int32_t>(field[(c + 1) * kFieldRows + r]);
            const int32_t bl = static_cast<int32_t>(field[c * kFieldRows + r + 1]);
            const int32_t br = static_cast<int32_t>(field[(c + 1) * kFieldRows + r + 1]);
            const int32_t th = static_cast<int32_t>(std::min<uint32_t>(threshold, 256));
            if (tl < th && tr < th && bl < th && br < th) continue;
            int32_t left = tl * 256;
            int32_t right = tr * 256;
            const int32_t leftStep = (bl - tl) * 64;
            const int32_t rightStep = (br - tr) * 64;
            const int32_t offset = (4 * r) * kFramePitch + 4 * c;
            uint32_t* out = dst + offset;
            const uint32_t* in = picture + offset;
            for (int y = 0; y < 4; ++y, out += kFramePitch, in += kFramePitch) {
                const int32_t step = (right - left) >> 2;
                int32_t value = left;
                for (int x = 0; x < 4; ++x, value += step)
                    if (static_cast<uint32_t>((value >> 8) & 255) > threshold) out[x] = in[x];
                left += leftStep;
                right += rightStep;
            }
        }
    }
}

// ---- CurveWire ----

CurveWire::CurveWire(int32_t count, float scale_, float centreX_, float centreY_)
    : pointCount(count > 0 ? count : 0),
      centreX(centreX_),
      centreY(centreY_),
      scale(scale_),
      points(new Point2i[count > 0 ? count : 1]()) {}

void CurveWire::update(float t) {
    // The named intermediates F, G, O, L, H and A*E are single precision;
    // everything else is evaluated in double, as the curve was tuned that way.
    const double a = 0.03 * t;
    const double c = fm::cos(0.1 * a);
    const double d = fm::sin(0.1 * a);
    const double b = fm::cos(0.05 * a);
    const double r = scale;
    for (int32_t i = 0; i < pointCount; ++i) {
        const double e = 0.03 * i + 1.5;
        const float f = static_cast<float>(fm::cos(a + e));
        const float g = static_cast<float>(fm::sin(a + e));
        const float ae = static_cast<float>(a * e);
        const float o = fm::cos(ae);
        const float l = static_cast<float>(r * b);
        const float h = static_cast<float>(r * o);
        const double m = e * r * f;
        points[i].x = truncToInt(static_cast<float>((g * f * l + m * o) * c + h * g * d + centreX));
        points[i].y = truncToInt(static_cast<float>((m * fm::sin(ae) + f * f * l) * c + h * f * d + centreY));
    }
}

void CurveWire::draw(uint32_t* dst) const { drawPolyline(points.get(), pointCount, 0xFFFFFF, dst); }

// ---- TwistScroller ----

TwistScroller::TwistScroller(const uint32_t* picture_, int32_t sourceColumns_, int32_t height_,
                             int32_t screenX_, int32_t columns_)
    : sourceColumns(sourceColumns_),
      height(height_),
      screenX(screenX_),
      columns(columns_),
      H256(height_ * 256),
      picture(picture_) {
    const float h256 = static_cast<float>(H256);
    for (int k = 0; k < kTwistSteps; ++k) {
        faceA[k] = truncToInt(fm::cos(static_cast<float>(k) * kPi256) * h256);
        faceB[k] = truncToInt(fm::cos(static_cast<float>(128 - k) * kPi256) * h256);
    }
}

namespace {

// Blends `count` strip pixels into a screen column from row `top` down; the
// n-th row takes strip pixel (n * step) >> 8 (step in 24.8, 256 = one pixel
// per row). Rows outside the buffer are skipped.
void blendColumnRun(uint32_t* column, int64_t top, int64_t count, const uint32_t* strip, int64_t step) {
    const int64_t first = std::max<int64_t>(0, -top);
    const int64_t last = std::min<int64_t>(count, kFrameHeight - top);
    uint32_t* p = column + (top + first) * kFramePitch;
    int64_t a = first * step;
    for (int64_t n = first; n < last; ++n, p += kFramePitch, a += step) *p = blendHalf(*p, strip[a >> 8]);
}

}  // namespace

void TwistScroller::draw(uint32_t* dst) const {
    // Without a picture or with empty strips there is nothing to show; a
    // height whose table entries are zero would divide by zero below.
    if (picture == nullptr || sourceColumns <= 0 || height <= 0 || columns <= 0) return;
    int64_t e = int64_t{leftTwist} * 256;
    const int64_t de = (int64_t{rightTwist} - leftTwist) * 256 / kFrameWidth;
    float phase = wavePhase;
    // Strip pixel a >> 8 stays inside the strip even if H256 was written.
    const int64_t h256 = std::min<int64_t>(H256, int64_t{height} * 256);
    const bool narrow = h256 >= 0 && h256 < (int64_t{1} << 22);
    for (int32_t i = 0; i < columns; ++i, e += de, phase += waveStep) {
        const int64_t x = int64_t{screenX} + i;
        if (x < 0 || x >= kFrameWidth) continue;
        const int32_t l = truncToInt(fm::sin(phase * kPi64) * 10.0f + 20.0f);
        const int32_t g = static_cast<int32_t>((e >> 8) & (kTwistSteps - 1));
        // Strips wrap around the picture, so any scroll position shows a strip.
        int64_t k = (int64_t{scroll} + i) % sourceColumns;
        if (k < 0) k += sourceColumns;
        const uint32_t* strip = picture + k * height;
        uint32_t* column = dst + x;
        if (g == 0) {
            blendColumnRun(column, height / 2 + l, height, strip, 256);
            continue;
        }
        const int64_t o = faceA[g];
        const int64_t t = faceB[g];
        if (o <= 0 || t <= 0) continue;
        int64_t wA, wB, rowsA, rowsB;
        if (narrow) {
            // The same quotients of non-negative values below 2^31, by the
            // cheaper 32-bit divide.
            const auto a = static_cast<uint32_t>(h256 * 256);
            wA = a / static_cast<uint32_t>(o);
            wB = a / static_cast<uint32_t>(t);
        } else {
            wA = h256 * 256 / o;
            wB = h256 * 256 / t;
        }
        // A face narrower than a step (only when H256 was written smaller
        // than the table was made for) has no rows.
        if (wA <= 0 || wB <= 0) continue;
        // Rows of each face: the steps of a from 0 while a < H256.
        if (narrow) {
            rowsA = static_cast<uint32_t>(h256 + wA - 1) / static_cast<uint32_t>(wA);
            rowsB = static_cast<uint32_t>(h256 + wB - 1) / static_cast<uint32_t>(wB);
        } else {
            rowsA = (h256 + wA - 1) / wA;
            rowsB = (h256 + wB - 1) / wB;
        }
        const int64_t top = height - ((o + t) >> 9) + l;
        blendColumnRun(column, top, rowsA, strip, wA);
        blendColumnRun(column, top + rowsA, rowsB, strip, wB);
    }
}
