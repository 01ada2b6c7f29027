// The frame figures' floors, shared by the benchmark programs that print
// them: a plain full-frame copy and a full-frame half-blend pass of two
// 320x200 buffers, on deterministic noise pictures.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "gfx2d/colour.h"

namespace floors {

constexpr int kPixels = 320 * 200;

inline std::vector<uint32_t> picture(int n, uint32_t seed) {
    std::vector<uint32_t> p(n);
    for (int i = 0; i < n; ++i) p[i] = (seed = seed * 1664525u + 1013904223u) >> 8;
    return p;
}

inline void frameCopy(benchmark::State& state, uint32_t* dst, const uint32_t* src) {
    for (auto _ : state) {
        std::memcpy(dst, src, kPixels * sizeof(uint32_t));
        benchmark::ClobberMemory();
    }
}

inline void frameHalfBlend(benchmark::State& state, uint32_t* dst, const uint32_t* src) {
    for (auto _ : state) {
        for (int i = 0; i < kPixels; ++i) dst[i] = blendHalf(dst[i], src[i]);
        benchmark::ClobberMemory();
    }
}

}  // namespace floors
