// The virtual clock of the capture backend. Time moves only at key polls:
// poll p happens at p / fps seconds. At each poll the backend hands the
// picture presented since the previous poll to the frame sink, lets the
// music render up to the new time (firing the syncs that are due), and
// reports a key once the configured key time is reached. Used by
// plivak-capture and the tests; nothing here touches a device.
#pragma once

#include <cstdint>

namespace vclock {

struct Frame {
    int64_t index;            // N: the picture shown after poll N, before poll N+1
    double time;              // time of poll N in seconds
    bool presented;           // a present happened between poll N and poll N+1
    const uint32_t* pixels;   // the console picture, width x height
    int width;
    int height;
};

using FrameSink = void (*)(const Frame& frame, void* user);
// Renders the music up to sampleFrame (at 44100 Hz) and fires due syncs.
using MusicPump = void (*)(int64_t sampleFrame);
// Receives rendered music: interleaved 16-bit stereo at 44100 Hz.
using AudioSink = void (*)(const int16_t* samples, int frames, void* user);

constexpr int kSampleRate = 44100;

// Resets the clock to poll 0. keyAtSeconds < 0: no key ever arrives.
void configure(double fps, double keyAtSeconds);
double fps();
double now();           // time of the latest poll (0 before the first)
int64_t pollCount();    // polls so far
int64_t sampleAt(int64_t poll);  // the audio sample frame poll p reaches

void setFrameSink(FrameSink sink, void* user);
void setMusicPump(MusicPump pump);
void setAudioSink(AudioSink sink, void* user);
// For the music backend: hands rendered audio to the sink, if any.
void emitAudio(const int16_t* samples, int frames);
// The same, saying at which clock sample frame the block begins; the sink
// reads it back with audioFrame() (a range capture keeps the samples of
// its range only).
void emitAudioAt(int64_t clockFrame, const int16_t* samples, int frames);
int64_t audioFrame();
// Called at the end of every poll, after the music has rendered: the
// demo's own work for the next frame starts there (for timing).
void setPollHook(void (*hook)(void*), void* user);
// Makes every later poll report a key (a signal, a test).
void requestKey();

// Fault injection for tests: the next console open throws, or the poll
// with the given index (from 0) throws ptc::DynamicError; -1 turns it off.
void failNextOpen(bool fail);
void failAtPoll(int64_t pollIndex);

// For the console backend.
void consoleOpened(int width, int height);
void consolePresented(const uint32_t* pixels, int width, int height);
// Emits the frame that is still pending (the picture after the last poll).
void consoleClosed();
// True while the virtual console backend is open: the console is this
// clock, not a window shown beside it.
bool consoleIsVirtual();
// One key poll: emits the pending frame, advances the clock, pumps the
// music; true when a key is pending. Throws when a fault is injected.
bool poll();
bool takeOpenFailure();

// The clock's part of a chapter point (host/seek.h): the polls so far, the
// frame still to be emitted and the picture shown. `shown` points at the
// clock's own copy; restore copies it (width x height pixels).
struct State {
    int64_t polls;
    bool presentedSincePoll;
    bool framePending;
    int width;
    int height;
    const uint32_t* shown;
};
State state();
void restore(const State& state);

}  // namespace vclock
