// The stage the parts play on: the frame buffer, the present routine, the
// key poll, the demo clock and the music counters. The program's top
// (src/host) sets it up: it opens the console, points FrameBuffer at the
// display surface, chooses PresentFrame and starts the music that moves
// the counters; the parts only use it.
//
// A part is a DemoPart: it runs its own frame loop
//     if (KeyPending()) return -1;   // before drawing anything
//     ...draw the whole frame into FrameBuffer...
//     PresentFrame();
// and returns 0 when its last stage ends. The buffer is never cleared
// between parts: each part starts on the last frame of the one before.
#pragma once

#include <atomic>
#include <cstdint>

#include "gfx2d/frame.h"
#include "platform/ptc.h"

using DemoPart = int (*)();

// The 320x200 surface whose pixels FrameBuffer points at.
extern ptc::Surface* DisplaySurface;
// The 320x200 pixels of the display surface, 0x00RRGGBB, pitch 320.
extern uint32_t* FrameBuffer;
// Shows FrameBuffer: PresentFull, or PresentLetterbox on the 240-line console.
extern void (*PresentFrame)();
void PresentFull();
void PresentLetterbox();

extern ptc::Console TheConsole;
extern ptc::Timer DemoTimer;

// True when a key press is pending (the console's key poll).
inline bool KeyPending() { return TheConsole.key(); }
// DemoTimer's time in seconds.
inline double DemoTime() { return DemoTimer.time(); }

// Music sync counters, written only by the player's callback.
extern std::atomic<int32_t> BeatCounter;  // sync commands of value 19
extern std::atomic<int32_t> SyncCounter;  // sync commands of any other value
// The beat count a waiting part waits to see change; shared by all parts.
extern int32_t LastBeat;

// A stage that lasts until the next beat. BeginBeatWait copies BeatCounter
// into LastBeat; BeatArrived reads BeatCounter afresh and says whether it
// has moved on since. A part tests before each frame,
//     BeginBeatWait();
//     while (!BeatArrived()) { poll, draw, present }
// or after it, so that the stage shows at least one frame:
//     BeginBeatWait();
//     do { poll, draw, present } while (!BeatArrived());
// Relaxed loads are enough: the callback is the only writer, nothing else
// is published with the counter, and an atomic load is made anew on every
// test, never hoisted out of the loop.
inline void BeginBeatWait() { LastBeat = BeatCounter.load(std::memory_order_relaxed); }
inline bool BeatArrived() { return BeatCounter.load(std::memory_order_relaxed) != LastBeat; }

// Copies BeatCounter into LastBeat and polls keys until BeatCounter moves
// on. Nothing is drawn; the screen holds the last presented frame. Returns
// false when a key ended the wait (the part then returns -1).
bool WaitForBeat();
// The same wait on SyncCounter, with the part's own copy, which is updated.
bool WaitForSync(int32_t& copy);
