// The opening blinds on the virtual clock: stage lengths, what the screen
// shows at the end of each stage, and how beats and keys end the holds.
#include <gtest/gtest.h>

#include "data/image_bank.h"
#include "opening_harness.h"
#include "parts/parts.h"

namespace {

using opening::Event;

constexpr uint32_t kPrevious = 0x123456;  // the frame the part starts on

class OpeningBlinds : public opening::PartRun {
protected:
    void SetUp() override {
        for (int i = 0; i < kFramePixels; ++i) {
            img::openptc[i] = static_cast<uint32_t>(i * 41) & 0xFFFFFF;
            img::linux_in[i] = static_cast<uint32_t>(i * 97 + 5) & 0xFFFFFF;
            img::pattern1[i] = static_cast<uint8_t>(i * 37);
        }
        std::fill(screen.begin(), screen.end(), kPrevious);
    }
    static bool allEqual(const std::vector<uint32_t>& f, uint32_t c) {
        return std::all_of(f.begin(), f.end(), [c](uint32_t p) { return p == c; });
    }
    static std::vector<uint32_t> picture(const uint32_t* p) { return std::vector<uint32_t>(p, p + kFramePixels); }
};

// 41 blind frames, hold, 21 + 256 + 256 frames, hold, 21 frames.
TEST_F(OpeningBlinds, StagesHaveTheirFrameCountsAndPictures) {
    inHolds({Event::Beat, Event::Beat});
    for (int n : {1, 40, 41, 62, 63, 318, 446, 574, 595}) keepFrame(n);
    EXPECT_EQ(run(runOpeningBlinds), 0);
    EXPECT_EQ(presents, 595);
    EXPECT_EQ(holdEnds, (std::vector<int>{41, 574}));
    EXPECT_FALSE(stuck);

    EXPECT_TRUE(allEqual(frame(1), kPrevious)) << "the first blind frame copies nothing";
    // One frame before the end, the last column of every strip is still old.
    EXPECT_EQ(frame(40)[39], kPrevious);
    EXPECT_EQ(frame(40)[38], img::openptc[38]);
    EXPECT_EQ(frame(41), picture(img::openptc));
    EXPECT_TRUE(allEqual(frame(62), 0x000000));
    EXPECT_TRUE(allEqual(frame(63), 0x000000)) << "the fade starts on black";
    EXPECT_TRUE(allEqual(frame(318), 0xFFFFFF));
    // Half way through the dissolve, exactly the pixels of levels 0..127 show.
    const std::vector<uint32_t>& half = frame(446);
    int wrong = 0;
    for (int i = 0; i < kFramePixels; ++i)
        wrong += half[i] != (img::pattern1[i] <= 127 ? img::linux_in[i] : 0xFFFFFF);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(frame(574), picture(img::linux_in));
    EXPECT_TRUE(allEqual(frame(595), 0xFFFFFF));
}

TEST_F(OpeningBlinds, BeatsBeforeAHoldDoNotEndIt) {
    afterPresent(41, Event::Beat);
    afterPresent(574, Event::Beat);
    inHolds({Event::Beat, Event::Beat});
    EXPECT_EQ(run(runOpeningBlinds), 0);
    EXPECT_EQ(holdEnds, (std::vector<int>{41, 574}));
    EXPECT_GE(longestHold, kHoldPolls);
    EXPECT_EQ(presents, 595);
}

TEST_F(OpeningBlinds, KeyEndsThePartWithoutAnotherPresent) {
    struct Case {
        int keyAfterPresent;  // 0: none
        std::vector<Event> holds;
        int presents;
    };
    const Case cases[] = {
        {20, {}, 20},                          // vertical blinds
        {50, {Event::Beat}, 50},               // black blinds
        {200, {Event::Beat}, 200},             // fade
        {400, {Event::Beat}, 400},             // dissolve
        {580, {Event::Beat, Event::Beat}, 580},  // white blinds
        {0, {Event::Key}, 41},                 // first hold
        {0, {Event::Beat, Event::Key}, 574},   // second hold
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.presents);
        if (c.keyAfterPresent > 0) afterPresent(c.keyAfterPresent, Event::Key);
        inHolds(c.holds);
        EXPECT_EQ(run(runOpeningBlinds), -1);
        EXPECT_EQ(presents, c.presents);
        EXPECT_FALSE(stuck);
        clearScript();
    }
}

}  // namespace
