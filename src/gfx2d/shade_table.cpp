#include "gfx2d/shade_table.h"

namespace {

// floor((a*128 + k*(b - a)) / 128): the numerator is never negative for
// k in 0 .. 128, so integer division is the floor and the result is exact.
uint32_t mixChannel(uint32_t a, uint32_t b, int32_t k) {
    const int32_t num = static_cast<int32_t>(a) * 128 + k * (static_cast<int32_t>(b) - static_cast<int32_t>(a));
    return static_cast<uint32_t>(num / 128);
}

uint32_t mixColour(uint32_t a, uint32_t b, int32_t k) {
    return mixChannel((a >> 16) & 0xFF, (b >> 16) & 0xFF, k) << 16 |
           mixChannel((a >> 8) & 0xFF, (b >> 8) & 0xFF, k) << 8 | mixChannel(a & 0xFF, b & 0xFF, k);
}

}  // namespace

ShadeTable::ShadeTable(const uint32_t* palette, uint32_t low, uint32_t high)
    : table_(new uint32_t[kEntries]) {
    for (int p = 0; p < 256; ++p) {
        const uint32_t colour = palette[p];
        uint32_t* row = table_.get() + p * kLevels;
        // Levels 0 .. 127 run from low up to the palette colour, 128 .. 255
        // from the palette colour toward high.
        for (int k = 0; k < 128; ++k) row[k] = mixColour(low, colour, k);
        for (int k = 128; k < 256; ++k) row[k] = mixColour(colour, high, k - 128);
    }
}
