// The closing 3D part. The keyframed hall of "../data/dazovad.scn" plays on
// the part's own clock (reset to 0 at the start), drawn at half strength
// over the previous frame so that it leaves trails. Over it: a frame of
// white guide lines that jumps to a random box on every beat, a cyan
// crosshair wandering on a Lissajous path (boxed on the first two beats of
// every eight), one of the eight banners "banner21".."banner28" at its own
// row, changing on each beat, and the "binary1"/"binary2" strip scrolling
// up the left side. Textures: col, col2, sol, weeve. It ends after 600 s
// or at a key, returning 0 either way. A seek can resume it at a chapter
// point inside its loop (final_3d.h).
#include "parts/final_3d.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <new>

#include "data/image_bank.h"
#include "engine3d/demo_random.h"
#include "engine3d/pipeline.h"
#include "engine3d/scene.h"
#include "gfx2d/fmath.h"
#include "gfx2d/lines.h"
#include "gfx2d/sprite.h"
#include "parts/parts.h"
#include "stage/stage.h"

namespace {

constexpr const char* kSceneFile = "../data/dazovad.scn";
constexpr int kBanners = 8;
constexpr int kBannerRows[kBanners] = {10, 84, 140, 75, 110, 34, 95, 134};
constexpr float kEndTime = 6000.0f;  // scene time: tenths of a second

struct FrameBox {
    int32_t x, y, w, h;
};

// Four draws: width, height, then a position that keeps the box on screen.
FrameBox randomBox() {
    FrameBox b;
    b.w = demoRandom() % 300;
    b.h = demoRandom() % 180;
    b.x = demoRandom() % (kFrameWidth - b.w);
    b.y = demoRandom() % (kFrameHeight - b.h);
    return b;
}

FinalPartState loopState{};
bool resumePending = false;

}  // namespace

Scene* FinalScene = nullptr;

FinalPartState finalPartState() { return loopState; }

void resumeFinalPart(const FinalPartState& state) {
    loopState = state;
    resumePending = true;
}

void (*FinalFrameHook)() = nullptr;

bool prepareFinalPart() {
    if (initEngine() != 0) return false;
    FinalScene = new (std::nothrow) Scene();
    if (FinalScene == nullptr) return false;
    SceneLoadError error;
    if (loadScene(kSceneFile, FinalScene, &error) != 0) {
        std::fprintf(stderr, "%s: %s (byte %zu)\n", kSceneFile, error.what, error.offset);
        return false;
    }
    const uint32_t* slots[kTextureSlots] = {};
    for (int k : {0, 2, 6, 10, 11, 12, 13, 14, 15}) slots[k] = img::col2;
    slots[1] = img::col;
    slots[3] = img::sol;
    for (int k : {4, 5, 7, 8, 9}) slots[k] = img::weeve;
    for (int k = 0; k < kTextureSlots; ++k) FinalScene->textures[k] = slots[k];
    return true;
}

void releaseFinalPart() {
    shutdownEngine();
    if (FinalScene != nullptr) {
        freeSceneArrays(*FinalScene);
        delete FinalScene;
        FinalScene = nullptr;
    }
}

int runFinalPart() {
    Sprite banners[kBanners] = {
        img::sprite(img::banner[0], 0), img::sprite(img::banner[1], 0),
        img::sprite(img::banner[2], 0), img::sprite(img::banner[3], 0),
        img::sprite(img::banner[4], 0), img::sprite(img::banner[5], 0),
        img::sprite(img::banner[6], 0), img::sprite(img::banner[7], 0),
    };
    Sprite strips[2] = {img::sprite(img::binary1, 0),
                        img::sprite(img::binary2, 0)};

    // The loop's state lives outside the call, so that a seek can resume
    // the part at a chapter point inside it (the beat it waits on is the
    // stage's LastBeat, which the seek restores).
    if (!resumePending) {
        BeginBeatWait();
        loopState.banner = 0;
        loopState.highlight = 0;
        const FrameBox first = randomBox();
        loopState.boxX = first.x;
        loopState.boxY = first.y;
        loopState.boxW = first.w;
        loopState.boxH = first.h;
        DemoTimer.stop();
        DemoTimer.set(0.0);
        DemoTimer.start();
    }
    resumePending = false;
    int32_t& banner = loopState.banner;
    int32_t& highlight = loopState.highlight;
    FrameBox box{loopState.boxX, loopState.boxY, loopState.boxW, loopState.boxH};

    for (;;) {
        loopState.boxX = box.x;
        loopState.boxY = box.y;
        loopState.boxW = box.w;
        loopState.boxH = box.h;
        loopState.beat = LastBeat;
        if (FinalFrameHook) FinalFrameHook();
        const double seconds = DemoTime();
        const float t = static_cast<float>(seconds * 10.0);
        const int scroll = static_cast<int>(2.0 * seconds * 10.0) % 200;
        if (KeyPending()) return 0;
        if (BeatArrived()) {
            box = randomBox();
            BeginBeatWait();
            banner = (banner + 1) % kBanners;
            highlight = banner <= 1 ? 1 : 0;
        }
        if (FinalScene != nullptr) renderScene(*FinalScene, FrameBuffer, t);
        blendGuideLines(box.x, box.y, box.w, box.h, 0xFFFFFF, FrameBuffer);

        const auto cx = static_cast<int32_t>(fm::sin(-t * 0.2f) * fm::cos(t * 0.3f) * 150.0f + 160.0f);
        const auto cy = static_cast<int32_t>(fm::cos(t * 0.1f) * fm::sin(t * 0.5f) * 80.0f + 100.0f);
        blendCrosshair(cx, cy, 0x00FFFF, FrameBuffer);
        if (highlight) blendRectOutline(cx - 9, cy - 9, 18, 18, 0x00FFFF, FrameBuffer);

        // The banner sprite stays at (0, 0); the destination moves down.
        banners[banner].drawAdditive(FrameBuffer + kBannerRows[banner] * kFrameWidth);
        Sprite& strip = strips[highlight];
        strip.x = 15;
        strip.y = -scroll;
        strip.drawAdditive(FrameBuffer);

        PresentFrame();
        if (!(t < kEndTime)) return 0;
    }
}
