#include "platform/picture_scaler.h"

#include <algorithm>
#include <cstring>

namespace ptc {

PictureRect fitPicture(int windowW, int windowH) {
    PictureRect r;
    if (static_cast<int64_t>(windowW) * 3 <= static_cast<int64_t>(windowH) * 4) {
        r.w = windowW;
        r.h = windowW * 3 / 4;
    } else {
        r.h = windowH;
        r.w = windowH * 4 / 3;
    }
    r.w = std::max(r.w, 1);
    r.h = std::max(r.h, 1);
    r.x = (windowW - r.w) / 2;
    r.y = (windowH - r.h) / 2;
    return r;
}

void PictureScaler::Axis::build(int n, int out) {
    k = wholeFactor(n, out);
    first.resize(out);
    weight.resize(out);
    whole = true;
    // The nearest step gives n * k pixels; output pixel i samples that
    // picture linearly at its centre, (i + 0.5) * (n * k / out) - 0.5.
    const int inter = n * k;
    const double ratio = static_cast<double>(inter) / out;
    for (int i = 0; i < out; ++i) {
        double pos = std::clamp((i + 0.5) * ratio - 0.5, 0.0, static_cast<double>(inter - 1));
        int p0 = static_cast<int>(pos);
        int p1 = std::min(p0 + 1, inter - 1);
        first[i] = p0 / k;
        weight[i] = p0 / k == p1 / k ? 0 : static_cast<int>((pos - p0) * 256.0 + 0.5);
        if (weight[i] == 256) {
            // Rounds to the next pixel alone.
            first[i] += 1;
            weight[i] = 0;
        }
        if (weight[i]) whole = false;
    }
    // Whole repeats also need the pixels to come k at a time in order.
    if (whole && out != n * k) whole = false;
}

bool PictureScaler::layout(int consoleW, int consoleH, int windowW, int windowH) {
    if (consoleW == consoleW_ && consoleH == consoleH_ && windowW == windowW_ && windowH == windowH_) return false;
    consoleW_ = consoleW;
    consoleH_ = consoleH;
    windowW_ = windowW;
    windowH_ = windowH;
    rect_ = fitPicture(windowW, windowH);
    rows_.build(consoleH, rect_.h);
    columns_.build(consoleW, rect_.w);
    mixedRow_.resize(consoleW);
    return true;
}

namespace {

inline uint32_t mix(uint32_t a, uint32_t b, uint32_t w) {
    uint32_t rb = ((a & 0xFF00FFu) * (256 - w) + (b & 0xFF00FFu) * w) >> 8;
    uint32_t g = ((a & 0x00FF00u) * (256 - w) + (b & 0x00FF00u) * w) >> 8;
    return (rb & 0xFF00FFu) | (g & 0x00FF00u);
}

}  // namespace

void PictureScaler::scale(const uint32_t* pixels, uint8_t* out, int pitch) {
    const int outW = rect_.w;
    for (int y = 0; y < rect_.h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(out + static_cast<size_t>(y) * pitch);
        const int a = rows_.first[y];
        const uint32_t wy = rows_.weight[y];
        if (y > 0 && a == rows_.first[y - 1] && wy == static_cast<uint32_t>(rows_.weight[y - 1])) {
            std::memcpy(row, out + static_cast<size_t>(y - 1) * pitch, static_cast<size_t>(outW) * 4);
            continue;
        }
        const uint32_t* src = pixels + static_cast<size_t>(a) * consoleW_;
        if (wy) {
            const uint32_t* next = src + consoleW_;
            for (int x = 0; x < consoleW_; ++x) mixedRow_[x] = mix(src[x], next[x], wy);
            src = mixedRow_.data();
        }
        if (columns_.whole) {
            const int k = columns_.k;
            for (int x = 0; x < consoleW_; ++x)
                for (int i = 0; i < k; ++i) *row++ = src[x];
        } else {
            const int* first = columns_.first.data();
            const int* weight = columns_.weight.data();
            for (int x = 0; x < outW; ++x) {
                const uint32_t wx = weight[x];
                row[x] = wx ? mix(src[first[x]], src[first[x] + 1], wx) : src[first[x]];
            }
        }
    }
}

}  // namespace ptc
