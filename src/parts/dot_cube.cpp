// Twisting dot cube. The "formula" picture fades in over the previous frame
// (half-blended every frame), the "headache" caption swings at the top
// left, and a cube of 10x10x10 white dots, its horizontal layers twisting
// against each other, recedes into the distance while it turns. Then it
// wanders around the screen centre, more widely frame by frame, until the
// first beat; eight bands of the "dovo" picture then grow down over
// everything, and the part holds that picture until the next beat.
// Images: formula, headache (key blue), dovo.
#include <cmath>

#include "data/image_bank.h"
#include "gfx2d/fmath.h"
#include "gfx2d/frame_ops.h"
#include "gfx2d/lines.h"
#include "gfx2d/sprite.h"
#include "gfx2d/wire.h"
#include "parts/parts.h"
#include "stage/stage.h"

namespace {

constexpr int kBands = 8;
constexpr int kBandHeight = 25;
// The wander amplitude grows by 4 a frame (not by time) and stops at 76.
constexpr float kRampStep = 4.0f;
constexpr float kRampStop = 80.0f;

struct Scene {
    DotCube cube{10, 70.0f, 0xFFFFFF, 160.0f, 100.0f, 512.0f};
    Sprite caption = img::sprite(img::headache, img::kKeyColour);
};

// Background fade, caption swing and cube rotation: the steps every frame
// of the part shares.
void drawCommon(float t, Scene& s) {
    blendFrameHalf(img::formula, FrameBuffer);
    s.caption.x = static_cast<int32_t>(fm::cos(8.0f * t) * 30.0f + 20.0f);
    s.caption.y = static_cast<int32_t>(fm::cos(3.0f * t) * 50.0f + 54.5f);
    s.cube.matrix.setRotation(2.1f * t, 0.0f, -1.8f * t);
}

void setTwist(float t, DotCube& cube) {
    cube.twistStart = fm::cos(2.0f * t);
    cube.twistEnd = fm::sin(3.0f * t);
}

}  // namespace

int runDotCube() {
    Scene s;
    s.cube.scaleX = 64.0f;
    s.cube.scaleY = 64.0f;

    // Recede: 257 frames, depth 256 .. 768.
    for (float z = 256.0f; z <= 768.0f; z += 2.0f) {
        if (KeyPending()) return -1;
        const float t = static_cast<float>(DemoTime());
        drawCommon(t, s);
        s.caption.drawKeyed(FrameBuffer);
        setTwist(t, s.cube);
        s.cube.centreX = 160.0f;
        s.cube.centreY = 100.0f;
        s.cube.depth = z;
        s.cube.drawDots(FrameBuffer);
        PresentFrame();
    }

    // Wander until the next beat.
    float amplitude = 0.0f;
    float ramp = 0.0f;
    BeginBeatWait();
    do {
        if (KeyPending()) return -1;
        const float t = static_cast<float>(DemoTime());
        drawCommon(t, s);
        s.caption.drawKeyed(FrameBuffer);
        setTwist(t, s.cube);
        if (ramp != kRampStop) {
            amplitude = ramp;
            ramp += kRampStep;
        }
        s.cube.centreX = fm::sin(-0.7f * t) * fm::cos(t) * amplitude + 160.0f;
        s.cube.centreY = fm::cos(0.5f * t) * fm::sin(t) * amplitude + 100.0f;
        s.cube.depth = 770.0f + fm::sin(1.1f * t) * 2.0f * amplitude;
        s.cube.drawDots(FrameBuffer);
        PresentFrame();
    } while (!BeatArrived());

    // Reveal: each band of the picture grows one row a frame from its top;
    // twist, centre and depth keep their last values.
    for (int i = 0; i <= kBandHeight; ++i) {
        if (KeyPending()) return -1;
        drawCommon(static_cast<float>(DemoTime()), s);
        s.caption.drawKeyed(FrameBuffer);
        s.cube.drawDots(FrameBuffer);
        for (int band = 0; band < kBands; ++band) copyRect(0, band * kBandHeight, kFrameWidth, i, img::dovo, FrameBuffer);
        PresentFrame();
    }
    if (!WaitForBeat()) return -1;
    return 0;
}
