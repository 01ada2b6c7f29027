#include "gfx2d/wire.h"

#include <cmath>

#include "gfx2d/colour.h"
#include "gfx2d/float_int.h"
#include "gfx2d/fmath.h"
#include "gfx2d/frame.h"

void Matrix4::setIdentity() {
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void Matrix4::setRotation(float a1, float a2, float a3) {
    const float sa = fm::sin(a1), ca = fm::cos(a1);
    const float sb = fm::sin(a2), cb = fm::cos(a2);
    const float sg = fm::sin(a3), cg = fm::cos(a3);
    setIdentity();
    at(0, 0) = cg * cb - sg * sb * sa;
    at(0, 1) = sg * cb + cg * sb * sa;
    at(0, 2) = sb * ca;
    at(1, 0) = -sg * ca;
    at(1, 1) = cg * ca;
    at(1, 2) = -sa;
    at(2, 0) = -cg * sb - sg * cb * sa;
    at(2, 1) = cg * cb * sa - sg * sb;
    at(2, 2) = cb * ca;
}

WireObject::WireObject(int32_t n, uint32_t colour_, float centreX_, float centreY_, float depth_)
    : centreX(centreX_),
      centreY(centreY_),
      depth(depth_),
      colour(colour_),
      vertexCount(n > 0 ? n : 0),
      vertices(new Vertex3f[vertexCount > 0 ? vertexCount : 1]()),
      projected(new Point2i[vertexCount > 0 ? vertexCount : 1]()) {}

WireObject::~WireObject() = default;

void WireObject::update() { project(); }

void WireObject::project() {
    const float* m = matrix.m;
    for (int32_t i = 0; i < vertexCount; ++i) {
        const Vertex3f& p = vertices[i];
        const float x = p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12];
        const float y = p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13];
        const float z = p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14] + depth;
        projected[i].x = truncToInt(x * scaleX / z + centreX);
        projected[i].y = truncToInt(y * scaleY / z + centreY);
    }
}

WireCube::WireCube(float size, uint32_t colour_, float centreX_, float centreY_, float depth_)
    : WireObject(8, colour_, centreX_, centreY_, depth_) {
    const float e = size / 2.0f;
    const Vertex3f corners[8] = {{-e, -e, e},  {e, -e, e},  {e, e, e},  {-e, e, e},
                                 {-e, -e, -e}, {e, -e, -e}, {e, e, -e}, {-e, e, -e}};
    for (int i = 0; i < 8; ++i) vertices[i] = corners[i];
}

void WireCube::drawCube(uint32_t* dst) {
    update();
    const Point2i* p = projected.get();
    drawPolygon(p, 4, colour, dst);
    drawPolygon(p + 4, 4, colour, dst);
    for (int i = 0; i < 4; ++i) drawGlowLine(p[i].x, p[i].y, p[i + 4].x, p[i + 4].y, colour, dst);
}

WireLattice::WireLattice(float g, uint32_t colour_, float centreX_, float centreY_, float depth_)
    : WireObject(150, colour_, centreX_, centreY_, depth_) {
    Vertex3f* v = vertices.get();
    for (int p = -2; p <= 2; ++p) {
        for (int q = -2; q <= 2; ++q) {
            const float pg = static_cast<float>(p) * g;
            const float qg = static_cast<float>(q) * g;
            const float g2 = 2.0f * g;
            *v++ = {g2, pg, qg};
            *v++ = {-g2, pg, qg};
            *v++ = {pg, g2, qg};
            *v++ = {pg, -g2, qg};
            *v++ = {pg, qg, g2};
            *v++ = {pg, qg, -g2};
        }
    }
}

void WireLattice::drawSegments(uint32_t* dst) {
    update();
    const Point2i* p = projected.get();
    for (int32_t i = 0; i + 1 < vertexCount; i += 2)
        drawGlowLine(p[i].x, p[i].y, p[i + 1].x, p[i + 1].y, colour, dst);
}

DotCube::DotCube(int32_t n, float spacing_, uint32_t colour_, float centreX_, float centreY_,
                 float depth_)
    : WireObject(n > 0 && n <= 1024 ? n * n * n : 0, colour_, centreX_, centreY_, depth_),
      perSide(n),
      spacing(spacing_) {}

void DotCube::update() {
    const int32_t n = perSide;
    // The vertex array was sized for the side given at construction; a
    // side changed since then would not fit, and the old dots stay.
    if (n <= 0 || int64_t{n} * n * n != vertexCount) {
        project();
        return;
    }
    const float b = static_cast<float>(-(n / 2));
    const float step = (twistEnd - twistStart) / static_cast<float>(n);
    float theta = twistStart;
    float y = b * spacing;
    Vertex3f* v = vertices.get();
    for (int32_t i = 0; i < n; ++i) {
        const float c = fm::cos(theta);
        const float s = fm::sin(theta);
        float z = b * spacing;
        for (int32_t j = 0; j < n; ++j) {
            float x = b * spacing;
            for (int32_t k = 0; k < n; ++k) {
                *v++ = {x * c + z * s, y, z * c - x * s};
                x += spacing;
            }
            z += spacing;
        }
        theta += step;
        y += spacing;
    }
    project();
}

void DotCube::drawDots(uint32_t* dst) {
    update();
    const uint32_t c = colour;
    for (int32_t i = 0; i < vertexCount; ++i) {
        const int32_t x = projected[i].x;
        const int32_t y = projected[i].y;
        if (x <= 0 || x >= kFrameWidth - 1 || y <= 0 || y >= kFrameHeight - 1) continue;
        uint32_t* p = dst + y * kFramePitch + x;
        p[0] = c;
        p[-1] = blendHalf(p[-1], c);
        p[-kFramePitch] = blendHalf(p[-kFramePitch], c);
        p[1] = blendHalf(p[1], c);
        p[kFramePitch] = blendHalf(p[kFramePitch], c);
    }
}
