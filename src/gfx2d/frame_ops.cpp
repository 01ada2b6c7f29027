#include "gfx2d/frame_ops.h"

#include <cstring>

#include "gfx2d/colour.h"
#include "gfx2d/frame.h"

void blendFrameHalf(const uint32_t* picture, uint32_t* dst) {
    for (int i = 0; i < kFramePixels; ++i) dst[i] = blendHalf(dst[i], picture[i]);
}

void copyFrame(const uint32_t* picture, uint32_t* dst) { std::memcpy(dst, picture, kFramePixels * sizeof(uint32_t)); }
