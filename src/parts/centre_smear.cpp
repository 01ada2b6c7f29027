// Centre smear to white. The last picture of the previous part holds until
// a beat; then, until the next beat, every row is smeared outwards from the
// vertical centre line while every pixel brightens a little per frame, so
// the picture streaks sideways and washes out to white. No images. Ends on
// the second beat.
#include "gfx2d/colour.h"
#include "host/demo.h"
#include "parts/parts.h"

namespace {

// Each channel one step brighter, stopping at 255; the top byte becomes
// zero. All three channels at once: a channel is 255 exactly when adding 1
// to its low seven bits carries into a set bit 7, and only the other
// channels get their 1 (which then cannot carry).
inline uint32_t brighten(uint32_t c) {
    const uint32_t full = (((c & 0x7F7F7Fu) + 0x010101u) & c & 0x808080u) >> 7;
    return (c & 0xFFFFFFu) + (0x010101u ^ full);
}

// One frame of the smear on rows p and q: from the centre outwards, each
// pixel is brightened, then the next one out is blended with it, so colour
// travels along the whole half-row. Pixel 160 is brightened twice (it
// starts both halves), the leftmost pixel is only blended, the rightmost
// only brightened. Each half-row is one chain of values carried in a
// register; the four chains of two rows are independent and overlap.
void smearRows(uint32_t* p, uint32_t* q) {
    const uint32_t centreP = brighten(brighten(p[160]));
    const uint32_t centreQ = brighten(brighten(q[160]));
    p[160] = centreP;
    q[160] = centreQ;
    uint32_t leftP = blendHalf(p[159], centreP), rightP = blendHalf(centreP, p[161]);
    uint32_t leftQ = blendHalf(q[159], centreQ), rightQ = blendHalf(centreQ, q[161]);
    for (int k = 1; k < 159; ++k) {
        leftP = brighten(leftP);
        leftQ = brighten(leftQ);
        rightP = brighten(rightP);
        rightQ = brighten(rightQ);
        p[160 - k] = leftP;
        q[160 - k] = leftQ;
        p[160 + k] = rightP;
        q[160 + k] = rightQ;
        leftP = blendHalf(p[159 - k], leftP);
        leftQ = blendHalf(q[159 - k], leftQ);
        rightP = blendHalf(rightP, p[161 + k]);
        rightQ = blendHalf(rightQ, q[161 + k]);
    }
    p[1] = leftP = brighten(leftP);
    q[1] = leftQ = brighten(leftQ);
    p[319] = brighten(rightP);
    q[319] = brighten(rightQ);
    p[0] = blendHalf(p[0], leftP);
    q[0] = blendHalf(q[0], leftQ);
}

}  // namespace

int runCentreSmear() {
    if (!WaitForBeat()) return -1;
    BeginBeatWait();
    while (!BeatArrived()) {
        if (KeyPending()) return -1;
        for (int y = 0; y < kFrameHeight; y += 2)
            smearRows(FrameBuffer + y * kFrameWidth, FrameBuffer + (y + 1) * kFrameWidth);
        PresentFrame();
    }
    return 0;
}
