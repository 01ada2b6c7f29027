// The frame buffer's clip rectangle and the clipped sprite draws.
//
// Every destination is a 320x200 buffer of 0x00RRGGBB pixels, pitch 320
// (normally FrameBuffer). Sprites clip once per call against ClipRect and
// then walk rows with two pointers.
#pragma once

#include <cstdint>

// A rectangle of inclusive bounds.
struct ClipBounds {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The whole frame buffer; read only by the sprite draws.
inline constexpr ClipBounds ClipRect{0, 0, 319, 199};

// A picture placed at an integer position. Plain record: parts move it by
// writing x and y before each draw. The pixels are not owned (they live in
// the image bank); width is also their row pitch.
struct Sprite {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width;
    int32_t height;
    uint32_t key;  // transparent colour of the keyed modes (all 32 bits compared)
    const uint32_t* pixels;

    Sprite(const uint32_t* pixels, int32_t width, int32_t height, uint32_t key);

    // Source pixels other than key are copied.
    void drawKeyed(uint32_t* dst) const;
    // Source pixels s other than key turn the destination d into blendHalf(d, s).
    void drawKeyedHalf(uint32_t* dst) const;
    // Non-zero source pixels are added with saturation; key is ignored.
    void drawAdditive(uint32_t* dst) const;
};
