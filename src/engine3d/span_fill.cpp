#include "engine3d/span_fill.h"

#include <emmintrin.h>

#include "gfx2d/float_int.h"

namespace {

// Texel coordinates are held at the largest float below 2^31. The closing
// part's spans do reach beyond it (texture coordinates over 128, or 1/z
// near zero at a span's end), and the steps of the block that follows
// start from the held value, so the bound is part of the picture.
constexpr float kMaxTexelCoord = 2147483520.0f;

inline void blendTexel(uint32_t* dst, uint32_t texel) {
    *dst = ((texel & 0xFEFEFEu) + (*dst & 0xFEFEFEu)) >> 1;
}

// x / count, truncating toward zero, for the 1..8 pixels of a span's last
// block. Each case divides by a constant, which the compiler turns into a
// multiply and shifts (the same quotient); a 64-bit divide instruction per
// span was a tenth of the frame.
inline int64_t divideByCount(int64_t x, int count) {
    switch (count) {
        case 1: return x;
        case 2: return x / 2;
        case 3: return x / 3;
        case 4: return x / 4;
        case 5: return x / 5;
        case 6: return x / 6;
        case 7: return x / 7;
        case 8: return x / 8;
        default: return x / count;
    }
}

// The filler, with the fast walk and divides or (Plain) their twins. Kept
// inline in the loop over a surface's spans: a call per span costs about
// 2% of a frame of the closing part.
template <bool Plain>
[[gnu::always_inline]] inline void fillSpanWith(const SpanRecord& span, const SpanGradients& g, const uint32_t* texture, uint32_t* frameBuffer,
                  int pitch) {
    int x0 = static_cast<int>((static_cast<int64_t>(span.startX) + 0xFFFF) >> 16);
    int x1 = static_cast<int>((static_cast<int64_t>(span.endX) + 0xFFFF) >> 16);
    float invZ = span.invZ;
    float uOverZ = span.uOverZ;
    float vOverZ = span.vOverZ;
    // An edge that drifted off the row starts the span at the row's end.
    if (x0 < 0) {
        const float skip = static_cast<float>(-x0);
        invZ += skip * g.invZ;
        uOverZ += skip * g.uOverZ;
        vOverZ += skip * g.vOverZ;
        x0 = 0;
    }
    if (x1 > kScreenWidth) x1 = kScreenWidth;
    const int n = x1 - x0;
    if (n <= 0) return;
    uint32_t* dst = frameBuffer + span.line * pitch + x0;
    int32_t u = texelCoord(uOverZ, invZ);
    int32_t v = texelCoord(vOverZ, invZ);
    const int blocks = n >= 9 ? (n - 1) / 8 : 0;
    const float blockInvZ = 8.0f * g.invZ;
    const float blockU = 8.0f * g.uOverZ;
    const float blockV = 8.0f * g.vOverZ;
    float iz = invZ;
    float uz = uOverZ;
    float vz = vOverZ;
    for (int b = 0; b < blocks; ++b) {
        iz += blockInvZ;
        uz += blockU;
        vz += blockV;
        const int32_t uEnd = texelCoord(uz, iz);
        const int32_t vEnd = texelCoord(vz, iz);
        const auto du = static_cast<uint32_t>(static_cast<int32_t>((static_cast<int64_t>(uEnd) - u) >> 3));
        const auto dv = static_cast<uint32_t>(static_cast<int32_t>((static_cast<int64_t>(vEnd) - v) >> 3));
        if (Plain) {
            walkPixels(dst, 8, static_cast<uint32_t>(u), static_cast<uint32_t>(v), du, dv, texture);
        } else {
            walkBlock8(dst, static_cast<uint32_t>(u), static_cast<uint32_t>(v), du, dv, texture);
        }
        dst += 8;
        u = uEnd;
        v = vEnd;
    }
    const int rest = n - 8 * blocks;
    const float fn = static_cast<float>(n);
    const float izEnd = invZ + fn * g.invZ;
    const int32_t uEnd = texelCoord(uOverZ + fn * g.uOverZ, izEnd);
    const int32_t vEnd = texelCoord(vOverZ + fn * g.vOverZ, izEnd);
    const int64_t uSpan = static_cast<int64_t>(uEnd) - u;
    const int64_t vSpan = static_cast<int64_t>(vEnd) - v;
    const auto du = static_cast<uint32_t>(static_cast<int32_t>(Plain ? uSpan / rest : divideByCount(uSpan, rest)));
    const auto dv = static_cast<uint32_t>(static_cast<int32_t>(Plain ? vSpan / rest : divideByCount(vSpan, rest)));
    if (!Plain && rest == 8) {
        walkBlock8(dst, static_cast<uint32_t>(u), static_cast<uint32_t>(v), du, dv, texture);
    } else {
        walkPixels(dst, rest, static_cast<uint32_t>(u), static_cast<uint32_t>(v), du, dv, texture);
    }
}

}  // namespace

int32_t texelCoord(float aOverZ, float invZ) {
    const float texels = aOverZ * 16777216.0f / invZ;
    return truncToInt(texels > kMaxTexelCoord ? kMaxTexelCoord : texels);
}

void walkPixels(uint32_t* dst, int count, uint32_t u, uint32_t v, uint32_t du, uint32_t dv,
                const uint32_t* texture) {
    for (int i = 0; i < count; ++i) {
        blendTexel(dst + i, texture[((v >> 16) & 0xFFu) * 256u + ((u >> 16) & 0xFFu)]);
        u += du;
        v += dv;
    }
}

// The texel offsets of the 8 pixels worked out in 32-bit lanes (the same
// wrapping adds as the scalar walk), the texels fetched one by one and the
// blend done 4 pixels at a time.
void walkBlock8(uint32_t* dst, uint32_t u, uint32_t v, uint32_t du, uint32_t dv, const uint32_t* texture) {
    const __m128i u0 = _mm_setr_epi32(static_cast<int32_t>(u), static_cast<int32_t>(u + du),
                                      static_cast<int32_t>(u + 2u * du), static_cast<int32_t>(u + 3u * du));
    const __m128i v0 = _mm_setr_epi32(static_cast<int32_t>(v), static_cast<int32_t>(v + dv),
                                      static_cast<int32_t>(v + 2u * dv), static_cast<int32_t>(v + 3u * dv));
    const __m128i u1 = _mm_add_epi32(u0, _mm_set1_epi32(static_cast<int32_t>(4u * du)));
    const __m128i v1 = _mm_add_epi32(v0, _mm_set1_epi32(static_cast<int32_t>(4u * dv)));
    const __m128i lowByte = _mm_set1_epi32(0xFF);
    const __m128i highByte = _mm_set1_epi32(0xFF00);
    // ((v >> 16) & 0xFF) * 256 + ((u >> 16) & 0xFF): below 65536, so each
    // offset is read out as the low 16-bit word of its lane.
    const __m128i i0 = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(v0, 8), highByte),
                                    _mm_and_si128(_mm_srli_epi32(u0, 16), lowByte));
    const __m128i i1 = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(v1, 8), highByte),
                                    _mm_and_si128(_mm_srli_epi32(u1, 16), lowByte));
    const __m128i t0 = _mm_setr_epi32(
        static_cast<int32_t>(texture[_mm_extract_epi16(i0, 0)]), static_cast<int32_t>(texture[_mm_extract_epi16(i0, 2)]),
        static_cast<int32_t>(texture[_mm_extract_epi16(i0, 4)]), static_cast<int32_t>(texture[_mm_extract_epi16(i0, 6)]));
    const __m128i t1 = _mm_setr_epi32(
        static_cast<int32_t>(texture[_mm_extract_epi16(i1, 0)]), static_cast<int32_t>(texture[_mm_extract_epi16(i1, 2)]),
        static_cast<int32_t>(texture[_mm_extract_epi16(i1, 4)]), static_cast<int32_t>(texture[_mm_extract_epi16(i1, 6)]));
    const __m128i mask = _mm_set1_epi32(0xFEFEFE);
    __m128i* out = reinterpret_cast<__m128i*>(dst);
    const __m128i d0 = _mm_loadu_si128(out);
    const __m128i d1 = _mm_loadu_si128(out + 1);
    _mm_storeu_si128(out, _mm_srli_epi32(_mm_add_epi32(_mm_and_si128(t0, mask), _mm_and_si128(d0, mask)), 1));
    _mm_storeu_si128(out + 1, _mm_srli_epi32(_mm_add_epi32(_mm_and_si128(t1, mask), _mm_and_si128(d1, mask)), 1));
}

void fillSpan(const SpanRecord& span, const SpanGradients& g, const uint32_t* texture, uint32_t* frameBuffer,
              int pitch) {
    fillSpanWith<false>(span, g, texture, frameBuffer, pitch);
}

void fillSpanPlain(const SpanRecord& span, const SpanGradients& g, const uint32_t* texture,
                   uint32_t* frameBuffer, int pitch) {
    fillSpanWith<true>(span, g, texture, frameBuffer, pitch);
}

void fillSurfaceSpans(const SpanSurface& surface, const uint32_t* texture, uint32_t* frameBuffer, int pitch) {
    for (const SpanRecord* s = surface.spans; s != nullptr; s = s->next)
        fillSpanWith<false>(*s, surface.gradient, texture, frameBuffer, pitch);
}

// The background's perspective values are all zero: its texel is given,
// never divided out.
void fillBackgroundSpans(const SpanSurface& background, uint32_t texel, uint32_t* frameBuffer, int pitch) {
    for (const SpanRecord* s = background.spans; s != nullptr; s = s->next) {
        int x0 = static_cast<int>((static_cast<int64_t>(s->startX) + 0xFFFF) >> 16);
        int x1 = static_cast<int>((static_cast<int64_t>(s->endX) + 0xFFFF) >> 16);
        if (x0 < 0) x0 = 0;
        if (x1 > kScreenWidth) x1 = kScreenWidth;
        uint32_t* dst = frameBuffer + s->line * pitch;
        for (int x = x0; x < x1; ++x) blendTexel(dst + x, texel);
    }
}
