// The twisting dot cube: 257 receding frames, the wander to the beat, the
// 26-frame reveal ending on the picture, the per-frame amplitude ramp, keys.
#include "data/image_bank.h"
#include "opening_harness.h"
#include "parts/parts.h"

namespace {

using namespace opening;

constexpr int kRecede = 257, kReveal = 26;

class DotCube : public PartRun {
protected:
    void SetUp() override {
        fillImage(img::formula, 0x304050);
        for (int i = 0; i < 262 * 91; ++i) img::headache[i] = (i % 7) ? 0x0000FFu : 0xE0E000u;
        for (int i = 0; i < kFramePixels; ++i) img::dovo[i] = static_cast<uint32_t>(i * 53) & 0xFFFFFF;
    }
    void script(int wander) {
        afterPresent(kRecede + wander, Event::Beat);
        inHolds({Event::Beat});
    }
};

TEST_F(DotCube, StagesEndOnTheRevealedPicture) {
    script(40);
    keepFrame(kRecede + 40 + 1);
    keepFrame(kRecede + 40 + kReveal);
    EXPECT_EQ(run(runDotCube), 0);
    EXPECT_EQ(presents, kRecede + 40 + kReveal);
    EXPECT_EQ(holdEnds, (std::vector<int>{presents}));
    EXPECT_NE(frame(kRecede + 40 + 1)[0], img::dovo[0]) << "no band in the first reveal frame";
    EXPECT_EQ(frame(kRecede + 40 + kReveal), picture(img::dovo));
}

// With the clock held still only the frame count moves the cube: its dots
// (the only pure white pixels; halos and trails are blends) move on each of
// the first 20 wander frames (amplitude 0, 4, .. 76) and then stay put.
TEST_F(DotCube, WanderWidensPerFrameThenStays) {
    freezeTime(2.0);
    script(30);
    for (int n = kRecede; n <= kRecede + 30; ++n) keepFrame(n);
    EXPECT_EQ(run(runDotCube), 0);
    auto dots = [this](int k) {
        std::vector<bool> white(kFramePixels);
        for (int i = 0; i < kFramePixels; ++i) white[i] = frame(kRecede + k)[i] == 0xFFFFFF;
        return white;
    };
    for (int k = 1; k <= 20; ++k) EXPECT_NE(dots(k - 1), dots(k)) << "wander frame " << k;
    for (int k = 21; k <= 30; ++k) EXPECT_EQ(dots(20), dots(k)) << "wander frame " << k;
}

TEST_F(DotCube, KeyEndsEveryStageAndTheHold) {
    expectKeysEnd(runDotCube, [this] { script(10); },
                  {{100, -1, 100}, {kRecede + 5, -1, kRecede + 5}, {kRecede + 20, -1, kRecede + 20},
                   {0, 0, kRecede + 10 + kReveal}});
}

}  // namespace
