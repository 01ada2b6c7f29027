// The readers on damaged input: byte flips, cuts and insertions of a good
// file must give a clean result or a clean failure, never a read or write
// outside the data (run under the sanitizer build to see those).
#include <gtest/gtest.h>

#include "data/pcx.h"
#include "data/shape.h"
#include "raytracer/ray_scene.h"
#include "test_files.h"

namespace {

RayTexture gTexture;
RayTexture* anyTexture(const char*) { return &gTexture; }

// Mutation n of a file: a few changed, removed or repeated bytes, or a cut.
Bytes mutate(const Bytes& good, uint32_t n) {
    Bytes b = good;
    uint32_t s = n * 2654435761u + 1;
    auto next = [&] {
        s = s * 214013u + 2531011u;
        return (s >> 16) & 0x7FFF;
    };
    const char tokens[] = " \t\n0123456789.-+eExXsphere_textlanoid\0\xC0\xFF";
    for (uint32_t k = 0, edits = 1 + next() % 4; k < edits && !b.empty(); ++k) {
        size_t at = (next() << 15 | next()) % b.size();
        switch (next() % 5) {
        case 0: b[at] = static_cast<uint8_t>(tokens[next() % (sizeof tokens - 1)]); break;
        case 1: b[at] = static_cast<uint8_t>(next()); break;
        case 2: b.erase(b.begin() + static_cast<long>(at)); break;
        case 3: b.insert(b.begin() + static_cast<long>(at), 1 + next() % 300, b[at]); break;
        case 4: b.resize(at); break;
        }
    }
    return b;
}

TEST(DamagedInput, RaySceneParserStaysInsideItsData) {
    Bytes good = asBytes(
        "viewport\n\t81\t36\t0\t55\ncamera\n\t0\t200\t500\n\t0\t0\t0\n\t0\nlight\n\t400\t550\t0\n"
        "plane_text\n\t0\t-1\t0\t-200\n\tfloor.tex\n\t0.2\n"
        "sphere\n\t120\t0\t0\t27\n\t1\t0.35\t0.25\n\t0.3\n"
        "ellipsoid\n\t0\t120\t0\n\t1.3\t1\t1.3\n\t30\n\t0.3\t0.6\t1\n\t0.3\n"
        "sphere_text\n\t0\t38\t0\t30\n\tball.tex\n\t0.15\n"
        "plane\n\t0\t1\t0\t2\n\t0.5\t0.5\t0.5\n\t0.3\n"
        "ellipsoid_text\n\t680\t-40\t0\n\t6\t1\t6\n\t240\n\tpillar.tex\n\t0.1\n");
    testing::internal::CaptureStderr();
    for (uint32_t n = 0; n < 3000; ++n) {
        Bytes b = mutate(good, n);
        RayViewport v;
        RayScene scene;
        EXPECT_EQ(parseRayScene(b.data(), b.size(), v, scene, anyTexture), 1);
        ASSERT_GE(scene.objectCount, 0);
        ASSERT_LE(scene.objectCount, kRayMaxObjects);
        for (int i = 0; i < scene.objectCount; ++i) ASSERT_NE(scene.objects[i].record, nullptr);
    }
    testing::internal::GetCapturedStderr();
}

TEST(DamagedInput, ShapeParserStaysInsideItsData) {
    Bytes good = asBytes("5 vertices\n1 0\n0.3 0.95\n-0.8 0.58\n-0.8 -0.58\n0.3 -0.95\n");
    int loaded = 0;
    for (uint32_t n = 0; n < 3000; ++n) {
        Bytes b = mutate(good, n);
        Shape s;
        try {
            s.parse(b.data(), b.size());
            ASSERT_GT(s.count, 0);
            ASSERT_LE(s.count, Shape::kMaxVertices);
            ++loaded;
        } catch (Shape::Shape_Ex& e) {
            ASSERT_EQ(e.code, 1);
        }
    }
    EXPECT_GT(loaded, 0);
}

TEST(DamagedInput, PcxAndTextureReadersStayInsideTheirData) {
    Bytes pcx(128, 0);
    pcx[0] = 10, pcx[1] = 5, pcx[2] = 1, pcx[3] = 8, pcx[8] = 255, pcx[10] = 255;
    Bytes noise = noiseBytes(70000, 9);
    pcx.insert(pcx.end(), noise.begin(), noise.end());
    Bytes tex = noiseBytes(10 + 768 + 65536, 10);
    tex[4] = 0, tex[5] = 1, tex[6] = 0, tex[7] = 1;
    for (uint32_t n = 0; n < 300; ++n) {
        Bytes b = mutate(pcx, n);
        PcxPicture pic;
        if (pic.parse(b.data(), b.size()) == PcxPicture::kLoaded) {
            ASSERT_NE(pic.shadeTable, nullptr);
        }
        Bytes t = mutate(tex, n);
        delete parseRayTexture(t.data(), t.size());
    }
}

}  // namespace
