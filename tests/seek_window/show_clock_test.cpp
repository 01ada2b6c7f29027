// The console's clock through a pre-roll, a pause held on its frame, a
// frame step and a resume, on the stand-in window backend.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/show_clock.h"
#include "platform/virtual_clock.h"
#include "window_probe.h"

namespace {

std::vector<uint32_t> picture(uint32_t value) { return std::vector<uint32_t>(320 * 200, value); }

// The handler's script: what to do at each call, in order.
enum Action { kNothing, kStep, kResume };
std::vector<Action> script;
size_t scriptAt = 0;

bool scripted() {
    const Action a = scriptAt < script.size() ? script[scriptAt] : kNothing;
    ++scriptAt;
    if (a == kStep) {
        EXPECT_TRUE(showclock::stepFrame());
    }
    if (a == kResume) showclock::resume();
    return false;
}

}  // namespace

TEST(ShowClock, PrerollPauseStepAndResume) {
    vclock::configure(60.0, -1.0);
    // A pre-roll to frame 3: the window gets only the picture after poll 3.
    showclock::beginPreroll(3);
    for (uint32_t f = 0; f <= 3; ++f) {
        EXPECT_TRUE(showclock::prerolling());
        EXPECT_FALSE(showclock::pollKey());
        EXPECT_EQ(showclock::seconds(), f / 60.0);
        showclock::present(picture(f).data(), 320, 200);
    }
    EXPECT_FALSE(showclock::prerolling());
    ASSERT_EQ(probe::shown, 1);
    EXPECT_EQ(probe::polls, 0);  // the window was never polled
    const uint32_t frame3 = probe::shownCrc[0];

    // Paused there: the next poll holds; the handler steps one frame (a
    // virtual poll, drawn and shown), then the show holds again.
    showclock::pause();
    script = {kStep, kNothing};
    scriptAt = 0;
    showclock::setPollHandler(scripted);
    EXPECT_FALSE(showclock::pollKey());
    EXPECT_EQ(vclock::pollCount(), 5);
    EXPECT_EQ(showclock::seconds(), 4 / 60.0);
    EXPECT_EQ(showclock::frame(), 4);
    showclock::present(picture(4).data(), 320, 200);
    ASSERT_EQ(probe::shown, 2);
    EXPECT_NE(probe::shownCrc[1], frame3);

    // Resumed: the same poll goes live at frame 5's time, and the clock is
    // the window's from there on.
    script = {kResume, kNothing};
    scriptAt = 0;
    EXPECT_FALSE(showclock::pollKey());
    EXPECT_FALSE(showclock::paused());
    EXPECT_EQ(vclock::pollCount(), 5);
    EXPECT_DOUBLE_EQ(showclock::seconds(), 5 / 60.0);
    const int64_t windowPolls = probe::polls;
    EXPECT_FALSE(showclock::pollKey());
    EXPECT_EQ(probe::polls, windowPolls + 1);
    EXPECT_DOUBLE_EQ(showclock::seconds(), 6 / 60.0);  // the stand-in's clock moves 1/60 a poll
    showclock::setPollHandler(nullptr);
}
