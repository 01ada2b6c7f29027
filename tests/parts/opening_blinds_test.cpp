// The opening blinds: stage lengths, the picture at the end of each stage,
// beats that come too early, and keys.
#include "data/image_bank.h"
#include "opening_harness.h"
#include "parts/parts.h"

namespace {

using namespace opening;

class OpeningBlinds : public PartRun {
protected:
    void SetUp() override {
        for (int i = 0; i < kFramePixels; ++i) {
            img::openptc[i] = static_cast<uint32_t>(i * 41) & 0xFFFFFF;
            img::linux_in[i] = static_cast<uint32_t>(i * 97 + 5) & 0xFFFFFF;
            img::pattern1[i] = static_cast<uint8_t>(i * 37);
        }
        std::fill(screen.begin(), screen.end(), 0x123456u);  // the previous part's frame
    }
};

// 41 blind frames, hold, 21 + 256 + 256 frames, hold, 21 frames.
TEST_F(OpeningBlinds, StagesKeepTheirFrameCountsAndPictures) {
    afterPresent(41, Event::Beat);  // before the hold: must not end it
    inHolds({Event::Beat, Event::Beat});
    for (int n : {1, 41, 62, 63, 318, 446, 574, 595}) keepFrame(n);
    EXPECT_EQ(run(runOpeningBlinds), 0);
    EXPECT_EQ(presents, 595);
    EXPECT_EQ(holdEnds, (std::vector<int>{41, 574}));

    EXPECT_TRUE(allEqual(frame(1), 0x123456)) << "the first blind frame copies nothing";
    EXPECT_EQ(frame(41), picture(img::openptc));
    EXPECT_TRUE(allEqual(frame(62), 0x000000));
    EXPECT_TRUE(allEqual(frame(63), 0x000000)) << "the fade starts on black";
    EXPECT_TRUE(allEqual(frame(318), 0xFFFFFF));
    int wrong = 0;  // half way through the dissolve: levels 0..127 show
    for (int i = 0; i < kFramePixels; ++i)
        wrong += frame(446)[i] != (img::pattern1[i] <= 127 ? img::linux_in[i] : 0xFFFFFFu);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(frame(574), picture(img::linux_in));
    EXPECT_TRUE(allEqual(frame(595), 0xFFFFFF));
}

TEST_F(OpeningBlinds, KeyEndsEveryStageAndHold) {
    expectKeysEnd(runOpeningBlinds, [this] { inHolds({Event::Beat, Event::Beat}); },
                  {{20, -1, 20}, {50, -1, 50}, {200, -1, 200}, {400, -1, 400}, {580, -1, 580},
                   {0, 0, 41}, {0, 1, 574}});
}

}  // namespace
