// The page's seek and pause (page_controls.h), applied at key polls.
#include "host/page_controls.h"

#include "data/chapter_file.h"
#include "host/host.h"
#include "host/seek.h"
#include "platform/show_clock.h"

namespace {

constexpr const char* kChapterFile = "../data/chapters.dat";

bool chaptersOn = false;
bool showStarted = false;  // the key poll handler has run once

// Requests from the page, applied at the next key poll.
enum class Want { Nothing, Time, Step };
Want seekWanted = Want::Nothing;
double seekTime = 0.0;
int seekStep = 0;
int pauseWanted = -1;  // -1: nothing, 0: go on, 1: pause

// Run at every key poll (show_clock.h): applies what the page asked for.
// True ends the running part, as a key would, so that the seek happens.
bool applyRequests() {
    showStarted = true;
    if (pauseWanted == 1) PauseShow();
    if (pauseWanted == 0) ResumeShow();
    pauseWanted = -1;
    if (seekWanted == Want::Time) SeekToTime(seekTime, ShowPaused());
    if (seekWanted == Want::Step) SeekToStep(seekStep, ShowPaused());
    seekWanted = Want::Nothing;
    return SeekPending();
}

}  // namespace

extern "C" {

int plivak_page_begin() {
    chaptersOn = LoadChapters(kChapterFile, true);
    showclock::setPollHandler(applyRequests);
    return chaptersOn ? 1 : 0;
}

double plivak_page_parse_time(const char* text) {
    double seconds = 0.0;
    return ParseShowTime(text, seconds) ? seconds : -1.0;
}

const char* plivak_page_time_forms() { return kShowTimeForms; }

int plivak_page_seek_time(double seconds) {
    if (!chaptersOn || !(seconds >= 0.0) || seconds * showclock::fps() > static_cast<double>(kMaxChapterPolls)) return 0;
    if (!showStarted) return SeekToTime(seconds) ? 1 : 0;
    seekWanted = Want::Time;
    seekTime = seconds;
    return 1;
}

int plivak_page_seek_step(int step) {
    if (!chaptersOn || StepStartFrame(step) < 0) return 0;
    if (!showStarted) return SeekToStep(step) ? 1 : 0;
    seekWanted = Want::Step;
    seekStep = step;
    return 1;
}

void plivak_page_pause(int on) {
    if (!showStarted) return;
    pauseWanted = on ? 1 : 0;
}

double plivak_page_time() {
    if (!showStarted) return 0.0;
    return static_cast<double>(ShowFrame()) / showclock::fps();
}

int plivak_page_step() { return CurrentStep; }

int plivak_page_paused() { return pauseWanted == 1 || (pauseWanted != 0 && ShowPaused()) ? 1 : 0; }

int plivak_page_seek_from_chapters() { return SeekFromFile() ? 1 : 0; }

int plivak_page_chapter_count() { return ChapterCount(); }
int plivak_page_chapter_step(int index) { return index >= 0 && index < ChapterCount() ? ChapterStep(index) : 0; }
const char* plivak_page_chapter_name(int index) {
    return index >= 0 && index < ChapterCount() ? StepName(ChapterStep(index)) : "";
}
double plivak_page_chapter_start(int index) {
    return index >= 0 && index < ChapterCount() ? ChapterStart(index) : -1.0;
}

}  // extern "C"
