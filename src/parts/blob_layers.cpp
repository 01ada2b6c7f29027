// Blob layers and checkerboard reveal. Over the looping six-picture
// animation, mixed into the previous frame, metaballs reveal a seventh
// picture, the morphing white outline bounces on the left and a jittering
// sprite flickers on the right, until the next beat; then in 50 frames the
// kickass picture appears in a growing checkerboard of 80x50 cells, and the
// part waits for one more beat. Images: pyr0..pyr5 (animation), pyr00 (in
// the shared blob field), xfrmd, xfrmd2, kickass.
#include <cmath>
#include <cstdlib>

#include "data/image_bank.h"
#include "data/shape.h"
#include "gfx2d/angles.h"
#include "gfx2d/effects.h"
#include "gfx2d/fmath.h"
#include "gfx2d/frame_ops.h"
#include "gfx2d/lines.h"
#include "gfx2d/sprite.h"
#include "parts/parts.h"
#include "stage/shared_effects.h"
#include "stage/stage.h"

namespace {

constexpr int32_t kJitter[6] = {2, 0, -4, 2, 0, 4};

// The animation frame at time t: 2.5 pictures per second, looping.
inline int animationFrame(float t) { return static_cast<int>(2.5f * t) % 6; }

// Cells of the checkerboard by group, in the order they appear.
constexpr Point2i kCells[4][4] = {
    {{0, 50}, {160, 50}, {0, 150}, {160, 150}},
    {{80, 0}, {240, 0}, {80, 100}, {240, 100}},
    {{80, 50}, {240, 50}, {80, 150}, {240, 150}},
    {{0, 0}, {160, 0}, {0, 100}, {160, 100}},
};

// The layers both stages share: background, blobs, outline.
void drawLayers(float t) {
    blendFrameHalf(img::pyr[animationFrame(t)], FrameBuffer);
    Blobs->update(t * 40);
    Blobs->draw(FrameBuffer);
    Morph->step();
    Morph->draw(FrameBuffer);
}

}  // namespace

int runBlobLayers() {
    Sprite a = img::sprite(img::xfrmd, 0);
    Sprite b = img::sprite(img::xfrmd2, 0);

    BeginBeatWait();
    for (int n = 0; !BeatArrived(); ++n) {
        if (KeyPending()) return -1;
        float t = static_cast<float>(DemoTime());
        Morph->centreX = 50;
        Morph->centreY = static_cast<float>(150 - std::abs(static_cast<int32_t>(50 * fm::sin(kPi * t))));
        drawLayers(t);
        Sprite& chosen = animationFrame(t) % 2 == 0 ? b : a;
        int32_t f = kJitter[n % 6];
        chosen.x = 260 - f;
        chosen.y = 10 + f;
        chosen.drawAdditive(FrameBuffer);
        PresentFrame();
    }

    a.x = 260;
    a.y = 10;
    for (int i = 0; i < 50; ++i) {
        if (KeyPending()) return -1;
        drawLayers(static_cast<float>(DemoTime()));
        a.drawAdditive(FrameBuffer);
        for (int group = i / 10; group >= 0; --group) {
            if (group > 3) continue;
            for (const Point2i& cell : kCells[group]) copyRect(cell.x, cell.y, 80, 50, img::kickass, FrameBuffer);
        }
        PresentFrame();
    }
    return WaitForBeat() ? 0 : -1;
}
