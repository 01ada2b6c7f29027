// Portrait parade. The "dovo" picture left by the previous part keeps
// being blended in; a row of five small "ostrin3" portraits scrolls from
// right to left with a gentle wave, half-transparent; the large "ostrin11"
// portrait stands in the middle; a white wire cube turns and pulses in width
// in the lower left corner. On the first beat the screen freezes; on each
// of the next two secondary syncs two diagonal quadrants of the "unity"
// picture are copied in. The part holds the picture until the next beat.
// Images: dovo, ostrin11 and ostrin3 (key blue), unity.
#include <cmath>

#include "data/image_bank.h"
#include "gfx2d/angles.h"
#include "gfx2d/fmath.h"
#include "gfx2d/frame_ops.h"
#include "gfx2d/lines.h"
#include "gfx2d/sprite.h"
#include "gfx2d/wire.h"
#include "parts/parts.h"
#include "stage/stage.h"

namespace {

constexpr int kSmallCount = 5;
constexpr int kSmallWidth = img::ostrin3.width;
constexpr int kSmallSpacing = 108;
// A small portrait that has fully left on the left re-enters from here.
constexpr int kReentryX = 433;

// One frame of quadrant reveal: the quadrants at (x0, 0) and (x1, 100).
int revealQuadrants(int x0, int x1) {
    if (KeyPending()) return -1;
    copyRect(x0, 0, 160, 100, img::unity, FrameBuffer);
    copyRect(x1, 100, 160, 100, img::unity, FrameBuffer);
    PresentFrame();
    return 0;
}

}  // namespace

int runPortraitParade() {
    Sprite large = img::sprite(img::ostrin11, img::kKeyColour);
    large.x = 125;
    large.y = 0;
    WireCube cube(100.0f, 0xFFFFFF, 50.0f, 170.0f, 256.0f);
    const Sprite portrait = img::sprite(img::ostrin3, img::kKeyColour);
    Sprite small[kSmallCount] = {portrait, portrait, portrait, portrait, portrait};
    for (int i = 0; i < kSmallCount; ++i) {
        small[i].x = kSmallSpacing * i;
        small[i].y = 20;
    }

    BeginBeatWait();
    do {
        if (KeyPending()) return -1;
        const float t = static_cast<float>(DemoTime());
        blendFrameHalf(img::dovo, FrameBuffer);

        // Two columns a frame to the left; once wholly off the left edge
        // (x at most -98) a portrait jumps to 433, off the right edge, so
        // after the first wrap the portraits sit at odd columns.
        for (int i = 0; i < kSmallCount; ++i) {
            Sprite& s = small[i];
            s.x -= 2;
            if (s.x <= -kSmallWidth) s.x = kReentryX;
            s.y = static_cast<int32_t>(fm::sin((0.5f * static_cast<float>(i) + t) * kPi) * 10.0f + 20.0f);
            s.drawKeyedHalf(FrameBuffer);
        }

        cube.matrix.setRotation(t, 0.8f * t, -0.7f * t);
        cube.scaleY = 128.0f;
        cube.scaleX = fm::cos(8.0f * t) * 64.0f + 128.0f;
        cube.drawCube(FrameBuffer);

        large.drawKeyed(FrameBuffer);
        PresentFrame();
    } while (!BeatArrived());

    // Frozen frame; each secondary sync copies in two diagonal quadrants.
    int32_t syncSeen = 0;
    if (!WaitForSync(syncSeen)) return -1;
    if (revealQuadrants(160, 0) != 0) return -1;
    if (!WaitForSync(syncSeen)) return -1;
    if (revealQuadrants(0, 160) != 0) return -1;
    if (!WaitForBeat()) return -1;
    return 0;
}
