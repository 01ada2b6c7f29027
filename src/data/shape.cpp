#include "data/shape.h"

#include <cmath>

#include "data/text_scanner.h"

void Shape::read(const char* fileName) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(fileName, bytes)) throw Shape_Ex{0};
    parse(bytes.data(), bytes.size());
}

void Shape::parse(const uint8_t* bytes, size_t size) {
    TextScanner in(bytes, size);
    int32_t n = 0;
    if (!in.readInt(n)) throw Shape_Ex{1};
    in.skipSpace();
    if (!in.matchWord("vertices")) throw Shape_Ex{1};
    if (n <= 0 || n > kMaxVertices) throw Shape_Ex{1};
    std::unique_ptr<ShapePoint[]> points(new ShapePoint[static_cast<size_t>(n)]);
    for (int32_t i = 0; i < n; ++i) {
        if (!in.readFloat(points[i].x) || !in.readFloat(points[i].y)) throw Shape_Ex{1};
        // "inf" and "nan" convert, but give an outline no direction: the
        // normalised vertex would be NaN and its screen point undefined.
        if (!std::isfinite(points[i].x) || !std::isfinite(points[i].y)) throw Shape_Ex{1};
    }
    count = n;
    vertices = std::move(points);
}

void Shape::normalise() {
    for (int32_t i = 0; i < count; ++i) {
        ShapePoint& p = vertices[i];
        float length = std::sqrt(p.x * p.x + p.y * p.y);
        if (length != 0.0f) {
            p.x /= length;
            p.y /= length;
        }
    }
}

void Shape::scale(float sx, float sy) {
    for (int32_t i = 0; i < count; ++i) {
        vertices[i].x *= sx;
        vertices[i].y *= sy;
    }
}

void Shape::normaliseAndScale(float sx, float sy) {
    normalise();
    scale(sx, sy);
}

ShapeMorph::ShapeMorph(int count, const char* const* fileNames, int stepsPerShape, float sx,
                       float sy, float cx, float cy)
    : shapeCount(count), centreX(cx), centreY(cy), stepFactor(1.0f / stepsPerShape),
      steps(stepsPerShape) {
    for (int k = 0; k < shapeCount; ++k) {
        auto shape = std::make_unique<Shape>();
        try {
            shape->read(fileNames[k]);
        } catch (Shape::Shape_Ex& e) {
            ok = false;
            failedShape = k;
            failCode = e.code;
            return;
        }
        if (shape->count > maxVertices) maxVertices = shape->count;
        shape->normaliseAndScale(sx, sy);
        shapes.push_back(std::move(shape));
    }
    if (shapeCount < 1) {
        ok = false;
        return;
    }
    const size_t m = static_cast<size_t>(maxVertices);
    current.resize(m);
    screen.resize(m);
    deltas.resize(m * static_cast<size_t>(shapeCount));

    // Shorter shapes repeat their last vertex up to maxVertices.
    int a = 0;
    int b = 1 % shapeCount;
    for (int k = 0; k < shapeCount; ++k) {
        ShapePoint* block = &deltas[static_cast<size_t>(k) * m];
        for (int i = 0; i < maxVertices; ++i) {
            const ShapePoint& p = shapes[a]->vertex(i);
            const ShapePoint& q = shapes[b]->vertex(i);
            block[i] = {(q.x - p.x) * stepFactor, (q.y - p.y) * stepFactor};
        }
        a = b;
        b = (b + 1) % shapeCount;
    }

    rewindTo(0);
}

void ShapeMorph::rewindTo(int64_t stepCount) {
    if (!ok) return;
    from = 0;
    to = 1 % shapeCount;
    stepCounter = 0;
    stepsTaken = 0;
    for (int i = 0; i < maxVertices; ++i) current[i] = shapes[0]->vertex(i);
    for (int64_t k = 0; k < stepCount; ++k) step();
}

void ShapeMorph::step() {
    if (!ok) return;
    const ShapePoint* d = &deltas[static_cast<size_t>(from) * maxVertices];
    ShapePoint* c = current.data();
    Point2i* s = screen.data();
    for (int i = 0; i < maxVertices; ++i) {
        c[i].x += d[i].x;
        c[i].y += d[i].y;
        s[i].x = static_cast<int32_t>(c[i].x + centreX);
        s[i].y = static_cast<int32_t>(c[i].y + centreY);
    }
    ++stepsTaken;
    if (++stepCounter == steps) {
        stepCounter = 0;
        from = to;
        to = (to + 1) % shapeCount;
    }
}

void ShapeMorph::draw(uint32_t* frameBuffer) const {
    if (!ok) return;
    drawPolygon(screen.data(), maxVertices, 0xFFFFFF, frameBuffer);
}
