// A console backend that plays the web page's part: between frames (at a
// key poll) it calls the page's controls as the page's buttons would, from
// a script of the test (page_probe.h). It keeps the CRC and show frame of
// every picture it shows. Its clock moves 1/60 s at every key poll.
#include <zlib.h>

#include <cstdint>

#include "page_probe.h"
#include "platform/ptc.h"
#include "platform/ptc_backend.h"
#include "platform/show_clock.h"

namespace pageprobe {
Shown shown[kMaxShown];
int shownCount = 0;
int64_t polls = 0;
bool (*atPoll)(int64_t poll) = nullptr;
}  // namespace pageprobe

namespace ptc::backend {

void open(const char*, int, int) {}
void close() {}

bool keyPending() {
    ++pageprobe::polls;
    return pageprobe::polls > 200000 || (pageprobe::atPoll && pageprobe::atPoll(pageprobe::polls));
}

void present(const uint32_t* pixels, int width, int height) {
    if (pageprobe::shownCount < pageprobe::kMaxShown) {
        pageprobe::Shown& s = pageprobe::shown[pageprobe::shownCount++];
        s.crc = static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(pixels),
                                            static_cast<uInt>(width * height * 4)));
        s.frame = showclock::frame();
        s.poll = pageprobe::polls;
    }
}

double clockSeconds() { return static_cast<double>(pageprobe::polls) / 60.0; }

}  // namespace ptc::backend
