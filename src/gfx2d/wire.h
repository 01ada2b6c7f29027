// Rotation matrices and small wireframe figures drawn with glow lines or dots.
#pragma once

#include <cstdint>
#include <memory>

#include "gfx2d/lines.h"

// 16 floats, row-major, used with row vectors: (x, y, z) maps to
// x' = x*m00 + y*m10 + z*m20 + m30 (and likewise for y', z').
struct Matrix4 {
    float m[16];

    Matrix4() { setIdentity(); }
    float& at(int row, int column) { return m[row * 4 + column]; }
    float at(int row, int column) const { return m[row * 4 + column]; }

    void setIdentity();
    // Identity, then the upper 3x3 set from the three angles (radians):
    // a1 turns about x, a2 about y, a3 about z.
    void setRotation(float a1, float a2, float a3);
};

struct Vertex3f {
    float x;
    float y;
    float z;
};

// A vertex list with a matrix and a perspective projection:
// screen = int(x' * scale / (z' + depth) + centre), truncated toward zero.
// There is no clipping and no test of z: callers keep the figure in front of
// the viewer (and its halo inside the buffer, for the line figures, which
// clip to LineWindow anyway).
class WireObject {
public:
    Matrix4 matrix;
    float centreX;
    float centreY;
    float depth;
    float scaleX = 256.0f;
    float scaleY = 256.0f;
    uint32_t colour;
    int32_t vertexCount;
    std::unique_ptr<Vertex3f[]> vertices;  // zero after construction
    std::unique_ptr<Point2i[]> projected;

    WireObject(int32_t n, uint32_t colour, float centreX, float centreY, float depth);
    virtual ~WireObject();

    // Brings projected (and for derived figures the vertices) up to date.
    virtual void update();
    void project();
};

// A cube of side size centred on the origin.
class WireCube : public WireObject {
public:
    WireCube(float size, uint32_t colour, float centreX, float centreY, float depth);
    // Front face, back face, then the four edges between them.
    void drawCube(uint32_t* dst);
};

// The 5x5x5 line lattice of a cube of side 4g: 75 segments, 150 vertices.
class WireLattice : public WireObject {
public:
    WireLattice(float g, uint32_t colour, float centreX, float centreY, float depth);
    // One glow line per vertex pair (0,1), (2,3), ...
    void drawSegments(uint32_t* dst);
};

// An n x n x n cube of dots whose horizontal layers are each turned about
// the vertical axis, from twistStart at the top layer toward twistEnd.
class DotCube : public WireObject {
public:
    int32_t perSide;
    float twistStart = 0.0f;
    float twistEnd = 0.0f;
    float spacing;

    DotCube(int32_t n, float spacing, uint32_t colour, float centreX, float centreY, float depth);
    // Rebuilds the twisted vertices, then projects them.
    void update() override;
    // A pixel with a blended halo per dot; dots on or outside the buffer's
    // border row or column are skipped.
    void drawDots(uint32_t* dst);
};
