#include "data/shape.h"

#include <gtest/gtest.h>

#include <cmath>

#include "test_files.h"

namespace {

int32_t shapeError(const std::string& text) {
    Shape s;
    Bytes b = asBytes(text);
    try {
        s.parse(b.data(), b.size());
    } catch (Shape::Shape_Ex& e) {
        return e.code;
    }
    return -1;
}

TEST(Shape, ParseNormaliseAndScale) {
    Shape s;
    Bytes b = asBytes("3 vertices\n3 4\n  0\t-2\n0 0");  // no final line break
    s.parse(b.data(), b.size());
    ASSERT_EQ(s.count, 3);
    s.normaliseAndScale(30, 30);
    EXPECT_FLOAT_EQ(s.vertices[0].x, 18);
    EXPECT_FLOAT_EQ(s.vertices[0].y, 24);
    EXPECT_FLOAT_EQ(s.vertices[1].x, 0);
    EXPECT_FLOAT_EQ(s.vertices[1].y, -30);
    EXPECT_EQ(s.vertices[2].x, 0);
    EXPECT_EQ(s.vertices[2].y, 0);

    // Whitespace is free and text after the last vertex is not read.
    Bytes loose = asBytes("2vertices 1e1 -0.5\n.25 +7 trailing words 12");
    Shape t;
    t.parse(loose.data(), loose.size());
    ASSERT_EQ(t.count, 2);
    EXPECT_EQ(t.vertices[0].x, 10.0f);
    EXPECT_EQ(t.vertices[1].x, 0.25f);
    EXPECT_EQ(t.vertices[1].y, 7.0f);
}

TEST(Shape, ContentErrors) {
    EXPECT_EQ(shapeError("3 vertices\n1 1\n2 2\n3 3\n"), -1);
    EXPECT_EQ(shapeError("3 points\n1 1\n2 2\n3 3\n"), 1);
    EXPECT_EQ(shapeError("3 vertice\n1 1\n2 2\n3 3\n"), 1);
    EXPECT_EQ(shapeError("vertices\n1 1\n"), 1);
    EXPECT_EQ(shapeError("3 vertices\n1 1\n2 2\n3\n"), 1);
    EXPECT_EQ(shapeError("3 vertices\n1 1\n2 x\n3 3\n"), 1);
    EXPECT_EQ(shapeError("0 vertices\n"), 1);
    EXPECT_EQ(shapeError("-2 vertices\n1 1\n"), 1);
    EXPECT_EQ(shapeError("4097 vertices\n1 1\n"), 1);
    EXPECT_EQ(shapeError("99999999999999 vertices\n1 1\n"), 1);
    EXPECT_EQ(shapeError(""), 1);
    Shape s;
    try {
        s.read(scratchPath("no-shape").c_str());
        FAIL();
    } catch (Shape::Shape_Ex& e) {
        EXPECT_EQ(e.code, 0);
    }
}

// Seven shape files shapeN_1 .. shapeN_7 in the scratch folder.
std::vector<std::string> writeShapes(const std::string& stem, const std::vector<std::string>& texts) {
    std::vector<std::string> names;
    for (size_t i = 0; i < texts.size(); ++i) {
        names.push_back(scratchPath(stem + std::to_string(i + 1)));
        writeText(names.back(), texts[i]);
    }
    return names;
}

std::vector<const char*> cNames(const std::vector<std::string>& names) {
    std::vector<const char*> out;
    for (auto& n : names) out.push_back(n.c_str());
    return out;
}

// Shape k: k + 3 vertices on the unit circle, starting at angle k / 10.
std::vector<std::string> polygonTexts(int count) {
    std::vector<std::string> texts;
    for (int k = 0; k < count; ++k) {
        std::string t = std::to_string(k + 3) + " vertices\n";
        for (int i = 0; i < k + 3; ++i) {
            double a = k / 10.0 + 6.283185307179586 * i / (k + 3);
            t += std::to_string(5 * std::cos(a)) + " " + std::to_string(5 * std::sin(a)) + "\n";
        }
        texts.push_back(t);
    }
    return texts;
}

TEST(ShapeMorph, ReachesShapeKAfterKTimesStepsAndCycles) {
    auto names = writeShapes("poly", polygonTexts(7));
    auto c = cNames(names);
    ShapeMorph m(7, c.data(), 50, 30, 30, 160, 100);
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.maxVertices, 9);
    std::vector<std::unique_ptr<Shape>> ref;
    for (auto& n : names) {
        ref.push_back(std::make_unique<Shape>());
        ref.back()->read(n.c_str());
        ref.back()->normaliseAndScale(30, 30);
    }
    for (int k = 1; k <= 7; ++k) {
        for (int s = 0; s < 50; ++s) m.step();
        const Shape& target = *ref[k % 7];
        for (int i = 0; i < m.maxVertices; ++i) {
            EXPECT_NEAR(m.current[i].x, target.vertex(i).x, 1e-3) << "shape " << k << " vertex " << i;
            EXPECT_NEAR(m.current[i].y, target.vertex(i).y, 1e-3);
        }
        EXPECT_EQ(m.from, k % 7);
        EXPECT_EQ(m.to, (k + 1) % 7);
        EXPECT_EQ(m.stepCounter, 0);
    }
}

TEST(ShapeMorph, ShorterShapesRepeatTheirLastVertex) {
    auto names = writeShapes("short", {"5 vertices\n1 0\n0 1\n-1 0\n0 -1\n1 1\n",
                                       "8 vertices\n1 0\n1 1\n0 1\n-1 1\n-1 0\n-1 -1\n0 -1\n1 -1\n"});
    auto c = cNames(names);
    ShapeMorph m(2, c.data(), 50, 30, 30, 160, 100);
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.maxVertices, 8);
    for (int i = 4; i < 8; ++i) {
        EXPECT_EQ(m.current[i].x, m.current[4].x);
        EXPECT_EQ(m.current[i].y, m.current[4].y);
    }
}

TEST(ShapeMorph, ScreenPointsTruncateTowardZeroAndDrawAClosedOutline) {
    // A square whose corners land on 0.5 and -0.5 once centred.
    auto names = writeShapes("sq", {"4 vertices\n1 1\n-1 1\n-1 -1\n1 -1\n",
                                    "4 vertices\n1 1\n-1 1\n-1 -1\n1 -1\n"});
    auto c = cNames(names);
    float r = 20 * std::sqrt(2.0f);
    ShapeMorph m(2, c.data(), 50, r, r, 20.5f, 20.5f);
    m.step();
    EXPECT_EQ(m.screen[0].x, 40);
    EXPECT_EQ(m.screen[0].y, 40);
    m.centreX = -19.5f;
    m.step();
    EXPECT_EQ(m.screen[1].x, -39);  // -39.5 truncates to -39
    EXPECT_EQ(m.screen[0].x, 0);    // 0.5 truncates to 0

    m.centreX = 100.5f;
    m.centreY = 100.5f;
    m.step();
    std::vector<uint32_t> frame(320 * 200, 0);
    m.draw(frame.data());
    // Full white on the line; a later line's halo may halve it once.
    auto lit = [&](int x, int y) { return frame[y * 320 + x] >= 0xFEFEFEu; };
    // The corners and the middle of each side are lit; the centre is not.
    EXPECT_TRUE(lit(120, 120));
    EXPECT_TRUE(lit(80, 80));
    EXPECT_TRUE(lit(100, 80));
    EXPECT_TRUE(lit(100, 120));
    EXPECT_TRUE(lit(80, 100));
    EXPECT_TRUE(lit(120, 100));
    EXPECT_EQ(frame[100 * 320 + 100], 0u);
}

TEST(ShapeMorph, AFailedFileIsReported) {
    auto names = writeShapes("bad", {"3 vertices\n1 0\n0 1\n1 1\n", "3 things\n"});
    names.push_back(scratchPath("bad-missing"));
    auto c = cNames(names);
    ShapeMorph broken(3, c.data(), 50, 30, 30, 160, 100);
    EXPECT_FALSE(broken.ok);
    EXPECT_EQ(broken.failedShape, 1);
    EXPECT_EQ(broken.failCode, 1);
    const char* missing[] = {c[0], c[2]};
    ShapeMorph gone(2, missing, 50, 30, 30, 160, 100);
    EXPECT_FALSE(gone.ok);
    EXPECT_EQ(gone.failedShape, 1);
    EXPECT_EQ(gone.failCode, 0);
}

}  // namespace
