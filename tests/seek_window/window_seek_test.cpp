// The window's path of a seek (--from): the demo runs with a console that
// is not the virtual clock, so the pre-roll presents nothing, and the first
// picture the window is given is the capture's frame at that moment (the
// whole-show log the build recorded with the chapter file).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/seek.h"
#include "window_probe.h"

namespace {

std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

}  // namespace

TEST(WindowSeek, FirstShownFrameIsTheCapturesFrame) {
    const std::vector<std::string> show = lines(std::string(PLIVAK_BIN_DIR) + "/../chapters_show.log");
    ASSERT_EQ(chdir(PLIVAK_BIN_DIR), 0);
    if (show.empty() || !LoadChapters("../data/chapters.dat", true)) GTEST_SKIP() << "no chapter file in the build";
    // Inside step 9, 6.6 s after its chapter point: 398 frames pre-rolled.
    const double seconds = 2 * 60 + 40.25;
    const size_t frame = 9615;
    ASSERT_TRUE(SeekToTime(seconds));
    EXPECT_EQ(DemoMain(), 0);
    ASSERT_GE(probe::shown, 1);
    char crc[16];
    std::snprintf(crc, sizeof crc, "crc=%08x", probe::shownCrc[0]);
    ASSERT_GT(show.size(), frame);
    EXPECT_NE(show[frame].find(std::string(" step=9 ")), std::string::npos) << show[frame];
    EXPECT_NE(show[frame].find(crc), std::string::npos) << show[frame] << " shown " << crc;
    // The pre-roll's frames never reached the window: it polled only
    // once the show was live.
    EXPECT_LT(probe::polls, 10);
}
