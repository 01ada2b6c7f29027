// The warped ribbons: the captions follow the secondary syncs and stay on
// the fifth, the closing bars take 101 frames, keys end every stage.
#include "data/image_bank.h"
#include "opening_harness.h"
#include "parts/parts.h"

namespace {

using namespace opening;

// One solid colour per caption, none of them the key, white or anything the
// dark texture blends to.
constexpr uint32_t kColour[5] = {0xC00000, 0x00C000, 0xC000C0, 0xC0C000, 0x00C0C0};
constexpr int kPixels[5] = {206 * 25, 127 * 21, 170 * 35, 254 * 37, 258 * 29};

class WarpedRibbons : public PartRun {
protected:
    void SetUp() override {
        fillImage(img::grunsel, 0x202020);
        fillImage(img::exercise, kColour[0]);
        fillImage(img::alert, kColour[1]);
        fillImage(img::partcool, kColour[2]);
        fillImage(img::molecule, kColour[3]);
        fillImage(img::nrg, kColour[4]);
        std::fill(screen.begin(), screen.end(), 0xFFFFFFu);
        inHolds({Event::Beat, Event::Beat});
    }
    // How many pixels of each caption colour frame n shows.
    std::vector<int> captions(int n) {
        std::vector<int> counts(5, 0);
        for (uint32_t p : frame(n))
            for (int c = 0; c < 5; ++c) counts[c] += p == kColour[c];
        return counts;
    }
};

TEST_F(WarpedRibbons, CaptionsFollowTheSyncsThenBarsCloseIn101Frames) {
    afterPresent(3, Event::Sync);  // two syncs in one frame: one caption step
    afterPresent(3, Event::Sync);
    for (int n = 6; n <= 11; ++n) afterPresent(n, Event::Sync);  // seven syncs in all
    afterPresent(14, Event::Beat);
    for (int n = 3; n <= 14; ++n) keepFrame(n);
    keepFrame(14 + 101);
    EXPECT_EQ(run(runWarpedRibbons), 0);
    EXPECT_EQ(presents, 14 + 101);
    EXPECT_EQ(holdEnds, (std::vector<int>{0, 14 + 101}));

    EXPECT_EQ(captions(3), (std::vector<int>{0, 0, 0, 0, 0})) << "no sync yet";
    for (int n = 4; n <= 6; ++n) EXPECT_EQ(captions(n)[0], kPixels[0]) << "frame " << n;
    for (int c = 1; c < 5; ++c) EXPECT_EQ(captions(6 + c)[c], kPixels[c]) << "caption " << c + 1;
    for (int n = 11; n <= 14; ++n) EXPECT_EQ(captions(n)[4], kPixels[4]) << "frame " << n;
    EXPECT_TRUE(allEqual(frame(14 + 101), 0xFFFFFF));
}

TEST_F(WarpedRibbons, KeyEndsEveryStageAndHold) {
    expectKeysEnd(runWarpedRibbons, [this] { inHolds({Event::Beat, Event::Beat}); afterPresent(30, Event::Beat); },
                  {{0, 0, 0}, {10, -1, 10}, {60, -1, 60}, {0, 1, 131}});
}

}  // namespace
