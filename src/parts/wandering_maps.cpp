// Wandering texture maps and staircase wipe. Until the next beat three
// scrolling lookup maps (tunnel, polar, inversion) are layered with their
// centres wandering across the screen on separate closed paths, with the
// "meta" title added on top; then the optimal picture is wiped in over 200
// frames, row by row from both sides along a staircase diagonal; then it
// waits for a beat. Images: green, grunsel, meta, optimal.
#include <cmath>
#include <cstring>

#include "data/image_bank.h"
#include "gfx2d/fmath.h"
#include "gfx2d/map_table.h"
#include "gfx2d/sprite.h"
#include "parts/parts.h"
#include "stage/shared_effects.h"
#include "stage/stage.h"

namespace {

// The offset's low byte scrolls the texture along its columns, the high
// byte along its rows.
inline int32_t offsetBytes(int32_t low, int32_t high) { return ((high & 0xFF) << 8) | (low & 0xFF); }

inline int32_t windowAt(float row, float column) {
    return static_cast<int32_t>(row) * 640 + static_cast<int32_t>(column);
}

}  // namespace

int runWanderingMaps() {
    Sprite title = img::sprite(img::meta, img::kKeyColour);
    title.x = 63;
    title.y = 65;

    BeginBeatWait();
    while (!BeatArrived()) {
        if (KeyPending()) return -1;
        float t = static_cast<float>(DemoTime());
        float s = 100 * t;
        int32_t u = static_cast<int32_t>(s), w = static_cast<int32_t>(-s);
        BigTunnelTable->offset = offsetBytes(u, ~u);
        BigTunnelTable->window = windowAt(90 * fm::sin(t) + 100, 150 * fm::cos(t) + 160);
        BigPolarTable->offset = offsetBytes(w, u);
        BigPolarTable->window = windowAt(90 * fm::sin(t - 1) + 100, 150 * fm::cos(t + 1) + 160);
        BigInversionTable->offset = offsetBytes(u, w);
        BigInversionTable->window = windowAt(90 * fm::sin(t + 2) + 100, 160 - 150 * fm::cos(t - 2));
        BigTunnelTable->draw(FrameBuffer, img::green);
        BigPolarTable->drawHalf(FrameBuffer, img::green);
        BigInversionTable->drawHalf(FrameBuffer, img::grunsel);
        title.drawAdditive(FrameBuffer);
        PresentFrame();
    }

    // Row r gets its left part [0, T[r]) at step r and its right part
    // [T[r], 320) at step 199 - r, so the picture grows from two corners.
    for (int k = 0; k < kFrameHeight; ++k) {
        if (KeyPending()) return -1;
        int32_t left = StaircaseTable[k];
        const int leftStart = k * kFramePitch;
        std::memcpy(FrameBuffer + leftStart, img::optimal + leftStart, left * sizeof(uint32_t));
        int r = kFrameHeight - 1 - k;
        int32_t from = StaircaseTable[r];
        const int rightStart = r * kFramePitch + from;
        std::memcpy(FrameBuffer + rightStart, img::optimal + rightStart, (kFrameWidth - from) * sizeof(uint32_t));
        PresentFrame();
    }
    return WaitForBeat() ? 0 : -1;
}
