// The banner with the wire cube: fixed stage lengths and pictures, the
// dissolve that leaves only the pattern's last level, and keys.
#include "data/image_bank.h"
#include "opening_harness.h"
#include "parts/parts.h"

namespace {

using namespace opening;

constexpr uint32_t kBar = 0x4A4A8C;
constexpr int kBars = 321, kBanner = 103, kScene = 30, kDissolve = 128;

class BannerCube : public PartRun {
protected:
    void SetUp() override {
        for (int i = 0; i < 320 * 102; ++i) img::plivak2[i] = static_cast<uint32_t>(i * 131) & 0xFFFFFF;
        for (int i = 0; i < kFramePixels; ++i) img::pattern2[i] = static_cast<uint8_t>(i * 37);
        std::fill(screen.begin(), screen.end(), 0xFFFFFFu);
    }
    void script() {
        afterPresent(kBars + kBanner + kScene, Event::Beat);
        inHolds({Event::Beat});
    }
};

TEST_F(BannerCube, StagesKeepTheirFrameCountsAndPictures) {
    script();
    const int end = kBars + kBanner + kScene + kDissolve;
    for (int n : {1, kBars, kBars + 1, kBars + kBanner, end}) keepFrame(n);
    EXPECT_EQ(run(runBannerCube), 0);
    EXPECT_EQ(presents, end);
    EXPECT_EQ(holdEnds, (std::vector<int>{end}));

    EXPECT_TRUE(allEqual(frame(1), 0xFFFFFF));
    int wrong = 0;
    for (int i = 0; i < kFramePixels; ++i) wrong += frame(kBars)[i] != (i < 49 * 320 || i >= 151 * 320 ? kBar : 0xFFFFFFu);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(frame(kBars + 1), frame(kBars)) << "the banner's first frame copies nothing";
    EXPECT_TRUE(std::equal(img::plivak2.pixels, img::plivak2.pixels + 320 * 102, frame(kBars + kBanner).begin() + 49 * 320));

    // Levels 0, 2, .. 254 are white; the 250 pixels of byte 255 keep the
    // scene (only the white lattice can whiten one of them).
    int notWhite = 0, lastLevelWhite = 0;
    for (int i = 0; i < kFramePixels; ++i) {
        const bool white = frame(end)[i] == 0xFFFFFF;
        if (img::pattern2[i] == 255) lastLevelWhite += white;
        else notWhite += !white;
    }
    EXPECT_EQ(notWhite, 0);
    EXPECT_LT(lastLevelWhite, 60);
}

TEST_F(BannerCube, KeyEndsEveryStageAndTheHold) {
    expectKeysEnd(runBannerCube, [this] { script(); },
                  {{100, -1, 100}, {kBars + 50, -1, kBars + 50}, {kBars + kBanner + 5, -1, kBars + kBanner + 5},
                   {kBars + kBanner + kScene + 60, -1, kBars + kBanner + kScene + 60},
                   {0, 0, kBars + kBanner + kScene + kDissolve}});
}

}  // namespace
