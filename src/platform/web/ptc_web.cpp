// Console backend on a browser page: a 320x200 (or 320x240) canvas.
//
// The page (page/plivak_page.js) owns the canvas, the keyboard and the
// pacing; this file hands it the picture and waits for it. The parts' frame
// loops block, so the program is built with Asyncify: a present waits for
// the page to put the picture on the screen at the refresh its tick falls
// on, and a key poll in a waiting loop (no present since the last poll)
// yields to the browser for a moment instead of spinning. A poll right
// after a present does not yield: the present already did.
//
// The page is told which frame of the show each present carries (its
// frame index on the show clock), and whether the show is paused
// when it idles, so that a paused show wakes it rarely.
//
// The canvas wants bytes in R, G, B, A order; the console holds 0x00RRGGBB
// words, so each present converts into one fixed buffer.
#include <emscripten.h>

#include <cstdint>

#include "platform/display.h"
#include "platform/ptc.h"
#include "platform/ptc_backend.h"
#include "platform/show_clock.h"
#include "platform/web/web_pump.h"

// The page's side of the console. Module.plivak is the object the page
// hands to the module factory (see page/plivak_page.js).
EM_JS(void, plivakWebOpen, (const char* title, int width, int height),
      { Module.plivak.open(UTF8ToString(title), width, height); });
EM_JS(void, plivakWebClose, (), { Module.plivak.close(); });
EM_JS(int, plivakWebKeyPending, (), { return Module.plivak.keyPending() ? 1 : 0; });
EM_ASYNC_JS(void, plivakWebPresent, (const uint8_t* rgba, int width, int height, double frame), {
    await Module.plivak.present(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height, frame);
});
EM_ASYNC_JS(void, plivakWebIdle, (int paused), { await Module.plivak.idle(paused !== 0); });
EM_JS(double, plivakWebClock, (), { return Module.plivak.clock(); });

namespace webpump {
namespace {
void (*thePump)() = nullptr;
}  // namespace

void setPump(void (*pump)()) { thePump = pump; }
void run() {
    if (thePump) thePump();
}
}  // namespace webpump

namespace ptc::backend {
namespace {

bool isOpen = false;
bool presentedSincePoll = true;
uint8_t rgba[Console::kMaxWidth * Console::kMaxHeight * 4];

}  // namespace

void open(const char* title, int width, int height) {
    if (isOpen) throw DynamicError("console already open");
    plivakWebOpen(title, width, height);
    isOpen = true;
    presentedSincePoll = true;
}

void close() {
    if (!isOpen) return;
    isOpen = false;
    plivakWebClose();
}

bool keyPending() {
    if (!presentedSincePoll && !plivakWebKeyPending()) plivakWebIdle(showclock::paused() ? 1 : 0);
    presentedSincePoll = false;
    // The music renders ahead and fires its due syncs at every poll, as the
    // native player's thread would have done while the frame was drawn.
    webpump::run();
    return plivakWebKeyPending() != 0;
}

void present(const uint32_t* pixels, int width, int height) {
    uint8_t* out = rgba;
    for (int i = 0, n = width * height; i < n; ++i, out += 4) {
        uint32_t p = pixels[i];
        out[0] = static_cast<uint8_t>(p >> 16);
        out[1] = static_cast<uint8_t>(p >> 8);
        out[2] = static_cast<uint8_t>(p);
        out[3] = 255;
    }
    plivakWebPresent(rgba, width, height, static_cast<double>(showclock::frame()));
    presentedSincePoll = true;
    webpump::run();
}

double clockSeconds() { return plivakWebClock(); }

}  // namespace ptc::backend

namespace ptc {

// A page always has its canvas.
bool videoDisplayPresent(const char*& driver) {
    driver = "canvas";
    return true;
}

}  // namespace ptc
