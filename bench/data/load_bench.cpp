// The start-up load on the generated data folder, beside the same files
// read by plain fread and by zlib's gzread alone: gzread minus fread is
// the inflate cost, loader minus gzread the conversion and parsing.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "data/image_bank.h"
#include "data/image_loader.h"
#include "data/pcx.h"
#include "data/shape.h"
#include "host/startup.h"
#include "raytracer/ray_scene.h"

namespace {

// The 74 image and pattern files, in load order.
std::vector<std::string> bankFiles() {
    std::vector<std::string> files;
    for (const img::ImageSize* f : img::kBankFiles) files.push_back(std::string("../data/") + f->file);
    return files;
}

// Works from the data folder itself, so "../data/" names it, as the scene
// files' texture names expect.
bool enterDataFolder(benchmark::State& state) {
    std::error_code ec;
    std::filesystem::current_path(PLIVAK_DATA_DIR, ec);
    if (ec || !std::filesystem::exists("../data/openptc.rgb")) {
        state.SkipWithError("no generated data folder (build target plivak_data_files)");
        return false;
    }
    return true;
}

void BM_FreadBankFiles(benchmark::State& state) {
    if (!enterDataFolder(state)) return;
    std::vector<std::string> files = bankFiles();
    std::vector<uint8_t> chunk(1024);
    int64_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& name : files) {
            std::FILE* f = std::fopen(name.c_str(), "rb");
            if (!f) continue;
            size_t n;
            while ((n = std::fread(chunk.data(), 1, chunk.size(), f)) > 0) bytes += static_cast<int64_t>(n);
            std::fclose(f);
        }
        benchmark::DoNotOptimize(chunk.data());
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_FreadBankFiles)->Unit(benchmark::kMillisecond);

void BM_GzreadBankFiles(benchmark::State& state) {
    if (!enterDataFolder(state)) return;
    std::vector<std::string> files = bankFiles();
    std::vector<uint8_t> chunk(1024);
    int64_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& name : files) {
            gzFile gz = gzopen(name.c_str(), "rb");
            if (!gz) continue;
            int n;
            while ((n = gzread(gz, chunk.data(), 1024)) > 0) bytes += n;
            gzclose(gz);
        }
        benchmark::DoNotOptimize(chunk.data());
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_GzreadBankFiles)->Unit(benchmark::kMillisecond);

void BM_ImageBankOnly(benchmark::State& state) {
    if (!enterDataFolder(state)) return;
    for (auto _ : state) {
        ImageLoader loader;
        for (const img::ImageFile& f : img::kImageFiles)
            loader.loadImage((std::string("../data/") + f.file).c_str(), f.width, f.height, f.pixels);
        loader.loadPattern("../data/pattern1.gra", 64000, img::pattern1);
        loader.loadPattern("../data/pattern2.gra", 64000, img::pattern2);
        benchmark::DoNotOptimize(img::pattern2);
    }
}
BENCHMARK(BM_ImageBankOnly)->Unit(benchmark::kMillisecond);

// Silences standard error for the life of the object.
class QuietStderr {
public:
    QuietStderr() : saved_(dup(2)), null_(open("/dev/null", O_WRONLY)) { dup2(null_, 2); }
    ~QuietStderr() {
        dup2(saved_, 2);
        close(null_);
        close(saved_);
    }

private:
    int saved_;
    int null_;
};

// Both scene files with their textures (each textured object loads its own).
void BM_RayScenesOnly(benchmark::State& state) {
    if (!enterDataFolder(state)) return;
    QuietStderr quiet;
    for (auto _ : state) {
        RayViewport viewport;
        RayScene final, atom;
        loadRayScene("../data/final.scn", viewport, final);
        loadRayScene("../data/atom.scn", viewport, atom);
        benchmark::DoNotOptimize(atom.objects);
    }
}
BENCHMARK(BM_RayScenesOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

// Everything LoadImageBank loads; the scene reader's lines go to /dev/null.
void BM_WholeStartupLoad(benchmark::State& state) {
    if (!enterDataFolder(state)) return;
    bool ok = true;
    QuietStderr quiet;
    for (auto _ : state) {
        StartupData data;
        LoadFailure failure;
        ok = ok && loadStartupData("../data/", false, data, failure);
        delete data.coolText;
        delete data.morph;
    }
    if (!ok) state.SkipWithError("the load failed");
}
// Few iterations: the ray scenes keep what they load (textures included).
BENCHMARK(BM_WholeStartupLoad)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
