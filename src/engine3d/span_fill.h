// The span filler: the texture walk of one span, perspective-correct at
// every 8th pixel and linear in between, each pixel blended 50% over the
// frame buffer. The SSE2 walk and the constant-divisor steps each keep a
// plain twin: the filler must give the same pixels, bit for bit, as the
// twin does.
#pragma once

#include <cstdint>

#include "engine3d/span_types.h"

// 16.16 texel coordinate from a perspective-divided attribute: 1.0 of the
// texture coordinate is 256 texels.
int32_t texelCoord(float aOverZ, float invZ);

// Walks count pixels from u, v (16.16 texels) with steps du, dv: each pixel
// becomes the 50% blend of itself and the texel at ((v >> 16) & 255) * 256
// + ((u >> 16) & 255), read before u and v are stepped. The adds wrap.
void walkPixels(uint32_t* dst, int count, uint32_t u, uint32_t v, uint32_t du, uint32_t dv,
                const uint32_t* texture);
// walkPixels over exactly 8 pixels, in SSE2 lanes.
void walkBlock8(uint32_t* dst, uint32_t u, uint32_t v, uint32_t du, uint32_t dv, const uint32_t* texture);

// One span of a textured surface with x-gradients g into its line of the
// frame buffer; pixels from startX up to endX, clipped to the 320-pixel row.
void fillSpan(const SpanRecord& span, const SpanGradients& g, const uint32_t* texture, uint32_t* frameBuffer,
              int pitch);
// fillSpan's plain twin: every pixel through walkPixels, the last block's
// steps by a plain division.
void fillSpanPlain(const SpanRecord& span, const SpanGradients& g, const uint32_t* texture,
                   uint32_t* frameBuffer, int pitch);

// Every span of a surface, with fillSpan.
void fillSurfaceSpans(const SpanSurface& surface, const uint32_t* texture, uint32_t* frameBuffer, int pitch);
// Every span of the background surface: each pixel blended with one texel.
void fillBackgroundSpans(const SpanSurface& background, uint32_t texel, uint32_t* frameBuffer, int pitch);
