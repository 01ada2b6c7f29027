#include "engine3d/demo_random.h"

namespace {
uint32_t state = 1;
}

int32_t demoRandom() {
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7FFFu);
}

uint32_t demoRandomState() { return state; }
void setDemoRandomState(uint32_t s) { state = s; }
