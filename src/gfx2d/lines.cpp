#include "gfx2d/lines.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>

#include "gfx2d/colour.h"
#include "gfx2d/frame.h"

namespace {


// Outcode bits: below, above, right of, left of the window.
constexpr int kBelow = 1;
constexpr int kAbove = 2;
constexpr int kLeft = 4;
constexpr int kRight = 8;

int outcode(const ClipBounds& w, int32_t x, int32_t y) {
    int code = 0;
    if (y > w.bottom)
        code |= kBelow;
    else if (y < w.top)
        code |= kAbove;
    if (x > w.right)
        code |= kRight;
    else if (x < w.left)
        code |= kLeft;
    return code;
}

// Moves end points onto the window until both are inside (true) or the
// segment is seen to miss it (false). The interpolation runs in 64 bits:
// its product can exceed 32 bits for far-away end points, while the result,
// which lies between the two end points, always fits. Each move puts one
// coordinate on the window, so a handful of rounds suffice; the bound only
// guards against a rounding cycle.
bool clipLine(const ClipBounds& w, int32_t& x0, int32_t& y0, int32_t& x1, int32_t& y1) {
    int code0 = outcode(w, x0, y0);
    int code1 = outcode(w, x1, y1);
    for (int round = 0; round < 16; ++round) {
        if ((code0 | code1) == 0) return true;
        if ((code0 & code1) != 0) return false;
        const int code = code0 != 0 ? code0 : code1;
        const int64_t dx = int64_t{x1} - x0;
        const int64_t dy = int64_t{y1} - y0;
        int64_t x;
        int64_t y;
        if (code & kBelow) {
            y = w.bottom;
            x = x0 + (w.bottom - int64_t{y0}) * dx / dy;
        } else if (code & kAbove) {
            y = w.top;
            x = x0 + (w.top - int64_t{y0}) * dx / dy;
        } else if (code & kRight) {
            x = w.right;
            y = y0 + (w.right - int64_t{x0}) * dy / dx;
        } else {
            x = w.left;
            y = y0 + (w.left - int64_t{x0}) * dy / dx;
        }
        if (code == code0) {
            x0 = static_cast<int32_t>(x);
            y0 = static_cast<int32_t>(y);
            code0 = outcode(w, x0, y0);
        } else {
            x1 = static_cast<int32_t>(x);
            y1 = static_cast<int32_t>(y);
            code1 = outcode(w, x1, y1);
        }
    }
    return false;
}

// The full-colour pixel and its four blended neighbours. The caller keeps p
// inside LineWindow, so the neighbours are inside the buffer.
inline void glowPixel(uint32_t* p, uint32_t colour) {
    p[0] = colour;
    p[1] = blendHalf(p[1], colour);
    p[-1] = blendHalf(p[-1], colour);
    p[kFramePitch] = blendHalf(p[kFramePitch], colour);
    p[-kFramePitch] = blendHalf(p[-kFramePitch], colour);
}

// Bresenham walk between two end points inside the window. A tie of the
// two extents is x-major.
void rasteriseGlow(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour, uint32_t* dst) {
    const int32_t adx = std::abs(x1 - x0);
    const int32_t ady = std::abs(y1 - y0);
    const int32_t sx = x1 >= x0 ? 1 : -1;
    const int32_t sy = y1 >= y0 ? kFramePitch : -kFramePitch;
    uint32_t* p = dst + y0 * kFramePitch + x0;
    // Major and minor axis: extent and pointer step.
    const bool xMajor = adx >= ady;
    const int32_t major = xMajor ? adx : ady;
    const int32_t minor = xMajor ? ady : adx;
    const int32_t majorStep = xMajor ? sx : sy;
    const int32_t minorStep = xMajor ? sy : sx;
    int32_t error = 2 * minor - major;
    for (int32_t n = 0; n <= major; ++n) {
        glowPixel(p, colour);
        if (error < 0) {
            error += 2 * minor;
            p += majorStep;
        } else {
            error += 2 * (minor - major);
            p += majorStep + minorStep;
        }
    }
}

// Row y, all 320 columns, blended; nothing when the row is off the buffer.
void blendRow(int64_t y, uint32_t colour, uint32_t* dst) {
    if (y < 0 || y >= kFrameHeight) return;
    uint32_t* p = dst + y * kFramePitch;
    for (int32_t i = 0; i < kFrameWidth; ++i) p[i] = blendHalf(p[i], colour);
}

// Column x, all 200 rows, blended; nothing when the column is off the buffer.
void blendColumn(int64_t x, uint32_t colour, uint32_t* dst) {
    if (x < 0 || x >= kFrameWidth) return;
    uint32_t* p = dst + x;
    for (int32_t i = 0; i < kFrameHeight; ++i, p += kFramePitch) *p = blendHalf(*p, colour);
}

// The rectangle primitives trust their callers; debug builds check them.
inline void assertInside(int32_t x, int32_t y, int32_t w, int32_t h) {
    assert(x >= 0 && y >= 0 && w >= 0 && h >= 0);
    assert(int64_t{x} + w <= kFrameWidth && int64_t{y} + h <= kFrameHeight);
    (void)x;
    (void)y;
    (void)w;
    (void)h;
}

}  // namespace

void drawGlowLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour, uint32_t* dst) {
    if (!clipLine(LineWindow, x0, y0, x1, y1)) return;
    rasteriseGlow(x0, y0, x1, y1, colour, dst);
}

void drawGlowLineEx(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour,
                    const void* /*extra*/, uint32_t* dst) {
    // Its own window, with the same bounds as LineWindow.
    constexpr ClipBounds window{1, 1, 318, 198};
    if (!clipLine(window, x0, y0, x1, y1)) return;
    rasteriseGlow(x0, y0, x1, y1, colour, dst);
}

void drawPolyline(const Point2i* points, int32_t count, uint32_t colour, uint32_t* dst) {
    for (int32_t i = 1; i < count; ++i)
        drawGlowLine(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, colour, dst);
}

void drawPolygon(const Point2i* points, int32_t count, uint32_t colour, uint32_t* dst) {
    // An empty list has no point 0 to close with.
    if (count <= 0) return;
    drawPolyline(points, count, colour, dst);
    drawGlowLine(points[0].x, points[0].y, points[count - 1].x, points[count - 1].y, colour, dst);
}

void fillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, uint32_t* dst) {
    assertInside(x, y, w, h);
    if (w <= 0) return;
    uint32_t* row = dst + y * kFramePitch + x;
    for (int32_t r = 0; r < h; ++r, row += kFramePitch) std::fill_n(row, w, colour);
}

void blendRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, uint32_t* dst) {
    assertInside(x, y, w, h);
    uint32_t* row = dst + y * kFramePitch + x;
    const uint32_t half = halfColour(colour);
    for (int32_t r = 0; r < h; ++r, row += kFramePitch)
        for (int32_t i = 0; i < w; ++i) row[i] = halfColour(row[i]) + half;
}

void blendRectOutline(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, uint32_t* dst) {
    assertInside(x, y, w, h);
    if (h <= 0) return;
    uint32_t* top = dst + y * kFramePitch + x;
    uint32_t* bottom = dst + (y + h - 1) * kFramePitch + x;
    for (int32_t i = 0; i < w; ++i) top[i] = blendHalf(top[i], colour);
    for (int32_t i = 0; i < w; ++i) bottom[i] = blendHalf(bottom[i], colour);
    if (w <= 0) return;
    uint32_t* left = top + kFramePitch;
    uint32_t* right = top + kFramePitch + (w - 1);
    for (int32_t r = 0; r < h - 2; ++r, left += kFramePitch, right += kFramePitch) {
        *left = blendHalf(*left, colour);
        *right = blendHalf(*right, colour);
    }
}

void copyRect(int32_t x, int32_t y, int32_t w, int32_t h, const uint32_t* src, uint32_t* dst) {
    assertInside(x, y, w, h);
    if (w <= 0) return;
    const int32_t start = y * kFramePitch + x;
    const uint32_t* from = src + start;
    uint32_t* to = dst + start;
    for (int32_t r = 0; r < h; ++r, from += kFramePitch, to += kFramePitch) std::copy_n(from, w, to);
}

void blendGuideLines(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, uint32_t* dst) {
    blendRow(y, colour, dst);
    blendRow(int64_t{y} + h - 1, colour, dst);
    blendColumn(x, colour, dst);
    blendColumn(int64_t{x} + w - 1, colour, dst);
}

void blendCrosshair(int32_t x, int32_t y, uint32_t colour, uint32_t* dst) {
    blendRow(y, colour, dst);
    blendColumn(x, colour, dst);
}

MaskWipe::MaskWipe(const uint8_t* mask_, const uint32_t* source_) : source(source_), mask(mask_) {}

void MaskWipe::revealLevel(uint32_t* dst) const {
    // A level outside 0 .. 255 matches no mask byte.
    if (level < 0 || level > 255) return;
    const uint8_t l = static_cast<uint8_t>(level);
    const uint8_t* m = mask;
    const uint32_t* s = source;
    // Both values are read for every pixel so that the select vectorises.
    for (int32_t i = 0; i < kFramePixels; ++i) {
        const uint32_t from = s[i];
        const uint32_t keep = dst[i];
        dst[i] = m[i] == l ? from : keep;
    }
}

void MaskWipe::fillUpToLevel(uint32_t* dst, uint32_t colour) const {
    if (level < 0) return;
    const uint8_t l = static_cast<uint8_t>(level > 255 ? 255 : level);
    const uint8_t* m = mask;
    for (int32_t i = 0; i < kFramePixels; ++i) dst[i] = m[i] <= l ? colour : dst[i];
}
