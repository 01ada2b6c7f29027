// Rotating lit text plane with twin cubes. The 8-bit PCX text picture is
// mapped on a plane that tumbles in perspective and ripples, lit from white
// through the picture's own colours and half-blended over the previous
// frames; the tall "desint" caption slides up and down at the left, added
// to the image; two white wire cubes circle each other in depth with
// pulsing widths. On the next beat eight panels of pyr0 close over the
// screen like shutters, then the part waits for a beat. Images: cooltext.pcx
// (indices and shade table), desint, pyr0.
#include <cmath>

#include "data/image_bank.h"
#include "data/pcx.h"
#include "gfx2d/angles.h"
#include "gfx2d/fmath.h"
#include "gfx2d/lines.h"
#include "gfx2d/sprite.h"
#include "gfx2d/warp.h"
#include "gfx2d/wire.h"
#include "parts/parts.h"
#include "stage/shared_effects.h"
#include "stage/stage.h"

namespace {

struct Shutter {
    int top;      // 0: top half, 1: bottom half
    int xOffset;  // panel x = xOffset + (growsFromRight ? n : 0)
    bool growsFromRight;
};

// The eight panels in drawing order; n = 320 - i for a panel width i.
constexpr Shutter kShutters[8] = {
    {0, 0, false},   {0, -160, true}, {1, 160, false}, {1, 0, true},
    {0, -80, true},  {0, 240, false}, {1, -240, true}, {1, 80, false},
};

}  // namespace

int runTextPlane() {
    PlaneWarp plane;
    plane.wobble = 12.5f;
    WireCube cube1(120.0f, 0xFFFFFF, 160.0f, 100.0f, 512.0f);
    WireCube cube2(120.0f, 0xFFFFFF, 160.0f, 100.0f, 512.0f);
    Sprite caption = img::sprite(img::desint, img::kKeyColour);

    BeginBeatWait();
    while (!BeatArrived()) {
        if (KeyPending()) return -1;
        float t = static_cast<float>(DemoTime());
        caption.x = 10;
        caption.y = static_cast<int32_t>(fm::cos(t * kPi / 2) * (-75) - 85);
        plane.a1 = t * kPi / 2;
        plane.a2 = t * 2.356194490192345f;
        plane.a3 = -t * 0.7853981633974483f;
        plane.computeGrid(WarpGrid);
        renderGridShaded(WarpGrid, CoolText->pixels, *CoolText->shadeTable, FrameBuffer);
        caption.drawAdditive(FrameBuffer);

        cube1.matrix.setRotation(t, 0.8f * t, -0.7f * t);
        cube1.scaleX = fm::cos(8 * t) * 64 + 128;
        cube1.scaleY = 128.0f;
        cube1.centreX = fm::cos(t) * 100 + 180;
        cube1.centreY = 100.0f;
        cube1.depth = fm::sin(t) * 180 + 300;
        cube2.matrix.setRotation(0.8f * t, -t, 0.6f * t);
        cube2.scaleX = 128.0f;
        cube2.scaleY = fm::cos(8 * t) * 64 + 128;
        cube2.centreX = 180 - fm::cos(t) * 100;
        cube2.centreY = 100.0f;
        cube2.depth = 300 - fm::sin(t) * 180;
        cube1.drawCube(FrameBuffer);
        cube2.drawCube(FrameBuffer);
        PresentFrame();
    }

    for (int i = 0; i <= 80; i += 2) {
        if (KeyPending()) return -1;
        int n = kFrameWidth - i;
        for (const Shutter& s : kShutters)
            copyRect(s.xOffset + (s.growsFromRight ? n : 0), s.top * 100, i, 100, img::pyr[0], FrameBuffer);
        PresentFrame();
    }
    return WaitForBeat() ? 0 : -1;
}
