#include "gfx2d/frame_ops.h"

#include <cstring>

#include "gfx2d/colour.h"

void blendFrameHalf(const uint32_t* picture, uint32_t* dst) {
    for (int i = 0; i < 320 * 200; ++i) dst[i] = blendHalf(dst[i], picture[i]);
}

void copyFrame(const uint32_t* picture, uint32_t* dst) { std::memcpy(dst, picture, 320 * 200 * sizeof(uint32_t)); }
