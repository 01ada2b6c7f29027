// Runs one part of the opening on the virtual clock with scripted music.
//
// Frame-loop events fire right after a given present, so the comparison
// after that present sees them. Hold events fire one every kHoldPolls polls
// while the part polls without presenting (it is in a wait), so an event
// that does not end a wait is followed by the next. A hold that outlasts
// its events fails the test and is broken by a key, so the run never hangs.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "data/image_bank.h"
#include "platform/virtual_clock.h"
#include "stage/stage.h"

namespace opening {

enum class Event { Beat, Sync, Key };

class PartRun : public ::testing::Test {
protected:
    static constexpr int kHoldPolls = 5;

    void afterPresent(int n, Event e) { presentEvents_.insert({n, e}); }
    void inHolds(std::vector<Event> events) { holdEvents_ = std::move(events); }
    void keepFrame(int n) { kept_[n]; }  // copy of the buffer at present n
    const std::vector<uint32_t>& frame(int n) { return kept_.at(n); }
    void freezeTime(double t) { frozenAt_ = t; }  // DemoTime stays t
    void clearScript() {
        presentEvents_.clear();
        holdEvents_.clear();
        kept_.clear();
    }

    int run(DemoPart part) {
        self_ = this;
        presents = 0;
        holdEnds.clear();
        longestHold = 0;
        nextHold_ = 0;
        idlePolls_ = 0;
        vclock::configure(60.0, -1.0);
        vclock::setMusicPump(&PartRun::pump);
        TheConsole.open("test", 320, 200, ptc::Format(32, 0xFF0000, 0xFF00, 0xFF), 0);
        FrameBuffer = screen.data();
        PresentFrame = &PartRun::present;
        BeatCounter = 0;
        SyncCounter = 0;
        DemoTimer.stop();
        DemoTimer.set(frozenAt_ < 0 ? 0.0 : frozenAt_);
        if (frozenAt_ < 0) DemoTimer.start();
        const int result = part();
        TheConsole.close();
        vclock::setMusicPump(nullptr);
        return result;
    }

    // A key after present `afterPresent` (0: none) or as hold event number
    // `hold` (-1: none; the scripted hold events before it stay) ends the
    // part with -1 after exactly `presents` presents.
    struct KeyCase {
        int afterPresent;
        int hold;
        int presents;
    };
    template <typename Script>
    void expectKeysEnd(DemoPart part, Script script, std::initializer_list<KeyCase> cases) {
        for (const KeyCase& c : cases) {
            SCOPED_TRACE(testing::Message() << "key after present " << c.afterPresent << ", in hold " << c.hold);
            clearScript();
            script();
            if (c.afterPresent > 0) afterPresent(c.afterPresent, Event::Key);
            if (c.hold >= 0) {
                holdEvents_.resize(c.hold);
                holdEvents_.push_back(Event::Key);
            }
            EXPECT_EQ(run(part), -1);
            EXPECT_EQ(presents, c.presents);
        }
    }

    std::vector<uint32_t> screen = std::vector<uint32_t>(kFramePixels, 0u);  // the part's frame buffer
    int presents = 0;
    std::vector<int> holdEnds;  // presents made before each hold event fired
    int longestHold = 0;        // most polls in a row without a present

private:
    static void fire(Event e) {
        if (e == Event::Beat) BeatCounter++;
        if (e == Event::Sync) SyncCounter++;
        if (e == Event::Key) vclock::requestKey();
    }
    static void present() {
        PartRun& r = *self_;
        r.idlePolls_ = 0;
        auto kept = r.kept_.find(++r.presents);
        if (kept != r.kept_.end()) kept->second.assign(r.screen.begin(), r.screen.end());
        auto range = r.presentEvents_.equal_range(r.presents);
        for (auto it = range.first; it != range.second; ++it) fire(it->second);
    }
    static void pump(int64_t) {
        PartRun& r = *self_;
        r.longestHold = std::max(r.longestHold, ++r.idlePolls_);
        if (r.idlePolls_ % kHoldPolls != 0) return;
        if (r.nextHold_ < r.holdEvents_.size()) {
            r.holdEnds.push_back(r.presents);
            fire(r.holdEvents_[r.nextHold_++]);
        } else if (r.idlePolls_ == 1000 * kHoldPolls) {
            ADD_FAILURE() << "held after present " << r.presents << " with no event left";
            vclock::requestKey();
        }
    }

    inline static PartRun* self_ = nullptr;
    std::multimap<int, Event> presentEvents_;
    std::vector<Event> holdEvents_;
    size_t nextHold_ = 0;
    int idlePolls_ = 0;
    double frozenAt_ = -1.0;
    std::map<int, std::vector<uint32_t>> kept_;
};

inline void fillImage(const img::Image& image, uint32_t colour) {
    std::fill(image.pixels, image.pixels + image.width * image.height, colour);
}

inline bool allEqual(const std::vector<uint32_t>& f, uint32_t c) {
    return std::all_of(f.begin(), f.end(), [c](uint32_t p) { return p == c; });
}

inline std::vector<uint32_t> picture(const uint32_t* p) { return std::vector<uint32_t>(p, p + kFramePixels); }

}  // namespace opening
