// Texture warps on an 8x8 block grid.
//
// A warp computes texture coordinates (and for PlaneWarp a light level) at
// the 41x26 block corners of the 320x200 screen; a block mapper fills each
// 8x8 block by bilinear interpolation in 8.8 fixed point and half-blends the
// texels into the destination. Textures are 256x256 and wrap both ways.
#pragma once

#include <cstdint>

#include "gfx2d/shade_table.h"
#include "gfx2d/wire.h"

struct GridPoint {
    int32_t unused[3];
    int32_t u;      // texture column, whole texels
    int32_t v;      // texture row, whole texels
    int32_t light;  // shade level; written by PlaneWarp, read by renderGridShaded
};

constexpr int kGridColumns = 41;  // points at x = 0, 8, .. 320
constexpr int kGridRows = 26;     // points at y = 0, 8, .. 200
constexpr int kGridPoints = kGridColumns * kGridRows;

// Shared by all warp parts. Column-major: point (j, i) at x = 8j, y = 8i is
// element j*26 + i.
extern GridPoint WarpGrid[kGridPoints];

class GridWarp {
public:
    uint8_t needsPrepare;  // when set, computeGrid calls prepare first
    float time = 0.0f;     // set by the part before each computeGrid

    explicit GridWarp(bool needsPrepare = false) : needsPrepare(needsPrepare ? 1 : 0) {}
    virtual void prepare();
    // Writes u and v (PlaneWarp also light) of point for screen position (x, y).
    virtual void mapPoint(float x, float y, GridPoint& point) = 0;
    virtual ~GridWarp();

    // prepare() if needed, then mapPoint for every grid point, row by row.
    void computeGrid(GridPoint* grid);
};

// The sines and cosines of a wave warp that depend on the time alone, on x
// alone or on y alone. They are worked out once per time for the grid's 41
// columns and 26 rows, so a grid costs 3 + 2 * (41 + 26) calls instead of
// seven per point; a position off the grid has its terms worked out on the
// spot. The same calls on the same values either way: the points are the
// same bit for bit.
struct WaveTerms {
    float time = 0.0f;
    bool valid = false;
    float common[3];
    float column[kGridColumns][3];
    float row[kGridRows][3];
};

// Flowing waves, texture at half scale.
class WaveWarpA : public GridWarp {
public:
    void mapPoint(float x, float y, GridPoint& point) override;

private:
    WaveTerms terms;
};

// A second wave pattern with a pulsing amplitude.
class WaveWarpB : public GridWarp {
public:
    void mapPoint(float x, float y, GridPoint& point) override;

private:
    WaveTerms terms;
};

// A rotated plane in perspective, with a light level that falls with depth.
class PlaneWarp : public GridWarp {
public:
    Matrix4 matrix;  // rebuilt from a1, a2, a3 by every prepare
    float a1 = 0.0f;
    float a2 = 0.0f;
    float a3 = 0.0f;
    float scaleX = 400.0f;
    float scaleY = 400.0f;
    float wobble = 0.0f;  // set by the part before use
    int32_t offsetU = 0;
    int32_t offsetV = 0;

    PlaneWarp();
    void prepare() override;
    void mapPoint(float x, float y, GridPoint& point) override;

private:
    // The wobble's sin(x pi/128) and sin(y pi/128) at the grid's columns and
    // rows, which do not depend on time: worked out once here instead of
    // twice per point (the same calls on the same values).
    float columnSine[kGridColumns];
    float rowSine[kGridRows];
};

// Fills the screen from the grid, dst = blendHalf(dst, texel); texture is
// 256x256 32-bit pixels.
void renderGridHalf(const GridPoint* grid, const uint32_t* texture, uint32_t* dst);
// The same walk with the light level interpolated too: the texel is a palette
// index of the 256x256 byte image, lit through the shade table.
void renderGridShaded(const GridPoint* grid, const uint8_t* indexImage, const ShadeTable& shade,
                      uint32_t* dst);
