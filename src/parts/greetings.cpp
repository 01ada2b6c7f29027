// Greetings scroller over texture maps. Until the next beat a scrolling
// polar map of the green texture fills the screen, the greetings picture is
// half-blended over it and the greetings text twists and waves across the
// screen as a row of bars; until the beat after that, three scrolling maps
// (tunnel, polar, inversion) are layered with the "k" sprite added on top.
// Images: green, grunsel, greets2, k, greets (inside the shared scroller).
#include <cmath>

#include "data/image_bank.h"
#include "gfx2d/angles.h"
#include "gfx2d/effects.h"
#include "gfx2d/fmath.h"
#include "gfx2d/map_table.h"
#include "gfx2d/sprite.h"
#include "parts/parts.h"
#include "stage/shared_effects.h"
#include "stage/stage.h"

namespace {

// Writing one byte of a map offset keeps the other.
inline void setLowByte(int32_t& offset, int32_t value) { offset = (offset & ~0xFF) | (value & 0xFF); }
inline void setHighByte(int32_t& offset, int32_t value) { offset = (offset & ~0xFF00) | ((value & 0xFF) << 8); }

}  // namespace

int runGreetings() {
    Sprite greets = img::sprite(img::greets2, img::kKeyColour);
    Sprite k = img::sprite(img::k, img::kKeyColour);
    k.x = 108;
    k.y = 50;

    BeginBeatWait();
    while (!BeatArrived()) {
        if (KeyPending()) return -1;
        float t = static_cast<float>(DemoTime());
        GreetScroller->leftTwist = static_cast<int32_t>(400 * fm::sin(0.3f * kPi * t));
        GreetScroller->rightTwist = static_cast<int32_t>(500 * fm::cos(0.2f * kPi * t));
        GreetScroller->scroll = static_cast<int32_t>((fm::sin(0.5f * kPi * t) + 1) * 352);
        GreetScroller->waveStep = 1.0f;
        GreetScroller->wavePhase = 100 * fm::sin(0.4f * kPi * t);
        setLowByte(PolarTable->offset, static_cast<int32_t>(128 * fm::cos(0.6f * kPi * t)));
        setHighByte(PolarTable->offset, static_cast<int32_t>(128 * fm::sin(0.8f * kPi * t)));
        PolarTable->draw(FrameBuffer, img::green);
        greets.drawKeyedHalf(FrameBuffer);
        GreetScroller->draw(FrameBuffer);
        PresentFrame();
    }

    BeginBeatWait();
    while (!BeatArrived()) {
        if (KeyPending()) return -1;
        float s = 100 * static_cast<float>(DemoTime());
        setLowByte(TunnelTable->offset, static_cast<int32_t>(s));
        setLowByte(PolarTable->offset, static_cast<int32_t>(-s));
        setHighByte(InversionTable->offset, static_cast<int32_t>(s));
        TunnelTable->draw(FrameBuffer, img::grunsel);
        PolarTable->drawHalf(FrameBuffer, img::grunsel);
        InversionTable->drawHalf(FrameBuffer, img::green);
        k.drawAdditive(FrameBuffer);
        PresentFrame();
    }
    return 0;
}
