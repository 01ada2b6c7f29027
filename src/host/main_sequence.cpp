// Start-up, the guarded section and shutdown.
#include "host/host.h"
#include "host/shared_effects.h"
#include "platform/show_clock.h"

// Created before the entry routine runs, destroyed after it in reverse
// order: first the timer, then the console.
ptc::Console TheConsole;
ptc::Timer DemoTimer;

void ShutdownEngine3d();

int DemoMain() {
    StartUp();
    ptc::Format* format = nullptr;
    try {
        format = new ptc::Format(32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
        TheConsole.open("morvelle - plivak' effect", 320, ConsoleHeight, *format, 0);
        DisplaySurface = new ptc::Surface(320, 200, *format);
        FrameBuffer = DisplaySurface->lock();
        TheConsole.clear();
        MusicStart("../data/demo.xm");
        MusicPlay();
        showclock::startShow();
        DemoTimer.start();
        RunTimeline();
        DemoTimer.stop();
        TheConsole.close();
        delete format;
        format = nullptr;
    } catch (ptc::DynamicError&) {
        // Quietly on to shutdown; the console object closes at exit.
        delete format;
    }
    MusicStop();
    MusicClose();
    ShutdownEngine3d();
    return 0;
}
