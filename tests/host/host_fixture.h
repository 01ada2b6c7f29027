// A console on the virtual clock for host tests: opened once per process,
// with the clock reset and the configuration back to its defaults for each
// test. Beats and syncs are scripted per poll through the frame sink.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "host/host.h"
#include "platform/virtual_clock.h"

class HostTest : public ::testing::Test {
protected:
    static uint32_t surfacePixels[kFramePixels];

    void SetUp() override {
        ResetConfig();
        vclock::configure(60.0, -1.0);
        vclock::setFrameSink(&HostTest::sink, this);
        if (!TheConsole.isOpen()) TheConsole.open("test", 320, 200, ptc::Format(32, 0xFF0000, 0xFF00, 0xFF), 0);
        FrameBuffer = surfacePixels;
        presents = 0;
        PresentFrame = &HostTest::countPresent;
    }
    void TearDown() override { vclock::setFrameSink(nullptr, nullptr); }

    // At the poll with this index (from 0), add to the counters.
    void beatAtPoll(int64_t poll) { beats[poll]++; }
    void syncAtPoll(int64_t poll) { syncs[poll]++; }
    void keyAtSeconds(double t) { vclock::configure(60.0, t); }

    static int presents;
    static void countPresent() { presents++; }

private:
    // The sink runs at the start of every poll after the first; scripted
    // counters for poll p are applied there, so poll p sees them.
    static void sink(const vclock::Frame& frame, void* user) {
        auto* self = static_cast<HostTest*>(user);
        int64_t poll = frame.index + 1;
        for (int i = 0; i < self->beats[poll]; ++i) BeatCounter++;
        for (int i = 0; i < self->syncs[poll]; ++i) SyncCounter++;
    }
    std::map<int64_t, int> beats, syncs;
};
