// Going to any moment of the show: chapter points, exact seeks, pause and
// the explore mode. Shared by every front end (the window, the capture and
// the page); the platform half is platform/show_clock.h.
//
// A chapter point is the show's whole state where a step begins (and every
// kFinalChapterSeconds inside the closing part), one struct per owner:
//   - the virtual clock: polls made, the frame pending, the shown picture
//     (showclock::ClockState);
//   - the host: the frame buffer, DemoTimer copied whole, BeatCounter,
//     SyncCounter and LastBeat;
//   - the random generator's state (engine3d/demo_random.h);
//   - the shape morph's step count and centre (data/shape.h);
//   - the closing part's loop state (parts/final_3d.h);
//   - the music: the poll it has reached, rendered again from the start.
// plivak-capture --chapters records them in the build into
// data/chapters.dat (data/chapter_file.h); every run also keeps the state
// at the timeline's start in memory, the chapter for a show whose
// configuration or frame rate the file does not hold.
//
// A seek to frame N (time N / fps): restore the last chapter point at or
// before N, then run the real parts from there on the virtual clock with
// the picture and sound muted (a pre-roll), up to frame N, which is shown;
// then go on in real time. The picture is the very frame the uninterrupted
// capture has at N / fps, and the music is at the same sample.
//
// For a front end (the window's options and keys, the page's buttons and
// #t= links):
//   - before the show: LoadChapters (once), then SeekToTime(T) or
//     SeekToStep(k); DemoMain starts there.
//   - during the show (from a poll handler, e.g. a key or a click):
//     SeekToTime / SeekToFrame / SeekToStep ask for the seek; the running
//     part ends at its next key poll and the timeline starts again from
//     the chapter point. keepPaused holds the new frame when paused.
//   - pause and resume: PauseShow, ResumeShow (picture, timer and music stop
//     together); ShowPaused. StepFrame moves a paused show one frame on.
//   - the time: ShowFrame, ShowSeconds (show time, the virtual clock's);
//     the step playing is the timeline's CurrentStep (host/host.h).
//   - the chapters: ChapterCount, ChapterStep(i), ChapterStart(i) in
//     seconds (the 18 steps; empty without the file); a chapter's name is
//     the timeline's StepName(ChapterStep(i)).
//   - the music needs nothing: a seek renders it silently from the start to
//     the chapter point (exact; about 2 ms per second of music natively)
//     and the pre-roll pumps it on the virtual clock; a device or page
//     backend gets its playback back when the pre-roll ends.
#pragma once

#include <cstdint>

// Inside the closing part a chapter point comes every so many seconds.
constexpr double kFinalChapterSeconds = 10.0;

// Reads the chapter file once. verbose: a missing or damaged file is said
// in one line on standard error; seeking then starts from the show's
// beginning (SeekFromFile() is false). Safe to call again.
bool LoadChapters(const char* fileName, bool verbose);
// True when the chapter file is loaded and holds this run's configuration
// and frame rate.
bool SeekFromFile();

// The named chapters (the 18 steps) from the chapter file.
int ChapterCount();
int ChapterStep(int index);
double ChapterStart(int index);

// Seeks; false when the time or step does not exist. Before the show the
// show starts there; during it the running part ends at its next poll.
bool SeekToFrame(int64_t frame, bool keepPaused = false);
bool SeekToTime(double seconds, bool keepPaused = false);
bool SeekToStep(int step, bool keepPaused = false);
// The first frame of a step, from the chapter file; -1 without one.
int64_t StepStartFrame(int step);

void PauseShow();
void ResumeShow();
bool ShowPaused();
// Paused: one frame on (exact, on the virtual clock), or false when the
// show is not held on a frame of the virtual clock.
bool StepFrame();
int64_t ShowFrame();
double ShowSeconds();

// The explore mode's key handling (Space, Left, Right, '.', ','), run at
// every key poll.
void EnableExplore();

// For the timeline (timeline.cpp): applies a pending seek and returns the
// step to run from (0: the beginning); ResumesInsideFinal says that the
// closing part resumes at a chapter point inside its loop.
int SeekTimelineStep();
bool ResumesInsideFinal();
bool SeekPending();
// The chapter point where a step begins (records it when recording); for
// the closing part, musicOrder is the jump the timeline makes next.
void StepChapterPoint(int step);
void FinalStepChapterPoint(int musicOrder);
// Called by the closing part at the top of every frame.
void FinalChapterPoint();

// For the capture: record every chapter point of this run and write them
// to fileName at FinishChapters (false when it cannot be written).
void RecordChapters(const char* fileName);
bool FinishChapters();
// The poll the last seek restored (0 from the beginning).
int64_t SeekRestoredPoll();
// When the last seek began to restore its chapter point: seconds of the
// steady clock and of the process's CPU time (for the capture's timing).
double SeekStartedWall();
double SeekStartedCpu();

// A show time as the front ends accept it: seconds ("75", "75.25") or
// minutes and seconds ("1:15", "1:15.250"; the seconds as two digits under
// 60). False for anything else (a sign, an exponent, an empty text).
bool ParseShowTime(const char* text, double& seconds);
// The first frame at or after a time: a time within a thousandth of a
// frame after a frame's start means that frame (a time written with a
// few decimals, such as 38.416667 for frame 2305 at 60 frames a second).
int64_t FrameAtTime(double seconds, double fps);
// The line naming the accepted forms, for an error message.
extern const char* const kShowTimeForms;
