// The console, the demo clock, the frame buffer and the two ways of
// showing it.
#include "stage/stage.h"

// Created before the entry routine runs, destroyed after it in reverse
// order: first the timer, then the console.
ptc::Console TheConsole;
ptc::Timer DemoTimer;

uint32_t* FrameBuffer = nullptr;
ptc::Surface* DisplaySurface = nullptr;
void (*PresentFrame)() = PresentFull;

// The whole surface onto the console of the frame's size.
void PresentFull() {
    DisplaySurface->copy(TheConsole);
    TheConsole.update();
}

// The 320x200 surface onto lines 20..219 of the 320x240 console; lines
// 0..19 and 220..239 stay black from the clear at start-up. An area names
// its last column and row.
void PresentLetterbox() {
    constexpr int kTop = 20;
    const ptc::Area destination(0, kTop, kFrameWidth - 1, kTop + kFrameHeight - 1);
    const ptc::Area source(0, 0, kFrameWidth - 1, kFrameHeight - 1);
    DisplaySurface->copy(TheConsole, source, destination);
    TheConsole.update();
}
