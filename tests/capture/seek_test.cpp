// Seeking in plivak-capture: every chapter point, started on its own, gives
// the whole show's frames up to the next one; pseudo-random seeks give the
// whole show's frame; a range's music is the whole capture's samples; and
// bad ranges are refused with one line. The whole show is the log of the
// build's own recording run (chapters_show.log, beside data/chapters.dat).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "data/chapter_file.h"

namespace {

const std::string kBin = PLIVAK_BIN_DIR;
const std::string kData = PLIVAK_DATA_DIR;
const std::string kShowLog = std::string(PLIVAK_BIN_DIR) + "/../chapters_show.log";

int run(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A frame's time as the capture's --from and --to read it back exactly.
std::string frameTime(int64_t frame) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(frame) / 60.0);
    return text;
}

class Seek : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* error = nullptr;
        loaded = readChapterFile((kData + "/chapters.dat").c_str(), chapters, &error);
        show = lines(kShowLog);
        char dir[] = "/tmp/plivak_seek_XXXXXX";
        scratch = mkdtemp(dir);
    }
    static void TearDownTestSuite() { run("rm -rf '" + scratch + "'"); }
    void SetUp() override {
        if (!loaded || show.empty()) GTEST_SKIP() << "no chapter file or whole-show log in the build";
    }
    // The log of a capture with the given options (status checked).
    std::vector<std::string> range(const std::string& options) {
        const std::string log = scratch + "/range.log";
        EXPECT_EQ(run("cd '" + kBin + "' && ./plivak-capture --quiet " + options + " --log " + log + " > /dev/null 2>&1"), 0)
            << options;
        return lines(log);
    }
    // The frame number a log line names.
    static int64_t frameOf(const std::string& line) { return std::strtoll(line.c_str() + 6, nullptr, 10); }

    static ChapterFile chapters;
    static bool loaded;
    static std::vector<std::string> show;
    static std::string scratch;
};

ChapterFile Seek::chapters;
bool Seek::loaded = false;
std::vector<std::string> Seek::show;
std::string Seek::scratch;

}  // namespace

// Every step started from its chapter point (--step N) gives the whole
// show's frames for all of its span, the closing part's 600 s included.
TEST_F(Seek, EveryStepFromItsChapterPointGivesTheWholeShowsFrames) {
    for (int step = 1; step <= 18; ++step) {
        const std::vector<std::string> got = range("--step " + std::to_string(step));
        ASSERT_FALSE(got.empty()) << "step " << step;
        const int64_t first = frameOf(got.front());
        ASSERT_LE(static_cast<size_t>(first) + got.size(), show.size()) << "step " << step;
        for (size_t k = 0; k < got.size(); ++k)
            ASSERT_EQ(got[k], show[static_cast<size_t>(first) + k]) << "step " << step << ", frame " << first + static_cast<int64_t>(k);
        if (step == 18) {
            EXPECT_EQ(static_cast<size_t>(first) + got.size(), show.size());
        } else {
            EXPECT_NE(show[static_cast<size_t>(first) + got.size()].find(" step=" + std::to_string(step + 1) + " "),
                      std::string::npos);
        }
    }
}

// Each chapter point inside the closing part resumes its loop exactly: 2 s
// from each give the whole show's frames.
TEST_F(Seek, PointsInsideTheClosingPartResumeExactly) {
    int points = 0;
    for (const ChapterPoint& c : chapters.chapters) {
        if (c.inside == 0 || c.polls + 1 >= static_cast<int64_t>(show.size())) continue;
        ++points;
        const int64_t end = std::min<int64_t>(c.polls + 120, static_cast<int64_t>(show.size()) - 1);
        const std::vector<std::string> got = range("--from " + frameTime(c.polls) + " --to " + frameTime(end));
        ASSERT_EQ(got.size(), static_cast<size_t>(end - c.polls)) << "point " << c.inside;
        for (size_t k = 0; k < got.size(); ++k)
            ASSERT_EQ(got[k], show[static_cast<size_t>(c.polls) + k]) << "point " << c.inside << ", frame " << c.polls + static_cast<int64_t>(k);
    }
    EXPECT_GE(points, 50);
}

// Twenty seeks to pseudo-random frames of the whole show, a new seed each
// run (printed, so a failure can be replayed with PLIVAK_SEEK_SEED).
TEST_F(Seek, RandomSeeksGiveTheWholeShowsFrame) {
    uint64_t seed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    if (const char* given = std::getenv("PLIVAK_SEEK_SEED")) seed = std::strtoull(given, nullptr, 10);
    std::printf("seek seed %" PRIu64 " (PLIVAK_SEEK_SEED=%" PRIu64 " repeats it)\n", seed, seed);
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int64_t> pick(0, static_cast<int64_t>(show.size()) - 2);
    for (int i = 0; i < 20; ++i) {
        const int64_t frame = pick(random);
        const std::vector<std::string> got = range("--from " + frameTime(frame) + " --to " + frameTime(frame + 1));
        ASSERT_EQ(got.size(), 1u) << "frame " << frame;
        EXPECT_EQ(got[0], show[static_cast<size_t>(frame)]) << "seed " << seed;
    }
}

// A range's WAV is the same samples as the whole capture's over that span:
// in a part and across the start of the closing part, whose music jumps.
TEST_F(Seek, RangeMusicIsTheWholeCapturesSamples) {
    const std::string whole = scratch + "/whole.wav";
    ASSERT_EQ(run("cd '" + kBin + "' && ./plivak-capture --quiet --seconds 290 --wav " + whole + " > /dev/null 2>&1"), 0);
    const std::string all = readAll(whole);
    ASSERT_GT(all.size(), 44u);
    for (const char* span : {"--from 1:02.5 --to 1:05", "--from 274 --to 4:38.25", "--from 285.1 --to 288"}) {
        const std::string part = scratch + "/part.wav";
        ASSERT_EQ(run("cd '" + kBin + "' && ./plivak-capture --quiet " + std::string(span) + " --wav " + part +
                      " --log " + scratch + "/part.log > /dev/null 2>&1"),
                  0);
        const std::string got = readAll(part);
        const int64_t first = frameOf(lines(scratch + "/part.log").front());
        const size_t offset = 44 + 4 * static_cast<size_t>(std::floor(first * 44100.0 / 60.0 + 1e-9));
        ASSERT_GT(got.size(), 44u);
        ASSERT_LE(offset + got.size() - 44, all.size()) << span;
        EXPECT_TRUE(got.compare(44, std::string::npos, all, offset, got.size() - 44) == 0) << span;
    }
}

// An empty, reversed or past-the-end range, and a time or step that does
// not exist: status 2 and one line.
TEST(SeekOptions, BadRangesGiveStatus2AndOneLine) {
    for (const char* options : {"--from 10 --to 5", "--from 5 --to 5", "--from 20:00", "--from -3", "--from banana",
                                "--from 1:75", "--to 1e3", "--step 19", "--step 0", "--step 2.5", "--from"}) {
        const std::string err = "/tmp/plivak_seek_err.txt";
        EXPECT_EQ(run("cd '" + kBin + "' && ./plivak-capture --quiet " + std::string(options) + " 2> " + err), 2)
            << options;
        const std::vector<std::string> said = lines(err);
        EXPECT_EQ(said.size(), 1u) << options;
        std::remove(err.c_str());
    }
}
