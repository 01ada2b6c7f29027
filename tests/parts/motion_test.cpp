// The shared motions: a mover reaches its far point in its steps, a
// sprite stands on the point truncated toward zero, and the corner wobble
// keeps each logo within 10 pixels of its place.
#include <gtest/gtest.h>

#include <cmath>

#include "parts/motion.h"

namespace {

TEST(LinearMover, ReachesTheFarPointInItsStepsAndPlacesByTruncation) {
    LinearMover m = LinearMover::between(320, 200, -142, -106, 200);
    Sprite s(nullptr, 1, 1, 0);
    m.place(s);
    EXPECT_EQ(s.x, 320);
    EXPECT_EQ(s.y, 200);
    for (int i = 0; i < 200; ++i) m.step();
    EXPECT_NEAR(m.x, -142.0f, 0.01f);
    EXPECT_NEAR(m.y, -106.0f, 0.01f);

    // -0.9 stands on column 0, not -1: a sprite entering from the left
    // shows its first column one frame later than rounding down would.
    LinearMover edge{-0.9f, 1.9f, 0.0f, 0.0f};
    edge.place(s);
    EXPECT_EQ(s.x, 0);
    EXPECT_EQ(s.y, 1);
}

TEST(CornerWobble, LogosCircleWithinTenPixelsOfTheirPlaces) {
    const CornerWobble wobble{3, 3, 225, 133};
    Sprite topLeft(nullptr, 1, 1, 0), bottomRight(nullptr, 1, 1, 0);
    wobble.place(topLeft, bottomRight, 0.0f);
    EXPECT_EQ(topLeft.x, 3);       // sin 0
    EXPECT_EQ(topLeft.y, 13);      // cos 0
    EXPECT_EQ(bottomRight.x, 235);  // cos 0
    EXPECT_EQ(bottomRight.y, 133);  // sin 0
    bool leftMoved = false;
    for (int k = 0; k < 600; ++k) {
        wobble.place(topLeft, bottomRight, k / 60.0f);
        EXPECT_LE(std::abs(topLeft.x - 3), 10);
        EXPECT_LE(std::abs(topLeft.y - 3), 10);
        EXPECT_LE(std::abs(bottomRight.x - 225), 10);
        EXPECT_LE(std::abs(bottomRight.y - 133), 10);
        leftMoved = leftMoved || topLeft.x < -5;
    }
    EXPECT_TRUE(leftMoved);
}

}  // namespace
