// The whole program in a child process on the generated data: how each
// way out ends. Skipped when the data folder has not been generated.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <string>

#include "host/host.h"
#include "parts/final_3d.h"
#include "platform/midas_internal.h"
#include "platform/virtual_clock.h"

namespace {

bool haveData() {
    struct stat st{};
    return stat(PLIVAK_DATA_DIR "/demo.xm", &st) == 0 && st.st_size > 0 && stat(PLIVAK_DATA_DIR "/dazovad.scn", &st) == 0;
}

// Runs the demo from build/bin, as the program does, and exits with its
// status; faults are injected on the virtual clock first.
[[noreturn]] void runDemo(double keyAt, bool failOpen, int64_t failAtPoll) {
    if (chdir(PLIVAK_BIN_DIR) != 0) std::exit(99);
    std::remove("plivak.cfg");
    vclock::configure(60.0, keyAt);
    vclock::failNextOpen(failOpen);
    vclock::failAtPoll(failAtPoll);
    std::exit(DemoMain());
}

class Exits : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveData()) GTEST_SKIP() << "no generated data";
        GTEST_FLAG_SET(death_test_style, "threadsafe");
    }
};

}  // namespace

TEST_F(Exits, KeyDuringThePartsEndsWith0) { EXPECT_EXIT(runDemo(2.0, false, -1), testing::ExitedWithCode(0), ""); }

TEST_F(Exits, ConsoleThatCannotOpenEndsQuietlyWith0) {
    EXPECT_EXIT(runDemo(-1, true, -1), testing::ExitedWithCode(0), "");
}

TEST_F(Exits, ConsoleFailingMidRunEndsWith0) {
    EXPECT_EXIT(runDemo(-1, false, 90), testing::ExitedWithCode(0), "");
}

TEST_F(Exits, SignalEndsTheDemoLikeAKey) {
    EXPECT_EXIT(
        {
            if (chdir(PLIVAK_BIN_DIR) != 0) std::exit(99);
            vclock::configure(60.0, -1);
            alarm(0);
            // The signal arrives once the console is open: on the first poll.
            struct Raise {
                static void sink(const vclock::Frame&, void*) { std::raise(SIGTERM); }
            };
            vclock::setFrameSink(&Raise::sink, nullptr);
            std::exit(DemoMain());
        },
        testing::ExitedWithCode(0), "");
}

namespace {

// A scratch tree whose data folder is the generated one and whose
// plivak.cfg holds the given words; the child works in its bin folder.
[[noreturn]] void runDemoIn(const char* config, int64_t failAtPoll) {
    char base[] = "/tmp/plivak-exit-XXXXXX";
    if (!mkdtemp(base)) std::exit(98);
    std::string root = base;
    if (mkdir((root + "/bin").c_str(), 0755) != 0) std::exit(98);
    if (symlink(PLIVAK_DATA_DIR, (root + "/data").c_str()) != 0) std::exit(98);
    if (std::FILE* f = std::fopen((root + "/bin/plivak.cfg").c_str(), "w")) {
        std::fputs(config, f);
        std::fclose(f);
    }
    if (chdir((root + "/bin").c_str()) != 0) std::exit(98);
    vclock::configure(60.0, -1);
    vclock::failAtPoll(failAtPoll);
    int status = DemoMain();
    // Shutdown ran in full: the music is stopped and closed, the 3D
    // engine and scene are released.
    if (midas::activePlayback() != nullptr) std::exit(3);
    if (midas::output() != midas::Output::None) std::exit(4);
    if (FinalScene != nullptr) std::exit(5);
    std::system(("rm -rf " + root).c_str());
    std::exit(status);
}

}  // namespace

TEST_F(Exits, ConsoleFailingMidRunStopsTheMusicAndReleasesTheEngine) {
    EXPECT_EXIT(runDemoIn("", 90), testing::ExitedWithCode(0), "");
}

TEST_F(Exits, ConsoleFailingInTheFinalPartEndsWith0) {
    // Straight to the closing part; the console fails a second into it,
    // with the music playing from order 56.
    EXPECT_EXIT(runDemoIn("i-am-lame", 60), testing::ExitedWithCode(0), "");
}
