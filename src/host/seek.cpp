// Chapter points, seeks, pause and the explore keys (seek.h).
#include "host/seek.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "data/chapter_file.h"
#include "data/shape.h"
#include "engine3d/demo_random.h"
#include "host/host.h"
#include "stage/shared_effects.h"
#include "parts/final_3d.h"
#include "platform/show_clock.h"

namespace {

ChapterFile chapters;  // as read; empty when missing, damaged or not loaded
bool chaptersLoaded = false;
bool chaptersTried = false;

// The state at the timeline's start, kept by every run.
ChapterFile startState;
bool startTaken = false;

// A seek asked for and not yet applied.
bool pending = false;
int64_t pendingFrame = 0;
bool pendingPaused = false;
bool insideFinal = false;
int64_t restoredPoll = 0;
double startedWall = 0.0;
double startedCpu = 0.0;

// Recording (plivak-capture --chapters).
bool recording = false;
std::string recordFile;
ChapterFile record;
double nextFinalPoint = 0.0;

// The named chapters: index i is step i + 1's start in `chapters`.
int namedIndex[kFinalStep];
int namedCount = 0;

bool configMatches(const ChapterFile& f) {
    return f.fps == showclock::fps() && f.consoleHeight == ConsoleHeight && f.skipFinal == SkipFinalPart &&
           f.finalOnly == FinalPartOnly;
}

// Appends the show's state now to `file` as a chapter point.
void takePoint(ChapterFile& file, int step, uint32_t inside) {
    ChapterPoint c;
    c.step = step;
    c.inside = inside;
    const showclock::ClockState clock = showclock::clockState();
    c.polls = clock.polls;
    c.presentedSincePoll = clock.presentedSincePoll;
    c.framePending = clock.framePending;
    const ptc::Timer::State timer = DemoTimer.state();
    c.timerRunning = timer.running;
    c.timerBase = timer.base;
    c.timerHeld = timer.held;
    c.beat = BeatCounter.load();
    c.sync = SyncCounter.load();
    c.lastBeat = LastBeat;
    c.random = demoRandomState();
    if (Morph) {
        c.morphSteps = Morph->stepsTaken;
        c.morphCentreX = Morph->centreX;
        c.morphCentreY = Morph->centreY;
    }
    const FinalPartState f = finalPartState();
    const int32_t loop[7] = {f.beat, f.banner, f.highlight, f.boxX, f.boxY, f.boxW, f.boxH};
    std::copy(loop, loop + 7, c.finalLoop);
    const size_t framePixels = static_cast<size_t>(kFramePixels);
    c.frame = file.pixels.size();
    file.pixels.insert(file.pixels.end(), FrameBuffer, FrameBuffer + framePixels);
    const size_t shownPixels = static_cast<size_t>(clock.width) * static_cast<size_t>(clock.height);
    if (clock.width == kFrameWidth && clock.height == kFrameHeight &&
        std::equal(FrameBuffer, FrameBuffer + framePixels, clock.shown)) {
        c.shown = c.frame;
    } else {
        c.shown = file.pixels.size();
        c.shownWidth = clock.width;
        c.shownHeight = clock.height;
        file.pixels.insert(file.pixels.end(), clock.shown, clock.shown + shownPixels);
    }
    file.chapters.push_back(c);
}

void restorePoint(const ChapterFile& file, const ChapterPoint& c) {
    std::memcpy(FrameBuffer, file.pixels.data() + c.frame, sizeof(uint32_t) * kFramePixels);
    showclock::restoreClock(showclock::ClockState{c.polls, c.presentedSincePoll, c.framePending, c.shownWidth,
                                                  c.shownHeight, file.pixels.data() + c.shown});
    DemoTimer.restore(ptc::Timer::State{c.timerRunning, c.timerBase, c.timerHeld});
    setDemoRandomState(c.random);
    if (Morph) {
        Morph->rewindTo(c.morphSteps);
        Morph->centreX = c.morphCentreX;
        Morph->centreY = c.morphCentreY;
    }
    // The music first: its fast-forward reaches no callback, then the
    // counters are put back as they were at the point.
    showclock::seekMusic(c.polls, file.musicJumpPoll, file.musicJumpOrder);
    BeatCounter.store(c.beat);
    SyncCounter.store(c.sync);
    LastBeat = c.lastBeat;
    insideFinal = c.inside > 0;
    if (insideFinal) {
        const int32_t* f = c.finalLoop;
        resumeFinalPart(FinalPartState{f[0], f[1], f[2], f[3], f[4], f[5], f[6]});
    }
    restoredPoll = c.polls;
}

// The frame now on screen or being drawn.
int64_t frameNow() {
    if (pending || showclock::prerolling()) return pendingFrame;
    return showclock::frame();
}

bool exploreHandler() {
    for (int key; (key = showclock::takeKey()) != showclock::kKeyNone;) {
        const int64_t frame = ShowFrame();
        switch (key) {
            case showclock::kKeySpace:
                if (ShowPaused())
                    ResumeShow();
                else
                    PauseShow();
                break;
            case showclock::kKeyLeft:
            case showclock::kKeyRight: {
                if (namedCount == 0) break;
                // Left: the start of the chapter playing, or of the one
                // before when that start is less than a second back.
                int64_t to = -1;
                const int64_t grace = static_cast<int64_t>(showclock::fps());
                for (int i = 0; i < namedCount; ++i) {
                    const int64_t start = chapters.chapters[static_cast<size_t>(namedIndex[i])].polls;
                    if (key == showclock::kKeyRight && start > frame) {
                        to = start;
                        break;
                    }
                    if (key == showclock::kKeyLeft && start + grace <= frame) to = start;
                }
                if (key == showclock::kKeyLeft && to < 0) to = 0;
                if (to >= 0) SeekToFrame(to, ShowPaused());
                break;
            }
            case showclock::kKeyPeriod:
                if (ShowPaused() && !StepFrame()) SeekToFrame(frame + 1, true);
                break;
            case showclock::kKeyComma:
                if (ShowPaused() && frame > 0) SeekToFrame(frame - 1, true);
                break;
            default:
                break;
        }
    }
    return pending;
}

}  // namespace

bool LoadChapters(const char* fileName, bool verbose) {
    if (chaptersTried) return chaptersLoaded;
    chaptersTried = true;
    const char* error = nullptr;
    ChapterFile f;
    if (!readChapterFile(fileName, f, &error)) {
        if (verbose)
            std::fprintf(stderr, "plivak: no chapters (%s: %s); seeking starts from the beginning\n", fileName,
                         error ? error : "cannot be read");
        return false;
    }
    chapters = std::move(f);
    chaptersLoaded = true;
    namedCount = 0;
    for (size_t i = 0; i < chapters.chapters.size(); ++i)
        if (chapters.chapters[i].inside == 0 && namedCount < kFinalStep) namedIndex[namedCount++] = static_cast<int>(i);
    return true;
}

bool SeekFromFile() { return chaptersLoaded && configMatches(chapters); }

int ChapterCount() { return chaptersLoaded ? namedCount : 0; }
int ChapterStep(int index) { return chapters.chapters[static_cast<size_t>(namedIndex[index])].step; }
double ChapterStart(int index) {
    return static_cast<double>(chapters.chapters[static_cast<size_t>(namedIndex[index])].polls) / chapters.fps;
}

int64_t StepStartFrame(int step) {
    for (int i = 0; i < ChapterCount(); ++i)
        if (ChapterStep(i) == step) return chapters.chapters[static_cast<size_t>(namedIndex[i])].polls;
    return -1;
}

bool SeekToFrame(int64_t frame, bool keepPaused) {
    if (frame < 0 || frame > kMaxChapterPolls) return false;
    pending = true;
    pendingFrame = frame;
    pendingPaused = keepPaused;
    return true;
}

bool SeekToTime(double seconds, bool keepPaused) {
    if (!std::isfinite(seconds) || seconds < 0) return false;
    // The first frame at or after the time, as the capture's --from counts.
    return SeekToFrame(FrameAtTime(seconds, showclock::fps()), keepPaused);
}

bool SeekToStep(int step, bool keepPaused) {
    const int64_t frame = StepStartFrame(step);
    return frame >= 0 && SeekToFrame(frame, keepPaused);
}

void PauseShow() { showclock::pause(); }
void ResumeShow() { showclock::resume(); }
bool ShowPaused() { return showclock::paused(); }

bool StepFrame() {
    if (!showclock::paused() || pending) return false;
    return showclock::stepFrame();
}

int64_t ShowFrame() { return frameNow(); }
double ShowSeconds() { return showclock::seconds(); }

void EnableExplore() {
    showclock::setExplore(true);
    showclock::setPollHandler(exploreHandler);
}

int SeekTimelineStep() {
    if (!startTaken) {
        // The beginning, for a seek where no chapter file holds this run.
        startTaken = true;
        if (FrameBuffer) try {
            takePoint(startState, 0, 0);
        } catch (std::bad_alloc&) {
            startState.chapters.clear();
        }
    }
    insideFinal = false;
    if (!pending) return 0;
    pending = false;
    startedWall = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    startedCpu = static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
    const ChapterFile* file = &startState;
    const ChapterPoint* point = startState.chapters.empty() ? nullptr : &startState.chapters[0];
    if (SeekFromFile()) {
        for (const ChapterPoint& c : chapters.chapters)
            if (c.polls <= pendingFrame) {
                file = &chapters;
                point = &c;
            }
    }
    if (!point) return 0;
    restorePoint(*file, *point);
    showclock::beginPreroll(pendingFrame);
    if (pendingPaused)
        showclock::pause();
    else
        showclock::resume();
    return point->step;
}

bool ResumesInsideFinal() { return insideFinal; }
bool SeekPending() { return pending; }

void StepChapterPoint(int step) {
    if (recording) takePoint(record, step, 0);
}

void FinalStepChapterPoint(int musicOrder) {
    if (!recording) return;
    takePoint(record, kFinalStep, 0);
    record.musicJumpPoll = showclock::clockState().polls;
    record.musicJumpOrder = musicOrder;
    nextFinalPoint = kFinalChapterSeconds;
}

void FinalChapterPoint() {
    if (!recording || DemoTime() < nextFinalPoint || nextFinalPoint <= 0) return;
    takePoint(record, kFinalStep, static_cast<uint32_t>(std::lround(nextFinalPoint / kFinalChapterSeconds)));
    nextFinalPoint += kFinalChapterSeconds;
}

void RecordChapters(const char* fileName) {
    recording = true;
    FinalFrameHook = FinalChapterPoint;
    recordFile = fileName;
}

bool FinishChapters() {
    if (!recording) return true;
    recording = false;
    record.fps = showclock::fps();
    record.consoleHeight = ConsoleHeight;
    record.skipFinal = SkipFinalPart;
    record.finalOnly = FinalPartOnly;
    return writeChapterFile(recordFile.c_str(), record);
}

int64_t SeekRestoredPoll() { return restoredPoll; }
double SeekStartedWall() { return startedWall; }
double SeekStartedCpu() { return startedCpu; }

int64_t FrameAtTime(double seconds, double fps) { return static_cast<int64_t>(std::ceil(seconds * fps - 1e-3)); }

const char* const kShowTimeForms = "seconds (75 or 75.25) or m:ss(.fff) (1:15 or 1:15.250)";

bool ParseShowTime(const char* text, double& seconds) {
    if (!text) return false;
    // Digits, then an optional fraction; the whole part at most 7 digits.
    auto number = [](const char*& p, int maxDigits, int& digits, double& value) {
        value = 0;
        digits = 0;
        while (*p >= '0' && *p <= '9') {
            if (++digits > maxDigits) return false;
            value = value * 10 + (*p++ - '0');
        }
        return true;
    };
    auto fraction = [](const char*& p, double& value) {
        if (*p != '.') return true;
        ++p;
        double scale = 0.1;
        int digits = 0;
        while (*p >= '0' && *p <= '9') {
            if (++digits > 9) return false;
            value += (*p++ - '0') * scale;
            scale /= 10;
        }
        return digits > 0;
    };
    const char* p = text;
    int digits = 0;
    double first = 0;
    if (!number(p, 7, digits, first) || digits == 0) return false;
    if (*p == ':') {
        ++p;
        double secs = 0;
        int secDigits = 0;
        if (!number(p, 2, secDigits, secs) || secDigits != 2 || secs >= 60) return false;
        if (!fraction(p, secs) || *p != '\0') return false;
        seconds = first * 60 + secs;
        return true;
    }
    if (!fraction(p, first) || *p != '\0') return false;
    seconds = first;
    return true;
}
