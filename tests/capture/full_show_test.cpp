// The whole show, closing part included (about 15 minutes of demo time), on
// the virtual clock as a user captures it: every step in order, the fixed
// stages at their frame counts, no still screen over 2 s, the show before
// the closing part 4 to 7 minutes long, and no overflow message.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct LogFrame {
    int step;
    bool presented;
    int beat;
};

// Runs of presented or held frames within one step, in order.
struct FrameRun {
    bool presented;
    int length;
};

}  // namespace

TEST(FullShow, PlaysEveryStepToTheEnd) {
    struct stat st{};
    if (stat(PLIVAK_DATA_DIR "/demo.xm", &st) != 0) GTEST_SKIP() << "no generated data";
    char dir[] = "/tmp/plivak_full_XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    const std::string log = std::string(dir) + "/log", out = std::string(dir) + "/out";
    int status = std::system(("cd '" PLIVAK_BIN_DIR "' && ./plivak-capture --log " + log + " > " + out + " 2>&1").c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    std::ifstream outText(out);
    for (std::string line; std::getline(outText, line);) {
        EXPECT_EQ(line.find("overflow"), std::string::npos) << line;
    }

    std::vector<LogFrame> frames;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
        LogFrame f{};
        long long n;
        double t;
        int presented, sync;
        unsigned crc;
        ASSERT_EQ(std::sscanf(line.c_str(), "frame=%lld t=%lf step=%d new=%d beat=%d sync=%d crc=%x", &n, &t, &f.step,
                              &presented, &f.beat, &sync, &crc),
                  7)
            << line;
        f.presented = presented;
        frames.push_back(f);
    }
    ASSERT_FALSE(frames.empty());

    // Steps 1..18 in order, each once.
    std::vector<int> order;
    for (const LogFrame& f : frames)
        if (order.empty() || order.back() != f.step) order.push_back(f.step);
    std::vector<int> expected;
    for (int s = 1; s <= 18; ++s) expected.push_back(s);
    EXPECT_EQ(order, expected);

    // Runs per step and presented frames per step.
    std::vector<std::vector<FrameRun>> runs(19);
    std::vector<int> presents(19, 0), firstFrame(19, -1);
    int longestHold = 0, hold = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        const LogFrame& f = frames[i];
        std::vector<FrameRun>& r = runs[f.step];
        if (r.empty() || r.back().presented != f.presented) r.push_back({f.presented, 0});
        r.back().length++;
        presents[f.step] += f.presented;
        if (firstFrame[f.step] < 0) firstFrame[f.step] = static_cast<int>(i);
        hold = f.presented ? 0 : hold + 1;  // back-to-back waits are one still screen
        if (f.step != 18) longestHold = std::max(longestHold, hold);
    }
    EXPECT_LE(longestHold, 120) << "a still screen of more than 2 s";

    // Fixed stages that the log can tell apart.
    EXPECT_EQ(presents[10], 200);  // studio
    EXPECT_EQ(presents[15], 400);  // gadget parade
    ASSERT_EQ(runs[1].size(), 5u);
    EXPECT_EQ(runs[1][0].length, 41);
    EXPECT_EQ(runs[1][2].length, 21 + 256 + 256);
    EXPECT_EQ(runs[1][4].length, 21);
    // Step 5 ends with two single-frame reveals between waits.
    const std::vector<FrameRun>& parade = runs[5];
    ASSERT_GE(parade.size(), 6u);
    EXPECT_EQ(parade[parade.size() - 2].length, 1);
    EXPECT_EQ(parade[parade.size() - 4].length, 1);

    // The show before the closing part: 4 to 7 minutes; the closing part
    // runs its 600 s.
    const double showSeconds = firstFrame[18] / 60.0;
    EXPECT_GE(showSeconds, 240.0);
    EXPECT_LE(showSeconds, 420.0);
    EXPECT_GE(presents[18], 600 * 60 - 2);
    EXPECT_LE(presents[18], 600 * 60 + 2);

    // Beats keep coming: never more than 25 s between two before the closing part.
    int lastChange = 0;
    for (int i = 1; i < firstFrame[18]; ++i) {
        if (frames[i].beat != frames[i - 1].beat) {
            EXPECT_LE(i - lastChange, 25 * 60) << "frame " << i;
            lastChange = i;
        }
    }
    std::system(("rm -rf '" + std::string(dir) + "'").c_str());
}
