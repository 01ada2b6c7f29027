// Colour operations shared by the whole 2D kit. A pixel is 0x00RRGGBB.
#pragma once

#include <cstdint>

// Each channel halved, its lowest bit dropped; the top byte becomes zero.
inline uint32_t halfColour(uint32_t c) { return (c >> 1) & 0x7F7F7Fu; }

// The 50% mix of two colours. Each halved channel is at most 127, so the sum
// never carries into the next channel. blendHalf(c, c) is c & 0xFEFEFE.
inline uint32_t blendHalf(uint32_t a, uint32_t b) { return halfColour(a) + halfColour(b); }

// Channel-wise add clamped to 255; the top byte of the result is zero.
inline uint32_t addSaturate(uint32_t a, uint32_t b) {
    uint32_t r = ((a >> 16) & 0xFFu) + ((b >> 16) & 0xFFu);
    uint32_t g = ((a >> 8) & 0xFFu) + ((b >> 8) & 0xFFu);
    uint32_t bl = (a & 0xFFu) + (b & 0xFFu);
    r = r > 255u ? 255u : r;
    g = g > 255u ? 255u : g;
    bl = bl > 255u ? 255u : bl;
    return (r << 16) | (g << 8) | bl;
}
