// The music on the virtual clock, shared by every backend: the capture's
// backend plays through it all the time, and a window or page pre-rolls
// through it after a seek (show_clock.h). Poll p hands the audio sink
// exactly the frames up to vclock::sampleAt(p), counted from the first poll
// after playback started, and fires every sync whose row begins at or
// before that frame. The renderer works one chunk ahead of what the sink
// has been given, so that a row beginning exactly at the poll's frame is
// already stamped when the poll fires the due syncs.
#include <libopenmpt/libopenmpt.h>

#include <algorithm>

#include "platform/midas_internal.h"
#include "platform/virtual_clock.h"

namespace midas {
namespace {

constexpr int kBatchFrames = 1024;  // audio handed to the sink in one call

struct ClockPump {
    bool resuming = false;  // started again: carry on from where the sink left off
    bool muted = false;     // a fast-forward: nothing reaches the sink
    uint32_t seenGeneration = 0;
    int64_t baseFrame = 0;  // clock frame at which the playback's frame 0 is heard
    int64_t emitted = 0;    // playback frames handed to the sink
    int16_t stage[kChunkFrames * kChannels];  // rendered, not yet handed over
    int stageOffset = 0;
    int stageFrames = 0;
    int16_t batch[kBatchFrames * kChannels];
    int batchFrames = 0;
};
ClockPump cp;
bool onClock = false;  // a device backend handed its playback to the clock pump

void flushBatch() {
    if (cp.batchFrames > 0 && !cp.muted)
        vclock::emitAudioAt(cp.baseFrame + cp.emitted - cp.batchFrames, cp.batch, cp.batchFrames);
    cp.batchFrames = 0;
}

}  // namespace

void clockPump(int64_t clockFrame) {
    std::lock_guard<std::mutex> lock(stateMutex());
    MidasPlayback* pb = activePlayback();
    if (!pb) return;
    if (pb->generation != cp.seenGeneration) {
        cp.seenGeneration = pb->generation;
        cp.baseFrame = clockFrame;
        cp.emitted = 0;
        cp.stageOffset = cp.stageFrames = 0;
    } else if (cp.resuming) {
        cp.baseFrame = clockFrame - cp.emitted;
    }
    cp.resuming = false;
    int64_t target = clockFrame - cp.baseFrame;
    while (cp.emitted < target) {
        if (cp.stageFrames == 0) {
            cp.stageFrames = renderChunk(*pb, cp.stage, kChunkFrames);
            cp.stageOffset = 0;
            fireDue(*pb, cp.emitted);  // the chunk's row begins at emitted, before this poll's end
        }
        int n = static_cast<int>(std::min<int64_t>({cp.stageFrames, target - cp.emitted, kBatchFrames - cp.batchFrames}));
        std::copy(cp.stage + cp.stageOffset * kChannels, cp.stage + (cp.stageOffset + n) * kChannels,
                  cp.batch + cp.batchFrames * kChannels);
        cp.batchFrames += n;
        cp.stageOffset += n;
        cp.stageFrames -= n;
        cp.emitted += n;
        if (cp.batchFrames == kBatchFrames) flushBatch();
    }
    flushBatch();
    if (cp.stageFrames == 0) {
        cp.stageFrames = renderChunk(*pb, cp.stage, kChunkFrames);
        cp.stageOffset = 0;
    }
    fireDue(*pb, target);
}

void clockPumpResume() { cp.resuming = true; }


bool seekMusicToPoll(int64_t poll, int64_t jumpPoll, int jumpOrder) {
    const bool device = output() != Output::Virtual;
    if (device && !onClock) {
        backend::stopPlay();
        onClock = true;
        vclock::setMusicPump(clockPump);
    }
    MIDASsyncCallback callback = nullptr;
    MidasPlayback* pb = nullptr;
    {
        std::lock_guard<std::mutex> lock(stateMutex());
        pb = activePlayback();
        if (!pb) return false;
        // As MIDASplayModule: order 0, row 0, a new time base at the next pump.
        restartPlayback(*pb);
        callback = pb->callback.exchange(nullptr);
        cp = ClockPump{};
        cp.muted = true;
    }
    // Nothing of the fast-forward is heard, and the interpolation only
    // shapes what is heard: the channels move on the same whatever it is,
    // so the cheapest one renders the silent part.
    openmpt_module* mod = pb->module->mod;
    int32_t interpolation = 0;
    const bool cheap = openmpt_module_get_render_param(mod, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, &interpolation) != 0 &&
                       openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 1) != 0;
    for (int64_t p = 0; p < poll; ++p) {
        if (p == jumpPoll) pb->positionRequest = jumpOrder;
        clockPump(vclock::sampleAt(p));
    }
    if (cheap) openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, interpolation);
    cp.muted = false;
    pb->callback = callback;
    return true;
}

void musicOffClock() {
    if (!onClock) return;
    onClock = false;
    vclock::setMusicPump(nullptr);
    backend::startPlay();
}

bool musicOnClock() { return onClock; }

}  // namespace midas
