// One raytraced frame (renderRayGrid + blitRayGrid) of each generated scene
// at a few points of its part's paths, beside a full-frame half blend as
// the floor. Reports frames per second and rays per second (primary,
// shadow and reflected; counted once per path point by a plain walk of the
// grid, outside the timed loop). The scenes are read from the generated
// data folder; the benchmarks skip when it is missing.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "raytracer/ray_paths.h"
#include "raytracer/ray_render.h"
#include "raytracer/ray_scene.h"
#include "raytracer/ray_trace.h"
#include "raytracer/ray_objects.h"

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

// Rays one frame casts: every sample's primary ray, a shadow ray per hit
// when shadows are on, and a reflected ray (traced like a primary one) per
// hit on a mirror while depth remains.
struct RayCounts {
    int64_t traced = 0;  // primary and reflected
    int64_t shadow = 0;
    int64_t reflected = 0;
};

void countRay(const RayScene& scene, const RayVec3& origin, const RayVec3& direction, int32_t depth, RayCounts& c) {
    ++c.traced;
    float nearest;
    const int32_t hit = nearestObject(scene, origin, direction, nearest);
    if (hit < 0) return;
    if (scene.flags & kRayShadows) ++c.shadow;
    if (!(scene.flags & kRayReflections) || depth <= 0 || objectReflectivity(scene.objects[hit]) == 0.0f) return;
    ++c.reflected;
    const RayVec3 point = origin + nearest * direction;
    const RayVec3 normal = objectNormal(scene.objects[hit], point);
    const RayVec3 reflected = direction - 2.0f * rayDot(normal, direction) * normal;
    countRay(scene, point + reflected, reflected, depth - 1, c);
}

RayCounts countFrame(const RayScene& scene, const RayViewport& viewport) {
    RayCounts c;
    const RayCamera cam = rayCamera(scene, viewport);
    const RayVec3 eye = {scene.eye[0], scene.eye[1], scene.eye[2]};
    for (int32_t i = 0; i < kRayGridRows; ++i)
        for (int32_t j = 0; j < kRayGridColumns; ++j) {
            const RayVec3 rowPoint = eye + (static_cast<float>(i) - cam.halfHeight) * cam.down;
            RayVec3 d = rowPoint + (static_cast<float>(j) - cam.halfWidth) * cam.right - cam.centre;
            rayNormalize(d);
            countRay(scene, cam.centre, d, 1, c);
        }
    return c;
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
    const RayCounts c = countFrame(s.scene, s.viewport);
    uint32_t* band = frame().data() + kRayBandTop * 320;
    for (auto _ : state) {
        renderRayGrid(s.scene, s.viewport);
        blitRayGrid(band);
        benchmark::ClobberMemory();
    }
    const double frames = static_cast<double>(state.iterations());
    const double rays = static_cast<double>(c.traced + c.shadow);
    state.counters["fps"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["rays/s"] = benchmark::Counter(rays * frames, benchmark::Counter::kIsRate);
    state.counters["rays/frame"] = rays;
    state.counters["shadow/frame"] = static_cast<double>(c.shadow);
    state.counters["reflected/frame"] = static_cast<double>(c.reflected);
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
