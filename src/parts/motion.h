// Motions several parts share: a sprite gliding by a fixed step per frame,
// and two logos wobbling in opposite corners. Both keep the float
// arithmetic the parts always had, so every position lands on the same
// pixel on every frame.
#pragma once

#include <cstdint>

#include "gfx2d/fmath.h"
#include "gfx2d/sprite.h"

// A point moving by (dx, dy) each frame; a sprite placed on it stands at
// the point truncated toward zero.
struct LinearMover {
    float x, y;
    float dx, dy;

    // From (x0, y0) to (x1, y1) in the given number of equal steps.
    static LinearMover between(float x0, float y0, float x1, float y1, int steps) {
        return {x0, y0, (x1 - x0) / steps, (y1 - y0) / steps};
    }
    void place(Sprite& sprite) const {
        sprite.x = static_cast<int32_t>(x);
        sprite.y = static_cast<int32_t>(y);
    }
    void step() {
        x += dx;
        y += dy;
    }
};

// Two logos circling 10 pixels about their places in the top-left and the
// bottom-right corner, at the demo time t in seconds:
//     top-left      x = sin(t xRate), y = cos(t yRate)
//     bottom-right  x = cos(t xRate), y = sin(t lowYRate)
// times 10, plus the place.
struct CornerWobble {
    float topLeftX, topLeftY;
    float bottomRightX, bottomRightY;
    // Radians per second: 2.5 pi, 2 pi and 2.8 pi, each rounded once to
    // float. A part may give its own xRate (see studio.cpp).
    float xRate = 7.853981633974483f;
    float yRate = 6.283185307179586f;
    float lowYRate = 8.79645943005142f;

    void place(Sprite& topLeft, Sprite& bottomRight, float t) const {
        topLeft.x = static_cast<int32_t>(fm::sin(t * xRate) * 10 + topLeftX);
        topLeft.y = static_cast<int32_t>(fm::cos(t * yRate) * 10 + topLeftY);
        bottomRight.x = static_cast<int32_t>(fm::cos(t * xRate) * 10 + bottomRightX);
        bottomRight.y = static_cast<int32_t>(fm::sin(t * lowYRate) * 10 + bottomRightY);
    }
};
