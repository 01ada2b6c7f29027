// The program's one pseudo-random generator: state 1 at start, never
// reseeded. Each draw sets state = state * 214013 + 2531011 (mod 2^32) and
// yields (state >> 16) & 0x7FFF, so the first draws are 41, 18467, 6334,
// 26500.
#pragma once

#include <cstdint>

int32_t demoRandom();
// The generator's state, for a chapter point of a seek.
uint32_t demoRandomState();
void setDemoRandomState(uint32_t state);
