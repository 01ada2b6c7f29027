// Module player backend on a browser page. There is no thread: the music
// is rendered on the main thread by the shared renderer (midas_core.cpp),
// at every present and key poll (web_pump.h), kAheadSeconds ahead of what
// has been heard, and posted to the page's AudioWorklet, which only plays
// the samples it is given and reports how many it has played
// (page/plivak_audio_worklet.js). One renderer and one sync stamping serve
// all backends, and the page needs no shared memory, so any static server
// will do.
//
// What has been heard comes from the page's audio clock: the frames the
// worklet has played, less the output latency the browser reports. A sync
// fires at the first pump at which its row has been heard, the rule of the
// native device path. While the worklet runs dry (a stalled tab) that clock
// stands still, so the music and its syncs stay together.
//
// A seek stops the playback (the show's music is then rendered on the
// virtual clock, host/seek.h) and drops what the worklet still had queued;
// the heard clock starts again at the frame the playback has reached. A
// pause keeps the queue instead: the page suspends its audio context, so
// that the sound and the heard clock stand still together and go on from
// the same sample when the show does (a seek while paused drops it then).
//
// When the page could not start audio (no gesture, no AudioWorklet, a
// refused context), the music plays silently on the page's clock with the
// same timing, as the native silent thread does.
#include <emscripten.h>

#include <algorithm>
#include <cmath>

#include "platform/midas_internal.h"
#include "platform/show_clock.h"
#include "platform/web/web_pump.h"

// The page's side of the player (Module.plivak.audio, page/plivak_page.js).
EM_JS(int, plivakAudioRunning, (), { return Module.plivak.audio.running() ? 1 : 0; });
EM_JS(void, plivakAudioDescribe, (char* text, int size),
      { stringToUTF8(Module.plivak.audio.describe(), text, size); });
EM_JS(void, plivakAudioPush, (const int16_t* samples, int frames),
      { Module.plivak.audio.push(HEAP16.subarray(samples >> 1, (samples >> 1) + frames * 2)); });
EM_JS(double, plivakAudioHeard, (), { return Module.plivak.audio.heard(); });
EM_JS(void, plivakAudioFlush, (), { Module.plivak.audio.flush(); });
EM_JS(void, plivakAudioPause, (int on), { Module.plivak.audio.pause(on !== 0); });
EM_JS(void, plivakSyncHeard, (double lateFrames), { Module.plivak.audio.syncFired(lateFrames); });
EM_JS(double, plivakClock, (), { return Module.plivak.clock(); });

namespace midas::backend {
namespace {

constexpr double kAheadSeconds = 0.3;     // rendered past what is heard
constexpr int kSilentAheadFrames = 512;   // the same as the native silent thread
constexpr int kBatchFrames = 2048;        // rendered and posted in one go

bool audio = false;
bool playing = false;
bool resuming = false;  // started again: carry on from where it stopped
bool suspended = false;  // paused: the page's audio context is suspended
bool queueKept = false;  // paused with the worklet's queue intact
uint32_t seenGeneration = 0;
int64_t pushedTotal = 0;  // frames ever posted to the worklet
int64_t basePushed = 0;   // pushedTotal at the playback's frame 0
double startTime = 0.0;   // silent: clock time at which frame 0 was heard
int16_t buffer[kBatchFrames * kChannels];

// Fires what is due, first noting for the page how long after its row was
// heard each sync fires (the pump runs only at presents and polls).
void fireHeard(MidasPlayback& pb, int64_t heard) {
    for (int i = 0; i < pb.pendingCount; ++i) {
        const PendingSync& s = pb.pending[(pb.pendingHead + i) % kMaxPendingSyncs];
        if (s.sample > heard) break;
        plivakSyncHeard(static_cast<double>(heard - s.sample));
    }
    fireDue(pb, heard);
}

void pump() {
    std::lock_guard<std::mutex> lock(stateMutex());
    MidasPlayback* pb = activePlayback();
    if (!pb || !playing) return;
    double now = plivakClock();
    if (pb->generation != seenGeneration || resuming) {
        // Frame 0 for a new playback; the frame it had reached for one
        // that plays again after a stop.
        seenGeneration = pb->generation;
        basePushed = pushedTotal - pb->rendered;
        startTime = now - static_cast<double>(pb->rendered) / kSampleRate;
        resuming = false;
    }
    int64_t heard, target;
    if (audio) {
        heard = static_cast<int64_t>(std::floor(plivakAudioHeard())) - basePushed;
        target = heard + static_cast<int64_t>(kAheadSeconds * kSampleRate);
    } else {
        heard = static_cast<int64_t>((now - startTime) * kSampleRate);
        target = heard + kSilentAheadFrames;
    }
    while (pb->rendered <= target) {
        int want = static_cast<int>(std::min<int64_t>(kBatchFrames, target - pb->rendered + 1));
        int frames = 0;
        while (frames < want) {
            frames += renderChunk(*pb, buffer + frames * kChannels, want - frames);
            fireHeard(*pb, heard);
        }
        if (audio) {
            plivakAudioPush(buffer, frames);
            pushedTotal += frames;
        }
    }
    fireHeard(*pb, heard);
}

}  // namespace

bool init() {
    audio = plivakAudioRunning() != 0;
    return true;
}

void close() {
    stopPlay();
    if (queueKept) stopPlay();  // closed while paused: the queue goes too
    if (suspended) plivakAudioPause(0);
    suspended = false;
    audio = false;
}

bool startPlay() {
    if (playing) return true;
    playing = true;
    // After a pause with the queue kept, the pump goes on as before.
    resuming = seenGeneration != 0 && !queueKept;
    queueKept = false;
    if (suspended) {
        plivakAudioPause(0);
        suspended = false;
    }
    webpump::setPump(pump);
    return true;
}

void stopPlay() {
    if (!playing) {
        // Stopped again while paused (a seek): the kept queue goes now.
        if (queueKept) {
            plivakAudioFlush();
            basePushed = pushedTotal = 0;
            queueKept = false;
        }
        return;
    }
    playing = false;
    webpump::setPump(nullptr);
    if (!audio) return;
    if (showclock::paused() && !musicOnClock()) {
        plivakAudioPause(1);
        suspended = queueKept = true;
        return;
    }
    // What was posted and not yet played is dropped, as the native
    // device's queue is cleared; the next start posts afresh.
    plivakAudioFlush();
    basePushed = pushedTotal = 0;
}

Output output() { return audio ? Output::Device : Output::Silent; }

std::string outputDescription() {
    char text[160];
    plivakAudioDescribe(text, sizeof text);
    return audio ? std::string("audio worklet (") + text + ")" : std::string("silent page clock (") + text + ")";
}

}  // namespace midas::backend
