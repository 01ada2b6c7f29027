#include "platform/virtual_clock.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstring>

#include "platform/ptc.h"

namespace vclock {
namespace {

double theFps = 60.0;
double keyAt = -1.0;
int64_t polls = 0;
std::atomic<bool> keyRequested{false};
FrameSink frameSink = nullptr;
void* frameUser = nullptr;
MusicPump musicPump = nullptr;
AudioSink audioSink = nullptr;
void* audioUser = nullptr;
void (*pollHook)(void*) = nullptr;
void* pollUser = nullptr;
bool openFails = false;
int64_t failingPoll = -1;

// The console picture as last presented; the sink reads it at the next poll.
uint32_t shown[320 * 240];
int shownWidth = 0;
int shownHeight = 0;
bool presentedSincePoll = false;
bool framePending = false;  // a poll happened whose frame is not emitted yet
int64_t audioAt = 0;          // clock frame of the block handed to the audio sink
bool virtualConsole = false;  // the open console is this backend's

void emitPending() {
    if (!framePending) return;
    framePending = false;
    if (frameSink) {
        Frame f{polls - 1, static_cast<double>(polls - 1) / theFps, presentedSincePoll, shown, shownWidth, shownHeight};
        frameSink(f, frameUser);
    }
    presentedSincePoll = false;
}

}  // namespace

void configure(double fps, double keyAtSeconds) {
    theFps = fps > 0 ? fps : 60.0;
    keyAt = keyAtSeconds;
    polls = 0;
    keyRequested = false;
    framePending = false;
    presentedSincePoll = false;
    openFails = false;
    failingPoll = -1;
    audioAt = 0;
}

double fps() { return theFps; }
double now() { return polls == 0 ? 0.0 : static_cast<double>(polls - 1) / theFps; }
int64_t pollCount() { return polls; }
int64_t sampleAt(int64_t poll) { return static_cast<int64_t>(std::floor(poll * kSampleRate / theFps + 1e-9)); }

void setFrameSink(FrameSink sink, void* user) {
    frameSink = sink;
    frameUser = user;
}
void setMusicPump(MusicPump pump) { musicPump = pump; }
void setAudioSink(AudioSink sink, void* user) {
    audioSink = sink;
    audioUser = user;
}
void emitAudio(const int16_t* samples, int frames) {
    if (audioSink) audioSink(samples, frames, audioUser);
}
void emitAudioAt(int64_t clockFrame, const int16_t* samples, int frames) {
    audioAt = clockFrame;
    emitAudio(samples, frames);
}
int64_t audioFrame() { return audioAt; }
void setPollHook(void (*hook)(void*), void* user) {
    pollHook = hook;
    pollUser = user;
}
void requestKey() { keyRequested = true; }

void failNextOpen(bool fail) { openFails = fail; }
void failAtPoll(int64_t pollIndex) { failingPoll = pollIndex; }
bool takeOpenFailure() {
    bool fail = openFails;
    openFails = false;
    return fail;
}

void consoleOpened(int width, int height) {
    virtualConsole = true;
    shownWidth = width;
    shownHeight = height;
    std::fill(shown, shown + 320 * 240, 0u);
}

void consolePresented(const uint32_t* pixels, int width, int height) {
    shownWidth = width;
    shownHeight = height;
    std::memcpy(shown, pixels, sizeof(uint32_t) * width * height);
    presentedSincePoll = true;
}

void consoleClosed() {
    emitPending();
    virtualConsole = false;
}

bool consoleIsVirtual() { return virtualConsole; }

State state() { return State{polls, presentedSincePoll, framePending, shownWidth, shownHeight, shown}; }

void restore(const State& s) {
    polls = s.polls;
    presentedSincePoll = s.presentedSincePoll;
    framePending = s.framePending;
    shownWidth = std::clamp(s.width, 0, 320);
    shownHeight = std::clamp(s.height, 0, 240);
    if (s.shown != shown && s.shown)
        std::memcpy(shown, s.shown, sizeof(uint32_t) * static_cast<size_t>(shownWidth) * shownHeight);
}

bool poll() {
    if (failingPoll >= 0 && polls == failingPoll) {
        failingPoll = -1;
        throw ptc::DynamicError("injected console failure");
    }
    emitPending();
    int64_t p = polls++;
    framePending = true;
    double t = static_cast<double>(p) / theFps;
    if (musicPump) musicPump(sampleAt(p));
    if (pollHook) pollHook(pollUser);
    return keyRequested || (keyAt >= 0 && t + 1e-9 >= keyAt);
}

}  // namespace vclock
