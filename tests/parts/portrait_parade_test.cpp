// The portrait parade on the virtual clock: the parade runs to the beat,
// each of the next two secondary syncs brings one frame with two quadrants
// of the new picture, small portraits re-enter from column 433, and keys
// end the parade and every hold.
#include <gtest/gtest.h>

#include "data/image_bank.h"
#include "opening_harness.h"
#include "parts/parts.h"

namespace {

using opening::Event;

class PortraitParade : public opening::PartRun {
protected:
    void SetUp() override {
        opening::fillImage(img::dovo, 0x000000);
        opening::fillImage(img::ostrin11, 0x0000FF);  // all key: invisible
        opening::fillImage(img::ostrin3, 0xFFFFFF);
        for (int i = 0; i < kFramePixels; ++i) img::unity[i] = static_cast<uint32_t>(i * 29 + 1) & 0xFFFFFF;
    }
    // Whether quadrant (qx, qy) of frame n shows the revealed picture.
    bool quadrantRevealed(int n, int qx, int qy) {
        const std::vector<uint32_t>& f = frame(n);
        for (int y = qy * 100; y < qy * 100 + 100; ++y)
            for (int x = qx * 160; x < qx * 160 + 160; ++x)
                if (f[y * 320 + x] != img::unity[y * 320 + x]) return false;
        return true;
    }
};

TEST_F(PortraitParade, ParadeThenTwoQuadrantRevealsOnTheSyncs) {
    const int parade = 110;
    afterPresent(3, Event::Sync);  // a sync during the parade changes nothing
    afterPresent(parade, Event::Beat);
    afterPresent(parade, Event::Sync);  // passed before the first sync wait
    // The beat in the first hold does not end a sync wait.
    inHolds({Event::Beat, Event::Sync, Event::Sync, Event::Beat});
    for (int n : {106, parade, parade + 1, parade + 2}) keepFrame(n);
    EXPECT_EQ(run(runPortraitParade), 0);
    EXPECT_FALSE(stuck);
    EXPECT_EQ(presents, parade + 2);
    EXPECT_EQ(holdEnds, (std::vector<int>{parade, parade, parade + 1, parade + 2}));

    EXPECT_TRUE(quadrantRevealed(parade + 1, 1, 0));
    EXPECT_TRUE(quadrantRevealed(parade + 1, 0, 1));
    EXPECT_FALSE(quadrantRevealed(parade + 1, 0, 0));
    EXPECT_FALSE(quadrantRevealed(parade + 1, 1, 1));
    EXPECT_TRUE(std::equal(frame(parade + 1).begin(), frame(parade + 1).begin() + 160, frame(parade).begin()));
    EXPECT_EQ(frame(parade + 2), std::vector<uint32_t>(img::unity, img::unity + kFramePixels));

    // Frame 106: portrait 0 wrapped at frame 49 (x -98 -> 433) and is back
    // at column 319; portrait 4 (from 432) ends at column 317, so column 318
    // only holds its fading trail.
    const std::vector<uint32_t>& f = frame(106);
    const uint32_t wrapped = f[50 * 320 + 319] & 0xFF, gap = f[50 * 320 + 318] & 0xFF, inside = f[50 * 320 + 317] & 0xFF;
    EXPECT_GT(wrapped, 0x90u);
    EXPECT_GT(inside, 0x90u);
    EXPECT_LT(gap, 0x70u);
}

TEST_F(PortraitParade, KeyEndsTheParadeAndEveryHold) {
    struct Case {
        int keyAfterPresent;  // 0: none
        std::vector<Event> holds;
        int presents;
    };
    const Case cases[] = {
        {5, {}, 5},
        {0, {Event::Key}, 20},
        {0, {Event::Sync, Event::Key}, 21},
        {0, {Event::Sync, Event::Sync, Event::Key}, 22},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.presents);
        afterPresent(20, Event::Beat);
        if (c.keyAfterPresent > 0) afterPresent(c.keyAfterPresent, Event::Key);
        inHolds(c.holds);
        EXPECT_EQ(run(runPortraitParade), -1);
        EXPECT_EQ(presents, c.presents);
        EXPECT_FALSE(stuck);
        clearScript();
    }
}

}  // namespace
