// The generator's pure steps, free of cairo so the tests compile them
// directly: PCX run-length encoding, the conversion of a drawn pixel to a
// keyed sprite pixel, and the ordering of scores into dissolve levels.
#pragma once

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#include "gen/pic_table.h"

namespace pic {

// Run-length encoding of 8-bit PCX picture data, lineBytes per line. Runs
// stop at the end of each line, which every reader accepts (those that decode
// line by line and those that decode one stream); a run is at most 63 bytes,
// and a single byte of 192 or more is written as a run of one, because the
// reader takes such a byte as a run count.
inline std::vector<uint8_t> encodePcxRuns(const std::vector<uint8_t>& pixels, size_t lineBytes) {
    std::vector<uint8_t> out;
    for (size_t line = 0; line < pixels.size(); line += lineBytes) {
        const size_t end = std::min(line + lineBytes, pixels.size());
        size_t i = line;
        while (i < end) {
            const uint8_t v = pixels[i];
            size_t run = 1;
            while (i + run < end && run < 63 && pixels[i + run] == v) ++run;
            if (run > 1 || v >= 192) {
                out.push_back(uint8_t(0xC0 | run));
                out.push_back(v);
            } else {
                out.push_back(v);
            }
            i += run;
        }
    }
    return out;
}

struct KeyedPixel {
    uint8_t r, g, b;
};

// A drawn pixel (premultiplied alpha a, r, g, b) as a pixel of a keyed
// sprite: below half coverage it is exactly the key; otherwise its own colour
// at full strength (premultiplication undone, rounded to nearest), with blue
// pulled down when the colour would come close to the key, so that no edge
// pixel reads as a stray fringe of the key colour.
inline KeyedPixel keyPixel(int a, int r, int g, int b) {
    if (a < 128) return {0, 0, 255};
    r = std::min(255, (r * 255 + a / 2) / a);
    g = std::min(255, (g * 255 + a / 2) / a);
    b = std::min(255, (b * 255 + a / 2) / a);
    if (nearKey(r, g, b) || (r == 0 && g == 0 && b == 255)) b = 150;
    return {uint8_t(r), uint8_t(g), uint8_t(b)};
}

// Levels 0..255 from scores: positions in order of rising score (ties by
// position) share the levels equally, size/256 positions each for 64000.
inline std::vector<uint8_t> levelsByRank(const std::vector<float>& score) {
    std::vector<int> order(score.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return score[size_t(a)] < score[size_t(b)]; });
    std::vector<uint8_t> out(score.size());
    for (size_t rank = 0; rank < order.size(); ++rank) out[size_t(order[rank])] = uint8_t(rank * 256 / order.size());
    return out;
}

}  // namespace pic
