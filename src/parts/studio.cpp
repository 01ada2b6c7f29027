// Studio with sliding sprites. For exactly 200 frames the studio picture
// fades in over the previous screen while five cut-outs move over it: the
// ear slides in from the left and out on the right, the earphone the other
// way, the synth rises out of the top, and the tape reel (vestor) and the
// "muzeek" logo jiggle in two corners. Images: studio, ear, earphone,
// synth, vestor, muzeek. No music event: it ends after 200 frames.
#include "data/image_bank.h"
#include "gfx2d/angles.h"
#include "gfx2d/frame_ops.h"
#include "gfx2d/sprite.h"
#include "parts/motion.h"
#include "parts/parts.h"
#include "stage/stage.h"

namespace {

// Top-left: the tape reel (vestor); bottom-right: the "muzeek" logo. Its
// x rate is 2.5f * kPi, the float product (7.85398197f), not 2.5 pi
// rounded once (7.85398149f) as in the other parts: the logos step on
// other frames with the other value, so the studio keeps its own.
constexpr CornerWobble kLogoWobble{3, 3, 238, 164, 2.5f * kPi};

}  // namespace

int runStudio() {
    Sprite ear = img::sprite(img::ear, img::kKeyColour);
    Sprite earphone = img::sprite(img::earphone, img::kKeyColour);
    Sprite synth = img::sprite(img::synth, img::kKeyColour);
    Sprite vestor = img::sprite(img::vestor, img::kKeyColour);
    Sprite muzeek = img::sprite(img::muzeek, img::kKeyColour);
    LinearMover earPath{-79.0f, 10.0f, 2.39f, 0.0f};
    LinearMover earphonePath{425.0f, 50.0f, -2.65f, 0.0f};
    LinearMover synthPath{100.0f, 74.0f, 0.0f, -1.0f};

    for (int i = 0; i < 200; ++i) {
        if (KeyPending()) return -1;
        earPath.place(ear);
        earphonePath.place(earphone);
        synthPath.place(synth);
        kLogoWobble.place(vestor, muzeek, static_cast<float>(DemoTime()));

        blendFrameHalf(img::studio, FrameBuffer);
        vestor.drawKeyed(FrameBuffer);
        ear.drawKeyedHalf(FrameBuffer);
        muzeek.drawKeyed(FrameBuffer);
        earphone.drawKeyedHalf(FrameBuffer);
        synth.drawKeyedHalf(FrameBuffer);

        earPath.step();
        earphonePath.step();
        synthPath.step();
        PresentFrame();
    }
    return 0;
}
