// Module player backend for the demo: an SDL audio device fed from one
// playback thread, or, when there is none, the same thread playing
// silently in real time so that the syncs still arrive on time.
//
// With a device the thread wakes every kDeviceWakeSeconds, keeps SDL's
// queue topped up to one device buffer and a margin, and judges what has
// been heard from what SDL has taken out of the queue. SDL takes one buffer
// (deviceFrames) at a time, and while one buffer plays the next one waits
// in the device, so at the moment of a take the output has been heard up to
// about two buffers before the end of what was taken; from then on it moves
// at the sample rate, up to one buffer before it.
//
// Without a device, heard is the time since playback began. The thread
// renders kSilentAheadFrames past it (and discards the sound), and sleeps
// until the next stamped sync is due or kSilentWakeSeconds have passed,
// whichever comes first, so syncs fire on time with few wake-ups.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <thread>

#include "platform/midas_internal.h"
#include "platform/sdl_clock.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace midas::backend {
namespace {

constexpr double kDeviceWakeSeconds = 0.002;
constexpr double kSilentWakeSeconds = 0.010;
constexpr int kDeviceFrames = 1024;       // the device buffer asked for (23 ms)
constexpr int kQueueMarginFrames = 512;   // queued beyond one device buffer
constexpr int kBatchFrames = 1024;        // rendered and queued in one go
constexpr int kSilentAheadFrames = 512;   // rendered ahead of the clock when silent

struct Player {
    bool audioSubsystem = false;  // SDL_INIT_AUDIO succeeded
    SDL_AudioDeviceID device = 0;
    int deviceFrames = 0;
    std::string why;  // why there is no device
    std::string driver;
    std::thread thread;
    std::atomic<bool> running{false};
};

Player player;

// What the playback thread carries from one wake-up to the next.
struct Feed {
    uint32_t seenGeneration = 0;
    int64_t queuedTotal = 0;  // frames ever queued on the device
    int64_t baseQueued = 0;   // queuedTotal at the playback's frame 0
    int64_t lastTaken = -1;   // frames SDL had taken at the last look
    double lastTakeTime = 0.0;
    double startTime = 0.0;  // silent: when the playback's frame 0 was heard
};

int16_t feedBuffer[kBatchFrames * kChannels];

// Judges what has been heard from what SDL has taken, and keeps the queue
// holding a whole device buffer when SDL takes one, with a margin for a
// late wake-up.
void feedDevice(MidasPlayback& pb, Feed& feed, double now) {
    const int64_t bufferFrames = player.deviceFrames;
    int64_t queued = static_cast<int64_t>(SDL_GetQueuedAudioSize(player.device) / (kChannels * sizeof(int16_t)));
    int64_t taken = feed.queuedTotal - queued;
    if (taken != feed.lastTaken) {
        feed.lastTaken = taken;
        feed.lastTakeTime = now;
    }
    int64_t moved = static_cast<int64_t>((now - feed.lastTakeTime) * kSampleRate);
    int64_t heard = std::min(taken - bufferFrames, taken - 2 * bufferFrames + moved) - feed.baseQueued;
    const int64_t target = bufferFrames + kQueueMarginFrames;
    while (queued < target) {
        int want = static_cast<int>(std::min<int64_t>(kBatchFrames, target - queued));
        int frames = 0;
        while (frames < want) {
            frames += renderChunk(pb, feedBuffer + frames * kChannels, want - frames);
            fireDue(pb, heard);
        }
        if (SDL_QueueAudio(player.device, feedBuffer, static_cast<Uint32>(frames * kChannels * sizeof(int16_t))) != 0)
            break;
        feed.queuedTotal += frames;
        queued += frames;
    }
    fireDue(pb, heard);
}

// Renders a little past the time since playback began and discards it.
// Returns when to wake next: `next`, or sooner when a sync falls due.
double playSilent(MidasPlayback& pb, const Feed& feed, double now, double next) {
    int64_t heard = static_cast<int64_t>((now - feed.startTime) * kSampleRate);
    while (pb.rendered <= heard + kSilentAheadFrames) {
        renderChunk(pb, feedBuffer, kChunkFrames);
        fireDue(pb, heard);
    }
    fireDue(pb, heard);
    if (pb.pendingCount == 0) return next;
    double due = feed.startTime + static_cast<double>(pb.pending[pb.pendingHead].sample) / kSampleRate;
    return std::min(next, std::max(due, now));
}

void playbackLoop() {
    Feed feed;
    double wake = sdl_clock::seconds();
    while (player.running.load()) {
        double now = sdl_clock::seconds();
        // A late wake-up (a stalled machine) does not try to catch up.
        if (now - wake > 0.1) wake = now;
        double next = wake + (player.device ? kDeviceWakeSeconds : kSilentWakeSeconds);
        {
            std::lock_guard<std::mutex> lock(stateMutex());
            if (MidasPlayback* pb = activePlayback()) {
                if (pb->generation != feed.seenGeneration) {
                    // Carry on where it was when the thread last played it
                    // (frame 0 for a new playback).
                    feed.seenGeneration = pb->generation;
                    feed.baseQueued = feed.queuedTotal - pb->rendered;
                    feed.startTime = now - static_cast<double>(pb->rendered) / kSampleRate;
                }
                if (player.device)
                    feedDevice(*pb, feed, now);
                else
                    next = playSilent(*pb, feed, now, next);
            }
        }
        wake = next;
        sdl_clock::sleepUntil(wake, sdl_clock::Wake::NotBefore);
    }
}

// While SDL looks for a device, the sound libraries below it may print
// their own complaints on the standard error stream (alsa-lib does when
// there is no sound card). The player says nothing unless asked, so the
// stream points at /dev/null for that time. (Elsewhere it is left alone.)
#if !defined(_WIN32)
class QuietStandardError {
public:
    QuietStandardError() {
        std::fflush(stderr);
        saved_ = dup(2);
        int null = open("/dev/null", O_WRONLY);
        if (saved_ >= 0 && null >= 0) dup2(null, 2);
        if (null >= 0) ::close(null);
    }
    ~QuietStandardError() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, 2);
        ::close(saved_);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_ = -1;
};
#else
struct QuietStandardError {
    QuietStandardError() {}  // user-provided: a guard object, not an unused variable
};
#endif

}  // namespace

bool init() {
    QuietStandardError quiet;
    player.why.clear();
    player.driver.clear();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        player.why = std::string("no audio system: ") + SDL_GetError();
        return true;
    }
    player.audioSubsystem = true;
    SDL_AudioSpec want{};
    want.freq = kSampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = kChannels;
    want.samples = kDeviceFrames;
    want.callback = nullptr;  // fed through SDL's queue
    SDL_AudioSpec have{};
    player.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (player.device == 0) {
        player.why = std::string("no audio device: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        player.audioSubsystem = false;
        return true;
    }
    player.deviceFrames = have.samples > 0 ? have.samples : kDeviceFrames;
    if (const char* d = SDL_GetCurrentAudioDriver()) player.driver = d;
    return true;
}

void close() {
    stopPlay();
    QuietStandardError quiet;
    if (player.device) SDL_CloseAudioDevice(player.device);
    player.device = 0;
    if (player.audioSubsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    player.audioSubsystem = false;
}

bool startPlay() {
    if (player.running.load()) return true;
    player.running = true;
    try {
        player.thread = std::thread(playbackLoop);
    } catch (const std::system_error&) {
        player.running = false;
        return false;
    }
    if (player.device) SDL_PauseAudioDevice(player.device, 0);
    return true;
}

void stopPlay() {
    if (!player.running.load()) return;
    player.running = false;
    if (player.thread.joinable()) player.thread.join();
    if (player.device) {
        SDL_PauseAudioDevice(player.device, 1);
        SDL_ClearQueuedAudio(player.device);
    }
}

Output output() { return player.device ? Output::Device : Output::Silent; }

std::string outputDescription() {
    if (player.device)
        return "audio device (" + player.driver + ", " + std::to_string(player.deviceFrames) + "-frame buffer)";
    return "silent real-time thread (" + player.why + ")";
}

}  // namespace midas::backend
