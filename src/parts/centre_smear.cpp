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

// One frame of the smear on one row: from the centre outwards, each pixel
// is brightened, then the next one out is blended with it, so colour
// travels along the whole half-row. Pixel 160 is brightened twice (it
// starts both halves), the leftmost pixel is only blended, the rightmost
// only brightened. Each half is one chain of values, carried in a register
// rather than read back from the row.
void smearRow(uint32_t* p) {
    const uint32_t centre = brighten(brighten(p[160]));
    p[160] = centre;
    uint32_t left = blendHalf(p[159], centre);
    uint32_t right = blendHalf(centre, p[161]);
    for (int k = 1; k < 160; ++k) {
        left = brighten(left);
        p[160 - k] = left;
        right = brighten(right);
        p[160 + k] = right;
        left = blendHalf(p[159 - k], left);
        if (161 + k <= 319) right = blendHalf(right, p[161 + k]);
    }
    p[0] = left;
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
