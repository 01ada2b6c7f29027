// Gadget parade: two phases of 200 frames. In each, three gadget pictures
// glide translucently across the screen on straight lines while two small
// name logos wobble in the top-left and bottom-right corners, over a
// background that keeps fading towards the mainframe picture. Images:
// magtape, satellit, camera (gadgets), quorle, codepix, fenwy, 3deng (logos),
// ibm360 (background). No music event: it ends after 400 frames.
#include <cmath>

#include "data/image_bank.h"
#include "gfx2d/fmath.h"
#include "gfx2d/frame_ops.h"
#include "gfx2d/sprite.h"
#include "parts/parts.h"
#include "stage/stage.h"

namespace {

// A point moving by a fixed float step per frame.
struct LinearMover {
    float x, dx, y, dy;
    int n;
    // From (x0, y0) to (x1, y1) in n equal steps.
    LinearMover(float x0, float y0, float x1, float y1, int steps)
        : x(x0), dx((x1 - x0) / steps), y(y0), dy((y1 - y0) / steps), n(steps) {}
    void step() {
        x += dx;
        y += dy;
    }
};

void placeCornerLogos(Sprite& topLeft, Sprite& bottomRight, float t) {
    topLeft.x = static_cast<int32_t>(fm::sin(t * 7.853981633974483f) * 10 + 3);
    topLeft.y = static_cast<int32_t>(fm::cos(t * 6.283185307179586f) * 10 + 3);
    bottomRight.x = static_cast<int32_t>(fm::cos(t * 7.853981633974483f) * 10 + 225);
    bottomRight.y = static_cast<int32_t>(fm::sin(t * 8.79645943005142f) * 10 + 133);
}

}  // namespace

int runGadgetParade() {
    Sprite magtape = img::sprite(img::magtape, img::size::magtape, 0x0000FF);
    Sprite satellite = img::sprite(img::satellit, img::size::satellit, 0x0000FF);
    Sprite camera = img::sprite(img::camera, img::size::camera, 0x0000FF);
    Sprite quorle = img::sprite(img::quorle, img::size::quorle, 0x0000FF);
    Sprite fenwy = img::sprite(img::fenwy, img::size::fenwy, 0x0000FF);
    Sprite codepix = img::sprite(img::codepix, img::size::codepix, 0x0000FF);
    Sprite threeDeng = img::sprite(img::n3deng, img::size::n3deng, 0x0000FF);

    auto drawFrame = [&](const Sprite& firstLogo, const Sprite& secondLogo) {
        blendFrameHalf(img::ibm360, FrameBuffer);
        firstLogo.drawKeyed(FrameBuffer);
        secondLogo.drawKeyed(FrameBuffer);
        magtape.drawKeyedHalf(FrameBuffer);
        satellite.drawKeyedHalf(FrameBuffer);
        camera.drawKeyedHalf(FrameBuffer);
    };

    // Phase 1: the tape crosses left to right, the satellite flies from the
    // bottom-right corner to the top-left, the camera rises.
    float a = -114.0f, b = 200.0f;
    LinearMover m(320, 200, -142, -106, 200);
    for (int i = 0; i < 200; ++i) {
        if (KeyPending()) return -1;
        placeCornerLogos(quorle, codepix, static_cast<float>(DemoTime()));
        magtape.x = static_cast<int32_t>(a);
        magtape.y = 10;
        satellite.x = static_cast<int32_t>(m.x);
        satellite.y = static_cast<int32_t>(m.y);
        camera.x = 100;
        camera.y = static_cast<int32_t>(b);
        drawFrame(quorle, codepix);
        a += 2.17f;
        m.step();
        b -= 1.495f;
        PresentFrame();
    }

    // Phase 2: the tape drops, the satellite climbs from the bottom-left,
    // the camera crosses right to left.
    float c = -113.0f, d = 320.0f;
    m.x = -114.0f;
    m.y = 200.0f;
    m.dx = 2.17f;
    m.dy = -1.565f;
    for (int i = 0; i < 200; ++i) {
        if (KeyPending()) return -1;
        placeCornerLogos(threeDeng, fenwy, static_cast<float>(DemoTime()));
        magtape.x = 40;
        magtape.y = static_cast<int32_t>(c);
        satellite.x = static_cast<int32_t>(m.x);
        satellite.y = static_cast<int32_t>(m.y);
        camera.x = static_cast<int32_t>(d);
        camera.y = 91;
        drawFrame(fenwy, threeDeng);
        c += 1.565f;
        m.step();
        d -= 2.135f;
        PresentFrame();
    }
    return 0;
}
