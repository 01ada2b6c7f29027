// Centre smear to white. The last picture of the previous part holds until
// a beat; then, until the next beat, every row is smeared outwards from the
// vertical centre line while every pixel brightens a little per frame, so
// the picture streaks sideways and washes out to white. No images. Ends on
// the second beat.
#include "gfx2d/smear.h"
#include "parts/parts.h"
#include "stage/stage.h"

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
