// One raytraced frame (renderRayGrid + blitRayGrid) of each generated scene
// at a few points of its part's paths, beside a full-frame half blend as
// the floor. Reports frames per second and rays per second (primary,
// shadow and reflected). The scenes are read from the generated data
// folder; the benchmarks skip when it is missing.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "raytracer/ray_paths.h"
#include "raytracer/ray_render.h"
#include "raytracer/ray_scene.h"
#include "raytracer/ray_trace.h"

namespace {

struct LoadedScene {
    bool ok = false;
    RayViewport viewport;
    RayScene scene;
};

// Texture names in the scenes are "../data/NAME": load from inside the
// data folder so they resolve to it.
LoadedScene load(const char* name) {
    LoadedScene s;
    if (chdir(PLIVAK_DATA_DIR) != 0) return s;
    const std::string path = std::string("../data/") + name;
    s.ok = loadRayScene(path.c_str(), s.viewport, s.scene) == 1 && s.scene.objectCount > 0;
    s.scene.flags = kRayReflections | kRayShadows;
    return s;
}

LoadedScene& atom() {
    static LoadedScene s = load("atom.scn");
    return s;
}
LoadedScene& finalScene() {
    static LoadedScene s = load("final.scn");
    return s;
}

std::vector<uint32_t>& frame() {
    static std::vector<uint32_t> f(320 * 200, 0x00336699u);
    return f;
}

void runFrames(benchmark::State& state, LoadedScene& s, void (*place)(RayScene&, float)) {
    if (!s.ok) {
        state.SkipWithError("no generated scene in " PLIVAK_DATA_DIR);
        return;
    }
    const float T = static_cast<float>(0.1 * static_cast<double>(state.range(0)));
    place(s.scene, T);
    resetRayCounts();
    uint32_t* band = frame().data() + kRayBandTop * 320;
    for (auto _ : state) {
        renderRayGrid(s.scene, s.viewport);
        blitRayGrid(band);
        benchmark::ClobberMemory();
    }
    const RayCounts c = rayCounts();
    const double rays = static_cast<double>(c.traced + c.shadow);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["rays/s"] = benchmark::Counter(rays, benchmark::Counter::kIsRate);
    state.counters["rays/frame"] = rays / static_cast<double>(state.iterations());
    state.counters["shadow/frame"] = static_cast<double>(c.shadow) / static_cast<double>(state.iterations());
    state.counters["reflected/frame"] = static_cast<double>(c.reflected) / static_cast<double>(state.iterations());
}

void BM_AtomFrame(benchmark::State& state) { runFrames(state, atom(), placeAtomScene); }
void BM_FinalSceneFrame(benchmark::State& state) { runFrames(state, finalScene(), placeFinalScene); }

// The floor: every pixel of the frame mixed half and half with another
// picture, the cheapest full-frame pass a part makes.
void BM_HalfBlendFloor(benchmark::State& state) {
    std::vector<uint32_t> src(320 * 200, 0x00C08040u);
    uint32_t* dst = frame().data();
    for (auto _ : state) {
        for (int i = 0; i < 320 * 200; ++i) dst[i] = ((dst[i] >> 1) & 0x7F7F7Fu) + ((src[i] >> 1) & 0x7F7F7Fu);
        benchmark::ClobberMemory();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

// Demo seconds along the paths (the paths repeat every 80 s).
BENCHMARK(BM_AtomFrame)->Arg(0)->Arg(7)->Arg(10)->Arg(23)->Arg(51)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FinalSceneFrame)->Arg(0)->Arg(5)->Arg(20)->Arg(44)->Arg(66)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HalfBlendFloor)->Unit(benchmark::kMicrosecond);
