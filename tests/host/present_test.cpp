// The two present routines: the 200-line console shows the buffer as it
// is; the 240-line one shows it on lines 20..219 between black bars.
#include <gtest/gtest.h>

#include "host_fixture.h"

namespace {

void fillPattern(uint32_t* pixels) {
    for (int i = 0; i < kFramePixels; ++i) pixels[i] = (i * 2654435761u) & 0xFFFFFFu;
}

}  // namespace

class Present : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        DisplaySurface = &surface;
        FrameBuffer = surface.lock();
        fillPattern(FrameBuffer);
    }
    void reopen(int height) {
        TheConsole.close();
        TheConsole.open("test", 320, height, ptc::Format(32, 0xFF0000, 0xFF00, 0xFF), 0);
    }
    ptc::Surface surface{320, 200, ptc::Format(32, 0xFF0000, 0xFF00, 0xFF)};
};

TEST_F(Present, FullCopiesTheWholeBuffer) {
    PresentFull();
    const uint32_t* shown = TheConsole.pixels();
    for (int i = 0; i < kFramePixels; ++i) ASSERT_EQ(shown[i], FrameBuffer[i]) << i;
}

TEST_F(Present, LetterboxPlacesLine0OnLine20) {
    reopen(240);
    for (int i = 0; i < 320 * 240; ++i) TheConsole.pixels()[i] = 0;
    PresentLetterbox();
    const uint32_t* shown = TheConsole.pixels();
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            uint32_t want = (y >= 20 && y < 220) ? FrameBuffer[(y - 20) * 320 + x] : 0u;
            ASSERT_EQ(shown[y * 320 + x], want) << x << "," << y;
        }
    reopen(200);
}

TEST_F(Present, CopyAreasAreClippedToBothPictures) {
    // An area reaching past the console is cut, never written past it.
    reopen(200);
    surface.copy(TheConsole, ptc::Area(0, 0, 319, 199), ptc::Area(10, 150, 329, 349));
    EXPECT_EQ(TheConsole.pixels()[150 * 320 + 10], FrameBuffer[0]);
    EXPECT_EQ(TheConsole.pixels()[199 * 320 + 319], FrameBuffer[49 * 320 + 309]);
}
