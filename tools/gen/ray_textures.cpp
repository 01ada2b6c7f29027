#include "gen/ray_textures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float kTwoPi = 6.28318530718f;

struct Rgb {
    float r, g, b;  // 0..1
};

// Palette entries first..last ramp from a to b.
void ramp(RayTextureImage& image, int first, int last, Rgb a, Rgb b) {
    for (int i = first; i <= last; ++i) {
        const float f = last > first ? static_cast<float>(i - first) / static_cast<float>(last - first) : 0.0f;
        const float c[3] = {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f};
        for (int k = 0; k < 3; ++k) {
            int v = static_cast<int>(c[k] * 63.0f + 0.5f);
            image.palette[i * 3 + k] = static_cast<uint8_t>(v < 0 ? 0 : v > 63 ? 63 : v);
        }
    }
}

// Integer hash noise in 0..1, periodic in 256 on both axes.
float hashNoise(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x & 255) * 374761393u + static_cast<uint32_t>(y & 255) * 668265263u + seed;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFF) / 65535.0f;
}

// Smooth value noise with the given cell size (a divisor of 256), so it
// tiles with the texture.
float valueNoise(int x, int y, int cell, uint32_t seed) {
    const int cells = 256 / cell;
    const int cx = x / cell, cy = y / cell;
    const float fx = static_cast<float>(x % cell) / static_cast<float>(cell);
    const float fy = static_cast<float>(y % cell) / static_cast<float>(cell);
    const float sx = fx * fx * (3.0f - 2.0f * fx), sy = fy * fy * (3.0f - 2.0f * fy);
    const float n00 = hashNoise(cx % cells, cy % cells, seed), n10 = hashNoise((cx + 1) % cells, cy % cells, seed);
    const float n01 = hashNoise(cx % cells, (cy + 1) % cells, seed), n11 = hashNoise((cx + 1) % cells, (cy + 1) % cells, seed);
    const float top = n00 + (n10 - n00) * sx, bottom = n01 + (n11 - n01) * sx;
    return top + (bottom - top) * sy;
}

float fractalNoise(int x, int y, uint32_t seed) {
    return 0.5f * valueNoise(x, y, 64, seed) + 0.3f * valueNoise(x, y, 32, seed + 1) +
           0.2f * valueNoise(x, y, 16, seed + 2);
}

uint8_t level(float f, int first, int last) {
    if (f < 0.0f) f = 0.0f;
    if (f > 1.0f) f = 1.0f;
    return static_cast<uint8_t>(first + static_cast<int>(f * static_cast<float>(last - first) + 0.5f));
}

// Distance in texels from the centre line of the tile the coordinate falls
// in; tiles are `size` texels wide and centred on 0, so the pattern is
// symmetric about coordinate 0 and repeats every 256.
int tileIndex(int c, int size) { return ((c + size / 2) & 255) / size; }
int tileOffset(int c, int size) { return ((c + size / 2) & 255) % size; }

}  // namespace

void makeAtomFloor(RayTextureImage& image) {
    ramp(image, 0, 9, {0.12f, 0.13f, 0.20f}, {0.20f, 0.22f, 0.30f});      // grout
    ramp(image, 10, 127, {0.14f, 0.20f, 0.40f}, {0.30f, 0.40f, 0.66f});   // slate blue
    ramp(image, 128, 255, {0.34f, 0.40f, 0.56f}, {0.62f, 0.66f, 0.76f});  // pale blue stone
    constexpr int kTile = 64;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const int ox = tileOffset(x, kTile), oy = tileOffset(y, kTile);
            const bool grout = ox <= 1 || oy <= 1 || ox >= kTile - 2 || oy >= kTile - 2;
            const float n = fractalNoise(x, y, 11u);
            uint8_t p;
            if (grout) {
                p = level(n, 0, 9);
            } else {
                // Veins: a few bright streaks bent by the noise.
                const float vein = std::fabs(std::sin((static_cast<float>(x + y) * 0.05f + 6.0f * n) * 1.7f));
                const float shade = 0.25f + 0.55f * n + 0.2f * (vein > 0.93f ? 1.0f : 0.0f);
                const bool stone = ((tileIndex(x, kTile) + tileIndex(y, kTile)) & 1) == 0;
                p = stone ? level(shade, 128, 255) : level(shade, 10, 127);
            }
            image.pixels[y * 256 + x] = p;
        }
    }
}

void makeNucleonSkin(RayTextureImage& image) {
    ramp(image, 0, 127, {0.35f, 0.05f, 0.02f}, {0.95f, 0.45f, 0.10f});
    ramp(image, 128, 255, {0.95f, 0.45f, 0.10f}, {1.00f, 0.92f, 0.55f});
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const float n = fractalNoise(x * 4, y, 23u);
            const float bands = 0.5f + 0.5f * std::sin(static_cast<float>(y) * kTwoPi * 6.0f / 256.0f + 5.0f * n);
            image.pixels[y * 256 + x] = level(0.15f + 0.8f * bands * (0.6f + 0.4f * n), 0, 255);
        }
    }
}

void makeFinalFloor(RayTextureImage& image) {
    ramp(image, 0, 127, {0.02f, 0.14f, 0.16f}, {0.10f, 0.45f, 0.48f});   // teal
    ramp(image, 128, 255, {0.40f, 0.32f, 0.20f}, {0.92f, 0.80f, 0.58f}); // sand
    constexpr int kTile = 64;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const int ox = tileOffset(x, kTile), oy = tileOffset(y, kTile);
            // Bevel: bright towards the tile's middle, dark at its rim.
            const int edge = std::min(std::min(ox, kTile - 1 - ox), std::min(oy, kTile - 1 - oy));
            const float bevel = edge < 6 ? static_cast<float>(edge) / 6.0f : 1.0f;
            const float n = fractalNoise(x, y, 37u);
            const float shade = (0.35f + 0.45f * bevel) * (0.8f + 0.35f * n);
            const bool sand = ((tileIndex(x, kTile) + tileIndex(y, kTile)) & 1) == 0;
            image.pixels[y * 256 + x] = sand ? level(shade, 128, 255) : level(shade, 0, 127);
        }
    }
}

void makePillarSkin(RayTextureImage& image) {
    ramp(image, 0, 255, {0.20f, 0.07f, 0.03f}, {0.98f, 0.68f, 0.42f});
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const float ring = 0.5f + 0.5f * std::cos(static_cast<float>(y) * kTwoPi * 16.0f / 256.0f);
            const float n = fractalNoise(x * 8, y, 41u);
            image.pixels[y * 256 + x] = level(0.2f + 0.65f * ring * ring + 0.15f * n, 0, 255);
        }
    }
}

void makeSkyClouds(RayTextureImage& image) {
    ramp(image, 0, 255, {0.10f, 0.14f, 0.38f}, {0.62f, 0.60f, 0.86f});
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            // Broad and smooth: seen in curved mirrors, fine detail would
            // break up into noise between the rays.
            const float n = 0.7f * valueNoise(x, y, 128, 53u) + 0.3f * valueNoise(x, y, 64, 54u);
            image.pixels[y * 256 + x] = level(n, 0, 255);
        }
    }
}

bool writeRayTexture(const std::string& path, const RayTextureImage& image) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(("plivak-data: " + path).c_str());
        return false;
    }
    const uint8_t header[10] = {'P', 'L', 'V', 'T', 0, 1, 0, 1, 0, 0};  // 256 = 0x0100
    bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header;
    ok = ok && std::fwrite(image.palette, 1, sizeof image.palette, f) == sizeof image.palette;
    ok = ok && std::fwrite(image.pixels, 1, sizeof image.pixels, f) == sizeof image.pixels;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) std::fprintf(stderr, "plivak-data: cannot write %s\n", path.c_str());
    return ok;
}
