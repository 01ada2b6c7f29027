// The twisting dot cube on the virtual clock: 257 receding frames, the
// wander until the beat, the 26-frame band reveal ending on the picture,
// the per-frame amplitude ramp, and keys in every stage and the hold.
#include <gtest/gtest.h>

#include "data/image_bank.h"
#include "opening_harness.h"
#include "parts/parts.h"

namespace {

using opening::Event;

constexpr int kRecede = 257;
constexpr int kReveal = 26;

class DotCube : public opening::PartRun {
protected:
    void SetUp() override {
        opening::fillImage(img::formula, 0x304050);
        for (int i = 0; i < 262 * 91; ++i) img::headache[i] = (i % 7) ? 0x0000FFu : 0xE0E000u;
        for (int i = 0; i < kFramePixels; ++i) img::dovo[i] = static_cast<uint32_t>(i * 53) & 0xFFFFFF;
    }
};

TEST_F(DotCube, StagesAndTheRevealedPicture) {
    const int wander = 40;
    afterPresent(kRecede + wander, Event::Beat);
    inHolds({Event::Beat});
    keepFrame(kRecede + wander + 1);
    keepFrame(kRecede + wander + kReveal);
    EXPECT_EQ(run(runDotCube), 0);
    EXPECT_FALSE(stuck);
    EXPECT_EQ(presents, kRecede + wander + kReveal);
    EXPECT_EQ(holdEnds, (std::vector<int>{presents}));
    // The first reveal frame has no band yet; the last is the whole picture.
    EXPECT_NE(frame(kRecede + wander + 1)[0], img::dovo[0]);
    EXPECT_EQ(frame(kRecede + wander + kReveal), std::vector<uint32_t>(img::dovo, img::dovo + kFramePixels));
}

// With the clock held still only the frame count moves the cube: it keeps
// receding through the first stage, widens its wander for 20 frames and
// then stays put, so the picture settles to a still frame.
TEST_F(DotCube, WanderWidensPerFrameAndStopsAt76) {
    freezeTime(2.0);
    const int wander = 60;
    afterPresent(kRecede + wander, Event::Beat);
    inHolds({Event::Beat});
    for (int n = kRecede - 1; n <= kRecede + wander; ++n) keepFrame(n);
    EXPECT_EQ(run(runDotCube), 0);
    EXPECT_NE(opening::checksum(frame(kRecede - 1)), opening::checksum(frame(kRecede)));
    // Amplitudes 0, 4, .. 76 on wander frames 1 .. 20: each differs.
    for (int k = 2; k <= 20; ++k)
        EXPECT_NE(opening::checksum(frame(kRecede + k - 1)), opening::checksum(frame(kRecede + k))) << k;
    // From frame 20 on the amplitude stays 76; the trails are gone by 40.
    for (int k = 41; k <= wander; ++k)
        EXPECT_EQ(opening::checksum(frame(kRecede + 40)), opening::checksum(frame(kRecede + k))) << k;
}

TEST_F(DotCube, KeyEndsEveryStageAndTheHold) {
    struct Case {
        int keyAfterPresent;  // 0: none
        std::vector<Event> holds;
        int presents;
    };
    const int wander = 10;
    const Case cases[] = {
        {100, {}, 100},
        {kRecede + 5, {}, kRecede + 5},
        {kRecede + wander + 10, {}, kRecede + wander + 10},
        {0, {Event::Key}, kRecede + wander + kReveal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.presents);
        afterPresent(kRecede + wander, Event::Beat);
        if (c.keyAfterPresent > 0) afterPresent(c.keyAfterPresent, Event::Key);
        inHolds(c.holds);
        EXPECT_EQ(run(runDotCube), -1);
        EXPECT_EQ(presents, c.presents);
        EXPECT_FALSE(stuck);
        clearScript();
    }
}

}  // namespace
