// What the stand-in page backend saw, and the test's script (page_console.cpp).
#pragma once

#include <cstdint>

namespace pageprobe {
struct Shown {
    uint32_t crc;   // of the picture
    int64_t frame;  // showclock::frame() when it was shown
    int64_t poll;   // the backend's key polls so far
};
constexpr int kMaxShown = 4096;
extern Shown shown[kMaxShown];
extern int shownCount;
extern int64_t polls;
// Called at every key poll with the backend's poll count; true ends the
// show as a key does.
extern bool (*atPoll)(int64_t poll);
}  // namespace pageprobe
