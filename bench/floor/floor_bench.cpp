// The machine's floors, measured right before the timed capture so that the
// runner can put every figure beside them: a plain copy of one 320x200
// frame, one half-blend pass of two frames (the program's standard blend),
// and for start-up: zlib reading every file the start-up reads, whole,
// into fresh memory (and, for comparison, into one warm buffer), plus the
// six lookup maps built by the plainest loop over the map formulas. Times
// are per call.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gfx2d/colour.h"
#include "gfx2d/float_int.h"

#include "common/frame_floors.h"

namespace {

using floors::kPixels;
using floors::picture;

struct Frames {
    std::vector<uint32_t> dst = picture(kPixels, 1);
    std::vector<uint32_t> src = picture(kPixels, 2);
};

Frames& frames() {
    static Frames f;
    return f;
}

void Floor_FrameCopy(benchmark::State& state) { floors::frameCopy(state, frames().dst.data(), frames().src.data()); }
BENCHMARK(Floor_FrameCopy)->Unit(benchmark::kMicrosecond);

void Floor_FrameHalfBlend(benchmark::State& state) { floors::frameHalfBlend(state, frames().dst.data(), frames().src.data()); }
BENCHMARK(Floor_FrameHalfBlend)->Unit(benchmark::kMicrosecond);

// Every data file of the start-up: all regular files of the data folder.
std::vector<std::string> dataFiles() {
    std::vector<std::string> files;
    if (DIR* dir = opendir(PLIVAK_DATA_DIR)) {
        while (dirent* e = readdir(dir))
            if (e->d_name[0] != '.') files.push_back(std::string(PLIVAK_DATA_DIR "/") + e->d_name);
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// gzread of each file whole into fresh memory of its own (inflate for the
// compressed pictures, a plain read for the rest), as the start-up must
// also fill pages it has never touched; all of it is freed before the next
// round.
void Floor_InflateData(benchmark::State& state) {
    const std::vector<std::string> files = dataFiles();
    if (files.empty()) {
        state.SkipWithError("no data files in " PLIVAK_DATA_DIR);
        return;
    }
    std::vector<size_t> sizes(files.size(), 0);
    int64_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        std::vector<std::unique_ptr<uint8_t[]>> loaded(files.size());
        for (size_t k = 0; k < files.size(); ++k) {
            gzFile gz = gzopen(files[k].c_str(), "rb");
            if (!gz) continue;
            gzbuffer(gz, 64 * 1024);
            // The first round learns each size; later rounds read in one go.
            size_t room = sizes[k] ? sizes[k] + 1 : (1 << 20);
            loaded[k].reset(new uint8_t[room]);
            size_t got = 0;
            int n;
            while (got < room && (n = gzread(gz, loaded[k].get() + got, static_cast<unsigned>(room - got))) > 0)
                got += static_cast<size_t>(n);
            gzclose(gz);
            sizes[k] = got;
            bytes += static_cast<int64_t>(got);
        }
        benchmark::DoNotOptimize(loaded.data());
    }
    state.counters["files"] = static_cast<double>(files.size());
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(Floor_InflateData)->Unit(benchmark::kMillisecond)->MinTime(0.5);

// The same reads into one buffer that stays in cache: inflate alone.
void Floor_InflateDataWarm(benchmark::State& state) {
    const std::vector<std::string> files = dataFiles();
    if (files.empty()) {
        state.SkipWithError("no data files in " PLIVAK_DATA_DIR);
        return;
    }
    std::vector<uint8_t> buffer(1 << 20);
    for (auto _ : state) {
        for (const std::string& name : files) {
            gzFile gz = gzopen(name.c_str(), "rb");
            if (!gz) continue;
            gzbuffer(gz, 64 * 1024);
            while (gzread(gz, buffer.data(), static_cast<unsigned>(buffer.size())) > 0) {
            }
            gzclose(gz);
        }
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(Floor_InflateDataWarm)->Unit(benchmark::kMillisecond)->MinTime(0.5);

// The six tables (three 320x200, three 640x400) of entries
// ((v & 255) << 8) | (u & 255), each formula written out in one loop.
constexpr float k256OverPi = 81.48733086305042f;

template <typename Formula>
void buildPlain(uint16_t* e, int width, int height, float epsilon, Formula formula) {
    for (int y = -height / 2; y < height / 2; ++y) {
        const float fy = y == 0 ? epsilon : static_cast<float>(y);
        for (int x = -width / 2; x < width / 2; ++x) {
            const float fx = x == 0 ? epsilon : static_cast<float>(x);
            int32_t u, v;
            formula(fx, fy, u, v);
            *e++ = static_cast<uint16_t>(((v & 255) << 8) | (u & 255));
        }
    }
}

void Floor_MapBuilds(benchmark::State& state) {
    std::vector<uint16_t> small(320 * 200), big(640 * 400);
    auto tunnel = [](float x, float y, int32_t& u, int32_t& v) {
        const float a = std::atan(y / x);
        u = truncToInt(std::fabs(std::cos(a) * 4096.0f / x));
        v = truncToInt(a * k256OverPi);
    };
    const float polarK = 1.0f / 128.0f;
    auto polar = [polarK](float x, float y, int32_t& u, int32_t& v) {
        u = truncToInt((x * x + y * y) * polarK);
        v = truncToInt(std::atan(y / x) * k256OverPi);
    };
    auto inversion = [](float x, float y, int32_t& u, int32_t& v) {
        const float r2 = x * x + y * y;
        u = truncToInt(x * 2048.0f / r2);
        v = truncToInt(-y * 2048.0f / r2);
    };
    for (auto _ : state) {
        buildPlain(small.data(), 320, 200, 0.001f, tunnel);
        buildPlain(small.data(), 320, 200, 0.001f, polar);
        buildPlain(small.data(), 320, 200, 0.001f, inversion);
        buildPlain(big.data(), 640, 400, 0.00001f, tunnel);
        buildPlain(big.data(), 640, 400, 0.00001f, polar);
        buildPlain(big.data(), 640, 400, 0.00001f, inversion);
        benchmark::DoNotOptimize(small.data());
        benchmark::DoNotOptimize(big.data());
    }
}
BENCHMARK(Floor_MapBuilds)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace
