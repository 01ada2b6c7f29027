// The music's sync counters and the waits on them. The host's sync
// callback is the only writer of the counters.
#include "stage/stage.h"

std::atomic<int32_t> BeatCounter{0};
std::atomic<int32_t> SyncCounter{0};
int32_t LastBeat = 0;

bool WaitForBeat() {
    BeginBeatWait();
    while (!BeatArrived())
        if (KeyPending()) return false;
    return true;
}

bool WaitForSync(int32_t& copy) {
    copy = SyncCounter.load(std::memory_order_relaxed);
    while (copy == SyncCounter.load(std::memory_order_relaxed))
        if (KeyPending()) return false;
    copy = SyncCounter.load(std::memory_order_relaxed);
    return true;
}
