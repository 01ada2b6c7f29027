// The warped ribbons on the virtual clock: the captions follow the
// secondary syncs and stop at the fifth, the closing bars take 101 frames,
// and keys end every stage and hold.
#include <gtest/gtest.h>

#include "data/image_bank.h"
#include "opening_harness.h"
#include "parts/parts.h"

namespace {

using opening::Event;

// One solid colour per caption, none of them the key, the ribbon white or
// anything the dark texture blends to.
constexpr uint32_t kCaptionColour[5] = {0xC00000, 0x00C000, 0xC000C0, 0xC0C000, 0x00C0C0};
constexpr int kCaptionPixels[5] = {206 * 25, 127 * 21, 170 * 35, 254 * 37, 258 * 29};

class WarpedRibbons : public opening::PartRun {
protected:
    void SetUp() override {
        opening::fillImage(img::grunsel, 0x202020);
        opening::fillImage(img::exercise, kCaptionColour[0]);
        opening::fillImage(img::alert, kCaptionColour[1]);
        opening::fillImage(img::partcool, kCaptionColour[2]);
        opening::fillImage(img::molecule, kCaptionColour[3]);
        opening::fillImage(img::nrg, kCaptionColour[4]);
        std::fill(screen.begin(), screen.end(), 0xFFFFFFu);
    }
    // Pixels of each caption colour in a frame.
    std::vector<int> captionCounts(int n) {
        std::vector<int> counts(5, 0);
        for (uint32_t p : frame(n))
            for (int c = 0; c < 5; ++c) counts[c] += p == kCaptionColour[c];
        return counts;
    }
};

TEST_F(WarpedRibbons, StageLengthsFollowTheBeats) {
    inHolds({Event::Beat, Event::Beat});
    afterPresent(40, Event::Beat);  // ends the captions stage
    keepFrame(141);
    EXPECT_EQ(run(runWarpedRibbons), 0);
    EXPECT_FALSE(stuck);
    EXPECT_EQ(holdEnds, (std::vector<int>{0, 141})) << "40 caption frames, then 101 bar frames";
    EXPECT_EQ(presents, 141);
    const std::vector<uint32_t>& last = frame(141);
    EXPECT_TRUE(std::all_of(last.begin(), last.end(), [](uint32_t p) { return p == 0xFFFFFF; }));
}

TEST_F(WarpedRibbons, CaptionsFollowTheSyncsAndStopAtTheFifth) {
    inHolds({Event::Beat, Event::Beat});
    // Without a sync no caption shows.
    afterPresent(2, Event::Beat);
    keepFrame(2);
    run(runWarpedRibbons);
    EXPECT_EQ(captionCounts(2), (std::vector<int>{0, 0, 0, 0, 0}));
    clearScript();

    // Two syncs within one frame bring up the first caption only.
    inHolds({Event::Beat, Event::Beat});
    afterPresent(3, Event::Sync);
    afterPresent(3, Event::Sync);
    afterPresent(6, Event::Beat);
    keepFrame(3);
    keepFrame(6);
    run(runWarpedRibbons);
    EXPECT_EQ(captionCounts(3), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(captionCounts(6), (std::vector<int>{kCaptionPixels[0], 0, 0, 0, 0}));
    clearScript();

    // Seven syncs, one a frame: the fifth caption stays up after the fifth.
    inHolds({Event::Beat, Event::Beat});
    for (int n = 2; n <= 8; ++n) afterPresent(n, Event::Sync);
    afterPresent(12, Event::Beat);
    for (int n = 3; n <= 12; ++n) keepFrame(n);
    EXPECT_EQ(run(runWarpedRibbons), 0);
    EXPECT_EQ(presents, 12 + 101);
    for (int c = 0; c < 5; ++c) EXPECT_EQ(captionCounts(3 + c)[c], kCaptionPixels[c]) << "caption " << c + 1;
    for (int n = 8; n <= 12; ++n) EXPECT_EQ(captionCounts(n)[4], kCaptionPixels[4]) << "frame " << n;
}

TEST_F(WarpedRibbons, KeyEndsEveryStageAndHold) {
    struct Case {
        int keyAfterPresent;  // 0: none
        std::vector<Event> holds;
        int presents;
    };
    const Case cases[] = {
        {0, {Event::Key}, 0},                 // hold before the captions
        {10, {Event::Beat}, 10},              // captions
        {60, {Event::Beat}, 60},              // bars (the beat after 30 ends the captions)
        {0, {Event::Beat, Event::Key}, 131},  // hold on white
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.presents);
        afterPresent(30, Event::Beat);
        if (c.keyAfterPresent > 0) afterPresent(c.keyAfterPresent, Event::Key);
        inHolds(c.holds);
        EXPECT_EQ(run(runWarpedRibbons), -1);
        EXPECT_EQ(presents, c.presents);
        EXPECT_FALSE(stuck);
        clearScript();
    }
}

}  // namespace
