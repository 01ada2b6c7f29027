// Host routines and configuration: start-up, the timeline, the music.
#pragma once

#include <cstddef>
#include <cstdint>

#include "stage/stage.h"

// Configuration (plivak.cfg).
extern int ConsoleHeight;     // 200, or 240 with "240"
extern bool VerboseLoading;   // "verbose" / "v"
extern bool SkipFinalPart;    // "no-more-3d" / "quake-sucks"
extern bool FinalPartOnly;    // "i-am-a-sucker" / "i-am-lame"

void ResetConfig();
void ReadConfig(const char* fileName);
// Applies configuration text as ReadConfig does with the file's content.
void ApplyConfigText(const char* text, size_t size);

// The whole program: start-up, timeline, shutdown. Returns the exit status
// of a normal run (0); load failures end the process with status 1.
int DemoMain();
// Start-up before the console opens: ReadConfig("plivak.cfg"),
// LoadImageBank, PrepareEffects. Any failure, running out of memory
// included, ends the process with status 1 (host/startup_step.h).
void StartUp();

// Music (the module player's calls in start-up order).
void MusicStart(const char* fileName);  // exits with status 1 on failure
void MusicPlay();                       // exits with status 1 on failure
bool MusicSetPosition(int position);
void MusicStop();
void MusicClose();
void MusicSyncCallback(unsigned syncNum, unsigned position, unsigned row);

// The timeline. Step numbers: 1..17 the parts in order, 18 the final 3D part.
struct TimelineStep {
    const char* name;
    DemoPart run;
};
constexpr int kFinalStep = 18;
// The step running now: 0 before the timeline starts.
extern int CurrentStep;
// A step's name (1..18; "start" for any other number), as the chapters
// are listed.
const char* StepName(int step);
// Runs the demo's own sequence.
void RunTimeline();
// Runs the given sequence: steps[0..count-2] as steps 1.., then
// steps[count-1] as the final part.
void RunTimeline(const TimelineStep* steps, int count);
