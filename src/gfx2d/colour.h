// Colour operations shared by the whole 2D kit. A pixel is 0x00RRGGBB.
#pragma once

#include <cstdint>

// Each channel halved, its lowest bit dropped; the top byte becomes zero.
inline uint32_t halfColour(uint32_t c) { return (c >> 1) & 0x7F7F7Fu; }

// The 50% mix of two colours. Each halved channel is at most 127, so the sum
// never carries into the next channel. blendHalf(c, c) is c & 0xFEFEFE.
inline uint32_t blendHalf(uint32_t a, uint32_t b) { return halfColour(a) + halfColour(b); }

// Channel-wise add clamped to 255; the top byte of the result is zero.
// Done on all three channels at once: the low seven bits of each channel are
// added without carrying across, bit 7 is added by xor, and a channel whose
// add carries out of bit 7 is set to 255.
inline uint32_t addSaturate(uint32_t a, uint32_t b) {
    const uint32_t low = (a & 0x7F7F7Fu) + (b & 0x7F7F7Fu);
    const uint32_t sum = low ^ ((a ^ b) & 0x808080u);
    const uint32_t carry = ((a & b) | ((a | b) & ~sum)) & 0x808080u;
    return (sum | (carry >> 7) * 0xFFu) & 0xFFFFFFu;
}
