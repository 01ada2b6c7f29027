// Module player backend on the virtual clock (capture and tests): no device
// and no thread. The music pump runs inside each key poll: poll p hands the
// audio sink exactly the frames up to vclock::sampleAt(p), counted from the
// first poll after playback started, and fires every sync whose row begins
// at or before that frame. The renderer works one chunk ahead of what the
// sink has been given, so that a row beginning exactly at the poll's frame
// is already stamped when the poll fires the due syncs.
#include <algorithm>

#include "platform/midas_internal.h"
#include "platform/virtual_clock.h"

namespace midas::backend {
namespace {

constexpr int kBatchFrames = 1024;  // audio handed to the sink in one call

bool playing = false;
bool resuming = false;   // started again: carry on from where the sink left off
uint32_t seenGeneration = 0;
int64_t baseFrame = 0;   // clock frame at which the playback's frame 0 is heard
int64_t emitted = 0;     // playback frames handed to the sink
int16_t stage[kChunkFrames * kChannels];  // rendered, not yet handed over
int stageOffset = 0;
int stageFrames = 0;
int16_t batch[kBatchFrames * kChannels];
int batchFrames = 0;

void flushBatch() {
    if (batchFrames > 0) vclock::emitAudio(batch, batchFrames);
    batchFrames = 0;
}

void pump(int64_t clockFrame) {
    std::lock_guard<std::mutex> lock(stateMutex());
    MidasPlayback* pb = activePlayback();
    if (!pb) return;
    if (pb->generation != seenGeneration) {
        seenGeneration = pb->generation;
        baseFrame = clockFrame;
        emitted = 0;
        stageOffset = stageFrames = 0;
    } else if (resuming) {
        baseFrame = clockFrame - emitted;
    }
    resuming = false;
    int64_t target = clockFrame - baseFrame;
    while (emitted < target) {
        if (stageFrames == 0) {
            stageFrames = renderChunk(*pb, stage, kChunkFrames);
            stageOffset = 0;
            fireDue(*pb, emitted);  // the chunk's row begins at emitted, before this poll's end
        }
        int n = static_cast<int>(std::min<int64_t>({stageFrames, target - emitted, kBatchFrames - batchFrames}));
        std::copy(stage + stageOffset * kChannels, stage + (stageOffset + n) * kChannels, batch + batchFrames * kChannels);
        batchFrames += n;
        stageOffset += n;
        stageFrames -= n;
        emitted += n;
        if (batchFrames == kBatchFrames) flushBatch();
    }
    flushBatch();
    if (stageFrames == 0) {
        stageFrames = renderChunk(*pb, stage, kChunkFrames);
        stageOffset = 0;
    }
    fireDue(*pb, target);
}

}  // namespace

bool init() { return true; }

void close() { stopPlay(); }

bool startPlay() {
    if (!playing) {
        // A new playback starts its own time base at the next poll; one
        // that was playing before carries on from there.
        resuming = true;
        vclock::setMusicPump(pump);
        playing = true;
    }
    return true;
}

void stopPlay() {
    if (!playing) return;
    vclock::setMusicPump(nullptr);
    playing = false;
}

Output output() { return Output::Virtual; }
std::string outputDescription() { return "virtual clock (no device)"; }

}  // namespace midas::backend
