#include "gfx2d/sprite.h"

#include "gfx2d/colour.h"
#include "gfx2d/frame.h"

namespace {


// The visible part of a sprite: where its first visible pixel comes from and
// goes to, how many pixels per row and how many rows.
struct SpriteSpan {
    const uint32_t* src;
    uint32_t* dst;
    int32_t cols;
    int32_t rows;
};

// Cuts the sprite to ClipRect once per call. Arithmetic in 64 bits so that
// no position or size can overflow; false when nothing is visible.
bool clipSprite(const Sprite& s, uint32_t* dst, SpriteSpan& span) {
    const int64_t x = s.x;
    const int64_t y = s.y;
    const int64_t w = s.width;
    const int64_t h = s.height;
    if (s.pixels == nullptr || w <= 0 || h <= 0) return false;
    if (x > ClipRect.right || y > ClipRect.bottom || y + h - 1 < ClipRect.top ||
        x + w - 1 < ClipRect.left)
        return false;

    int64_t cols = w;
    int64_t rows = h;
    int64_t srcOffset = 0;
    int64_t dx = x;
    int64_t dy = y;
    if (x + w - 1 > ClipRect.right) cols = w - ((x + w - 1) - ClipRect.right);
    if (x < ClipRect.left) {
        const int64_t d = ClipRect.left - x;
        cols -= d;
        srcOffset = d;
        dx = ClipRect.left;
    }
    if (y + h - 1 > ClipRect.bottom) rows -= (y + h - 1) - ClipRect.bottom;
    if (y < ClipRect.top) {
        const int64_t d = ClipRect.top - y;
        srcOffset += d * w;
        rows -= d;
        dy = ClipRect.top;
    }
    if (rows <= 0 || cols <= 0) return false;

    span.src = s.pixels + srcOffset;
    span.dst = dst + dy * kFramePitch + dx;
    span.cols = static_cast<int32_t>(cols);
    span.rows = static_cast<int32_t>(rows);
    return true;
}

// The row walk shared by the three modes; op(d, s) gives the new pixel.
// Every pixel of the span is written (unchanged where transparent), which
// keeps the loop free of branches so that it vectorises.
template <typename Op>
void walkSpan(const SpriteSpan& span, int32_t srcPitch, Op op) {
    const uint32_t* src = span.src;
    uint32_t* dst = span.dst;
    for (int32_t row = 0; row < span.rows; ++row) {
        for (int32_t i = 0; i < span.cols; ++i) dst[i] = op(dst[i], src[i]);
        src += srcPitch;
        dst += kFramePitch;
    }
}

}  // namespace

Sprite::Sprite(const uint32_t* pixels_, int32_t width_, int32_t height_, uint32_t key_)
    : width(width_), height(height_), key(key_), pixels(pixels_) {}

void Sprite::drawKeyed(uint32_t* dst) const {
    SpriteSpan span;
    if (!clipSprite(*this, dst, span)) return;
    const uint32_t k = key;
    walkSpan(span, width, [k](uint32_t d, uint32_t s) { return s != k ? s : d; });
}

void Sprite::drawKeyedHalf(uint32_t* dst) const {
    SpriteSpan span;
    if (!clipSprite(*this, dst, span)) return;
    const uint32_t k = key;
    walkSpan(span, width, [k](uint32_t d, uint32_t s) { return s != k ? blendHalf(d, s) : d; });
}

void Sprite::drawAdditive(uint32_t* dst) const {
    SpriteSpan span;
    if (!clipSprite(*this, dst, span)) return;
    walkSpan(span, width, [](uint32_t d, uint32_t s) { return s != 0 ? addSaturate(d, s) : d; });
}
