// Start-up, the guarded section and shutdown.
#include "host/host.h"
#include "parts/final_3d.h"
#include "platform/show_clock.h"

int DemoMain() {
    StartUp();
    ptc::Format* format = nullptr;
    try {
        format = new ptc::Format(32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
        TheConsole.open("morvelle - plivak' effect", kFrameWidth, ConsoleHeight, *format, 0);
        DisplaySurface = new ptc::Surface(kFrameWidth, kFrameHeight, *format);
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
    releaseFinalPart();
    return 0;
}
