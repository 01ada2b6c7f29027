// Wave-warped logo, then band reveal. Until the next beat the green texture
// flows under the second wave warp, mixed into the previous frame so the
// flow leaves trails, with the large "tremo" logo added on top; then in 51
// frames the square picture opens in four bands (from the top edge, from the
// middle line both ways, from the bottom edge); then it waits for a beat.
// Images: green, tremo, square.
#include "data/image_bank.h"
#include "gfx2d/lines.h"
#include "gfx2d/sprite.h"
#include "gfx2d/warp.h"
#include "parts/parts.h"
#include "stage/stage.h"

int runWaveLogo() {
    WaveWarpB warp;
    Sprite logo = img::sprite(img::tremo, 0);
    logo.x = 13;
    logo.y = 21;

    BeginBeatWait();
    while (!BeatArrived()) {
        if (KeyPending()) return -1;
        warp.time = 10 * static_cast<float>(DemoTime());
        warp.computeGrid(WarpGrid);
        renderGridHalf(WarpGrid, img::green, FrameBuffer);
        logo.drawAdditive(FrameBuffer);
        PresentFrame();
    }

    for (int i = 0; i <= 50; ++i) {
        if (KeyPending()) return -1;
        int n = kFrameHeight - i;
        copyRect(0, 0, kFrameWidth, i, img::square, FrameBuffer);
        copyRect(0, n - 100, kFrameWidth, i, img::square, FrameBuffer);
        copyRect(0, 100, kFrameWidth, i, img::square, FrameBuffer);
        copyRect(0, n, kFrameWidth, i, img::square, FrameBuffer);
        PresentFrame();
    }
    return WaitForBeat() ? 0 : -1;
}
