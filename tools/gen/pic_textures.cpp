// The 256x256 textures and the two dissolve patterns. Textures are computed
// per texel from functions periodic in 256 (sines of whole turns, noise on a
// wrapping lattice, cell centres on a torus), so every one tiles seamlessly
// under the warps, the tunnel and polar maps and the 3D polygons.
#include <algorithm>
#include <cmath>

#include "gen/pic_codec.h"
#include "gen/pic_makers.h"

namespace pic {

namespace {

constexpr float kTurn = 6.2831853f / 256.0f;  // one turn across the texture

int clampByte(float v) { return v <= 0.0f ? 0 : v >= 255.0f ? 255 : int(v); }

struct Mix {
    float r, g, b;
};
Mix lerp(Mix a, Mix b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
// Colour ramp through evenly spaced stops, t in 0..1.
Mix ramp(std::initializer_list<Mix> stops, float t) {
    const Mix* s = stops.begin();
    const int n = int(stops.size());
    t = std::min(std::max(t, 0.0f), 1.0f) * float(n - 1);
    int i = std::min(int(t), n - 2);
    return lerp(s[i], s[i + 1], t - float(i));
}

// Fractal noise with octaves of period 256/cell, 256/(cell/2), ...
float fractal(float x, float y, int cell, int octaves, uint32_t seed) {
    float sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        const int period = 256 / cell;
        sum += amp * tileNoise(x / float(cell), y / float(cell), period, seed + uint32_t(o));
        norm += amp;
        amp *= 0.5f;
        cell /= 2;
        if (cell < 1) break;
    }
    return sum / norm;
}

// Distances to the nearest and second nearest of a set of cell centres on
// the 256x256 torus.
struct Cells {
    std::vector<float> px, py;
    // One centre jittered inside each square of an n x n grid, so the cells
    // come out of even size.
    explicit Cells(int n, uint32_t seed) {
        uint32_t s = seed;
        const float cell = 256.0f / float(n);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                s = s * 1664525u + 1013904223u;
                px.push_back((float(i) + 0.15f + 0.7f * float(s >> 16 & 255) / 255.0f) * cell);
                s = s * 1664525u + 1013904223u;
                py.push_back((float(j) + 0.15f + 0.7f * float(s >> 16 & 255) / 255.0f) * cell);
            }
    }
    void nearest(float x, float y, float& d1, float& d2) const {
        d1 = d2 = 1e9f;
        for (size_t i = 0; i < px.size(); ++i) {
            float dx = std::fabs(x - px[i]), dy = std::fabs(y - py[i]);
            dx = std::min(dx, 256.0f - dx);
            dy = std::min(dy, 256.0f - dy);
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d < d1) {
                d2 = d1;
                d1 = d;
            } else if (d < d2) {
                d2 = d;
            }
        }
    }
};

template <typename Fn>
Rgb texture(Fn fn) {
    Rgb out(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const Mix m = fn(float(x), float(y));
            out.set(x, y, clampByte(m.r), clampByte(m.g), clampByte(m.b));
        }
    return out;
}

// Amber marble: veins from a sine of turbulent position.
Rgb grunsel() {
    return texture([](float x, float y) {
        const float turb = fractal(x, y, 64, 5, 11);
        const float v = std::sin((x + y) * kTurn * 2.0f + turb * 9.0f);
        const float vein = std::pow(1.0f - std::fabs(v), 6.0f);
        Mix base = ramp({{70, 20, 10}, {170, 70, 20}, {240, 170, 60}, {255, 235, 170}}, turb * 1.2f - 0.1f);
        return lerp(base, {255, 250, 220}, vein * 0.8f);
    });
}

// Green scales: cells with dark seams and a lit centre.
Rgb green() {
    const Cells cells(7, 7);
    return texture([&](float x, float y) {
        float d1, d2;
        cells.nearest(x, y, d1, d2);
        const float seam = std::min((d2 - d1) / 6.0f, 1.0f);
        const float n = fractal(x, y, 32, 3, 21);
        Mix c = ramp({{10, 60, 20}, {40, 150, 40}, {150, 230, 90}}, 1.0f - d1 / 22.0f + n * 0.3f - 0.15f);
        return Mix{c.r * seam, c.g * seam, c.b * seam};
    });
}

// Floor: square stone tiles, 4 by 4, with grout and mottling.
Rgb sol() {
    return texture([](float x, float y) {
        const float fx = std::fmod(x, 64.0f), fy = std::fmod(y, 64.0f);
        const float edge = std::min(std::min(fx, 63.0f - fx), std::min(fy, 63.0f - fy));
        const int tile = int(x / 64) + int(y / 64);
        const float n = fractal(x, y, 32, 4, 31);
        Mix c = (tile & 1) ? Mix{190, 175, 150} : Mix{120, 95, 80};
        c = lerp(c, {60, 50, 45}, n * 0.5f);
        if (edge < 2.0f) return Mix{40, 35, 30};
        if (edge < 4.0f) c = lerp(c, {255, 245, 220}, 0.25f);
        return c;
    });
}

// Fluted column: eight vertical flutes, gilded, with a fine grain.
Rgb col() {
    return texture([](float x, float y) {
        const float flute = 0.5f + 0.5f * std::cos(x * kTurn * 8.0f);
        const float grain = fractal(x * 4.0f, y * 0.25f, 32, 3, 41);
        const float band = 0.5f + 0.5f * std::cos(y * kTurn * 2.0f);
        Mix c = ramp({{60, 40, 10}, {190, 140, 40}, {255, 230, 150}}, flute * 0.8f + grain * 0.3f);
        return lerp(c, {120, 30, 20}, std::pow(band, 40.0f) * 0.8f);
    });
}

// Brick wall: staggered courses of red-brown bricks.
Rgb col2() {
    return texture([](float x, float y) {
        const int course = int(y / 32);
        const float bx = std::fmod(x + ((course & 1) ? 32.0f : 0.0f), 64.0f);
        const float by = std::fmod(y, 32.0f);
        const float edge = std::min(std::min(bx, 63.0f - bx), std::min(by, 31.0f - by));
        const float n = fractal(x, y, 16, 4, 51);
        const int brick = int((x + ((course & 1) ? 32 : 0)) / 64) + course * 5;
        const float tint = float((brick * 37) % 11) / 10.0f;
        Mix c = lerp({150, 50, 30}, {200, 100, 60}, tint);
        c = lerp(c, {70, 30, 20}, n * 0.6f);
        if (edge < 2.5f) return lerp(Mix{170, 165, 150}, Mix{110, 105, 95}, n);
        return c;
    });
}

// Deep-space cloud: violet and blue noise with sparse stars.
Rgb fond() {
    return texture([](float x, float y) {
        const float n = fractal(x, y, 64, 5, 61);
        const float m = fractal(x + 40.0f, y + 90.0f, 32, 4, 67);
        Mix c = ramp({{5, 5, 20}, {40, 20, 90}, {130, 50, 160}, {250, 170, 210}}, (n - 0.35f) * 2.6f);
        c = lerp(c, {20, 70, 150}, m * m * 0.6f);
        const float star = tileNoise(x, y, 256, 69);
        if (star > 0.985f) c = lerp(c, {255, 255, 255}, (star - 0.985f) / 0.015f);
        return c;
    });
}

// Basket weave: over-and-under bands in two directions.
Rgb weeve() {
    return texture([](float x, float y) {
        const float fx = std::fmod(x, 32.0f), fy = std::fmod(y, 32.0f);
        const bool horizontalOnTop = ((int(x / 32) + int(y / 32)) & 1) == 0;
        const float across = horizontalOnTop ? fy : fx;   // position across the top band
        const float along = horizontalOnTop ? fx : fy;
        const float shade = std::sin(across / 32.0f * 3.14159265f);
        const float fibre = 0.85f + 0.15f * std::sin(across * 1.6f);
        const float dip = 0.75f + 0.25f * std::sin(along / 32.0f * 3.14159265f);
        const Mix warm = horizontalOnTop ? Mix{230, 190, 110} : Mix{200, 150, 80};
        const float l = shade * fibre * dip;
        return Mix{warm.r * l, warm.g * l, warm.b * l};
    });
}

}  // namespace

void makeTextures(Pictures& out) {
    out["grunsel.rgb"] = grunsel();
    out["green.rgb"] = green();
    out["sol.rgb"] = sol();
    out["col.rgb"] = col();
    out["col2.rgb"] = col2();
    out["fond.rgb"] = fond();
    out["weeve.rgb"] = weeve();
}

// A four-armed spiral from the centre outwards, roughened with an ordered
// dither so that each level lands as scattered grains along the arms.
std::vector<uint8_t> makePattern1() {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::vector<float> score(64000);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) {
            const float dx = float(x) - 159.5f, dy = float(y) - 99.5f;
            const float r = std::sqrt(dx * dx + dy * dy);
            const float a = std::atan2(dy, dx);
            float arm = std::fmod(a * 4.0f / 6.2831853f + r / 40.0f + 8.0f, 1.0f);
            score[size_t(y * 320 + x)] = r / 190.0f * 0.7f + arm * 0.3f + float(bayer[y & 3][x & 3]) / 16.0f * 0.08f;
        }
    return levelsByRank(score);
}

// A cloud that thickens from several seeds: fractal noise plus distance to
// the nearest seed, so white flows in as soft-edged blotches.
std::vector<uint8_t> makePattern2() {
    static const float seeds[5][2] = {{60, 50}, {250, 40}, {160, 110}, {40, 170}, {290, 170}};
    std::vector<float> score(64000);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) {
            float d = 1e9f;
            for (const auto& s : seeds) d = std::min(d, std::hypot(float(x) - s[0], float(y) - s[1]));
            const float n = fractal(float(x), float(y), 32, 4, 81);
            score[size_t(y * 320 + x)] = d / 120.0f + n * 0.9f;
        }
    // This pattern is filled every second level up to 254, so a pixel of
    // level 255 would never turn white: the last level joins the one below.
    std::vector<uint8_t> levels = levelsByRank(score);
    for (uint8_t& v : levels) v = std::min<uint8_t>(v, 254);
    return levels;
}

}  // namespace pic
