// How the window backend shows the console: window or desktop fullscreen,
// and which presentation path. The host sets these before the console opens;
// the virtual-clock backend has no window and ignores them.
#pragma once

namespace ptc {

enum class Presentation {
    Auto,     // the renderer when SDL gives a hardware-accelerated one, else the window surface
    Gpu,      // SDL_Renderer, one streaming texture, presents tied to the display's refresh
    Surface,  // scaled on the CPU straight into the window surface, paced by the clock
};

struct DisplaySettings {
    bool fullscreen = false;  // desktop fullscreen: no mode change, picture centred at 4:3
    Presentation presentation = Presentation::Auto;
    bool verbose = false;  // one line on standard error naming the path taken
};

void setDisplaySettings(const DisplaySettings& settings);
const DisplaySettings& displaySettings();

// Window backend only. Starts the video system and tells whether it found a
// display to open a window on. When SDL_VIDEODRIVER is unset and SDL could
// only fall back to a driver that shows nothing (offscreen, dummy), the
// answer is false and `driver` names that driver ("none" when the video
// system did not start at all). A driver the user chose is always accepted.
bool videoDisplayPresent(const char*& driver);

}  // namespace ptc
