// The frame picture of the two raytraced parts: rows 0..29 and 170..199 of
// rayflare.rgb around the 140 raytraced rows.
#pragma once

#include <cstring>

#include "data/image_bank.h"
#include "stage/stage.h"

inline void drawRayFrameBands(uint32_t* dst) {
    constexpr int kBandPixels = 30 * kFrameWidth;
    constexpr int kLowerBand = 170 * kFrameWidth;
    std::memcpy(dst, img::rayflare, sizeof(uint32_t) * kBandPixels);
    std::memcpy(dst + kLowerBand, img::rayflare + kLowerBand, sizeof(uint32_t) * kBandPixels);
}
