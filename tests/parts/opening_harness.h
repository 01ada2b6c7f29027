// Runs one part of the opening on the virtual clock with scripted music.
//
// Two kinds of music event drive a part: those the frame loops see, fired
// right after a given present (so the comparison after that present sees
// them), and those that end a hold, fired one every kHoldPolls polls
// while the part polls without presenting (it is in a wait), so an event
// that does not end a wait is followed by the next one. A hold with no
// event left is broken by a key after kStuckPolls polls, so a part that
// waits where it should not ends the run instead of hanging it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "host/demo.h"
#include "platform/virtual_clock.h"

namespace opening {

enum class Event { Beat, Sync, Key };

class PartRun : public ::testing::Test {
protected:
    static constexpr int kHoldPolls = 5;
    static constexpr int kStuckPolls = 20000;

    // Fired right after present n (1-based).
    void afterPresent(int n, Event e) { presentEvents_.insert({n, e}); }
    // Fired, in order, one every kHoldPolls polls of a hold.
    void inHolds(std::vector<Event> events) { holdEvents_ = std::move(events); }
    // Keeps a copy of the frame buffer as presented by present n.
    void keepFrame(int n) { kept_[n]; }
    const std::vector<uint32_t>& frame(int n) { return kept_.at(n); }
    // Holds DemoTime at t for the whole run, so that only frame counts
    // change the picture.
    void freezeTime(double t) {
        frozen_ = true;
        frozenAt_ = t;
    }
    // Forgets the scripted events and kept frames (for a second run).
    void clearScript() {
        presentEvents_.clear();
        holdEvents_.clear();
        kept_.clear();
    }

    int run(DemoPart part) {
        self_ = this;
        vclock::configure(60.0, -1.0);
        vclock::setMusicPump(&PartRun::pump);
        TheConsole.open("test", 320, 200, ptc::Format(32, 0xFF0000, 0xFF00, 0xFF), 0);
        FrameBuffer = screen.data();
        PresentFrame = &PartRun::present;
        presents = 0;
        holdEnds.clear();
        longestHold = 0;
        stuck = false;
        nextHold_ = 0;
        idlePolls_ = 0;
        BeatCounter = 0;
        SyncCounter = 0;
        LastBeat = 0;
        DemoTimer.stop();
        DemoTimer.set(0.0);
        DemoTimer.start();
        if (frozen_) {
            DemoTimer.stop();
            DemoTimer.set(frozenAt_);
        }
        const int result = part();
        TheConsole.close();
        vclock::setMusicPump(nullptr);
        self_ = nullptr;
        return result;
    }

    // The buffer the part draws into; tests set the frame it starts on.
    std::vector<uint32_t> screen = std::vector<uint32_t>(kFramePixels, 0u);
    int presents = 0;
    // Presents made before each hold event was fired.
    std::vector<int> holdEnds;
    int longestHold = 0;  // polls
    bool stuck = false;

private:
    static void fire(Event e) {
        switch (e) {
            case Event::Beat: BeatCounter++; break;
            case Event::Sync: SyncCounter++; break;
            case Event::Key: vclock::requestKey(); break;
        }
    }
    static void present() {
        PartRun& r = *self_;
        ++r.presents;
        r.idlePolls_ = 0;
        auto kept = r.kept_.find(r.presents);
        if (kept != r.kept_.end()) kept->second.assign(r.screen.begin(), r.screen.end());
        auto range = r.presentEvents_.equal_range(r.presents);
        for (auto it = range.first; it != range.second; ++it) fire(it->second);
    }
    static void pump(int64_t) {
        PartRun& r = *self_;
        ++r.idlePolls_;
        r.longestHold = std::max(r.longestHold, r.idlePolls_);
        if (r.idlePolls_ % kHoldPolls == 0 && r.nextHold_ < r.holdEvents_.size()) {
            r.holdEnds.push_back(r.presents);
            fire(r.holdEvents_[r.nextHold_++]);
        } else if (r.idlePolls_ >= kStuckPolls && !r.stuck) {
            r.stuck = true;
            vclock::requestKey();
        }
    }

    inline static PartRun* self_ = nullptr;
    std::multimap<int, Event> presentEvents_;
    std::vector<Event> holdEvents_;
    size_t nextHold_ = 0;
    bool frozen_ = false;
    double frozenAt_ = 0.0;
    int idlePolls_ = 0;
    std::map<int, std::vector<uint32_t>> kept_;
};

// Fills a picture of the image bank with one colour.
template <size_t N>
void fillImage(uint32_t (&image)[N], uint32_t colour) {
    std::fill(image, image + N, colour);
}

inline uint64_t checksum(const std::vector<uint32_t>& pixels) {
    uint64_t h = 1469598103934665603ull;
    for (uint32_t p : pixels) h = (h ^ p) * 1099511628211ull;
    return h;
}

}  // namespace opening
