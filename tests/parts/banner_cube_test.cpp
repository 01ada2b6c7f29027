// The banner with the wire cube on the virtual clock: the fixed stages keep
// their frame counts and pictures, the dissolve leaves only the pattern's
// last level unwhitened, and keys end every stage and the final hold.
#include <gtest/gtest.h>

#include "data/image_bank.h"
#include "opening_harness.h"
#include "parts/parts.h"

namespace {

using opening::Event;

constexpr uint32_t kBar = 0x4A4A8C;
constexpr int kBars = 321;
constexpr int kBanner = 103;
constexpr int kDissolve = 128;

class BannerCube : public opening::PartRun {
protected:
    void SetUp() override {
        for (int i = 0; i < 320 * 102; ++i) img::plivak2[i] = static_cast<uint32_t>(i * 131) & 0xFFFFFF;
        for (int i = 0; i < kFramePixels; ++i) img::pattern2[i] = static_cast<uint8_t>(i * 37);
        std::fill(screen.begin(), screen.end(), 0xFFFFFFu);
    }
};

TEST_F(BannerCube, FixedStagesAndTheDissolve) {
    const int scene = 30;  // frames until the beat
    afterPresent(kBars + kBanner + scene, Event::Beat);
    inHolds({Event::Beat});
    for (int n : {1, 2, kBars, kBars + 1, kBars + kBanner, kBars + kBanner + scene + kDissolve}) keepFrame(n);
    EXPECT_EQ(run(runBannerCube), 0);
    EXPECT_FALSE(stuck);
    EXPECT_EQ(presents, kBars + kBanner + scene + kDissolve);
    EXPECT_EQ(holdEnds, (std::vector<int>{presents}));

    EXPECT_TRUE(std::all_of(frame(1).begin(), frame(1).end(), [](uint32_t p) { return p == 0xFFFFFF; }));
    // The top bar grows from the right edge, the bottom one from the left.
    EXPECT_EQ(frame(2)[319], kBar);
    EXPECT_EQ(frame(2)[318], 0xFFFFFFu);
    EXPECT_EQ(frame(2)[151 * 320], kBar);
    EXPECT_EQ(frame(2)[151 * 320 + 1], 0xFFFFFFu);
    const std::vector<uint32_t>& bars = frame(kBars);
    int wrong = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) wrong += bars[y * 320 + x] != (y < 49 || y >= 151 ? kBar : 0xFFFFFFu);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(frame(kBars + 1), bars) << "the banner's first frame copies nothing";
    const std::vector<uint32_t>& banner = frame(kBars + kBanner);
    EXPECT_TRUE(std::equal(img::plivak2, img::plivak2 + 320 * 102, banner.begin() + 49 * 320));
    EXPECT_TRUE(std::equal(bars.begin(), bars.begin() + 49 * 320, banner.begin()));

    // Levels 0, 2, .. 254: every pixel of pattern byte up to 254 is white;
    // those of byte 255 keep the scene (only the white lattice can make one
    // of them white).
    const std::vector<uint32_t>& last = frame(kBars + kBanner + scene + kDissolve);
    int notWhite = 0, lastLevel = 0, lastLevelWhite = 0;
    for (int i = 0; i < kFramePixels; ++i) {
        if (img::pattern2[i] == 255) {
            ++lastLevel;
            lastLevelWhite += last[i] == 0xFFFFFF;
        } else {
            notWhite += last[i] != 0xFFFFFF;
        }
    }
    EXPECT_EQ(notWhite, 0);
    EXPECT_EQ(lastLevel, 250);
    EXPECT_LT(lastLevelWhite, lastLevel / 4);
}

TEST_F(BannerCube, KeyEndsEveryStageAndTheHold) {
    struct Case {
        int keyAfterPresent;  // 0: none
        std::vector<Event> holds;
        int presents;
    };
    const int scene = 10;
    const Case cases[] = {
        {100, {}, 100},                                         // bars
        {kBars + 50, {}, kBars + 50},                           // banner
        {kBars + kBanner + 5, {}, kBars + kBanner + 5},         // scene
        {kBars + kBanner + scene + 60, {}, kBars + kBanner + scene + 60},  // dissolve
        {0, {Event::Key}, kBars + kBanner + scene + kDissolve},  // final hold
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.presents);
        afterPresent(kBars + kBanner + scene, Event::Beat);
        if (c.keyAfterPresent > 0) afterPresent(c.keyAfterPresent, Event::Key);
        inHolds(c.holds);
        EXPECT_EQ(run(runBannerCube), -1);
        EXPECT_EQ(presents, c.presents);
        EXPECT_FALSE(stuck);
        clearScript();
    }
}

}  // namespace
