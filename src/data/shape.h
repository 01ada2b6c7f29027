// Vector outlines and the morph that turns one into the next.
//
// A shape file is text: "N vertices" and then N lines "x y" (free
// whitespace, scanf conventions). Only the direction of each vertex from
// the origin counts once the shape is normalised.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gfx2d/lines.h"

struct ShapePoint {
    float x;
    float y;
};

class Shape {
public:
    // code 0: the file cannot be opened; 1: its content is not a shape.
    struct Shape_Ex {
        int32_t code;
    };
    // More vertices than this is taken for a broken file, not a shape.
    static constexpr int32_t kMaxVertices = 4096;

    Shape() = default;
    Shape(const Shape&) = delete;
    Shape& operator=(const Shape&) = delete;

    // Reads the file whole, then parse. Throws Shape_Ex.
    void read(const char* fileName);
    // Parses "%d vertices\n" and count times "%f %f\n"; text after the last
    // vertex is not looked at. Throws Shape_Ex{1} on a count of 0 or less,
    // over kMaxVertices, anything that does not convert, or a coordinate
    // that is infinite or NaN.
    void parse(const uint8_t* bytes, size_t size);

    // Every vertex divided by its distance from the origin (a vertex at the
    // origin stays there).
    void normalise();
    void scale(float sx, float sy);
    void normaliseAndScale(float sx, float sy);

    // Vertex i, or the last vertex for an index at or past count.
    const ShapePoint& vertex(int32_t i) const { return vertices[i < count ? i : count - 1]; }

    int32_t count = 0;
    std::unique_ptr<ShapePoint[]> vertices;
};

// Morphs through shapeCount outlines, steps steps per transition, for ever:
// after k * steps calls of step the outline is at shape k mod shapeCount.
// All storage is made by the constructor; step and draw allocate nothing.
class ShapeMorph {
public:
    // Reads the files in order and scales each outline by (sx, sy) after
    // normalising it. When a file fails, ok is false, failedShape and
    // failCode say which and why, and the morph must not be used.
    ShapeMorph(int shapeCount, const char* const* fileNames, int steps, float sx, float sy,
               float centreX, float centreY);

    // Moves every vertex one step and recomputes the screen points; after
    // the last step of a transition the next one begins.
    void step();
    // Back to the first outline, then stepCount steps: the outline is then
    // bit for bit what stepCount calls of step from the start made (the
    // screen points use the centre of now). For a seek.
    void rewindTo(int64_t stepCount);
    // The screen points of the last step as a closed white polygon.
    void draw(uint32_t* frameBuffer) const;

    int shapeCount;
    int maxVertices = 0;
    float centreX, centreY;  // added to every point on the way to the screen
    float stepFactor;        // 1 / steps
    int steps;
    int stepCounter = 0;
    int64_t stepsTaken = 0;  // calls of step since the start or the last rewind
    std::vector<std::unique_ptr<Shape>> shapes;
    std::vector<ShapePoint> current;  // the outline, before the centre is added
    // Block k of maxVertices points moves shape k towards shape k + 1.
    std::vector<ShapePoint> deltas;
    std::vector<Point2i> screen;
    int from = 0;
    int to = 1;
    bool ok = true;
    int failedShape = -1;  // index of the file that failed
    int32_t failCode = 0;  // its Shape::Shape_Ex code
};
