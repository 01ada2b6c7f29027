// Whole-frame operations that many parts use every frame.
#pragma once

#include <cstdint>

// Every pixel of dst becomes blendHalf(dst, picture): a full-screen picture
// mixed 50% into the frame, so that what was drawn before fades by half.
void blendFrameHalf(const uint32_t* picture, uint32_t* dst);
// dst becomes a copy of the 320x200 picture.
void copyFrame(const uint32_t* picture, uint32_t* dst);
