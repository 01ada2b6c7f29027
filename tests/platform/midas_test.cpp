// The module player on the virtual clock: sync order and timing, jumps,
// position changes, failures, and the audio handed to the sink.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/midas.h"
#include "platform/midas_internal.h"
#include "platform/test_modules.h"
#include "platform/virtual_clock.h"

namespace {

struct Fired {
    unsigned value, order, row;
    int64_t poll;
};
std::vector<Fired> fired;

void recordSync(unsigned value, unsigned order, unsigned row) {
    fired.push_back({value, order, row, vclock::pollCount() - 1});
}

using testmod::effect;
using testmod::makeModule;
using testmod::note;

std::vector<uint8_t> encode(const xm::Module& m) {
    std::string error;
    std::vector<uint8_t> bytes = xm::encodeXm(m, &error);
    EXPECT_FALSE(bytes.empty()) << error;
    return bytes;
}

class MidasTest : public ::testing::Test {
protected:
    std::string path;
    MIDASmodule module = nullptr;
    MIDASmodulePlayHandle play = nullptr;

    void SetUp() override {
        fired.clear();
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name)
            if (c == '/') c = '_';
        path = std::string(::testing::TempDir()) + "midas_test_" + name + ".xm";
        vclock::configure(60.0, -1.0);
        ASSERT_TRUE(MIDASstartup());
        ASSERT_TRUE(MIDASinit());
    }
    void TearDown() override {
        MIDASstopBackgroundPlay();
        MIDASstopModule(play);
        MIDASfreeModule(module);
        MIDASclose();
        vclock::setAudioSink(nullptr, nullptr);
        std::remove(path.c_str());
    }

    void writeFile(const std::vector<uint8_t>& bytes) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    // Loads and starts the module on the virtual clock at the given rate.
    void start(const xm::Module& m, double fps = 60.0) {
        writeFile(encode(m));
        vclock::configure(fps, -1.0);
        module = MIDASloadModule(path.c_str());
        ASSERT_NE(module, nullptr);
        play = MIDASplayModule(module, 0);
        ASSERT_NE(play, nullptr);
        ASSERT_TRUE(MIDASsetMusicSyncCallback(play, recordSync));
        ASSERT_TRUE(MIDASstartBackgroundPlay(50));
    }
    void polls(int64_t n) {
        for (int64_t i = 0; i < n; ++i) vclock::poll();
    }
    std::vector<unsigned> values() const {
        std::vector<unsigned> v;
        for (const Fired& f : fired) v.push_back(f.value);
        return v;
    }
};

TEST_F(MidasTest, SyncsOfOneRowFireTogetherInChannelOrder) {
    xm::Module m = makeModule(4, {0}, {4});
    m.patterns[0].at(0, 3) = xm::syncCell(7);
    m.patterns[0].at(0, 1) = xm::syncCell(19);
    m.patterns[0].at(0, 0) = xm::Cell{xm::noteNumber(4, 0), 1, 0, xm::kSync, 5};  // a note and a sync
    m.patterns[0].at(2, 2) = xm::syncCell(19);
    m.patterns[0].at(2, 0) = xm::syncCell(3);
    start(m);
    polls(28);  // rows of 6 ticks of 882 frames: row 2 begins at frame 10584, poll 15; row 0 again at 21168
    ASSERT_EQ(values(), (std::vector<unsigned>{5, 19, 7, 3, 19}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(fired[i].poll, 0);
    EXPECT_EQ(fired[3].poll, 15);
    EXPECT_EQ(fired[4].poll, 15);
    EXPECT_EQ(fired[4].row, 2u);
}

// Every row carries a sync; the frame at which each fires is checked
// against libopenmpt played one frame at a time, where a row shows at the
// very frame it begins. Tempo and speed changes, a pattern delay, a pattern
// break and a jump move the rows about.
class RowTimingTest : public MidasTest, public ::testing::WithParamInterface<double> {};

TEST_P(RowTimingTest, EachRowFiresAtTheFirstPollThatReachesIt) {
    xm::Module m = makeModule(3, {0, 1}, {8, 6});
    m.bpm = 131;
    m.tempo = 5;
    for (int p = 0; p < 2; ++p)
        for (int r = 0; r < m.patterns[p].rows; ++r) m.patterns[p].at(r, 1) = xm::syncCell(static_cast<uint8_t>(p * 16 + r));
    m.patterns[0].at(0, 0) = xm::Cell{xm::noteNumber(4, 0), 1, xm::setVolume(40), 0, 0};
    m.patterns[0].at(2, 2) = effect(xm::kSetSpeed, 140);  // BPM
    m.patterns[0].at(3, 0) = effect(xm::kExtended, 0xE2); // row lasts three times
    m.patterns[0].at(4, 2) = effect(xm::kSetSpeed, 3);
    m.patterns[0].at(6, 0) = effect(xm::kPatternBreak, 0x03);
    m.patterns[1].at(4, 2) = effect(xm::kSetSpeed, 0x99);
    m.patterns[1].at(5, 0) = effect(xm::kPositionJump, 0);
    std::vector<uint8_t> bytes = encode(m);

    // The reference: frames at which (order, row) changes.
    openmpt_module* ref = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent,
                                                             nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(ref, nullptr);
    openmpt_module_set_repeat_count(ref, -1);
    std::vector<std::pair<int64_t, unsigned>> rowStarts;  // frame, sync value expected
    int lastOrder = -1, lastRow = -1;
    int16_t frame[2];
    const int64_t kFrames = 4 * 44100;
    for (int64_t f = 0; f < kFrames; ++f) {
        openmpt_module_read_interleaved_stereo(ref, 44100, 1, frame);
        int o = openmpt_module_get_current_order(ref), r = openmpt_module_get_current_row(ref);
        if (o != lastOrder || r != lastRow)
            rowStarts.push_back({f, static_cast<unsigned>(openmpt_module_get_current_pattern(ref) * 16 + r)});
        lastOrder = o;
        lastRow = r;
    }
    openmpt_module_destroy(ref);
    ASSERT_GT(rowStarts.size(), 20u);

    double fps = GetParam();
    start(m, fps);
    int64_t n = 1;
    while (vclock::sampleAt(n) <= 3 * 44100) ++n;
    polls(n);
    size_t heard = 0;
    while (heard < rowStarts.size() && rowStarts[heard].first <= vclock::sampleAt(n - 1)) ++heard;
    ASSERT_EQ(fired.size(), heard);
    for (size_t i = 0; i < fired.size(); ++i) {
        int64_t p = 0;
        while (vclock::sampleAt(p) < rowStarts[i].first) ++p;
        EXPECT_EQ(fired[i].value, rowStarts[i].second) << "row start " << i;
        EXPECT_EQ(fired[i].poll, p) << "row start " << i << " at frame " << rowStarts[i].first;
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, RowTimingTest, ::testing::Values(60.0, 44100.0));

TEST_F(MidasTest, JumpsAndBreaksReportRepeatedRowsAgain) {
    // Order 0 plays rows 0..3 and breaks to row 2 of order 1; order 1 plays
    // rows 2..3 and jumps back to order 0.
    xm::Module m = makeModule(2, {0, 1}, {4, 4});
    m.tempo = 1;  // one tick per row: 882 frames
    for (int p = 0; p < 2; ++p)
        for (int r = 0; r < 4; ++r) m.patterns[p].at(r, 0) = xm::syncCell(static_cast<uint8_t>(10 * (p + 1) + r));
    m.patterns[0].at(3, 1) = effect(xm::kPatternBreak, 0x02);
    m.patterns[1].at(3, 1) = effect(xm::kPositionJump, 0);
    start(m);
    polls(20);  // 20 * 735 frames = 16.7 rows
    std::vector<unsigned> cycle = {10, 11, 12, 13, 22, 23};
    ASSERT_GE(fired.size(), 16u);
    for (size_t i = 0; i < fired.size(); ++i) EXPECT_EQ(fired[i].value, cycle[i % cycle.size()]) << i;
    EXPECT_EQ(fired[4].order, 1u);
    EXPECT_EQ(fired[4].row, 2u);
    EXPECT_EQ(fired[6].order, 0u);
}

TEST_F(MidasTest, ARowThatJumpsToItselfReportsEveryTime) {
    xm::Module m = makeModule(2, {0}, {2});
    m.tempo = 2;  // rows of 1764 frames
    m.patterns[0].at(1, 0) = xm::syncCell(19);
    m.patterns[0].at(1, 1) = effect(xm::kPatternBreak, 0x01);  // order 0 is also the next: row 1 again
    start(m, 44100.0);
    polls(1764 * 6);
    ASSERT_EQ(fired.size(), 5u);
    for (size_t i = 0; i < fired.size(); ++i) EXPECT_EQ(fired[i].poll, static_cast<int64_t>(1764 * (i + 1)));
}

TEST_F(MidasTest, SetPositionJumpsToTheOrderAndItsSyncsFireAsHeard) {
    xm::Module m = makeModule(1, {0, 1, 2}, {16, 16, 16});
    for (int p = 0; p < 3; ++p)
        for (int r = 0; r < 16; ++r) m.patterns[p].at(r, 0) = xm::syncCell(static_cast<uint8_t>(100 + 10 * p));
    start(m);
    polls(10);
    EXPECT_FALSE(MIDASsetPosition(play, 3));
    EXPECT_FALSE(MIDASsetPosition(play, -1));
    EXPECT_FALSE(MIDASsetPosition(nullptr, 1));
    ASSERT_TRUE(MIDASsetPosition(play, 2));
    size_t before = fired.size();
    polls(20);
    ASSERT_GT(fired.size(), before + 1);
    // What was rendered ahead of the request (at most one chunk) still
    // plays; from then on order 2 plays from its first row.
    size_t i = before;
    while (i < fired.size() && fired[i].order == 0) ++i;
    ASSERT_LT(i, fired.size());
    EXPECT_EQ(fired[i].value, 120u);
    EXPECT_EQ(fired[i].order, 2u);
    EXPECT_EQ(fired[i].row, 0u);
    EXPECT_LE(fired[i].poll, 11);
    EXPECT_EQ(fired.back().order, 2u);
}

struct AudioLog {
    std::vector<int> perCall;
    int64_t total = 0;
    uint64_t hash = 1469598103934665603ull;
    int64_t loud = 0;
};

void logAudio(const int16_t* samples, int frames, void* user) {
    auto* log = static_cast<AudioLog*>(user);
    log->total += frames;
    for (int i = 0; i < frames * 2; ++i) {
        log->hash = (log->hash ^ static_cast<uint16_t>(samples[i])) * 1099511628211ull;
        if (samples[i] > 1000 || samples[i] < -1000) ++log->loud;
    }
}

TEST_F(MidasTest, AudioFollowsThePollsAndIsTheSameEveryRun) {
    xm::Module m = makeModule(2, {0}, {8});
    m.patterns[0].at(0, 0) = note(4, 0);
    m.patterns[0].at(4, 1) = note(4, 7);
    uint64_t hashes[2];
    for (int run = 0; run < 2; ++run) {
        if (run == 1) {
            MIDASstopBackgroundPlay();
            MIDASstopModule(play);
            MIDASfreeModule(module);
        }
        AudioLog log;
        vclock::setAudioSink(logAudio, &log);
        start(m);
        for (int p = 0; p < 60; ++p) {
            vclock::poll();
            ASSERT_EQ(log.total, vclock::sampleAt(p)) << "poll " << p;
            if (p > 0) {
                ASSERT_EQ(vclock::sampleAt(p) - vclock::sampleAt(p - 1), 735);
            }
        }
        EXPECT_GT(log.loud, 10000);  // the notes are heard
        hashes[run] = log.hash;
    }
    EXPECT_EQ(hashes[0], hashes[1]);
    EXPECT_TRUE(fired.empty());  // a module without syncs sends none
}

TEST_F(MidasTest, StoppingBackgroundPlayStopsTheMusic) {
    xm::Module m = makeModule(1, {0}, {64});
    for (int r = 0; r < 64; ++r) m.patterns[0].at(r, 0) = xm::syncCell(19);
    AudioLog log;
    vclock::setAudioSink(logAudio, &log);
    start(m);
    polls(10);
    size_t heard = fired.size();
    int64_t frames = log.total;
    ASSERT_TRUE(MIDASstopBackgroundPlay());
    polls(10);
    EXPECT_EQ(fired.size(), heard);
    EXPECT_EQ(log.total, frames);
    // Started again, it carries on where it stopped.
    ASSERT_TRUE(MIDASstartBackgroundPlay(50));
    polls(10);
    EXPECT_GT(fired.size(), heard);
    EXPECT_EQ(log.total, frames + vclock::sampleAt(29) - vclock::sampleAt(20));
}

TEST_F(MidasTest, FilesThatAreNotModulesAndNullHandlesFail) {
    EXPECT_EQ(MIDASloadModule(nullptr), nullptr);
    EXPECT_EQ(MIDASloadModule((path + ".missing").c_str()), nullptr);
    writeFile(std::vector<uint8_t>{'n', 'o', 't', ' ', 'a', ' ', 'm', 'o', 'd', 'u', 'l', 'e', '\n'});
    EXPECT_EQ(MIDASloadModule(path.c_str()), nullptr);
    std::vector<uint8_t> cut = encode(makeModule(1, {0}, {4}));
    cut.resize(40);
    writeFile(cut);
    EXPECT_EQ(MIDASloadModule(path.c_str()), nullptr);

    EXPECT_EQ(MIDASplayModule(nullptr, 0), nullptr);
    EXPECT_FALSE(MIDASsetMusicSyncCallback(nullptr, recordSync));
    EXPECT_FALSE(MIDASsetPosition(nullptr, 0));
    EXPECT_FALSE(MIDASstopModule(nullptr));
    EXPECT_FALSE(MIDASfreeModule(nullptr));
}

TEST_F(MidasTest, ShutdownCallsAreSafeTwiceAndOutOfOrder) {
    xm::Module m = makeModule(1, {0}, {4});
    start(m);
    EXPECT_EQ(MIDASplayModule(module, 0), nullptr);  // one playback at a time
    polls(3);
    // Freeing the module while it plays stops the playback with it.
    EXPECT_TRUE(MIDASfreeModule(module));
    EXPECT_FALSE(MIDASfreeModule(module));
    polls(3);
    EXPECT_FALSE(MIDASstopModule(play));
    EXPECT_TRUE(MIDASstopBackgroundPlay());
    EXPECT_TRUE(MIDASstopBackgroundPlay());
    EXPECT_TRUE(MIDASclose());
    EXPECT_TRUE(MIDASclose());
    EXPECT_FALSE(MIDASstartBackgroundPlay(50));  // closed
    EXPECT_EQ(midas::output(), midas::Output::None);
    ASSERT_TRUE(MIDASinit());
    EXPECT_EQ(midas::output(), midas::Output::Virtual);
}

TEST_F(MidasTest, FixedPoolsRefuseOrCountWhatDoesNotFit) {
    xm::Module m = makeModule(32, {0}, {4});
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 32; ++c) m.patterns[0].at(r, c) = xm::syncCell(static_cast<uint8_t>(c));
    m.tempo = 1;
    writeFile(encode(m));
    MIDASmodule extra[midas::kMaxModules];
    for (MIDASmodule& e : extra) {
        e = MIDASloadModule(path.c_str());
        ASSERT_NE(e, nullptr);
    }
    EXPECT_EQ(MIDASloadModule(path.c_str()), nullptr);  // the pool is full
    for (int i = 1; i < midas::kMaxModules; ++i) EXPECT_TRUE(MIDASfreeModule(extra[i]));
    module = extra[0];
    play = MIDASplayModule(module, 0);
    ASSERT_NE(play, nullptr);
    ASSERT_TRUE(MIDASsetMusicSyncCallback(play, recordSync));

    // Rendered far ahead of what is heard, 32 syncs a row fill the queue:
    // the rest are counted and dropped, the first drop is reported once,
    // and what was queued fires in order.
    int16_t chunk[midas::kChunkFrames * 2];
    std::lock_guard<std::mutex> lock(midas::stateMutex());
    MidasPlayback* pb = midas::activePlayback();
    ASSERT_EQ(pb, play);
    int rows = midas::kMaxPendingSyncs / 32 + 2;  // rows of one 882-frame tick
    testing::internal::CaptureStderr();
    while (pb->rendered < static_cast<int64_t>(rows) * 882) midas::renderChunk(*pb, chunk, midas::kChunkFrames);
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(report, "module player: sync queue overflow at order 0 row 0, " +
                          std::to_string(midas::kMaxPendingSyncs) +
                          " syncs waiting to be heard; later ones are dropped\n");
    EXPECT_EQ(pb->pendingCount, midas::kMaxPendingSyncs);
    EXPECT_EQ(pb->droppedSyncs, static_cast<int64_t>(rows * 32 - midas::kMaxPendingSyncs));
    midas::fireDue(*pb, pb->rendered);
    ASSERT_EQ(fired.size(), static_cast<size_t>(midas::kMaxPendingSyncs));
    for (size_t i = 0; i < fired.size(); ++i) ASSERT_EQ(fired[i].value, i % 32);
    EXPECT_EQ(pb->pendingCount, 0);
}

// A sync on every channel of every row, at speed 1 and the fastest tempo
// (432 frames a row): a poll that spans thousands of rows delivers every
// one of them, in playback order, exactly as polls of one video frame do.
TEST_F(MidasTest, EverySyncOfALongPollIsDelivered) {
    xm::Module m = makeModule(32, {0, 1, 0}, {64, 40});
    m.tempo = 1;
    m.bpm = 255;
    for (int p = 0; p < 2; ++p)
        for (int r = 0; r < m.patterns[p].rows; ++r)
            for (int c = 0; c < 32; ++c) m.patterns[p].at(r, c) = xm::syncCell(static_cast<uint8_t>(c == 5 ? 19 : 100 + c));
    const int64_t kSeconds = 20;  // 2041 rows: 65000 syncs, 16 times the queue
    auto run = [&](double fps) {
        fired.clear();
        start(m, fps);
        testing::internal::CaptureStderr();
        int64_t n = 0;
        while (vclock::sampleAt(n) <= kSeconds * 44100) vclock::poll(), ++n;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        {
            std::lock_guard<std::mutex> lock(midas::stateMutex());
            EXPECT_EQ(play->droppedSyncs, 0);
        }
        MIDASstopBackgroundPlay();
        MIDASstopModule(play);
        MIDASfreeModule(module);
        std::vector<Fired> got;
        got.swap(fired);
        return got;
    };
    const std::vector<Fired> longPolls = run(1.0 / kSeconds);  // one poll at 0 s, one at 20 s
    const std::vector<Fired> videoPolls = run(60.0);

    // Whole rows in channel order, each row the song's next one (orders
    // 0, 1, 0, then round again), up to the row that begins at 20 s.
    ASSERT_EQ(longPolls.size() % 32, 0u);
    const size_t rows = longPolls.size() / 32;
    EXPECT_EQ(rows, static_cast<size_t>(kSeconds * 44100 / 432 + 1));
    unsigned order = 0, row = 0;
    int beats = 0;
    for (size_t i = 0; i < longPolls.size(); ++i) {
        const Fired& f = longPolls[i];
        const unsigned channel = static_cast<unsigned>(i % 32);
        ASSERT_EQ(f.value, channel == 5 ? 19u : 100 + channel) << "sync " << i;
        ASSERT_EQ(f.order, order) << "sync " << i;
        ASSERT_EQ(f.row, row) << "sync " << i;
        beats += f.value == 19;
        if (channel == 31 && ++row == static_cast<unsigned>(m.patterns[m.orders[order]].rows)) {
            row = 0;
            order = (order + 1) % 3;
        }
    }
    EXPECT_EQ(static_cast<size_t>(beats), rows);
    ASSERT_EQ(videoPolls.size(), longPolls.size());
    for (size_t i = 0; i < videoPolls.size(); ++i) {
        ASSERT_EQ(videoPolls[i].value, longPolls[i].value) << i;
        ASSERT_EQ(videoPolls[i].order, longPolls[i].order) << i;
        ASSERT_EQ(videoPolls[i].row, longPolls[i].row) << i;
    }
    module = nullptr;
    play = nullptr;
}

// The scan of the file's own pattern data, on damaged files.
TEST(XmSyncScan, FindsSyncsAndDelaysAndSurvivesCutFiles) {
    xm::Module m = makeModule(2, {0, 1}, {4, 3});
    m.patterns[0].at(1, 0) = xm::syncCell(19);
    m.patterns[0].at(1, 1) = xm::syncCell(4);
    m.patterns[0].at(2, 0) = effect(xm::kExtended, 0xE3);
    m.patterns[0].at(2, 1) = effect(xm::kExtended, 0xE1);  // the last one counts
    m.patterns[0].at(3, 0) = effect(xm::kExtended, 0xEF);  // the longest delay
    m.patterns[1].at(2, 1) = xm::syncCell(0);
    std::vector<uint8_t> bytes = encode(m);
    auto rows = [](int pattern, void*) { return pattern == 0 ? 4 : 3; };
    midas::SyncTable t;
    std::string error;
    ASSERT_TRUE(midas::scanXmSyncs(bytes.data(), bytes.size(), rows, nullptr, t, &error)) << error;
    ASSERT_EQ(t.patterns(), 2);
    EXPECT_EQ(t.values, (std::vector<uint8_t>{19, 4, 0}));
    EXPECT_EQ(t.rowDelay, (std::vector<uint8_t>{0, 0, 1, 15, 0, 0, 0}));
    EXPECT_EQ(t.firstSync, (std::vector<uint32_t>{0, 0, 2, 2, 2, 2, 2, 3}));
    EXPECT_EQ(t.rowIndex(1, 2), 6);
    EXPECT_EQ(t.rowIndex(1, 3), -1);
    EXPECT_EQ(t.rowIndex(2, 0), -1);

    // Cut anywhere, the scan stays inside the bytes and keeps the rows the
    // player has; syncs past the cut are lost.
    for (size_t size = 0; size < bytes.size(); ++size) {
        midas::SyncTable cut;
        if (!midas::scanXmSyncs(bytes.data(), size, rows, nullptr, cut, nullptr)) {
            EXPECT_EQ(cut.patterns(), 0);
            continue;
        }
        EXPECT_EQ(cut.patterns(), 2);
        EXPECT_LE(cut.values.size(), 3u);
        EXPECT_EQ(cut.firstSync.size(), cut.rowDelay.size() + 1);
    }
    // A pattern header with a huge length does not send the scan off.
    std::vector<uint8_t> bad = bytes;
    size_t firstPattern = 60 + (bad[60] | bad[61] << 8);
    bad[firstPattern + 3] = 0x7F;
    ASSERT_TRUE(midas::scanXmSyncs(bad.data(), bad.size(), rows, nullptr, t, nullptr));
    EXPECT_TRUE(t.values.empty());
}

// Headers the scanner refuses, and the counts it clamps.
TEST(XmSyncScan, RefusesOtherHeadersAndClampsRowCounts) {
    xm::Module m = makeModule(2, {0}, {4});
    m.patterns[0].at(3, 1) = xm::syncCell(19);
    m.patterns[0].at(1, 0) = effect(xm::kExtended, 0xC2);  // an Exx that is no pattern delay
    const std::vector<uint8_t> bytes = encode(m);
    auto expectRefused = [](std::vector<uint8_t> b, const char* why) {
        midas::SyncTable t;
        std::string error;
        EXPECT_FALSE(midas::scanXmSyncs(b.data(), b.size(), nullptr, nullptr, t, &error)) << why;
        EXPECT_EQ(error, why);
        EXPECT_EQ(t.patterns(), 0);
    };
    std::vector<uint8_t> b = bytes;
    b[0] = 'x';
    expectRefused(b, "not an XM file");
    b = bytes;
    b[58] = 0x03;  // version 1.03
    expectRefused(b, "XM version older than 1.04");
    for (int field : {68, 70}) {  // channels 0 or 65; patterns 257
        b = bytes;
        b[field] = field == 68 ? 65 : 1;
        b[field + 1] = field == 68 ? 0 : 1;
        expectRefused(b, "XM header counts out of range");
    }
    b = bytes;
    b[68] = 0;
    expectRefused(b, "XM header counts out of range");
    // The largest counts are taken: 64 channels, 256 patterns (the
    // patterns past the file's end have no rows), version 1.04 itself.
    {
        midas::SyncTable t;
        std::string error;
        b = bytes;
        b[68] = 64;
        EXPECT_TRUE(midas::scanXmSyncs(b.data(), b.size(), nullptr, nullptr, t, &error)) << error;
        b = bytes;
        b[70] = 0, b[71] = 1;
        ASSERT_TRUE(midas::scanXmSyncs(b.data(), b.size(), nullptr, nullptr, t, &error)) << error;
        EXPECT_EQ(t.patterns(), 256);
        EXPECT_EQ(bytes[58], 0x04);
        EXPECT_EQ(bytes[59], 0x01);
    }

    midas::SyncTable t;
    // No row counts: every pattern has no rows, so no syncs.
    ASSERT_TRUE(midas::scanXmSyncs(bytes.data(), bytes.size(), nullptr, nullptr, t, nullptr));
    EXPECT_EQ(t.patterns(), 1);
    EXPECT_TRUE(t.values.empty());
    // More rows than the file holds: the extra rows are empty; a count
    // above 1024 is cut to 1024.
    auto many = [](int, void*) { return 5000; };
    ASSERT_TRUE(midas::scanXmSyncs(bytes.data(), bytes.size(), many, nullptr, t, nullptr));
    EXPECT_EQ(t.rowDelay.size(), 1024u);
    EXPECT_EQ(t.values, (std::vector<uint8_t>{19}));
    EXPECT_EQ(t.rowDelay[1], 0);
    // A pattern header shorter than its own fields stops the scan there.
    b = bytes;
    const size_t pattern = 60 + (b[60] | b[61] << 8);
    b[pattern] = 4;
    auto four = [](int, void*) { return 4; };
    ASSERT_TRUE(midas::scanXmSyncs(b.data(), b.size(), four, nullptr, t, nullptr));
    EXPECT_EQ(t.patterns(), 1);
    EXPECT_TRUE(t.values.empty());
}

}  // namespace
