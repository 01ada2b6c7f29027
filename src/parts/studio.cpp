// Studio with sliding sprites. For exactly 200 frames the studio picture
// fades in over the previous screen while five cut-outs move over it: the
// ear slides in from the left and out on the right, the earphone the other
// way, the synth rises out of the top, and the tape reel (vestor) and the
// "muzeek" logo jiggle in two corners. Images: studio, ear, earphone,
// synth, vestor, muzeek. No music event: it ends after 200 frames.
#include <cmath>

#include "data/image_bank.h"
#include "gfx2d/angles.h"
#include "gfx2d/fmath.h"
#include "gfx2d/frame_ops.h"
#include "gfx2d/sprite.h"
#include "parts/parts.h"
#include "stage/stage.h"

int runStudio() {
    Sprite ear = img::sprite(img::ear, img::size::ear, 0x0000FF);
    Sprite earphone = img::sprite(img::earphone, img::size::earphone, 0x0000FF);
    Sprite synth = img::sprite(img::synth, img::size::synth, 0x0000FF);
    Sprite vestor = img::sprite(img::vestor, img::size::vestor, 0x0000FF);
    Sprite muzeek = img::sprite(img::muzeek, img::size::muzeek, 0x0000FF);
    float a = -79.0f, b = 425.0f, c = 74.0f;

    for (int i = 0; i < 200; ++i) {
        if (KeyPending()) return -1;
        float t = static_cast<float>(DemoTime());
        ear.x = static_cast<int32_t>(a);
        ear.y = 10;
        earphone.x = static_cast<int32_t>(b);
        earphone.y = 50;
        synth.x = 100;
        synth.y = static_cast<int32_t>(c);
        vestor.x = static_cast<int32_t>(10 * fm::sin(2.5f * kPi * t) + 3);
        vestor.y = static_cast<int32_t>(10 * fm::cos(2 * kPi * t) + 3);
        muzeek.x = static_cast<int32_t>(10 * fm::cos(2.5f * kPi * t) + 238);
        muzeek.y = static_cast<int32_t>(10 * fm::sin(2.8f * kPi * t) + 164);

        blendFrameHalf(img::studio, FrameBuffer);
        vestor.drawKeyed(FrameBuffer);
        ear.drawKeyedHalf(FrameBuffer);
        muzeek.drawKeyed(FrameBuffer);
        earphone.drawKeyedHalf(FrameBuffer);
        synth.drawKeyedHalf(FrameBuffer);

        a += 2.39f;
        b -= 2.65f;
        c -= 1.0f;
        PresentFrame();
    }
    return 0;
}
