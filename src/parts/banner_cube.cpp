// Banner with wire cube. Two dark blue bars slide in over the white screen,
// the top one leftward from the right edge, the bottom one rightward; the
// "plivak2" banner rises between them; then a light blue wire cube and a
// white line lattice turn over the banner, leaving trails that fade by half
// a frame, until the next beat. While the figures keep turning, the screen
// dissolves to white in the order of the byte pattern "pattern2"; the part
// holds the white screen until the following beat.
// Images: plivak2 (320x102), pattern2.
#include <cmath>
#include <cstring>

#include "data/image_bank.h"
#include "gfx2d/colour.h"
#include "gfx2d/fmath.h"
#include "gfx2d/lines.h"
#include "gfx2d/wire.h"
#include "parts/parts.h"
#include "stage/stage.h"

namespace {

constexpr uint32_t kBarColour = 0x4A4A8C;
constexpr uint32_t kCubeColour = 0x97A9C4;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kBarHeight = 49;      // rows 0..48 and 151..199
constexpr int kBottomBarTop = 151;
constexpr int kBannerTop = 49;      // the banner fills rows 49..150
constexpr int kBannerRows = 102;
constexpr int kBannerPixels = kFrameWidth * kBannerRows;

struct Figures {
    WireCube cube{300.0f, kCubeColour, 160.0f, 100.0f, 512.0f};
    WireLattice lattice{40.0f, kWhite, 160.0f, 100.0f, 512.0f};
    Matrix4 rotation;
};

// One frame of the scene: the bars and the banner are half-blended back in
// under the figures, so what was drawn before fades by half each frame.
void drawScene(float t, Figures& f) {
    blendRect(0, 0, kFrameWidth, kBarHeight, kBarColour, FrameBuffer);
    blendRect(0, kBottomBarTop, kFrameWidth, kBarHeight, kBarColour, FrameBuffer);

    f.rotation.setRotation(0.59f * t, -0.1f * t, 1.5f * t);
    f.cube.matrix = f.rotation;
    f.lattice.matrix = f.rotation;
    f.lattice.centreX = 160.0f;
    f.lattice.centreY = 100.0f;
    f.lattice.depth = 500.0f - fm::sin(3.7f * t) * fm::cos(5.6f * t) * 100.0f;
    f.cube.drawCube(FrameBuffer);
    f.lattice.drawSegments(FrameBuffer);

    uint32_t* p = FrameBuffer + kBannerTop * kFrameWidth;
    const uint32_t* b = img::plivak2;
    for (const uint32_t* end = p + kBannerPixels; p != end; ++p, ++b) *p = blendHalf(*p, *b);
}

}  // namespace

int runBannerCube() {
    MaskWipe wipe(img::pattern2, nullptr);  // only fills, never reveals
    Figures figures;

    for (int i = 0; i <= kFrameWidth; ++i) {
        if (KeyPending()) return -1;
        fillRect(kFrameWidth - i, 0, i, kBarHeight, kBarColour, FrameBuffer);
        fillRect(0, kBottomBarTop, i, kBarHeight, kBarColour, FrameBuffer);
        PresentFrame();
    }

    // The banner rises: its top k rows end on row 150.
    for (int k = 0; k <= kBannerRows; ++k) {
        if (KeyPending()) return -1;
        std::memcpy(FrameBuffer + (kBottomBarTop - k) * kFrameWidth, img::plivak2,
                    sizeof(uint32_t) * kFrameWidth * k);
        PresentFrame();
    }

    BeginBeatWait();
    do {
        if (KeyPending()) return -1;
        drawScene(static_cast<float>(DemoTime()), figures);
        PresentFrame();
    } while (!BeatArrived());

    // Pixels whose pattern byte is at most the level are white and are
    // refilled every frame, so the white spreads over the moving scene.
    while (wipe.level < 256) {
        if (KeyPending()) return -1;
        drawScene(static_cast<float>(DemoTime()), figures);
        wipe.fillUpToLevel(FrameBuffer, kWhite);
        wipe.level += 2;
        PresentFrame();
    }
    if (!WaitForBeat()) return -1;
    return 0;
}
