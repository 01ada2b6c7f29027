// Centre smear to white. The last picture of the previous part holds until
// a beat; then, until the next beat, every row is smeared outwards from the
// vertical centre line while every pixel brightens a little per frame, so
// the picture streaks sideways and washes out to white. No images. Ends on
// the second beat.
#include "gfx2d/colour.h"
#include "host/demo.h"
#include "parts/parts.h"

namespace {

// Each channel one step brighter, stopping at 255.
inline uint32_t brighten(uint32_t c) {
    uint32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    r += r < 255;
    g += g < 255;
    b += b < 255;
    return (r << 16) | (g << 8) | b;
}

// One frame of the smear on one row. Each step uses the neighbour that was
// just brightened and blended, so colour travels along the whole half-row.
void smearRow(uint32_t* p) {
    for (int k = 0; k < 160; ++k) {
        p[160 - k] = brighten(p[160 - k]);
        p[160 + k] = brighten(p[160 + k]);
        p[159 - k] = blendHalf(p[159 - k], p[160 - k]);
        if (161 + k <= 319) p[161 + k] = blendHalf(p[160 + k], p[161 + k]);
    }
}

}  // namespace

int runCentreSmear() {
    if (!WaitForBeat()) return -1;
    LastBeat = BeatCounter;
    while (LastBeat == BeatCounter) {
        if (KeyPending()) return -1;
        for (int y = 0; y < kFrameHeight; ++y) smearRow(FrameBuffer + y * kFrameWidth);
        PresentFrame();
    }
    return 0;
}
