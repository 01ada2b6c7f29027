// Glow lines, rectangles, guide lines and mask wipes.
//
// Every destination (the last argument) is a 320x200 buffer of 0x00RRGGBB
// pixels, pitch 320. "Blend" means blendHalf(destination, colour).
// The line primitives clip to LineWindow; the rectangle primitives trust the
// caller to keep the rectangle inside the buffer (checked by assert in debug
// builds). The guide lines and crosshair skip a row or column that lies
// outside the buffer.
#pragma once

#include <cstdint>

#include "gfx2d/sprite.h"

// One pixel inside the buffer on every side, so that the four neighbours of
// every line pixel stay inside.
inline constexpr ClipBounds LineWindow{1, 1, 318, 198};

// An entry of a point list (polylines, polygons, projected wire vertices).
struct Point2i {
    int32_t x;
    int32_t y;
};

// Clipped Bresenham line at full colour with a half-blended one-pixel halo
// (the four neighbours of each pixel are blended).
void drawGlowLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour, uint32_t* dst);
// The same picture as drawGlowLine; extra is not used.
void drawGlowLineEx(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour,
                    const void* extra, uint32_t* dst);
// Lines from point i-1 to point i for i = 1 .. count-1.
void drawPolyline(const Point2i* points, int32_t count, uint32_t colour, uint32_t* dst);
// drawPolyline, then a closing line from point 0 to point count-1.
void drawPolygon(const Point2i* points, int32_t count, uint32_t colour, uint32_t* dst);

// The w x h block at (x, y) set to colour.
void fillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, uint32_t* dst);
// Every pixel of the block blended with colour.
void blendRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, uint32_t* dst);
// Top and bottom rows, then the left and right columns between them, blended.
void blendRectOutline(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, uint32_t* dst);
// The block of src copied to the same place in dst (both pitch 320).
void copyRect(int32_t x, int32_t y, int32_t w, int32_t h, const uint32_t* src, uint32_t* dst);
// Full-width rows y and y+h-1 and full-height columns x and x+w-1 blended;
// crossings are blended twice.
void blendGuideLines(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, uint32_t* dst);
// Full-width row y and full-height column x blended; the crossing twice.
void blendCrosshair(int32_t x, int32_t y, uint32_t colour, uint32_t* dst);

// A wipe driven by a 64000-byte pattern: the caller steps level.
struct MaskWipe {
    int32_t level = 0;
    const uint32_t* source;  // 320x200 picture, not owned
    const uint8_t* mask;     // one byte per pixel, frame-buffer order, not owned

    MaskWipe(const uint8_t* mask, const uint32_t* source);

    // dst[i] = source[i] where mask[i] == level.
    void revealLevel(uint32_t* dst) const;
    // dst[i] = colour where mask[i] <= level.
    void fillUpToLevel(uint32_t* dst, uint32_t colour) const;
};
