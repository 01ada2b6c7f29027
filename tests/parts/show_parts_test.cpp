// The middle and end of the show on the virtual clock: the fixed stages keep
// their frame counts, waits hold, keys return -1 at once, and the wipes and
// reveals end on their full pictures.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "data/image_bank.h"
#include "data/pcx.h"
#include "data/shape.h"
#include "gfx2d/shade_table.h"
#include "opening_harness.h"
#include "parts/parts.h"
#include "stage/shared_effects.h"

namespace {

// The shared objects, made once for all tests here: those the program
// makes by the program's own BuildSharedEffects, and stand-ins for the two
// that LoadImageBank loads.
class SharedObjects : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(BuildSharedEffects([](const char*, const char*) {}));

        static uint8_t indices[256 * 256];
        static uint32_t palette[256];
        for (int i = 0; i < 256; ++i) palette[i] = i * 0x010101u;
        for (int i = 0; i < 256 * 256; ++i) indices[i] = static_cast<uint8_t>(i ^ (i >> 8));
        CoolText = new PcxPicture;
        CoolText->pixels = indices;
        CoolText->palette = palette;
        CoolText->shadeTable = new ShadeTable(palette, 0xFFFFFF, 0xFFFFFF);

        // Each test runs in its own process: a folder of its own for the shapes.
        char folder[] = "/tmp/plivak_parts_XXXXXX";
        ASSERT_TRUE(mkdtemp(folder));
        std::string names[7];
        const char* files[7];
        for (int i = 0; i < 7; ++i) {
            names[i] = std::string(folder) + "/shape" + std::to_string(i);
            std::FILE* f = std::fopen(names[i].c_str(), "w");
            std::fprintf(f, "%d vertices\n", 3 + i);
            for (int v = 0; v < 3 + i; ++v) std::fprintf(f, "%d %d\n", (v * 7) % 5 - 2, (v * 3) % 4 - 1);
            std::fclose(f);
            files[i] = names[i].c_str();
        }
        Morph = new ShapeMorph(7, files, 50, 30, 30, 160, 100);
        ASSERT_TRUE(Morph->ok);
        for (const std::string& name : names) std::remove(name.c_str());
        rmdir(folder);
    }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new SharedObjects);

using opening::Event;

class ShowPart : public opening::PartRun {
protected:
    // Distinct pictures so that a wipe that misses a pixel shows.
    static void pattern(uint32_t* image, int count, uint32_t seed) {
        for (int i = 0; i < count; ++i) image[i] = ((i + seed) * 2654435761u) & 0xFFFFFFu;
    }
};

bool sameAs(const std::vector<uint32_t>& screen, const uint32_t* picture) {
    return std::equal(screen.begin(), screen.end(), picture);
}

}  // namespace

TEST_F(ShowPart, StudioIsExactly200Frames) {
    EXPECT_EQ(run(runStudio), 0);
    EXPECT_EQ(presents, 200);
    EXPECT_EQ(longestHold, 1);
}

TEST_F(ShowPart, GadgetParadeIsExactly400Frames) {
    EXPECT_EQ(run(runGadgetParade), 0);
    EXPECT_EQ(presents, 400);
    clearScript();
    afterPresent(250, Event::Key);
    EXPECT_EQ(run(runGadgetParade), -1);
    EXPECT_EQ(presents, 250);
}

TEST_F(ShowPart, WaveLogoRevealsTheSquarePictureIn51Frames) {
    pattern(img::square, kFramePixels, 7);
    afterPresent(3, Event::Beat);
    inHolds({Event::Beat});
    EXPECT_EQ(run(runWaveLogo), 0);
    EXPECT_EQ(presents, 3 + 51);
    EXPECT_TRUE(sameAs(screen, img::square));
}

TEST_F(ShowPart, WanderingMapsWipeCoversThePictureIn200Frames) {
    pattern(img::optimal, kFramePixels, 3);
    keepFrame(2);  // the first frame of the wipe
    afterPresent(1, Event::Beat);
    inHolds({Event::Sync, Event::Beat});  // a sync does not end the last wait
    EXPECT_EQ(run(runWanderingMaps), 0);
    EXPECT_EQ(presents, 1 + 200);
    EXPECT_TRUE(sameAs(screen, img::optimal));
    // Step 0: one pixel on the left of row 0, columns 317..319 of row 199.
    const std::vector<uint32_t>& first = frame(2);
    EXPECT_EQ(first[0], img::optimal[0]);
    EXPECT_NE(first[1], img::optimal[1]);
    EXPECT_EQ(first[199 * 320 + 317], img::optimal[199 * 320 + 317]);
    EXPECT_NE(first[199 * 320 + 316], img::optimal[199 * 320 + 316]);
}

TEST_F(ShowPart, TextPlaneShuttersCloseOnPyr0In41Frames) {
    pattern(img::pyr[0], kFramePixels, 11);
    afterPresent(4, Event::Beat);
    inHolds({Event::Beat});
    EXPECT_EQ(run(runTextPlane), 0);
    EXPECT_EQ(presents, 4 + 41);
    EXPECT_TRUE(sameAs(screen, img::pyr[0]));
}

TEST_F(ShowPart, BlobLayersCheckerboardCoversKickassIn50Frames) {
    pattern(img::kickass, kFramePixels, 5);
    keepFrame(3 + 9);   // i = 9: group 1 only
    keepFrame(3 + 10);  // i = 10: groups 1 and 2
    afterPresent(2, Event::Beat);
    inHolds({Event::Beat});
    EXPECT_EQ(run(runBlobLayers), 0);
    EXPECT_EQ(presents, 2 + 50);
    EXPECT_TRUE(sameAs(screen, img::kickass));
    auto shows = [](const std::vector<uint32_t>& f, int x, int y) {
        return f[(y + 25) * 320 + x + 40] == img::kickass[(y + 25) * 320 + x + 40];
    };
    EXPECT_TRUE(shows(frame(12), 0, 50));
    EXPECT_FALSE(shows(frame(12), 80, 0));
    EXPECT_TRUE(shows(frame(13), 80, 0));
    EXPECT_FALSE(shows(frame(13), 80, 50));
}

TEST_F(ShowPart, GreetingsRunsTwoBeatStages) {
    afterPresent(5, Event::Beat);
    afterPresent(9, Event::Beat);
    EXPECT_EQ(run(runGreetings), 0);
    EXPECT_EQ(presents, 9);
}

TEST_F(ShowPart, SpinningCurveEndsOnTheBeatAfterOneFrame) {
    afterPresent(1, Event::Beat);
    EXPECT_EQ(run(runSpinningCurve), 0);
    EXPECT_EQ(presents, 1);
}

TEST_F(ShowPart, CentreSmearBrightensTheCentreColumnBy2PerFrame) {
    std::fill(screen.begin(), screen.end(), 0x101010u);
    inHolds({Event::Beat});
    afterPresent(3, Event::Beat);
    EXPECT_EQ(run(runCentreSmear), 0);
    EXPECT_EQ(presents, 3);
    for (int y = 0; y < 200; ++y) ASSERT_EQ(screen[y * 320 + 160], 0x161616u) << y;
    // Colour has travelled to both edges: every column changed.
    EXPECT_NE(screen[0], 0x101010u);
    EXPECT_NE(screen[319], 0x101010u);
}

TEST_F(ShowPart, KeysEndEveryPartAtOnce) {
    for (DemoPart part : {runStudio, runWaveLogo, runWanderingMaps, runTextPlane, runBlobLayers, runGreetings,
                          runSpinningCurve, runCentreSmear}) {
        clearScript();
        afterPresent(1, Event::Key);
        inHolds({Event::Beat});  // for the smear's opening wait
        EXPECT_EQ(run(part), -1);
        EXPECT_EQ(presents, 1);
    }
}
