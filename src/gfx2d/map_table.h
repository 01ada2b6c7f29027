// Lookup maps: for every screen pixel the index of a texel of a 256x256
// texture, computed once at start-up by a map function. Drawing adds a
// scrolling offset to each entry and copies or half-blends the texel.
#pragma once

#include <cstdint>

#include "gfx2d/frame.h"

// A map from a screen position (relative to the centre) to texture
// coordinates; used only while a table is built.
class MapFunction {
public:
    float k;

    explicit MapFunction(float k) : k(k) {}
    virtual ~MapFunction();
    virtual void map(float x, float y, int32_t& u, int32_t& v) const = 0;
};

// u = k / distance from the centre, v = angle.
class TunnelMap : public MapFunction {
public:
    explicit TunnelMap(float k) : MapFunction(k) {}
    void map(float x, float y, int32_t& u, int32_t& v) const override;
};

// u = squared distance / scale, v = angle. Holds the reciprocal of scale.
class PolarMap : public MapFunction {
public:
    explicit PolarMap(float scale) : MapFunction(1.0f / scale) {}
    void map(float x, float y, int32_t& u, int32_t& v) const override;
};

// (u, v) = k * (x, -y) / squared distance.
class InversionMap : public MapFunction {
public:
    explicit InversionMap(float k) : MapFunction(k) {}
    void map(float x, float y, int32_t& u, int32_t& v) const override;
};

// An entry is (v & 255) * 256 + (u & 255); the texel drawn for it is
// texture[(entry + offset) & 0xFFFF], so offset + 1 moves the texture one
// column and offset + 256 one row.
inline uint16_t mapEntry(int32_t u, int32_t v) {
    return static_cast<uint16_t>(((v & 255) << 8) | (u & 255));
}

// Exactly the screen: 320x200 entries.
class MapTable {
public:
    static constexpr int kWidth = kFrameWidth;
    static constexpr int kHeight = kFrameHeight;

    int32_t offset = 0;  // only the low 16 bits are used
    uint16_t entries[kWidth * kHeight];

    // Rows y = -100 .. 99, columns x = -160 .. 159; exact zeros become 0.001.
    explicit MapTable(const MapFunction& function);
    virtual ~MapTable();
    virtual void draw(uint32_t* dst, const uint32_t* texture) const;
    virtual void drawHalf(uint32_t* dst, const uint32_t* texture) const;
};

// A 640x400 map of which a movable 320x200 window is drawn.
class BigMapTable {
public:
    static constexpr int kWidth = 2 * kFrameWidth;
    static constexpr int kHeight = 2 * kFrameHeight;
    // The largest window that keeps the drawn part inside the map.
    static constexpr int32_t kMaxWindow = (kHeight - kFrameHeight) * kWidth + (kWidth - kFrameWidth);

    int32_t offset = 0;  // only the low 16 bits are used
    uint16_t entries[kWidth * kHeight];
    int32_t window = 0;  // entry index of the drawn top-left corner: row*640 + column

    // Rows y = -200 .. 199, columns x = -320 .. 319; exact zeros become 1e-5.
    explicit BigMapTable(const MapFunction& function);
    virtual ~BigMapTable();
    // A window outside 0 .. kMaxWindow is clamped into it.
    virtual void draw(uint32_t* dst, const uint32_t* texture) const;
    virtual void drawHalf(uint32_t* dst, const uint32_t* texture) const;
};
