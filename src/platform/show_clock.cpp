// The console's clock, the pre-roll, the pause and the explore keys
// (show_clock.h), on top of a console backend and the virtual clock.
#include "platform/show_clock.h"

#include <cmath>

#include "platform/midas_internal.h"
#include "platform/ptc_backend.h"
#include "platform/virtual_clock.h"

namespace showclock {
namespace {

bool virtualMode = false;  // a pre-roll, or its last frame held by a pause
int64_t target = -1;       // the frame the pre-roll ends on
bool targetShown = false;  // the window got a picture after poll `target`
double offset = 0.0;       // in play: seconds() = backend clock + offset
bool pausedNow = false;
double pausedAt = 0.0;     // seconds() when paused in play
bool deviceStopped = false;  // pause() stopped a device's playback
bool exploreOn = false;
constexpr int kMaxKeys = 16;
int keys[kMaxKeys];
int keyHead = 0;
int keyCount = 0;
PollHandler handler = nullptr;

bool deviceMusic() {
    midas::Output o = midas::output();
    return o == midas::Output::Device || o == midas::Output::Silent;
}

void showTarget() {
    // The capture's console is the virtual clock: it has the picture.
    if (targetShown || vclock::consoleIsVirtual()) return;
    vclock::State s = vclock::state();
    if (s.width > 0 && s.height > 0) ptc::backend::present(s.shown, s.width, s.height);
    targetShown = true;
}

// The poll after the pre-roll's last frame: on in real time, the clock
// going on from this poll's time on the virtual clock.
void goLive() {
    showTarget();
    virtualMode = false;
    midas::musicOffClock();
}

}  // namespace

double seconds() {
    if (virtualMode) return vclock::now();
    if (pausedNow) return pausedAt;
    return ptc::backend::clockSeconds() + offset;
}

void startShow() { offset = -ptc::backend::clockSeconds(); }

double fps() { return vclock::fps(); }
int64_t virtualPolls() { return vclock::pollCount(); }

ClockState clockState() {
    vclock::State s = vclock::state();
    return ClockState{s.polls, s.presentedSincePoll, s.framePending, s.width, s.height, s.shown};
}

void restoreClock(const ClockState& s) {
    vclock::restore(vclock::State{s.polls, s.presentedSincePoll, s.framePending, s.width, s.height, s.shown});
}

bool seekMusic(int64_t poll, int64_t jumpPoll, int jumpOrder) {
    deviceStopped = false;  // the device is the clock pump's now, until the pre-roll ends
    return midas::seekMusicToPoll(poll, jumpPoll, jumpOrder);
}

void beginPreroll(int64_t frame) {
    target = frame;
    targetShown = false;
    virtualMode = true;
}

bool prerolling() { return virtualMode && vclock::pollCount() <= target; }

void pause() {
    if (pausedNow) return;
    pausedNow = true;
    if (virtualMode) return;  // the virtual clock stands still between polls
    pausedAt = ptc::backend::clockSeconds() + offset;
    if (deviceMusic() && !midas::musicOnClock()) {
        midas::backend::stopPlay();
        deviceStopped = true;
    }
}

void resume() {
    if (!pausedNow) return;
    pausedNow = false;
    if (virtualMode) return;  // goes live at the next poll
    offset = pausedAt - ptc::backend::clockSeconds();
    if (deviceStopped) {
        midas::backend::startPlay();
        deviceStopped = false;
    }
}

bool paused() { return pausedNow; }

bool stepFrame() {
    if (!pausedNow || !virtualMode || vclock::pollCount() <= target) return false;
    target = vclock::pollCount();
    return true;
}

int64_t frame() {
    if (virtualMode) return vclock::pollCount() > 0 ? vclock::pollCount() - 1 : 0;
    const double f = std::floor(seconds() * vclock::fps() + 1e-6);
    return f > 0 ? static_cast<int64_t>(f) : 0;
}

void setExplore(bool on) {
    exploreOn = on;
    keyHead = keyCount = 0;
}
bool explore() { return exploreOn; }

bool offerKey(int key) {
    if (!exploreOn || key == kKeyEnd) return false;
    if (key == kKeyNone) return true;
    if (keyCount < kMaxKeys) {
        keys[(keyHead + keyCount) % kMaxKeys] = key;
        ++keyCount;
    }
    return true;
}

int takeKey() {
    if (keyCount == 0) return kKeyNone;
    int k = keys[keyHead];
    keyHead = (keyHead + 1) % kMaxKeys;
    --keyCount;
    return k;
}

void setPollHandler(PollHandler h) { handler = h; }

bool pollKey() {
    for (;;) {
        const bool virtualPoll = virtualMode && vclock::pollCount() <= target;
        bool key;
        if (virtualPoll) {
            key = vclock::poll();
        } else if (virtualMode && !pausedNow) {
            // The time this poll has on the virtual clock, as vclock::now()
            // computes it, so the capture's clock goes on unchanged.
            const double time = static_cast<double>(vclock::pollCount()) / vclock::fps();
            goLive();
            key = ptc::backend::keyPending();
            offset = time - ptc::backend::clockSeconds();
        } else {
            if (virtualMode) showTarget();  // held on the pre-roll's frame
            key = ptc::backend::keyPending();
        }
        if (key) return true;
        if (handler && handler()) return true;
        if (virtualPoll) return false;
        // Resumed while held on a pre-roll's frame: this same poll goes
        // live, so the next frame has the next frame's time.
        if (virtualMode && !pausedNow) continue;
        if (!pausedNow) return false;
        // Paused: hold here, the picture and the clock standing still.
    }
}

void present(const uint32_t* pixels, int width, int height) {
    if (!virtualMode) {
        ptc::backend::present(pixels, width, height);
        return;
    }
    vclock::consolePresented(pixels, width, height);
    if (vclock::pollCount() > target && !vclock::consoleIsVirtual()) {
        ptc::backend::present(pixels, width, height);
        targetShown = true;
    }
}

}  // namespace showclock
