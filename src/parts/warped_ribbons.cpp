// Warped ribbons. Over the white screen of the opening, the "grunsel"
// texture flows under a time-driven wave warp, half-blended into the
// previous frame so that it trails; three white ribbons undulate across it.
// Each secondary sync of the music brings up the next of five captions
// ("exercise", "alert", "partcool", "molecule", "nrg"), swinging in the
// upper half. On the first beat after the start the captions go and white
// bars close the screen from the top and bottom in alternating quarter
// columns; the part holds the white screen until the next beat.
#include <cmath>

#include "data/image_bank.h"
#include "gfx2d/angles.h"
#include "gfx2d/fmath.h"
#include "gfx2d/lines.h"
#include "gfx2d/sprite.h"
#include "gfx2d/warp.h"
#include "parts/parts.h"
#include "stage/stage.h"

namespace {

constexpr int kRibbonPoints = 21;  // x = 0, 16, .. 320
constexpr int kCaptionCount = 5;
constexpr uint32_t kWhite = 0xFFFFFF;

struct Ribbons {
    Point2i line[3][kRibbonPoints];
};

// The per-frame background: ribbon heights for time t, the warped texture
// blended over the previous frame, then the three ribbons over it.
void drawBackground(float t, Ribbons& ribbons, WaveWarpA& warp) {
    const float a = 50.0f * t;
    for (int i = 0; i < kRibbonPoints; ++i) {
        const float w = static_cast<float>(i) / 2.0f;
        const float s = a + w;
        ribbons.line[0][i].y =
            static_cast<int32_t>(fm::sin(fm::cos(w - (a + fm::sin(w + a * fm::cos(2.0f * a))) / 2.0f) + s) * 80.0f +
                                 100.0f);
        ribbons.line[1][i].y = static_cast<int32_t>(
            (fm::sin(a - 2.0f * fm::cos(s)) + fm::sin(w + 2.0f * a + fm::cos(a))) * 50.0f + 80.0f);
        ribbons.line[2][i].y = static_cast<int32_t>(fm::sin(a) * fm::cos(w - 3.0f * a) * 80.0f + 110.0f);
    }
    warp.time = 100.0f * t;
    warp.computeGrid(WarpGrid);
    renderGridHalf(WarpGrid, img::grunsel, FrameBuffer);
    for (const Point2i* ribbon : ribbons.line) drawPolyline(ribbon, kRibbonPoints, kWhite, FrameBuffer);
}

}  // namespace

int runWarpedRibbons() {
    Ribbons ribbons;
    for (Point2i* ribbon : ribbons.line)
        for (int i = 0; i < kRibbonPoints; ++i) ribbon[i] = Point2i{16 * i, 0};
    Sprite captions[kCaptionCount] = {
        img::sprite(img::exercise, img::kKeyColour),
        img::sprite(img::alert, img::kKeyColour),
        img::sprite(img::partcool, img::kKeyColour),
        img::sprite(img::molecule, img::kKeyColour),
        img::sprite(img::nrg, img::kKeyColour),
    };
    int32_t syncSeen = SyncCounter.load(std::memory_order_relaxed);
    // 0: no caption yet; 1 .. 5: captions[caption - 1]. Syncs beyond the
    // fifth keep the fifth caption up.
    int caption = 0;
    WaveWarpA warp;

    if (!WaitForBeat()) return -1;

    // Captions over the warp until the next beat. Several syncs within one
    // frame advance the caption once: only inequality with the copy counts.
    BeginBeatWait();
    do {
        if (KeyPending()) return -1;
        const float t = static_cast<float>(DemoTime());
        const int32_t sync = SyncCounter.load(std::memory_order_relaxed);
        if (sync != syncSeen) {
            syncSeen = sync;
            if (caption < kCaptionCount) ++caption;
        }
        drawBackground(t, ribbons, warp);
        if (caption > 0) {
            Sprite& c = captions[caption - 1];
            c.x = static_cast<int32_t>(static_cast<float>(160 - (c.width >> 1)) + 30.0f * fm::cos(3.0f * kPi * t));
            c.y = static_cast<int32_t>(20.0f * fm::sin(2.0f * kPi * t) + 70.0f);
            c.drawKeyed(FrameBuffer);
        }
        PresentFrame();
    } while (!BeatArrived());

    // White bars: quarter columns 1 and 3 close from the top, 2 and 4 from
    // the bottom, two rows a frame.
    for (int a = 0; a <= kFrameHeight; a += 2) {
        if (KeyPending()) return -1;
        const float t = static_cast<float>(DemoTime());
        const int top = kFrameHeight - a;
        drawBackground(t, ribbons, warp);
        fillRect(0, 0, 80, a, kWhite, FrameBuffer);
        fillRect(160, 0, 80, a, kWhite, FrameBuffer);
        fillRect(80, top, 80, a, kWhite, FrameBuffer);
        fillRect(240, top, 80, a, kWhite, FrameBuffer);
        PresentFrame();
    }
    if (!WaitForBeat()) return -1;
    return 0;
}
