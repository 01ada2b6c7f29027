// Spline snake. A white wireframe cube turns while a depth-coloured B-spline
// snake coils through it, over a background that keeps fading from the
// first formula picture towards the third, so cube and snake leave trails;
// the "sorvel" and "addcode" logos wobble in opposite corners. Images:
// formula2 (start), formula3 (fade target), sorvel, addcode. Ends on the
// next beat.
#include <cmath>

#include "data/image_bank.h"
#include "engine3d/snake.h"
#include "gfx2d/frame_ops.h"
#include "gfx2d/sprite.h"
#include "parts/motion.h"
#include "parts/parts.h"
#include "stage/stage.h"

namespace {

constexpr CornerWobble kLogoWobble{7, 7, 226, 169};  // sorvel, addcode

}  // namespace

int runSplineSnake() {
    Sprite sorvel = img::sprite(img::sorvel, img::kKeyColour);
    Sprite addcode = img::sprite(img::addcode, img::kKeyColour);
    copyFrame(img::formula2, FrameBuffer);

    BeginBeatWait();
    while (!BeatArrived()) {
        if (KeyPending()) return -1;
        float t = static_cast<float>(DemoTime());
        animateSnake(t * 1.6f);
        kLogoWobble.place(sorvel, addcode, t);
        blendFrameHalf(img::formula3, FrameBuffer);
        drawSnake(FrameBuffer);
        sorvel.drawKeyed(FrameBuffer);
        addcode.drawKeyed(FrameBuffer);
        PresentFrame();
    }
    return 0;
}
