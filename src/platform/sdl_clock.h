// The clock of the SDL backends (ptc_sdl.cpp, midas_sdl.cpp): SDL's
// high-resolution counter, which is a monotonic clock on every system SDL
// runs on, and waits on it with SDL_Delay, so that neither backend needs a
// system's own clock or sleep call.
#pragma once

#include <SDL.h>

#include <cmath>

namespace sdl_clock {

// Seconds on SDL's high-resolution counter, from an arbitrary origin.
inline double seconds() {
    return static_cast<double>(SDL_GetPerformanceCounter()) / static_cast<double>(SDL_GetPerformanceFrequency());
}

enum class Wake {
    Nearest,  // the whole millisecond nearest `when`: up to half a millisecond early
    NotBefore,  // never early: up to a millisecond late
};

// Sleeps until `when` (on seconds()) in whole milliseconds, as SDL_Delay
// sleeps, plus the system's wake-up latency. A moment already past
// returns at once.
inline void sleepUntil(double when, Wake wake) {
    double ms = (when - seconds()) * 1000.0;
    ms = wake == Wake::Nearest ? std::floor(ms + 0.5) : std::ceil(ms);
    if (ms >= 1.0) SDL_Delay(static_cast<Uint32>(ms));
}

}  // namespace sdl_clock
