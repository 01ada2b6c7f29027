// Console backend on the virtual clock: no window. Every key poll is one
// video frame; presents are recorded for the frame sink (virtual_clock.h).
#include <csignal>

#include "platform/ptc.h"
#include "platform/ptc_backend.h"
#include "platform/virtual_clock.h"

namespace ptc::backend {
namespace {

bool isOpen = false;

extern "C" void onSignal(int) { vclock::requestKey(); }

}  // namespace

void open(const char*, int width, int height) {
    if (vclock::takeOpenFailure()) throw DynamicError("injected open failure");
    isOpen = true;
    // SIGINT and SIGTERM end the demo as a key press would.
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    vclock::consoleOpened(width, height);
}

void close() {
    if (!isOpen) return;
    isOpen = false;
    vclock::consoleClosed();
}

bool keyPending() { return vclock::poll(); }

void present(const uint32_t* pixels, int width, int height) { vclock::consolePresented(pixels, width, height); }

double clockSeconds() { return vclock::now(); }

}  // namespace ptc::backend
