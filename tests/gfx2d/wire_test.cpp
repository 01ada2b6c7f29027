#include <gtest/gtest.h>

#include <algorithm>

#include "frame_helpers.h"
#include "gfx2d/colour.h"
#include "gfx2d/wire.h"

TEST(WireCube, ProjectsItsFaces) {
    WireCube cube(100.0f, 0xFFFFFF, 160.0f, 100.0f, 256.0f);
    cube.update();
    const Point2i want[8] = {{118, 58}, {201, 58}, {201, 141}, {118, 141},
                             {97, 37},  {222, 37}, {222, 162}, {97, 162}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(cube.projected[i].x, want[i].x) << i;
        EXPECT_EQ(cube.projected[i].y, want[i].y) << i;
    }
    GuardedFrame f;
    cube.colour = 0xFEFEFE;
    cube.drawCube(f.px());
    EXPECT_EQ(f.at(118, 100), 0xFEFEFEu);  // front face
    EXPECT_EQ(f.at(160, 162), 0xFEFEFEu);  // back face
    EXPECT_EQ(f.at(108, 48), 0xFEFEFEu);   // an edge between them
    EXPECT_EQ(f.at(160, 100), 0u);
}

TEST(DotCube, LayersStartAtMinusHalfTheSide) {
    DotCube one(1, 10.0f, 0xFFFFFF, 160.0f, 100.0f, 256.0f);
    one.update();
    EXPECT_EQ(one.vertices[0].x, 0.0f);
    EXPECT_EQ(one.vertices[0].y, 0.0f);
    EXPECT_EQ(one.vertices[0].z, 0.0f);

    DotCube two(2, 10.0f, 0xFFFFFF, 160.0f, 100.0f, 256.0f);
    two.update();
    EXPECT_EQ(two.vertices[0].x, -10.0f);
    EXPECT_EQ(two.vertices[0].y, -10.0f);
    EXPECT_EQ(two.vertices[0].z, -10.0f);
    EXPECT_EQ(two.vertices[7].x, 0.0f);
    EXPECT_EQ(two.vertices[7].y, 0.0f);

    DotCube three(3, 10.0f, 0xFFFFFF, 160.0f, 100.0f, 256.0f);
    three.twistStart = 1.5707964f;  // the top layer turned a quarter: (x, z) becomes (z, -x)
    three.twistEnd = 1.5707964f;
    three.update();
    EXPECT_NEAR(three.vertices[2].x, -10.0f, 1e-4);  // x = +10, z = -10
    EXPECT_NEAR(three.vertices[2].z, -10.0f, 1e-4);
    EXPECT_EQ(three.vertices[26].y, 10.0f);
}

TEST(DotCube, DotsWithHaloAndBorderSkipped) {
    DotCube cube(2, 40.0f, 0xC0C0C0, 160.0f, 100.0f, 256.0f);
    GuardedFrame f(0x404040);
    cube.drawDots(f.px());
    const int x = cube.projected[0].x, y = cube.projected[0].y;
    EXPECT_EQ(f.at(x, y), 0xC0C0C0u);
    EXPECT_EQ(f.at(x - 1, y), 0x808080u);
    EXPECT_EQ(f.at(x, y + 1), 0x808080u);

    // A single dot at the origin projects to (int(cx), 100): on the border
    // column or off screen it is skipped with its halo.
    for (const float cx : {-10.0f, 0.0f, 0.5f, 319.0f, 319.9f, 1000.0f}) {
        DotCube edge(1, 10.0f, 0xC0C0C0, cx, 100.0f, 256.0f);
        GuardedFrame g(0x404040);
        edge.drawDots(g.px());
        const int px = edge.projected[0].x;
        EXPECT_TRUE(px <= 0 || px >= 319) << px;
        EXPECT_EQ(std::count(g.px(), g.px() + kPixels, 0x404040u), kPixels);
        EXPECT_TRUE(g.guardsIntact());
    }
}
