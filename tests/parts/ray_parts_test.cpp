// The two raytraced parts on the virtual clock: they present frames until
// an injected beat, keep rayflare's bands on rows 0..29 and 170..199, move
// their bodies along the paths from the demo clock, and leave at once on a
// key.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "data/image_bank.h"
#include "parts/parts.h"
#include "platform/virtual_clock.h"
#include "raytracer/ray_scene.h"
#include "stage/stage.h"

namespace {

class RayPartRun : public ::testing::Test {
protected:
    static inline RayPartRun* self = nullptr;

    std::vector<uint32_t> screen = std::vector<uint32_t>(320 * 200, 0x00FFFFFFu);
    int presents = 0;
    int beatAfter = 1;        // present after which the beat comes
    int bandMismatches = 0;   // band pixels unlike rayflare's, over all presents
    int middleUnchanged = 0;  // presents whose middle rows were still all white

    std::vector<uint32_t> savedFlare;
    RayScene savedAtom, savedFinal;
    RayViewport savedViewport;
    std::vector<RaySphere> spheres;
    std::vector<RayObject> table;
    RayPlane floor = {0, -1, 0, -200, 0.3f, 0.4f, 0.6f, 0.2f};

    void SetUp() override {
        savedFlare.assign(img::rayflare.pixels, img::rayflare.pixels + kFramePixels);
        savedAtom = AtomRayScene;
        savedFinal = FinalRayScene;
        savedViewport = SharedRayViewport;
        for (int i = 0; i < 320 * 200; ++i) img::rayflare[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFFu;
        SharedRayViewport = {81, 36, 0, 55.0f};
        // Entry 0 the floor, 1..5 spheres at recognisable places.
        spheres.assign(5, RaySphere{0, 0, 0, 20, 1, 0.4f, 0.2f, 0.3f});
        for (int i = 0; i < 5; ++i) spheres[i].z = spheres[i].y = static_cast<float>(7 * (i + 1));
        table.clear();
        table.push_back({kRayPlane, &floor});
        for (RaySphere& s : spheres) table.push_back({kRaySphere, &s});
        for (RayScene* s : {&AtomRayScene, &FinalRayScene}) {
            *s = RayScene{};
            s->objects = table.data();
            s->objectCount = static_cast<int32_t>(table.size());
            s->target[0] = s->target[1] = s->target[2] = 0.0f;
        }
    }
    void TearDown() override {
        std::copy(savedFlare.begin(), savedFlare.end(), img::rayflare.pixels);
        AtomRayScene = savedAtom;
        FinalRayScene = savedFinal;
        SharedRayViewport = savedViewport;
    }

    static void present() {
        RayPartRun& r = *self;
        ++r.presents;
        for (int i = 0; i < 30 * 320; ++i) {
            r.bandMismatches += r.screen[i] != img::rayflare[i];
            r.bandMismatches += r.screen[170 * 320 + i] != img::rayflare[170 * 320 + i];
        }
        r.middleUnchanged +=
            std::all_of(r.screen.begin() + 30 * 320, r.screen.begin() + 170 * 320, [](uint32_t p) { return p == 0xFFFFFFu; });
        if (r.presents == r.beatAfter) BeatCounter.fetch_add(1);
    }

    // Runs the part with the demo clock held at `seconds`; keyAt < 0: no key.
    int run(DemoPart part, double seconds, double keyAt = -1.0) {
        self = this;
        // Without a key to wait for, one comes after 10 s of polls, so a
        // part that misses its beat fails instead of hanging.
        vclock::configure(60.0, keyAt >= 0.0 ? keyAt : 10.0);
        TheConsole.open("test", 320, 200, ptc::Format(32, 0xFF0000, 0xFF00, 0xFF), 0);
        FrameBuffer = screen.data();
        PresentFrame = &RayPartRun::present;
        BeatCounter = 0;
        LastBeat = 0;
        DemoTimer.stop();
        DemoTimer.set(seconds);
        const int result = part();
        TheConsole.close();
        self = nullptr;
        return result;
    }
};

}  // namespace

TEST_F(RayPartRun, AtomRunsToTheBeatUnderTheFrame) {
    beatAfter = 3;
    EXPECT_EQ(run(runAtomPart, 0.0), 0);
    EXPECT_EQ(presents, 3);
    EXPECT_EQ(bandMismatches, 0);
    EXPECT_EQ(middleUnchanged, 0);
    EXPECT_EQ(AtomRayScene.flags, 3);
    // T = 0: body 1 at angle 0 in its y plane, body 3 a quarter turn on in
    // its z plane; the fields the paths do not name keep their values.
    EXPECT_FLOAT_EQ(spheres[0].x, 120.0f);
    EXPECT_NEAR(spheres[0].z, 0.0f, 1e-3f);
    EXPECT_EQ(spheres[0].y, 7.0f);
    EXPECT_NEAR(spheres[2].x, 0.0f, 1e-3f);
    EXPECT_FLOAT_EQ(spheres[2].y, 120.0f);
    EXPECT_EQ(spheres[2].z, 21.0f);
    EXPECT_EQ(spheres[4].x, 0.0f);  // entry 5 is not animated
    EXPECT_EQ(spheres[4].radius, 20.0f);
}

TEST_F(RayPartRun, AtomFollowsTheDemoClock) {
    // 2.5 s: a quarter turn (one turn every 10 s, clockwise in x, z).
    EXPECT_EQ(run(runAtomPart, 2.5), 0);
    EXPECT_NEAR(spheres[0].x, 0.0f, 1e-3f);
    EXPECT_NEAR(spheres[0].z, -120.0f, 1e-3f);
    EXPECT_NEAR(spheres[1].z, 120.0f, 1e-3f);
}

TEST_F(RayPartRun, FirstFrameBeatAndKey) {
    // A beat during the first frame ends each part after that frame; a
    // pending key ends it before any.
    for (DemoPart part : {runAtomPart, runFinalScenePart}) {
        presents = 0;
        EXPECT_EQ(run(part, 40.0), 0);
        EXPECT_EQ(presents, 1);
        EXPECT_EQ(run(part, 0.0, 0.0), -1);
        EXPECT_EQ(presents, 1);
    }
}

TEST_F(RayPartRun, FinalSceneSwingsTwoBodiesOpposite) {
    beatAfter = 4;
    EXPECT_EQ(run(runFinalScenePart, 3.0), 0);
    EXPECT_EQ(presents, 4);
    EXPECT_EQ(bandMismatches, 0);
    EXPECT_EQ(middleUnchanged, 0);
    EXPECT_EQ(FinalRayScene.flags, 3);
    EXPECT_EQ(spheres[0].x, spheres[0].y);
    EXPECT_NEAR(std::hypot(spheres[0].x, spheres[0].z), 40.0f, 1e-3f);
    EXPECT_EQ(spheres[1].x, -spheres[0].x);
    EXPECT_EQ(spheres[1].z, -spheres[0].z);
    // 20 sin(2.5 pi T) + 30 at T = 0.3.
    EXPECT_NEAR(spheres[0].radius, 20.0f * std::sin(0.75f * 3.14159265f) + 30.0f, 1e-3f);
    EXPECT_EQ(spheres[1].radius, 20.0f);
}
