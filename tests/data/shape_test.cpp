#include "data/shape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "test_files.h"

namespace {

int32_t shapeError(const std::string& text) {
    Bytes b = asBytes(text);
    try {
        Shape().parse(b.data(), b.size());
    } catch (Shape::Shape_Ex& e) {
        return e.code;
    }
    return -1;
}

TEST(Shape, ParseNormaliseAndScale) {
    Shape s;
    Bytes b = asBytes("3vertices 3 4\n  0\t-2\n0 0");  // free whitespace, no final break
    s.parse(b.data(), b.size());
    ASSERT_EQ(s.count, 3);
    s.normaliseAndScale(30, 30);
    EXPECT_FLOAT_EQ(s.vertices[0].x, 18);
    EXPECT_FLOAT_EQ(s.vertices[0].y, 24);
    EXPECT_FLOAT_EQ(s.vertices[1].y, -30);
    EXPECT_EQ(s.vertices[2].x, 0);  // the origin stays
    EXPECT_EQ(s.vertices[2].y, 0);

    EXPECT_EQ(shapeError("2 vertices\n1e1 -.5\n0x10 +7 and then anything"), -1);
    for (const char* bad : {"3 points\n1 1\n2 2\n3 3\n", "3 vertice\n1 1\n2 2\n3 3\n", "vertices\n1 1\n",
                            "3 vertices\n1 1\n2 2\n3\n", "3 vertices\n1 1\n2 x\n3 3\n", "0 vertices\n",
                            "-2 vertices\n1 1\n", "4097 vertices\n1 1\n", "99999999999 vertices\n", ""})
        EXPECT_EQ(shapeError(bad), 1) << bad;
    // The largest outline, 4096 vertices, and the smallest, one.
    std::string largest = "4096 vertices\n";
    for (int i = 0; i < 4096; ++i) largest += "1 -1\n";
    EXPECT_EQ(shapeError(largest), -1);
    EXPECT_EQ(shapeError("1 vertices 0 1"), -1);
    try {
        s.read(scratchPath("no-shape").c_str());
        ADD_FAILURE();
    } catch (Shape::Shape_Ex& e) {
        EXPECT_EQ(e.code, 0);
    }
}

// Writes the texts as files and makes a morph of them.
std::unique_ptr<ShapeMorph> morphOf(const std::vector<std::string>& texts, float scale = 30,
                                    float cx = 160, float cy = 100) {
    static int serial = 0;
    std::vector<std::string> names;
    std::vector<const char*> c;
    for (const std::string& t : texts) {
        names.push_back(scratchPath("shape_" + std::to_string(serial++)));
        writeFile(names.back(), asBytes(t));
    }
    for (auto& n : names) c.push_back(n.c_str());
    return std::make_unique<ShapeMorph>(static_cast<int>(c.size()), c.data(), 50, scale, scale, cx, cy);
}

TEST(ShapeMorph, ReachesShapeKAfterKTimes50StepsAndCycles) {
    // Shape k: k + 3 vertices on a circle, turned by k / 10.
    std::vector<std::string> texts;
    for (int k = 0; k < 7; ++k) {
        std::string t = std::to_string(k + 3) + " vertices\n";
        for (int i = 0; i < k + 3; ++i) {
            double a = k / 10.0 + 6.283185307179586 * i / (k + 3);
            t += std::to_string(5 * std::cos(a)) + " " + std::to_string(5 * std::sin(a)) + "\n";
        }
        texts.push_back(t);
    }
    auto m = morphOf(texts);
    ASSERT_TRUE(m->ok);
    EXPECT_EQ(m->maxVertices, 9);
    for (int k = 1; k <= 7; ++k) {
        for (int s = 0; s < 50; ++s) m->step();
        const Shape& target = *m->shapes[k % 7];
        for (int i = 0; i < m->maxVertices; ++i) {
            ASSERT_NEAR(m->current[i].x, target.vertex(i).x, 1e-3) << k << " " << i;
            ASSERT_NEAR(m->current[i].y, target.vertex(i).y, 1e-3) << k << " " << i;
        }
        EXPECT_EQ(m->from, k % 7);
        EXPECT_EQ(m->stepCounter, 0);
    }
}

TEST(ShapeMorph, ShortShapesRepeatTheirLastVertexAndFailuresAreReported) {
    auto m = morphOf({"5 vertices\n1 0\n0 1\n-1 0\n0 -1\n1 1\n", "8 vertices\n1 0\n1 1\n0 1\n-1 1\n-1 0\n-1 -1\n0 -1\n1 -1\n"});
    ASSERT_TRUE(m->ok);
    EXPECT_EQ(m->maxVertices, 8);
    for (int i = 5; i < 8; ++i) EXPECT_EQ(m->current[i].x, m->current[4].x);

    auto bad = morphOf({"3 vertices\n1 0\n0 1\n1 1\n", "3 things\n"});
    EXPECT_FALSE(bad->ok);
    EXPECT_EQ(bad->failedShape, 1);
    EXPECT_EQ(bad->failCode, 1);
    const char* missing[] = {"/nonexistent/shape"};
    EXPECT_EQ(ShapeMorph(1, missing, 50, 30, 30, 160, 100).failCode, 0);
    // A failed morph, and one of no shapes at all, must be safe to step and
    // draw: they have no outline, so nothing moves and nothing is drawn.
    std::vector<uint32_t> frame(320 * 200, 0);
    ShapeMorph none(0, nullptr, 50, 30, 30, 160, 100);
    EXPECT_FALSE(none.ok);
    for (ShapeMorph* failed : {bad.get(), &none}) {
        failed->step();
        failed->draw(frame.data());
    }
    EXPECT_EQ(std::count(frame.begin(), frame.end(), 0u), 320 * 200);
}

TEST(Shape, AFailedParseKeepsTheShapeAndAGoodOneReplacesIt) {
    Shape s;
    Bytes first = asBytes("3 vertices\n1 0\n0 1\n-1 0\n");
    Bytes broken = asBytes("2 vertices\n5 5\n");
    Bytes second = asBytes("2 vertices\n7 7\n8 8\n");
    s.parse(first.data(), first.size());
    EXPECT_THROW(s.parse(broken.data(), broken.size()), Shape::Shape_Ex);
    ASSERT_EQ(s.count, 3);
    EXPECT_EQ(s.vertices[0].x, 1);
    s.parse(second.data(), second.size());
    ASSERT_EQ(s.count, 2);
    EXPECT_EQ(s.vertices[1].y, 8);
    EXPECT_EQ(s.vertex(5).x, 8);  // past the end: the last vertex
}

TEST(ShapeMorph, ScreenPointsTruncateTowardZeroAndDrawAClosedOutline) {
    // A square of corners (+-20, +-20), give or take float rounding.
    const std::string square = "4 vertices\n1 1\n-1 1\n-1 -1\n1 -1\n";
    auto m = morphOf({square, square}, 20 * std::sqrt(2.0f), -19.5f, 20.5f);
    m->step();
    EXPECT_EQ(m->screen[0].x, 0);    // 0.5
    EXPECT_EQ(m->screen[1].x, -39);  // -39.5
    EXPECT_EQ(m->screen[0].y, 40);   // 40.5
    m->centreX = m->centreY = 100.5f;
    m->step();
    std::vector<uint32_t> frame(320 * 200, 0);
    m->draw(frame.data());
    // Corners and side middles are lit (a later line's halo may halve a
    // pixel once); the centre is not.
    auto lit = [&](int x, int y) { return frame[y * 320 + x] >= 0xFEFEFEu; };
    for (auto [x, y] : {std::pair{120, 120}, {80, 80}, {100, 80}, {100, 120}, {80, 100}, {120, 100}})
        EXPECT_TRUE(lit(x, y)) << x << "," << y;
    EXPECT_EQ(frame[100 * 320 + 100], 0u);
}

}  // namespace
