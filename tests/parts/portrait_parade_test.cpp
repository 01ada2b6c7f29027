// The portrait parade: the parade runs to the beat, each of the next two
// secondary syncs brings one frame with two new quadrants, portraits
// re-enter from column 433, keys end the parade and every hold.
#include "data/image_bank.h"
#include "opening_harness.h"
#include "parts/parts.h"

namespace {

using namespace opening;

class PortraitParade : public PartRun {
protected:
    void SetUp() override {
        fillImage(img::dovo, 0x000000);
        fillImage(img::ostrin11, 0x0000FF);  // all key: invisible
        fillImage(img::ostrin3, 0xFFFFFF);
        for (int i = 0; i < kFramePixels; ++i) img::unity[i] = static_cast<uint32_t>(i * 29 + 1) & 0xFFFFFF;
    }
    bool revealed(int n, int qx, int qy) {  // quadrant (qx, qy) of frame n shows unity
        for (int y = qy * 100; y < qy * 100 + 100; ++y)
            for (int x = qx * 160; x < qx * 160 + 160; ++x)
                if (frame(n)[y * 320 + x] != img::unity[y * 320 + x]) return false;
        return true;
    }
};

TEST_F(PortraitParade, ParadeThenTwoQuadrantRevealsOnTheSyncs) {
    afterPresent(3, Event::Sync);  // syncs during the parade change nothing
    afterPresent(110, Event::Beat);
    afterPresent(110, Event::Sync);  // passed before the first sync wait
    inHolds({Event::Beat, Event::Sync, Event::Sync, Event::Beat});  // a beat does not end a sync wait
    for (int n : {106, 110, 111, 112}) keepFrame(n);
    EXPECT_EQ(run(runPortraitParade), 0);
    EXPECT_EQ(presents, 112);
    EXPECT_EQ(holdEnds, (std::vector<int>{110, 110, 111, 112}));

    EXPECT_TRUE(revealed(111, 1, 0) && revealed(111, 0, 1));
    EXPECT_TRUE(std::equal(frame(111).begin(), frame(111).begin() + 160, frame(110).begin())) << "top left kept";
    EXPECT_FALSE(revealed(111, 1, 1));
    EXPECT_EQ(frame(112), picture(img::unity));

    // Frame 106: portrait 0 wrapped at frame 49 (x -98 becomes 433) and is
    // back at column 319; portrait 4 (from 432) ends at column 317, so
    // column 318 holds only its fading trail.
    const uint32_t* row = frame(106).data() + 50 * 320;
    EXPECT_GT(row[319] & 0xFF, 0x90u);
    EXPECT_LT(row[318] & 0xFF, 0x70u);
    EXPECT_GT(row[317] & 0xFF, 0x90u);
}

TEST_F(PortraitParade, KeyEndsTheParadeAndEveryHold) {
    expectKeysEnd(runPortraitParade,
                  [this] {
                      afterPresent(20, Event::Beat);
                      inHolds({Event::Sync, Event::Sync, Event::Beat});
                  },
                  {{5, -1, 5}, {0, 0, 20}, {0, 1, 21}, {0, 2, 22}});
}

}  // namespace
