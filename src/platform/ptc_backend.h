// What a console backend must supply. ptc_common.cpp builds the ptc classes
// on these calls; ptc_sdl.cpp (a real window) and ptc_virtual.cpp (a virtual
// clock for capture and tests) each implement all of them.
#pragma once

#include <cstdint>

namespace ptc::backend {

// Opens the window for a width x height console; throws DynamicError.
void open(const char* title, int width, int height);
// Closes it; closing a backend that is not open does nothing.
void close();
// True when a key press (or a close request) is pending; never consumes it.
// Called once per demo frame and in every waiting loop: a backend may use it
// to keep waiting loops from spinning a core.
bool keyPending();
// Shows the console picture (width x height, pitch width).
void present(const uint32_t* pixels, int width, int height);
// Monotonic clock in seconds.
double clockSeconds();

}  // namespace ptc::backend
