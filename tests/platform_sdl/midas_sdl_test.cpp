// The demo's module player backend without a sound card: the silent
// real-time thread when SDL has no audio, and SDL's "disk" driver standing
// in for a device. Each test plays about half a second of music.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/midas.h"
#include "platform/midas_internal.h"
#include "platform/test_modules.h"

namespace {

std::atomic<int> beats{0};
std::atomic<int> others{0};
std::atomic<int> outOfOrder{0};
std::atomic<int> lastRow{-1};

// Rows 0..3 hold beats, row 2 also another sync; rows last 0.1 s.
void countSync(unsigned value, unsigned, unsigned row) {
    if (static_cast<int>(row) < lastRow.load() && row != 0) ++outOfOrder;
    lastRow = static_cast<int>(row);
    if (value == 19) ++beats;
    else ++others;
}

class MidasSdlTest : public ::testing::Test {
protected:
    // CTest runs the two tests at once, each in its own process.
    std::string scratch = std::string(::testing::TempDir()) + "midas_sdl_test_" + std::to_string(getpid());
    std::string modulePath = scratch + ".xm";
    std::string diskPath = scratch + ".raw";

    void SetUp() override {
        beats = others = outOfOrder = 0;
        lastRow = -1;
        xm::Module m = testmod::makeModule(2, {0}, {4});
        m.tempo = 4;  // rows of 3528 frames, 80 ms
        for (int r = 0; r < 4; ++r) m.patterns[0].at(r, 1) = xm::syncCell(19);
        m.patterns[0].at(2, 0) = xm::syncCell(1);
        m.patterns[0].at(0, 0) = testmod::note(4, 0);
        std::string error;
        ASSERT_TRUE(xm::saveXm(m, modulePath, &error)) << error;
    }
    void TearDown() override {
        std::remove(modulePath.c_str());
        std::remove(diskPath.c_str());
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
    }

    // The host's start-up and shutdown sequence around half a second of play.
    void playHalfASecond() {
        ASSERT_TRUE(MIDASstartup());
        ASSERT_TRUE(MIDASinit());
        MIDASmodule module = MIDASloadModule(modulePath.c_str());
        ASSERT_NE(module, nullptr);
        MIDASmodulePlayHandle play = MIDASplayModule(module, 0);
        ASSERT_NE(play, nullptr);
        ASSERT_TRUE(MIDASsetMusicSyncCallback(play, countSync));
        ASSERT_TRUE(MIDASstartBackgroundPlay(50));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_TRUE(MIDASstopBackgroundPlay());
        int beatsAtStop = beats.load();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(beats.load(), beatsAtStop);  // nothing fires once stopped
        EXPECT_TRUE(MIDASstopModule(play));
        EXPECT_TRUE(MIDASfreeModule(module));
        EXPECT_TRUE(MIDASclose());
    }
};

TEST_F(MidasSdlTest, WithoutAudioTheSilentThreadStillDeliversTheSyncs) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(MIDASstartBackgroundPlay(50));  // not initialised
    ASSERT_TRUE(MIDASinit());
    EXPECT_EQ(midas::output(), midas::Output::Silent);
    EXPECT_NE(midas::outputDescription().find("silent"), std::string::npos);
    EXPECT_TRUE(MIDASstartBackgroundPlay(50));  // nothing to play yet
    EXPECT_TRUE(MIDASclose());                   // stops the thread
    EXPECT_TRUE(MIDASclose());
    playHalfASecond();
    // 500 ms of 80 ms rows: rows 0..6 heard, give or take a slow machine.
    EXPECT_GE(beats.load(), 3);
    EXPECT_LE(beats.load(), 8);
    EXPECT_GE(others.load(), 1);
    EXPECT_EQ(outOfOrder.load(), 0);
}

TEST_F(MidasSdlTest, OnADeviceTheMusicIsPlayedAndTheSyncsDelivered) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", diskPath.c_str(), 1);
    ASSERT_TRUE(MIDASinit());
    if (midas::output() != midas::Output::Device) GTEST_SKIP() << midas::outputDescription();
    MIDASclose();
    playHalfASecond();
    EXPECT_GE(beats.load(), 2);
    EXPECT_LE(beats.load(), 8);
    EXPECT_EQ(outOfOrder.load(), 0);
    struct stat st;
    ASSERT_EQ(stat(diskPath.c_str(), &st), 0);
    EXPECT_GT(st.st_size, 44100 / 4 * 4);  // at least a quarter second of 16-bit stereo
}

}  // namespace
