#include <gtest/gtest.h>

#include <vector>

#include "engine3d/demo_random.h"
#include "engine3d/snake.h"

namespace {

TEST(DemoRandom, FirstValuesAndTheFirstFrameBox) {
    EXPECT_EQ(demoRandom(), 41);
    EXPECT_EQ(demoRandom(), 18467);
    EXPECT_EQ(demoRandom(), 6334);
    EXPECT_EQ(demoRandom(), 26500);
    // The closing part's first box: w = 41 % 300, h = 18467 % 180,
    // x = 6334 % (320 - w), y = 26500 % (200 - h).
    EXPECT_EQ(18467 % 180, 107);
    EXPECT_EQ(6334 % (320 - 41), 196);
    EXPECT_EQ(26500 % (200 - 107), 88);
}

class Snake : public ::testing::Test {
protected:
    void SetUp() override {
        initSnake();
        frame.assign(64000, 0x123456);
    }
    uint32_t at(int x, int y) const { return frame[y * 320 + x]; }
    std::vector<uint32_t> frame;
};

TEST_F(Snake, ColourTableEnds) {
    EXPECT_EQ(snakeColour(0), 0x000000u);
    EXPECT_EQ(snakeColour(1), 0xFEFEFEu);
    EXPECT_EQ(snakeColour(255), (128u << 16) | (194u << 8) | 184u);
}

TEST_F(Snake, DepthTestKeepsTheNearestAndTheFirstOfEqualDepths) {
    // All of these project to the screen centre (160, 100).
    const SnakePoint points[] = {
        {0, 0, 20.0f},  // drawn: colour (20 + 128) & 255
        {0, 0, 25.0f},  // farther: kept out
        {0, 0, 10.5f},  // nearer: drawn
        {0, 0, 10.9f},  // same trunc(z): the first stays
    };
    plotSnakePoints(points, 2, frame.data());
    EXPECT_EQ(at(160, 100), snakeColour(148));
    plotSnakePoints(points + 2, 2, frame.data());
    EXPECT_EQ(at(160, 100), snakeColour(138));
    clearSnakeDepth();
}

TEST_F(Snake, FarPointsAndPointsOffTheBufferAreNeverDrawn) {
    const SnakePoint points[] = {
        {0, 0, 32767.0f},   // at the cleared depth
        {0, 0, 40000.0f},   // beyond it
        {640, 0, 66.0f},    // x = 320
        {0, 400, 66.0f},    // y = 200
        {-700, 0, 66.0f},   // x < 0
        {636, 396, 66.0f},  // (319, 199): drawn
    };
    plotSnakePoints(points, 6, frame.data());
    int changed = 0;
    for (uint32_t p : frame) changed += p != 0x123456u;
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(at(319, 199), snakeColour(194));
    clearSnakeDepth();
}

TEST_F(Snake, FramesDrawAlikeBecauseTheDepthBufferIsCleared) {
    animateSnake(0.75f);
    drawSnake(frame.data());
    const std::vector<uint32_t> first = frame;
    frame.assign(64000, 0x123456);
    drawSnake(frame.data());
    EXPECT_EQ(frame, first);
    int snakePixels = 0, white = 0;
    for (uint32_t p : frame) {
        snakePixels += p != 0x123456u && p != 0xFFFFFFu;
        white += p == 0xFFFFFFu;
    }
    EXPECT_GT(white, 150);        // the cube's lines
    EXPECT_GT(snakePixels, 600);  // the snake and the lines' halos
}

TEST_F(Snake, CurveStartsAtTheFirstSegmentsBlendAndIsContinuous) {
    animateSnake(0.0f);
    const SnakePoint* c = snakeCurve();
    // At time 0 M1 is the identity: control points 0 and 1 are the model's.
    // The first sample is (P0 + 4 P1 + P2) / 6 with P2 = M2 K2, and
    // consecutive samples lie close together across segment joins.
    for (int i = 1; i < kSnakeDrawnPoints; ++i) {
        const float dx = c[i].x - c[i - 1].x, dy = c[i].y - c[i - 1].y, dz = c[i].z - c[i - 1].z;
        ASSERT_LT(dx * dx + dy * dy + dz * dz, 4.0f) << i;
    }
}

}  // namespace
