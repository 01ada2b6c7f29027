// The web page's controls (host/page_controls.h) on a stand-in page
// backend: the requests the page makes between frames are applied at the
// next key poll. A chapter click shows the capture's frame at the chapter's
// start; a pause holds the picture and the show time while the polls go
// on; a seek while paused shows the capture's frame there and stays paused;
// going on again plays from that frame. Checked against the whole-show log
// the build recorded with the chapter file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/page_controls.h"
#include "page_probe.h"

namespace {

std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::string crcText(uint32_t crc) {
    char text[16];
    std::snprintf(text, sizeof text, "crc=%08x", crc);
    return text;
}

// The script: what the page does at which poll, and what it saw.
constexpr int64_t kChapterAt = 30;  // click the chapter of step 6
int64_t pauseAt = -1;               // 20 polls after the chapter's picture
int seekShown = -1;                 // index of the first picture after the click
int pausedShown = -1;               // pictures shown when the pause was asked
std::vector<double> pausedTimes;    // the show time at the polls while paused
int pausedSeekShown = -1;           // pictures shown when the seek while paused was asked
double resumedTime = -1;
int resumedShown = -1;

bool script(int64_t poll) {
    if (poll == kChapterAt) {
        EXPECT_EQ(plivak_page_seek_step(6), 1);
        seekShown = pageprobe::shownCount;
    }
    if (pauseAt < 0 && seekShown >= 0 && pageprobe::shownCount > seekShown) pauseAt = poll + 20;
    if (poll == pauseAt) {
        plivak_page_pause(1);
        EXPECT_EQ(plivak_page_paused(), 1);
        pausedShown = pageprobe::shownCount;
    }
    if (pauseAt > 0 && poll > pauseAt && poll <= pauseAt + 40) pausedTimes.push_back(plivak_page_time());
    if (poll == pauseAt + 40) {
        EXPECT_EQ(plivak_page_seek_time(2 * 60 + 40.25), 1);  // inside step 9: frame 9615
        pausedSeekShown = pageprobe::shownCount;
    }
    if (poll == pauseAt + 80) {
        resumedTime = plivak_page_time();
        resumedShown = pageprobe::shownCount;
        plivak_page_pause(0);
    }
    return pauseAt > 0 && poll == pauseAt + 140;  // then a key ends the show
}

}  // namespace

TEST(PageControls, ChapterPauseAndSeekWhilePaused) {
    const std::vector<std::string> show = lines(std::string(PLIVAK_BIN_DIR) + "/../chapters_show.log");
    ASSERT_EQ(chdir(PLIVAK_BIN_DIR), 0);
    // Before the show: what the address and the chapter list use.
    EXPECT_EQ(plivak_page_parse_time("2:05"), 125.0);
    EXPECT_EQ(plivak_page_parse_time("banana"), -1.0);
    EXPECT_NE(std::string(plivak_page_time_forms()).find("m:ss"), std::string::npos);
    if (show.empty() || plivak_page_begin() != 1) GTEST_SKIP() << "no chapter file in the build";
    ASSERT_EQ(plivak_page_chapter_count(), kFinalStep);
    EXPECT_EQ(plivak_page_chapter_step(5), 6);
    EXPECT_STREQ(plivak_page_chapter_name(5), "atom");
    EXPECT_EQ(plivak_page_chapter_start(0), 0.0);
    EXPECT_EQ(plivak_page_seek_step(19), 0);
    EXPECT_EQ(plivak_page_seek_step(0), 0);
    EXPECT_EQ(plivak_page_seek_time(-3), 0);
    EXPECT_EQ(plivak_page_seek_time(NAN), 0);
    const int64_t step6 = std::lround(plivak_page_chapter_start(5) * 60);
    const int64_t at9 = 9615;
    ASSERT_GT(static_cast<int64_t>(show.size()), at9);

    pageprobe::atPoll = script;
    EXPECT_EQ(DemoMain(), 0);

    // The chapter click: the first picture after it is the chapter's start.
    ASSERT_GE(seekShown, 0);
    ASSERT_GT(pageprobe::shownCount, seekShown);
    const pageprobe::Shown& chapter = pageprobe::shown[seekShown];
    EXPECT_EQ(chapter.frame, step6);
    EXPECT_NE(show[static_cast<size_t>(step6)].find(" step=6 "), std::string::npos) << show[static_cast<size_t>(step6)];
    EXPECT_NE(show[static_cast<size_t>(step6)].find(crcText(chapter.crc)), std::string::npos)
        << show[static_cast<size_t>(step6)] << " shown " << crcText(chapter.crc);

    // The pause: no picture and the same show time over 40 polls.
    ASSERT_GE(pausedShown, 0);
    ASSERT_EQ(pausedTimes.size(), 40u);
    for (double t : pausedTimes) EXPECT_EQ(t, pausedTimes[0]);
    ASSERT_GE(pausedSeekShown, 0);
    EXPECT_LE(pausedSeekShown - pausedShown, 1);  // at most the frame in flight when it was asked

    // The seek while paused: the capture's frame there, held.
    ASSERT_GT(resumedShown, pausedSeekShown);
    const pageprobe::Shown& held = pageprobe::shown[pausedSeekShown];
    EXPECT_EQ(held.frame, at9);
    EXPECT_NE(show[static_cast<size_t>(at9)].find(crcText(held.crc)), std::string::npos)
        << show[static_cast<size_t>(at9)] << " shown " << crcText(held.crc);
    EXPECT_EQ(resumedShown, pausedSeekShown + 1);  // nothing more until going on
    EXPECT_NEAR(resumedTime, at9 / 60.0, 1e-9);

    // Going on: the show plays from there, one frame a poll on this clock.
    ASSERT_GT(pageprobe::shownCount, resumedShown + 30);
    const pageprobe::Shown& later = pageprobe::shown[resumedShown + 30];
    EXPECT_GT(later.frame, at9 + 20);
    EXPECT_LT(later.frame, at9 + 40);
}
