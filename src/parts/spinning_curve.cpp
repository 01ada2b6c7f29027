// Formula with a spinning curve. The chemical formula picture fills the
// screen; the "zorbel" label bobs over it on the left and a white wire curve
// spins on the right, both leaving trails that fade as the picture is
// blended back in every frame. Images: formula2, zorbel_2. Ends on the next
// beat.
#include <cmath>

#include "data/image_bank.h"
#include "gfx2d/angles.h"
#include "gfx2d/effects.h"
#include "gfx2d/fmath.h"
#include "gfx2d/frame_ops.h"
#include "gfx2d/sprite.h"
#include "parts/parts.h"
#include "stage/shared_effects.h"
#include "stage/stage.h"

int runSpinningCurve() {
    Sprite label = img::sprite(img::zorbel_2, img::kKeyColour);
    Curve->centreX = 265.0f;
    Curve->centreY = 100.0f;
    copyFrame(img::formula2, FrameBuffer);

    BeginBeatWait();
    while (!BeatArrived()) {
        if (KeyPending()) return -1;
        float t = static_cast<float>(DemoTime());
        blendFrameHalf(img::formula2, FrameBuffer);
        label.x = static_cast<int32_t>(10 * fm::cos(2 * kPi * t));
        label.y = static_cast<int32_t>(20 * fm::sin(4 * kPi * t) + 85);
        label.drawKeyed(FrameBuffer);
        Curve->update(100 * t);
        Curve->draw(FrameBuffer);
        PresentFrame();
    }
    return 0;
}
