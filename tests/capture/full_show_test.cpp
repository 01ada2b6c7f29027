// The whole show, closing part included (about 15 minutes of demo time), on
// the virtual clock as a user captures it: every step in order, the fixed
// stages at their frame counts, no still screen over 2 s, the show before
// the closing part 4 to 7 minutes long, no overflow message, and pictures
// and music exactly as the committed digest (show_digest.txt) has them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "show_digest.h"

namespace {

const char kDigestFile[] = PLIVAK_SOURCE_DIR "/tests/capture/show_digest.txt";

struct LogFrame {
    int step;
    bool presented;
    int beat;
    unsigned crc;
};

// Runs of presented or held frames within one step, in order.
struct FrameRun {
    bool presented;
    int length;
};

// A still screen: consecutive frames showing the same picture, whether the
// part held them (a wait on the music) or presented them again unchanged.
struct StillRun {
    int first;   // frame index
    int length;  // frames
    int step;    // of the first frame
};

// The still runs of frames [0, end), longest first.
std::vector<StillRun> stillRuns(const std::vector<LogFrame>& frames, size_t end) {
    std::vector<StillRun> runs;
    for (size_t i = 0; i < end;) {
        size_t j = i + 1;
        while (j < end && frames[j].crc == frames[i].crc) ++j;
        runs.push_back(StillRun{static_cast<int>(i), static_cast<int>(j - i), frames[i].step});
        i = j;
    }
    std::stable_sort(runs.begin(), runs.end(), [](const StillRun& a, const StillRun& b) { return a.length > b.length; });
    return runs;
}

}  // namespace

TEST(FullShow, PlaysEveryStepToTheEnd) {
    struct stat st{};
    if (stat(PLIVAK_DATA_DIR "/demo.xm", &st) != 0) GTEST_SKIP() << "no generated data";
    char dir[] = "/tmp/plivak_full_XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    // The folder holds the WAV of the whole show (about 150 MB): removed
    // however the test ends.
    struct RemoveDir {
        std::string path;
        ~RemoveDir() { std::system(("rm -rf '" + path + "'").c_str()); }
    } removeDir{dir};
    const std::string log = std::string(dir) + "/log", out = std::string(dir) + "/out", wav = std::string(dir) + "/wav";
    // The demo reads ../data/ and plivak.cfg from its working folder: a
    // scratch bin/ beside a link to the build's data, so that no plivak.cfg
    // left in the build's bin/ changes the show.
    ASSERT_EQ(std::system(("mkdir '" + std::string(dir) + "/bin' && ln -s '" PLIVAK_DATA_DIR "' '" + dir + "/data'").c_str()), 0);
    int status = std::system(("cd '" + std::string(dir) + "/bin' && '" PLIVAK_BIN_DIR "/plivak-capture' --log " + log +
                              " --wav " + wav + " > " + out + " 2>&1")
                                 .c_str());
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
        ASSERT_EQ(std::sscanf(line.c_str(), "frame=%lld t=%lf step=%d new=%d beat=%d sync=%d crc=%x", &n, &t, &f.step,
                              &presented, &f.beat, &sync, &f.crc),
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
    for (size_t i = 0; i < frames.size(); ++i) {
        const LogFrame& f = frames[i];
        std::vector<FrameRun>& r = runs[f.step];
        if (r.empty() || r.back().presented != f.presented) r.push_back({f.presented, 0});
        r.back().length++;
        presents[f.step] += f.presented;
        if (firstFrame[f.step] < 0) firstFrame[f.step] = static_cast<int>(i);
    }
    ASSERT_GT(firstFrame[18], 0);

    // No still screen over 2 s before the closing part, counted on the
    // pictures: a wait on the music and a part drawing the same picture
    // again look the same to the viewer.
    const std::vector<StillRun> still = stillRuns(frames, static_cast<size_t>(firstFrame[18]));
    std::printf("longest still screens before the closing part:\n");
    for (size_t k = 0; k < still.size() && k < 5; ++k)
        std::printf("  %.2f s (%d frames) in step %d from %.2f s\n", still[k].length / 60.0, still[k].length,
                    still[k].step, still[k].first / 60.0);
    for (const StillRun& r : still) {
        if (r.length <= 120) break;
        ADD_FAILURE() << "a still screen of " << r.length / 60.0 << " s in step " << r.step << " from " << r.first / 60.0
                      << " s";
    }

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

    // Pictures and music against the committed digest.
    showdigest::ShowDigest actual;
    for (const LogFrame& f : frames) showdigest::addFrame(actual, f.step, f.crc);
    ASSERT_TRUE(showdigest::fileCrc(wav, actual.wavBytes, actual.wavCrc)) << wav;
    if (const char* rewrite = std::getenv("PLIVAK_WRITE_SHOW_DIGEST")) {
        std::ofstream digestOut(rewrite);
        digestOut << showdigest::formatDigest(actual);
        ASSERT_TRUE(digestOut.good()) << "cannot write " << rewrite;
        std::printf("wrote the show digest to %s\n", rewrite);
        return;
    }
    std::ifstream digestIn(kDigestFile);
    std::stringstream text;
    text << digestIn.rdbuf();
    showdigest::ShowDigest committed;
    std::string error;
    ASSERT_TRUE(showdigest::parseDigest(text.str(), committed, error)) << kDigestFile << ": " << error;
    const std::vector<std::string> differences = showdigest::compareDigests(committed, actual);
    if (!differences.empty()) {
        std::string list;
        for (const std::string& d : differences) list += "  " + d + "\n";
        ADD_FAILURE() << "the show differs from " << kDigestFile << ":\n"
                      << list
                      << "If a picture or the music was meant to change, rewrite the digest with "
                         "tools/update_show_digest.sh and commit it with the change.";
    }
}
