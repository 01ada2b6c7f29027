// Seeking and pausing below the host: the clock the console's timers read,
// the muted pre-roll on the virtual clock, the pause, and the keys of the
// explore mode. Every backend (window, capture, page) shares this code
// (show_clock.cpp); the host's seek (host/seek.h) drives it.
//
// The console's clock. In play it is the backend's clock plus an offset,
// which startShow() sets so that the show starts at 0 (the capture's
// virtual clock already does: its offset stays 0). During a pre-roll it is
// the virtual clock itself (vclock::now()); when the pre-roll ends it goes
// on from the virtual time, so a timer started before, on either clock,
// reads on without a jump. While paused it stands still.
//
// A pre-roll to frame N: key polls are polls of the virtual clock, presents
// go only to the virtual clock's picture, and the music is pumped by the
// virtual clock without sound (a device backend hands its playback over,
// see seekMusic); so the parts run exactly as in the capture. The present
// that follows poll N is shown: frame N, the one the capture records at
// N / fps. At the next poll the show goes on in real time (or holds there,
// when paused). On the capture's backend all of this is what happens
// anyway, so a seek in the capture changes only where it starts.
#pragma once

#include <cstdint>

namespace showclock {

// Seconds on the console's clock (ptc::Timer reads it).
double seconds();
// Makes seconds() read 0 now (play, not during a pre-roll).
void startShow();

// The virtual clock's frame rate (60 unless the capture set another).
double fps();
// Polls of the virtual clock so far: the index of the next frame.
int64_t virtualPolls();

// The virtual clock's part of a chapter point; see vclock::State.
struct ClockState {
    int64_t polls;
    bool presentedSincePoll;
    bool framePending;
    int width;
    int height;
    const uint32_t* shown;  // width x height pixels
};
ClockState clockState();
void restoreClock(const ClockState& state);

// Puts the music where a run of the virtual clock has it after polls
// 0..poll-1 (the jump to order jumpOrder made before poll jumpPoll, -1 for
// none), rendered silently from the start, so the sound is exact; no sync
// reaches the callback meanwhile. A device backend stops its playback and
// hands it to the virtual clock until the pre-roll ends. False when no
// music plays.
bool seekMusic(int64_t poll, int64_t jumpPoll, int jumpOrder);

// Starts a pre-roll that ends with frame `frame` shown (frame >= the
// virtual clock's polls - 1).
void beginPreroll(int64_t frame);
bool prerolling();

// Pause: the clock, the music and the picture stop together; key polls
// hold inside until resumed (the explore handler still runs).
void pause();
void resume();
bool paused();
// Paused and held on a frame of the virtual clock (after a seek or a
// step): lets exactly one more frame be drawn and shown. False otherwise.
bool stepFrame();
// The frame on screen: on the virtual clock its index, in play the frame
// the clock has reached.
int64_t frame();

// The explore mode: the window's key events are offered here first. Space,
// the arrows, '.' and ',' are kept for the handler; Escape and Q
// (kKeyEnd) end the show; other keys do nothing. Off: every key ends it.
enum Key : int {
    kKeyNone = 0,  // any other key
    kKeySpace = ' ',
    kKeyPeriod = '.',
    kKeyComma = ',',
    kKeyLeft = 0x100,
    kKeyRight,
    kKeyEnd,
};
void setExplore(bool on);
bool explore();
// For a backend: true when the key was taken (it does not end the show).
bool offerKey(int key);
// For the handler: the oldest key taken and not yet handled, or kKeyNone.
int takeKey();

// Called at every key poll after the backend's: returns true to end the
// running part as a key would (a seek has been asked for).
using PollHandler = bool (*)();
void setPollHandler(PollHandler handler);

// For ptc_common.cpp: the console's key poll and present.
bool pollKey();
void present(const uint32_t* pixels, int width, int height);

}  // namespace showclock
