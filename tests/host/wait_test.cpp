// Waiting on the music: only a beat after the wait began ends it, a key
// ends it at once, and other syncs never end a beat wait.
#include <gtest/gtest.h>

#include "host_fixture.h"

class Waits : public HostTest {};

TEST_F(Waits, BeatWaitEndsAtTheNextBeat) {
    beatAtPoll(5);
    EXPECT_TRUE(WaitForBeat());
    EXPECT_EQ(vclock::pollCount(), 6);
    EXPECT_EQ(LastBeat + 1, BeatCounter.load());
}

TEST_F(Waits, EarlierBeatsDoNotEndAWait) {
    BeatCounter += 3;  // beats before the wait
    beatAtPoll(10);
    EXPECT_TRUE(WaitForBeat());
    EXPECT_EQ(vclock::pollCount(), 11);
}

TEST_F(Waits, SyncsDoNotEndABeatWaitButEndASyncWait) {
    syncAtPoll(2);
    syncAtPoll(3);
    beatAtPoll(7);
    int32_t copy = 0;
    EXPECT_TRUE(WaitForSync(copy));
    EXPECT_EQ(vclock::pollCount(), 3);
    EXPECT_EQ(copy, SyncCounter.load());
    EXPECT_TRUE(WaitForBeat());
    EXPECT_EQ(vclock::pollCount(), 8);
}

TEST_F(Waits, KeyEndsTheWaitWithinOnePoll) {
    keyAtSeconds(0.5);  // poll 30 at 60 fps
    EXPECT_FALSE(WaitForBeat());
    EXPECT_EQ(vclock::pollCount(), 31);
    int32_t copy = 0;
    EXPECT_FALSE(WaitForSync(copy));
    EXPECT_EQ(vclock::pollCount(), 32);
    EXPECT_EQ(presents, 0);
}

TEST_F(Waits, NoBeatsMeansWaitingUntilAKey) {
    keyAtSeconds(3.0);
    EXPECT_FALSE(WaitForBeat());
    EXPECT_EQ(vclock::pollCount(), 181);
}

TEST_F(Waits, TheTimerFollowsThePolls) {
    DemoTimer.stop();
    DemoTimer.set(0.0);
    DemoTimer.start();
    beatAtPoll(90);
    EXPECT_TRUE(WaitForBeat());
    EXPECT_DOUBLE_EQ(DemoTime(), 1.5);
    DemoTimer.stop();
    DemoTimer.set(2.0);
    EXPECT_DOUBLE_EQ(DemoTime(), 2.0);
}

// The frame loops of the parts: testing before or after each frame, a
// stage shows every frame up to the one whose poll saw the beat; beats
// before BeginBeatWait do not count, two beats in one frame end it once.
TEST_F(Waits, StageLoopsEndOnTheFirstBeatAfterTheyBegin) {
    BeatCounter += 2;
    beatAtPoll(4);
    beatAtPoll(9);
    beatAtPoll(9);
    BeginBeatWait();
    while (!BeatArrived()) {
        if (KeyPending()) FAIL();
        PresentFrame();
    }
    EXPECT_EQ(presents, 5);
    EXPECT_EQ(LastBeat, 2);
    BeginBeatWait();
    do {
        if (KeyPending()) FAIL();
        PresentFrame();
    } while (!BeatArrived());
    EXPECT_EQ(presents, 10);
    EXPECT_EQ(LastBeat, 3);
    EXPECT_EQ(BeatCounter.load(), 5);
    BeginBeatWait();
    EXPECT_FALSE(BeatArrived());
}
