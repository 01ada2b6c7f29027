// Spline snake. A white wireframe cube turns while a depth-coloured B-spline
// snake coils through it, over a background that keeps fading from the
// first formula picture towards the third, so cube and snake leave trails;
// the "sorvel" and "addcode" logos wobble in opposite corners. Images:
// formula2 (start), formula3 (fade target), sorvel, addcode. Ends on the
// next beat.
#include <cmath>

#include "data/image_bank.h"
#include "engine3d/snake.h"
#include "gfx2d/fmath.h"
#include "gfx2d/frame_ops.h"
#include "gfx2d/sprite.h"
#include "parts/parts.h"
#include "stage/stage.h"

int runSplineSnake() {
    Sprite sorvel = img::sprite(img::sorvel, img::size::sorvel, 0x0000FF);
    Sprite addcode = img::sprite(img::addcode, img::size::addcode, 0x0000FF);
    copyFrame(img::formula2, FrameBuffer);

    BeginBeatWait();
    while (!BeatArrived()) {
        if (KeyPending()) return -1;
        float t = static_cast<float>(DemoTime());
        animateSnake(t * 1.6f);
        sorvel.x = static_cast<int32_t>(fm::sin(t * 7.853981633974483f) * 10 + 7);
        sorvel.y = static_cast<int32_t>(fm::cos(t * 6.283185307179586f) * 10 + 7);
        addcode.x = static_cast<int32_t>(fm::cos(t * 7.853981633974483f) * 10 + 226);
        addcode.y = static_cast<int32_t>(fm::sin(t * 8.79645943005142f) * 10 + 169);
        blendFrameHalf(img::formula3, FrameBuffer);
        drawSnake(FrameBuffer);
        sorvel.drawKeyed(FrameBuffer);
        addcode.drawKeyed(FrameBuffer);
        PresentFrame();
    }
    return 0;
}
