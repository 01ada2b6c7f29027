// Opening blinds. Eight vertical blinds open onto the "openptc" picture;
// on the first beat black horizontal blinds close over it, the black screen
// fades up to white, "linux-in" dissolves in over the white in the order of
// the byte pattern "pattern1", and on the next beat white horizontal blinds
// close over everything. The next part starts on the white screen.
// Images: openptc, linux_in, pattern1. Music: two beats end the two holds.
#include <algorithm>

#include "data/image_bank.h"
#include "gfx2d/lines.h"
#include "parts/parts.h"
#include "stage/stage.h"

namespace {

constexpr int kBlindWidth = 40;  // 8 vertical strips
constexpr int kBandHeight = 20;  // 10 horizontal bands

// One frame of horizontal blinds: each band covered from its top edge down
// by `rows` rows of colour.
void closeBands(int rows, uint32_t colour) {
    for (int y = 0; y < kFrameHeight; y += kBandHeight) fillRect(0, y, kFrameWidth, rows, colour, FrameBuffer);
}

}  // namespace

int runOpeningBlinds() {
    MaskWipe wipe(img::pattern1, img::linux_in);

    // Vertical blinds: each strip shows i columns of the picture from its left
    // edge. i = 0 copies nothing; the buffer keeps whatever it held.
    for (int i = 0; i <= kBlindWidth; ++i) {
        if (KeyPending()) return -1;
        for (int x = 0; x < kFrameWidth; x += kBlindWidth) copyRect(x, 0, i, kFrameHeight, img::openptc, FrameBuffer);
        PresentFrame();
    }
    if (!WaitForBeat()) return -1;

    for (int j = 0; j <= kBandHeight; ++j) {
        if (KeyPending()) return -1;
        closeBands(j, 0x000000);
        PresentFrame();
    }

    // Black to white through the 256 greys.
    for (uint32_t k = 0; k <= 255; ++k) {
        if (KeyPending()) return -1;
        std::fill(FrameBuffer, FrameBuffer + kFramePixels, k * 0x010101u);
        PresentFrame();
    }

    // Each frame reveals the pixels whose pattern byte equals the level, so
    // after 256 frames every pixel of the picture has appeared once.
    while (wipe.level <= 255) {
        if (KeyPending()) return -1;
        wipe.revealLevel(FrameBuffer);
        ++wipe.level;
        PresentFrame();
    }
    if (!WaitForBeat()) return -1;

    for (int l = 0; l <= kBandHeight; ++l) {
        if (KeyPending()) return -1;
        closeBands(l, 0xFFFFFF);
        PresentFrame();
    }
    return 0;
}
