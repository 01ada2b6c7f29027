#include "gfx2d/map_table.h"

#include <algorithm>
#include <cmath>

#include "gfx2d/colour.h"
#include "gfx2d/float_int.h"
#include "gfx2d/fmath.h"
#include "gfx2d/frame.h"

namespace {

constexpr float k256OverPi = 81.48733086305042f;

// A coordinate of exactly zero is nudged so that no map divides by zero.
inline float nudge(float c, float epsilon) { return c == 0.0f ? epsilon : c; }

// One screen row of texels: dst[i] = texture[(entries[i] + offset) & 0xFFFF].
// The 16-bit sum wraps by itself.
inline void copyRow(uint32_t* __restrict dst, const uint16_t* __restrict entries, int32_t count, uint16_t offset,
                    const uint32_t* __restrict texture) {
    for (int32_t i = 0; i < count; ++i) dst[i] = texture[static_cast<uint16_t>(entries[i] + offset)];
}

inline void blendRow(uint32_t* __restrict dst, const uint16_t* __restrict entries, int32_t count, uint16_t offset,
                     const uint32_t* __restrict texture) {
    for (int32_t i = 0; i < count; ++i)
        dst[i] = blendHalf(dst[i], texture[static_cast<uint16_t>(entries[i] + offset)]);
}

}  // namespace

MapFunction::~MapFunction() = default;

void TunnelMap::map(float x, float y, int32_t& u, int32_t& v) const {
    const float a = fm::atan(y / x);
    u = truncToInt(std::fabs(fm::cos(a) * k / x));
    v = truncToInt(a * k256OverPi);
}

void PolarMap::map(float x, float y, int32_t& u, int32_t& v) const {
    u = truncToInt((x * x + y * y) * k);
    v = truncToInt(fm::atan(y / x) * k256OverPi);
}

void InversionMap::map(float x, float y, int32_t& u, int32_t& v) const {
    const float r2 = x * x + y * y;
    u = truncToInt(x * k / r2);
    v = truncToInt(-y * k / r2);
}

MapTable::MapTable(const MapFunction& function) {
    uint16_t* e = entries;
    for (int y = -kHeight / 2; y < kHeight / 2; ++y) {
        for (int x = -kWidth / 2; x < kWidth / 2; ++x) {
            int32_t u, v;
            function.map(nudge(static_cast<float>(x), 0.001f), nudge(static_cast<float>(y), 0.001f), u, v);
            *e++ = mapEntry(u, v);
        }
    }
}

MapTable::~MapTable() = default;

void MapTable::draw(uint32_t* dst, const uint32_t* texture) const {
    copyRow(dst, entries, kWidth * kHeight, static_cast<uint16_t>(offset), texture);
}

void MapTable::drawHalf(uint32_t* dst, const uint32_t* texture) const {
    blendRow(dst, entries, kWidth * kHeight, static_cast<uint16_t>(offset), texture);
}

BigMapTable::BigMapTable(const MapFunction& function) {
    uint16_t* e = entries;
    for (int y = -kHeight / 2; y < kHeight / 2; ++y) {
        for (int x = -kWidth / 2; x < kWidth / 2; ++x) {
            int32_t u, v;
            function.map(nudge(static_cast<float>(x), 0.00001f), nudge(static_cast<float>(y), 0.00001f), u, v);
            *e++ = mapEntry(u, v);
        }
    }
}

BigMapTable::~BigMapTable() = default;

void BigMapTable::draw(uint32_t* dst, const uint32_t* texture) const {
    const uint16_t* e = entries + std::clamp(window, 0, kMaxWindow);
    const uint16_t off = static_cast<uint16_t>(offset);
    for (int row = 0; row < kFrameHeight; ++row, e += kWidth, dst += kFramePitch)
        copyRow(dst, e, kFrameWidth, off, texture);
}

void BigMapTable::drawHalf(uint32_t* dst, const uint32_t* texture) const {
    const uint16_t* e = entries + std::clamp(window, 0, kMaxWindow);
    const uint16_t off = static_cast<uint16_t>(offset);
    for (int row = 0; row < kFrameHeight; ++row, e += kWidth, dst += kFramePitch)
        blendRow(dst, e, kFrameWidth, off, texture);
}
