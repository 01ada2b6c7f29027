// The module player's renderer: one second of the demo's music in
// tick-aligned chunks of at most 64 frames, with the sync stamping, beside
// the floor of the same second read from libopenmpt in 1024-frame reads.
// Uses PLIVAK_DATA_DIR/demo.xm when it is there, else a 12-channel module
// written here. The time per iteration is the time per second of music.
#include <benchmark/benchmark.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/midas.h"
#include "platform/midas_internal.h"
#include "xm/xm_writer.h"

namespace {

std::string modulePath() {
    std::string demo = PLIVAK_DATA_DIR "/demo.xm";
    if (std::FILE* f = std::fopen(demo.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        long size = std::ftell(f);
        std::fclose(f);
        if (size > 0) return demo;
    }
    xm::Module m;
    m.channels = 12;
    m.orders = {0};
    m.patterns.push_back(xm::Pattern(64, m.channels));
    for (int c = 0; c < m.channels; ++c)
        for (int r = c % 4; r < 64; r += 4)
            m.patterns[0].at(r, c) = xm::Cell{xm::noteNumber(3 + c % 4, (r + c * 5) % 12), 1, xm::setVolume(40), 0, 0};
    for (int r = 0; r < 64; r += 8) {
        m.patterns[0].at(r, 0).effect = xm::kSync;
        m.patterns[0].at(r, 0).param = 19;
    }
    xm::Instrument ins;
    xm::Sample s;
    for (int i = 0; i < 256; ++i) s.data.push_back(static_cast<int16_t>(i < 128 ? 8000 : -8000));
    s.loopType = xm::LoopType::Forward;
    s.loopLength = 256;
    ins.samples.push_back(s);
    m.instruments.push_back(ins);
    std::string path = "/tmp/plivak_render_bench.xm";
    xm::saveXm(m, path);
    return path;
}

std::vector<uint8_t> readAll(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
    }
    return bytes;
}

void BM_PlayerRenderOneSecond(benchmark::State& state) {
    MIDASstartup();
    MIDASinit();
    MIDASmodule module = MIDASloadModule(modulePath().c_str());
    MIDASmodulePlayHandle play = MIDASplayModule(module, 0);
    if (!play) {
        state.SkipWithError("no module");
        return;
    }
    static int16_t chunk[midas::kChunkFrames * 2];
    for (auto _ : state) {
        std::lock_guard<std::mutex> lock(midas::stateMutex());
        MidasPlayback& pb = *midas::activePlayback();
        int64_t end = pb.rendered + midas::kSampleRate;
        while (pb.rendered < end) midas::renderChunk(pb, chunk, static_cast<int>(end - pb.rendered));
        midas::fireDue(pb, pb.rendered);
        benchmark::DoNotOptimize(chunk);
    }
    MIDASstopModule(play);
    MIDASfreeModule(module);
    MIDASclose();
}
BENCHMARK(BM_PlayerRenderOneSecond)->Unit(benchmark::kMillisecond);

void BM_LibopenmptFloorOneSecond(benchmark::State& state) {
    std::vector<uint8_t> bytes = readAll(modulePath());
    openmpt_module* mod = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent,
                                                             nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!mod) {
        state.SkipWithError("no module");
        return;
    }
    openmpt_module_set_repeat_count(mod, -1);
    openmpt_module_ctl_set_integer(mod, "dither", 0);
    static int16_t buffer[1024 * 2];
    for (auto _ : state) {
        for (int done = 0; done < midas::kSampleRate; done += 1024) {
            int n = std::min(1024, midas::kSampleRate - done);
            openmpt_module_read_interleaved_stereo(mod, midas::kSampleRate, static_cast<size_t>(n), buffer);
        }
        benchmark::DoNotOptimize(buffer);
    }
    openmpt_module_destroy(mod);
}
BENCHMARK(BM_LibopenmptFloorOneSecond)->Unit(benchmark::kMillisecond);

}  // namespace
