// The spline snake: a wireframe cube and a uniform cubic B-spline through
// eight control points, each turned by its own time-driven rotation. The
// cube is drawn as glow lines, the snake as single pixels coloured by depth
// behind a small integer depth buffer. Separate from the scene engine.
//
// Rotations take angles in 512ths of a turn. A point projects to
// (trunc(50 x / (z + 134)) + 160, trunc(50 y / (z + 134)) + 100).
#pragma once

#include <cstdint>

struct SnakePoint {
    float x, y, z;
};

constexpr int kSnakeControlPoints = 8;
constexpr int kSnakeSamplesPerSegment = 300;
// The curve buffer: 301 samples for each of the 6 segments.
constexpr int kSnakeCurveRoom = (kSnakeControlPoints - 2) * (kSnakeSamplesPerSegment + 1);
// Points drawn of the curve: 1801 (the last samples are never shown).
constexpr int kSnakeDrawnPoints = (kSnakeControlPoints - 2) * kSnakeSamplesPerSegment + 1;
constexpr int32_t kSnakeFarDepth = 32767;
// The ninth control point, which bends the last segment: turned by
// R(0.81 a, 0.9950248756218907 a, a + 0.42).
constexpr SnakePoint kSnakeNinthPoint{-70.0f, -70.0f, 70.0f};

// Clears the depth buffer and builds the colour table; once at start-up.
void initSnake();
// x = timer seconds * 1.6: the matrices, the cube and the curve.
void animateSnake(float x);
// The cube lines, then the snake points; then the depth buffer is cleared.
void drawSnake(uint32_t* frameBuffer);

// The depth-tested point plot of drawSnake, without the clear: a point
// (x, y, z) is drawn when it projects inside the buffer and trunc(z) is
// below the depth already stored there.
void plotSnakePoints(const SnakePoint* points, int count, uint32_t* frameBuffer);
void clearSnakeDepth();
// Depth colour i (0..255): 0 is black, 1 near white, 255 a grey teal.
uint32_t snakeColour(int i);
// The curve of the last animateSnake.
const SnakePoint* snakeCurve();
