// The demo's music as libopenmpt plays it: its layout, its sync commands,
// its levels, and a walk of the show's timeline at 60 frames per second on
// the sync times heard in the render, checked against the show plan's
// targets (tools/gen/SHOW_PLAN.md).
#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kLevelRate = 48000;  // levels are measured at the player's rate
constexpr int kSyncRate = 8000;    // sync times need no more, and render faster
constexpr int kFinalOrder = 56;

std::vector<char> readModuleFile() {
    std::ifstream in(std::string(PLIVAK_DATA_DIR) + "/demo.xm", std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct SyncEvent {
    double time;
    int value;
    int order;
};

struct Render {
    std::vector<SyncEvent> syncs;
    double peak = 0;          // of either channel, linear
    double rms = 0;           // of both channels, linear
    double quietestSecond = 1;  // RMS of the quietest whole second, linear
    int highestOrder = 0;
    int lowestOrder = 1 << 30;
};

// Renders `seconds` of the module from `startOrder` at `rate`, following its
// jumps, and notes every sync command when libopenmpt reaches its row (to
// within the 10 ms of a chunk).
Render render(openmpt::module& mod, int startOrder, double seconds, int rate) {
    const int chunk = rate / 100;
    using M = openmpt::module;
    std::map<std::pair<int, int>, std::vector<int>> syncRows;  // (pattern, row) -> values
    for (int p = 0; p < mod.get_num_patterns(); ++p)
        for (int r = 0; r < mod.get_pattern_num_rows(p); ++r)
            for (int c = 0; c < mod.get_num_channels(); ++c)
                if (mod.format_pattern_row_channel_command(p, r, c, M::command_effect) == "W")
                    syncRows[{p, r}].push_back(mod.get_pattern_row_channel_command(p, r, c, M::command_parameter));

    mod.set_repeat_count(-1);
    mod.set_position_order_row(startOrder, 0);
    Render out;
    std::vector<float> left(static_cast<size_t>(chunk)), right(static_cast<size_t>(chunk));
    int lastOrder = -1, lastRow = -1;
    double sum = 0, secondSum = 0;
    long frames = 0;
    const long total = static_cast<long>(seconds * rate);
    for (long done = 0; done < total; done += chunk) {
        // The row is read before the chunk, so a sync's time is the start of
        // the chunk that begins playing its row.
        int order = mod.get_current_order(), row = mod.get_current_row();
        if (order != lastOrder || row != lastRow) {
            auto it = syncRows.find({mod.get_order_pattern(order), row});
            if (it != syncRows.end())
                for (int v : it->second) out.syncs.push_back(SyncEvent{static_cast<double>(done) / rate, v, order});
            lastOrder = order;
            lastRow = row;
            out.highestOrder = std::max(out.highestOrder, order);
            out.lowestOrder = std::min(out.lowestOrder, order);
        }
        size_t got = mod.read(rate, static_cast<size_t>(chunk), left.data(), right.data());
        if (got != static_cast<size_t>(chunk)) break;
        for (int i = 0; i < chunk; ++i) {
            out.peak = std::max(out.peak, static_cast<double>(std::max(std::fabs(left[i]), std::fabs(right[i]))));
            double e = static_cast<double>(left[i]) * left[i] + static_cast<double>(right[i]) * right[i];
            sum += e;
            secondSum += e;
        }
        frames += chunk;
        if (frames % rate == 0) {
            out.quietestSecond = std::min(out.quietestSecond, std::sqrt(secondSum / (2.0 * rate)));
            secondSum = 0;
        }
    }
    out.rms = std::sqrt(sum / (2.0 * static_cast<double>(frames > 0 ? frames : 1)));
    return out;
}

double dB(double linear) { return 20.0 * std::log10(linear); }

// Renders of the show (330 s from order 0: the show and once round its
// tail loop) and of the closing loop from order 56,
// each made once per test program and only when a test asks for it.
class Fixture {
public:
    bool loaded() {
        if (!tried_) {
            tried_ = true;
            std::vector<char> bytes = readModuleFile();
            if (!bytes.empty()) mod_ = std::make_unique<openmpt::module>(bytes);
        }
        return mod_ != nullptr;
    }
    openmpt::module& module() { return *mod_; }
    const Render& show(int rate) { return get(rate == kLevelRate ? showLevels_ : showSyncs_, 0, 330.0, rate); }
    // Levels need one time round the loop and over its jump; syncs two.
    const Render& final(int rate) {
        return rate == kLevelRate ? get(finalLevels_, kFinalOrder, 65.0, rate) : get(finalSyncs_, kFinalOrder, 130.0, rate);
    }

private:
    const Render& get(std::unique_ptr<Render>& slot, int order, double seconds, int rate) {
        if (!slot) slot = std::make_unique<Render>(render(*mod_, order, seconds, rate));
        return *slot;
    }
    bool tried_ = false;
    std::unique_ptr<openmpt::module> mod_;
    std::unique_ptr<Render> showSyncs_, finalSyncs_, showLevels_, finalLevels_;
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

std::vector<double> timesOf(const std::vector<SyncEvent>& syncs, int value, bool wanted) {
    std::vector<double> out;
    for (const SyncEvent& s : syncs)
        if ((s.value == value) == wanted) out.push_back(s.time);
    return out;
}

// ---- the timeline walk ---------------------------------------------------

constexpr int kSmearToWhite = 128;

enum class Op { Frames, WaitBeat, UntilBeat, WaitCue };
struct Stage {
    int step;
    Op op;
    int frames;
    // Frames into the stage after which its picture no longer changes, as
    // the capture shows it. Left unset, a fixed stage settles on its last
    // frame and a stage until a beat keeps moving to its end.
    int settles = kUnset;
    static constexpr int kUnset = -2;
};

// The timeline's waits at 60 frames per second, part by part.
const std::vector<Stage> kTimeline = {
    {1, Op::Frames, 41}, {1, Op::WaitBeat, 0}, {1, Op::Frames, 21 + 256 + 256}, {1, Op::WaitBeat, 0}, {1, Op::Frames, 21},
    {2, Op::WaitBeat, 0}, {2, Op::UntilBeat, 0}, {2, Op::Frames, 101}, {2, Op::WaitBeat, 0},
    {3, Op::Frames, 321 + 103}, {3, Op::UntilBeat, 0}, {3, Op::Frames, 128}, {3, Op::WaitBeat, 0},
    {4, Op::Frames, 257}, {4, Op::UntilBeat, 0}, {4, Op::Frames, 26}, {4, Op::WaitBeat, 0},
    {5, Op::UntilBeat, 0}, {5, Op::WaitCue, 0}, {5, Op::Frames, 1}, {5, Op::WaitCue, 0}, {5, Op::Frames, 1}, {5, Op::WaitBeat, 0},
    {6, Op::UntilBeat, 0},
    {7, Op::UntilBeat, 0}, {7, Op::Frames, 41}, {7, Op::WaitBeat, 0},
    {8, Op::UntilBeat, 0}, {8, Op::Frames, 50, 31}, {8, Op::WaitBeat, 0},  // the checkerboard is whole after 31 frames
    {9, Op::UntilBeat, 0}, {9, Op::UntilBeat, 0},
    {10, Op::Frames, 200},
    {11, Op::UntilBeat, 0},
    {12, Op::UntilBeat, 0}, {12, Op::Frames, 200}, {12, Op::WaitBeat, 0},
    {13, Op::UntilBeat, 0},
    {14, Op::UntilBeat, 0},
    {15, Op::Frames, 400},
    {16, Op::UntilBeat, 0}, {16, Op::Frames, 51}, {16, Op::WaitBeat, 0},
    // The smear washes the picture that step 16 leaves to white in 128
    // frames (its centre column gains 2 per channel a frame).
    {17, Op::WaitBeat, 0}, {17, Op::UntilBeat, 0, kSmearToWhite},
};

struct Walk {
    std::vector<std::string> faults;
    double showEnd = 0;
    std::vector<double> captionTimes;  // cues seen during step 2's caption stage
    double captionStageStart = 0, captionStageEnd = 0;
    std::string table;
};

// First event strictly after t, or a huge time when there is none.
double nextAfter(const std::vector<double>& times, double t) {
    auto it = std::upper_bound(times.begin(), times.end(), t);
    return it == times.end() ? 1e9 : *it;
}

// Distance from t to the nearest event later than `consumed` (the one that
// ended the last wait on the same counter is already counted).
double nearest(const std::vector<double>& times, double t, double consumed) {
    double best = 1e9;
    for (double x : times)
        if (x > consumed) best = std::min(best, std::fabs(x - t));
    return best;
}

Walk walkTimeline(const std::vector<double>& beats, const std::vector<double>& cues) {
    Walk w;
    long frame = 0;
    bool afterFixed = true;  // the stage before ended on a frame count, not on a sync
    double beatConsumed = -1, cueConsumed = -1;
    // Time the screen has shown one picture: from the frame where a stage's
    // picture settled, through the waits after it, to the next change.
    double stillRun = 0;
    char line[200];
    auto fault = [&w](int step, const std::string& what) { w.faults.push_back("step " + std::to_string(step) + ": " + what); };
    for (const Stage& s : kTimeline) {
        double start = frame / 60.0;
        // A copy of the counter taken at the end of a fixed stage must not
        // race with a beat: keep 0.3 s between them either way.
        const bool onCues = s.op == Op::WaitCue;
        if (afterFixed && s.op != Op::Frames &&
            nearest(onCues ? cues : beats, start, onCues ? cueConsumed : beatConsumed) < 0.3)
            fault(s.step, "a sync falls within 0.3 s of the copy at " + std::to_string(start));
        switch (s.op) {
            case Op::Frames:
                frame += s.frames;
                stillRun = (s.frames - (s.settles == Stage::kUnset ? s.frames - 1 : s.settles)) / 60.0;
                afterFixed = true;
                std::snprintf(line, sizeof line, "%2d  %d frames  %.2f s  ends %.2f\n", s.step, s.frames, s.frames / 60.0,
                              frame / 60.0);
                break;
            case Op::WaitBeat:
            case Op::WaitCue: {
                const std::vector<double>& events = s.op == Op::WaitBeat ? beats : cues;
                double at = nextAfter(events, start);
                double still = at - start;
                stillRun += still;
                if (stillRun > 2.0) fault(s.step, "a still screen of " + std::to_string(stillRun) + " s");
                if (afterFixed && (still < 0.3 || still > 1.5))
                    fault(s.step, "the sync after a fixed stage comes " + std::to_string(still) + " s after it");
                if (!afterFixed && still < 0.3) fault(s.step, "two syncs closer than 0.3 s");
                frame = static_cast<long>(std::ceil(at * 60.0 - 1e-9));
                (onCues ? cueConsumed : beatConsumed) = at;
                afterFixed = false;
                std::snprintf(line, sizeof line, "%2d  wait %s  %.2f s still  ends %.2f\n", s.step,
                              s.op == Op::WaitBeat ? "beat" : "cue", still, at);
                break;
            }
            case Op::UntilBeat: {
                double at = nextAfter(beats, start);
                double length = at - start;
                stillRun = s.settles >= 0 ? std::max(0.0, length - s.settles / 60.0) : 0;
                if (s.settles < 0 && (length < 4.0 || length > 25.0))
                    fault(s.step, "a stage until the beat lasts " + std::to_string(length) + " s");
                // A stage whose picture settles before its beat (the smear at
                // white) ends soon after: half a second to a second of it.
                if (s.settles >= 0 && (stillRun < 0.5 || stillRun > 1.0))
                    fault(s.step, "the beat comes " + std::to_string(stillRun) + " s after the picture settles");
                if (s.step == 2) {
                    w.captionStageStart = start;
                    w.captionStageEnd = at;
                    for (double c : cues)
                        if (c > start && c < at) w.captionTimes.push_back(c);
                }
                frame = std::max(frame + 1, static_cast<long>(std::ceil(at * 60.0 - 1e-9)));
                beatConsumed = at;
                afterFixed = false;
                std::snprintf(line, sizeof line, "%2d  until beat  %.2f s  ends %.2f\n", s.step, length, at);
                break;
            }
        }
        if (stillRun > 2.0 && s.op != Op::WaitBeat && s.op != Op::WaitCue)
            fault(s.step, "a still screen of " + std::to_string(stillRun) + " s");
        w.table += line;
    }
    w.showEnd = frame / 60.0;
    return w;
}

}  // namespace

TEST(DemoMusic, LayoutAndSyncCommands) {
    Fixture& f = fixture();
    ASSERT_TRUE(f.loaded()) << "no demo.xm in " << PLIVAK_DATA_DIR << " (build the plivak_data_files target)";
    openmpt::module& mod = f.module();
    EXPECT_EQ(mod.get_metadata("type"), "xm");
    EXPECT_EQ(mod.get_metadata("warnings"), "");
    EXPECT_GE(mod.get_num_orders(), 57);
    EXPECT_GE(mod.get_num_instruments(), 6);
    // The show's subsong (orders 0..55) and the closing loop from 56.
    EXPECT_EQ(mod.get_num_subsongs(), 2);

    std::vector<double> beats = timesOf(f.show(kSyncRate).syncs, 19, true);
    std::vector<double> cues = timesOf(f.show(kSyncRate).syncs, 19, false);
    EXPECT_GE(beats.size(), 25u);
    EXPECT_EQ(cues.size(), 7u);  // five captions and two quadrant reveals
    for (const SyncEvent& s : f.show(kSyncRate).syncs) {
        EXPECT_TRUE(s.value == 19 || s.value == 1) << "sync value " << s.value;
    }
    // Music from the first row, no silence anywhere in the show or the loop.
    EXPECT_GT(dB(f.show(kSyncRate).quietestSecond), -40.0);
    EXPECT_GT(dB(f.final(kSyncRate).quietestSecond), -40.0);
}

TEST(DemoMusic, ShowNeverReachesTheClosingMusicOnItsOwn) {
    Fixture& f = fixture();
    ASSERT_TRUE(f.loaded());
    // 330 s is past the end of the show and once round the tail loop.
    EXPECT_LT(f.show(kSyncRate).highestOrder, kFinalOrder);
    std::vector<double> beats = timesOf(f.show(kSyncRate).syncs, 19, true);
    ASSERT_FALSE(beats.empty());
    // Past the planned beats the tail keeps beating, so a late show still
    // finds its beats.
    for (size_t i = 1; i < beats.size(); ++i) {
        if (beats[i - 1] > 276.0) {
            EXPECT_LE(beats[i] - beats[i - 1], 4.0);
        }
    }
    EXPECT_GT(beats.back(), 320.0);
}

TEST(DemoMusic, ClosingMusicLoopsWithABeatEveryBar) {
    Fixture& f = fixture();
    ASSERT_TRUE(f.loaded());
    EXPECT_GE(f.final(kSyncRate).lowestOrder, kFinalOrder);
    std::vector<double> beats = timesOf(f.final(kSyncRate).syncs, 19, true);
    ASSERT_GT(beats.size(), 60u);  // 130 s at one beat per 1.92 s bar
    EXPECT_LT(beats.front(), 0.05);
    for (size_t i = 1; i < beats.size(); ++i) {
        EXPECT_NEAR(beats[i] - beats[i - 1], 1.92, 0.02);
    }
    EXPECT_TRUE(timesOf(f.final(kSyncRate).syncs, 19, false).empty());
}

TEST(DemoMusic, PeaksStayBelowMinusOneDecibel) {
    Fixture& f = fixture();
    ASSERT_TRUE(f.loaded());
    EXPECT_LE(dB(f.show(kLevelRate).peak), -1.0);
    EXPECT_LE(dB(f.final(kLevelRate).peak), -1.0);
    // Not so quiet that the level is a mistake either.
    EXPECT_GT(dB(f.show(kLevelRate).rms), -26.0);
    EXPECT_GT(dB(f.final(kLevelRate).rms), -26.0);
    std::printf("show: peak %.2f dBFS, RMS %.2f dBFS; closing loop: peak %.2f dBFS, RMS %.2f dBFS\n", dB(f.show(kLevelRate).peak),
                dB(f.show(kLevelRate).rms), dB(f.final(kLevelRate).peak), dB(f.final(kLevelRate).rms));
}

TEST(DemoMusic, TimelineMeetsThePlanAtSixtyFramesPerSecond) {
    Fixture& f = fixture();
    ASSERT_TRUE(f.loaded());
    std::vector<double> beats = timesOf(f.show(kSyncRate).syncs, 19, true);
    std::vector<double> cues = timesOf(f.show(kSyncRate).syncs, 19, false);
    Walk w = walkTimeline(beats, cues);
    for (const std::string& s : w.faults) {
        ADD_FAILURE() << s;
    }

    // Five captions, a few seconds each, none before the caption stage.
    ASSERT_EQ(w.captionTimes.size(), 5u);
    for (double c : cues) {
        if (c < w.captionStageStart) ADD_FAILURE() << "a cue at " << c << " s before the captions begin";
    }
    for (size_t i = 0; i < 5; ++i) {
        double shown = (i + 1 < 5 ? w.captionTimes[i + 1] : w.captionStageEnd) - w.captionTimes[i];
        EXPECT_GE(shown, 2.5) << "caption " << i;
        EXPECT_LE(shown, 8.0) << "caption " << i;
    }
    // The whole show before the closing part: 4 to 7 minutes.
    EXPECT_GE(w.showEnd, 240.0);
    EXPECT_LE(w.showEnd, 420.0);
    if (HasFailure()) std::printf("%s", w.table.c_str());
    std::printf("show before the closing part: %.2f s\n", w.showEnd);

    // The same music with the beat that ends the smear (and all after it)
    // 4.8 s later, the white held 5.5 s: the walk must see the still screen.
    std::vector<double> late = beats;
    for (double& b : late)
        if (b > w.showEnd - 0.1) b += 4.8;
    Walk lateWalk = walkTimeline(late, cues);
    bool still = false;
    for (const std::string& s : lateWalk.faults) still = still || s.find("step 17: a still screen") != std::string::npos;
    EXPECT_TRUE(still) << "the walk misses a smear held at white";
}

TEST(DemoMusic, TimelineWalkFlagsBadPlans) {
    // A beat on every bar cuts the stages that run until a beat far too short.
    std::vector<double> everyBar;
    for (int i = 1; i < 300; ++i) everyBar.push_back(1.92 * i);
    Walk w = walkTimeline(everyBar, {});
    EXPECT_FALSE(w.faults.empty());
    bool shortStage = false;
    for (const std::string& s : w.faults) shortStage = shortStage || s.find("until the beat lasts") != std::string::npos;
    EXPECT_TRUE(shortStage);
    // Without syncs the first wait never ends.
    w = walkTimeline({}, {});
    ASSERT_FALSE(w.faults.empty());
    EXPECT_NE(w.faults[0].find("step 1: a still screen"), std::string::npos);
}
