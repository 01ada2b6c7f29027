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
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <thread>

#include "platform/midas_internal.h"

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

double monotonicSeconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void sleepUntil(double when) {
    timespec ts;
    ts.tv_sec = static_cast<time_t>(when);
    ts.tv_nsec = static_cast<long>((when - static_cast<double>(ts.tv_sec)) * 1e9);
    if (ts.tv_nsec >= 1000000000L) ts.tv_nsec = 999999999L;
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
}

void playbackLoop() {
    static int16_t buffer[kBatchFrames * kChannels];
    uint32_t seenGeneration = 0;
    int64_t queuedTotal = 0;   // frames ever queued on the device
    int64_t baseQueued = 0;    // queuedTotal at the playback's frame 0
    int64_t lastTaken = -1;    // frames SDL had taken at the last look
    double lastTakeTime = 0.0;
    double startTime = 0.0;    // silent: when the playback's frame 0 was heard
    const int64_t bufferFrames = player.deviceFrames;

    double wake = monotonicSeconds();
    while (player.running.load()) {
        double now = monotonicSeconds();
        // A late wake-up (a stalled machine) does not try to catch up.
        if (now - wake > 0.1) wake = now;
        double step = player.device ? kDeviceWakeSeconds : kSilentWakeSeconds;
        double next = wake + step;
        {
            std::lock_guard<std::mutex> lock(stateMutex());
            MidasPlayback* pb = activePlayback();
            if (pb) {
                if (pb->generation != seenGeneration) {
                    // Carry on where it was when the thread last played it
                    // (frame 0 for a new playback).
                    seenGeneration = pb->generation;
                    baseQueued = queuedTotal - pb->rendered;
                    startTime = now - static_cast<double>(pb->rendered) / kSampleRate;
                }
                int64_t heard;
                if (player.device) {
                    int64_t queued = static_cast<int64_t>(SDL_GetQueuedAudioSize(player.device) / (kChannels * sizeof(int16_t)));
                    int64_t taken = queuedTotal - queued;
                    if (taken != lastTaken) {
                        lastTaken = taken;
                        lastTakeTime = now;
                    }
                    int64_t moved = static_cast<int64_t>((now - lastTakeTime) * kSampleRate);
                    heard = std::min(taken - bufferFrames, taken - 2 * bufferFrames + moved) - baseQueued;
                    // The queue must hold a whole device buffer when SDL
                    // takes one, with a margin for a late wake-up.
                    const int64_t target = bufferFrames + kQueueMarginFrames;
                    while (queued < target) {
                        int want = static_cast<int>(std::min<int64_t>(kBatchFrames, target - queued));
                        int frames = 0;
                        while (frames < want) {
                            frames += renderChunk(*pb, buffer + frames * kChannels, want - frames);
                            fireDue(*pb, heard);
                        }
                        if (SDL_QueueAudio(player.device, buffer, static_cast<Uint32>(frames * kChannels * sizeof(int16_t))) != 0)
                            break;
                        queuedTotal += frames;
                        queued += frames;
                    }
                    fireDue(*pb, heard);
                } else {
                    heard = static_cast<int64_t>((now - startTime) * kSampleRate);
                    while (pb->rendered <= heard + kSilentAheadFrames) {
                        renderChunk(*pb, buffer, kChunkFrames);
                        fireDue(*pb, heard);
                    }
                    fireDue(*pb, heard);
                    if (pb->pendingCount > 0) {
                        double due = startTime + static_cast<double>(pb->pending[pb->pendingHead].sample) / kSampleRate;
                        next = std::min(next, std::max(due, now));
                    }
                }
            }
        }
        wake = next;
        sleepUntil(wake);
    }
}

// While SDL looks for a device, the sound libraries below it may print
// their own complaints on the standard error stream (alsa-lib does when
// there is no sound card). The player says nothing unless asked, so the
// stream points at /dev/null for that time.
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
