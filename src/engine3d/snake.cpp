#include "engine3d/snake.h"

#include <cmath>

#include "gfx2d/fmath.h"
#include "gfx2d/frame.h"
#include "gfx2d/lines.h"

namespace {

constexpr float kScale = 50.0f;
constexpr float kDepthOffset = 134.0f;
constexpr float kAngleUnit = 0.01227184609375f;  // 2 pi / 512
constexpr uint32_t kLineColour = 0xFFFFFF;

struct DepthEntry {
    int32_t depth;
    float unused;
};

DepthEntry depthBuffer[kFramePixels];
uint32_t colourTable[256];
SnakePoint curve[kSnakeCurveRoom];
SnakePoint cube[16];
SnakePoint control[kSnakeControlPoints + 1];

const SnakePoint kControl[kSnakeControlPoints] = {
    {-70, -70, 70}, {70, 70, -70}, {-70, 70, 70}, {-70, -70, -70},
    {70, -70, 70},  {-70, 70, -70}, {70, -70, -70}, {70, 70, 70},
};

// Four closed quadrilaterals of four corners.
const SnakePoint kCube[16] = {
    {70, 70, -70},  {70, -70, -70},  {-70, -70, -70}, {-70, 70, -70},
    {70, 70, 70},   {70, -70, 70},   {-70, -70, 70},  {-70, 70, 70},
    {70, -70, -70}, {70, 70, -70},   {70, 70, 70},    {70, -70, 70},
    {-70, -70, -70}, {-70, 70, -70}, {-70, 70, 70},   {-70, -70, 70},
};

struct Rotation {
    float m[9];
    SnakePoint apply(const SnakePoint& p) const {
        return SnakePoint{m[0] * p.x + m[1] * p.y + m[2] * p.z, m[3] * p.x + m[4] * p.y + m[5] * p.z,
                          m[6] * p.x + m[7] * p.y + m[8] * p.z};
    }
};

// Rx(ax) Ry(ay) Rz(az), angles in 512ths of a turn.
Rotation rotation(float ax, float ay, float az) {
    const float x = ax * kAngleUnit, y = ay * kAngleUnit, z = az * kAngleUnit;
    const float cx = fm::cos(x), sx = fm::sin(x);
    const float cy = fm::cos(y), sy = fm::sin(y);
    const float cz = fm::cos(z), sz = fm::sin(z);
    return Rotation{{cy * cz, -cy * sz, sy,                                    //
                     sx * sy * cz + cx * sz, cx * cz - sx * sy * sz, -sx * cy,  //
                     sx * sz - cx * sy * cz, cx * sy * sz + sx * cz, cx * cy}};
}

float scaled(double k, float a) { return static_cast<float>(k * a); }

// Screen position of a point in front of the projection centre.
bool project(const SnakePoint& p, int32_t& sx, int32_t& sy) {
    const float d = p.z + kDepthOffset;
    if (!(d > 0.0f)) return false;
    const float fx = kScale * p.x / d;
    const float fy = kScale * p.y / d;
    if (!(std::fabs(fx) < 1.0e6f) || !(std::fabs(fy) < 1.0e6f)) return false;
    sx = static_cast<int32_t>(fx) + kFrameWidth / 2;
    sy = static_cast<int32_t>(fy) + kFrameHeight / 2;
    return true;
}

}  // namespace

void clearSnakeDepth() {
    for (DepthEntry& e : depthBuffer) e = DepthEntry{kSnakeFarDepth, 0.0f};
}

void initSnake() {
    clearSnakeDepth();
    colourTable[0] = 0;
    for (int i = 1; i < 256; ++i) {
        const int k = 256 - i;
        const auto r = static_cast<uint32_t>(std::floor(128.0 + k * 127.0 / 256.0));
        const auto g = static_cast<uint32_t>(std::floor(194.0 + k * 0.23828125));
        const auto b = static_cast<uint32_t>(std::floor(184.0 + k * 71.0 / 256.0));
        colourTable[i] = r * 65536u + g * 256u + b;
    }
}

uint32_t snakeColour(int i) { return colourTable[i & 0xFF]; }
const SnakePoint* snakeCurve() { return curve; }

void animateSnake(float x) {
    const float a = static_cast<float>(50.0f * x);
    const Rotation m1 = rotation(a, scaled(-0.95, a), a);
    const Rotation m2 = rotation(-a, scaled(0.7142857142857143, a), scaled(1.02, a + 50.0f));
    const Rotation m3 = rotation(scaled(0.51, a), scaled(1.005, a), scaled(0.42, a));
    const Rotation m4 = rotation(scaled(1.51, a), scaled(1.005, a), scaled(2.380952380952381, a));
    const Rotation m5 = rotation(scaled(-1.51, a), scaled(1.005, a), scaled(1.42, a));
    const Rotation m6 = rotation(scaled(0.01, a), scaled(1.505, a), scaled(0.42, a));
    const Rotation m7 = rotation(a - 0.51f, a + 1.805f, scaled(1.82, a));
    const Rotation m8 = rotation(scaled(0.81, a), scaled(0.9950248756218907, a), a + 0.42f);

    for (int j = 0; j < 16; ++j) cube[j] = m1.apply(kCube[j]);
    control[0] = m1.apply(kControl[0]);
    control[1] = m1.apply(kControl[1]);
    control[2] = m2.apply(kControl[2]);
    control[3] = m3.apply(kControl[3]);
    control[4] = m4.apply(kControl[4]);
    control[5] = m5.apply(kControl[5]);
    control[6] = m6.apply(kControl[6]);
    control[7] = m7.apply(kControl[7]);
    control[8] = m8.apply(kSnakeNinthPoint);

    int n = 0;
    for (int k = 0; k + 3 <= kSnakeControlPoints; ++k) {
        const SnakePoint& p0 = control[k];
        const SnakePoint& p1 = control[k + 1];
        const SnakePoint& p2 = control[k + 2];
        const SnakePoint& p3 = control[k + 3];
        for (double s = 0.0; s < 1.0 && n < kSnakeCurveRoom; s += 1.0 / kSnakeSamplesPerSegment) {
            const double s2 = s * s;
            const double s3 = s2 * s;
            const double b0 = (1.0 - s) * (1.0 - s) * (1.0 - s);
            const double b1 = 3.0 * s3 - 6.0 * s2 + 4.0;
            const double b2 = -3.0 * s3 + 3.0 * s2 + 3.0 * s + 1.0;
            const double b3 = s3;
            curve[n].x = static_cast<float>((b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x) / 6.0);
            curve[n].y = static_cast<float>((b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y) / 6.0);
            curve[n].z = static_cast<float>((b0 * p0.z + b1 * p1.z + b2 * p2.z + b3 * p3.z) / 6.0);
            ++n;
        }
    }
    for (; n < kSnakeCurveRoom; ++n) curve[n] = curve[n - 1];
}

void plotSnakePoints(const SnakePoint* points, int count, uint32_t* frameBuffer) {
    for (int i = 0; i < count; ++i) {
        const SnakePoint& p = points[i];
        int32_t sx, sy;
        if (!project(p, sx, sy)) continue;
        if (sx < 0 || sx >= kFrameWidth || sy < 0 || sy >= kFrameHeight) continue;
        if (!(std::fabs(p.z) < 1.0e6f)) continue;
        const int32_t d = static_cast<int32_t>(p.z);
        DepthEntry& e = depthBuffer[sy * kFrameWidth + sx];
        if (d < e.depth) {
            e.depth = d;
            frameBuffer[sy * kFrameWidth + sx] = colourTable[static_cast<int32_t>(p.z + 128.0f) & 0xFF];
        }
    }
}

void drawSnake(uint32_t* frameBuffer) {
    for (int g = 0; g < 4; ++g) {
        int32_t px = 0, py = 0;
        project(cube[4 * g + 3], px, py);
        for (int j = 0; j < 4; ++j) {
            int32_t x = 0, y = 0;
            project(cube[4 * g + j], x, y);
            drawGlowLineEx(x, y, px, py, kLineColour, depthBuffer, frameBuffer);
            px = x;
            py = y;
        }
    }
    plotSnakePoints(curve, kSnakeDrawnPoints, frameBuffer);
    clearSnakeDepth();
}
