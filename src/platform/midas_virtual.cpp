// Module player backend on the virtual clock (capture and tests): no device
// and no thread. The music pump (midas_pump.cpp) runs inside each key poll
// and hands the audio sink exactly the frames up to the poll's time.
#include "platform/midas_internal.h"
#include "platform/virtual_clock.h"

namespace midas::backend {
namespace {

bool playing = false;

}  // namespace

bool init() { return true; }

void close() { stopPlay(); }

bool startPlay() {
    if (!playing) {
        // A new playback starts its own time base at the next poll; one
        // that was playing before carries on from there.
        clockPumpResume();
        vclock::setMusicPump(clockPump);
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
