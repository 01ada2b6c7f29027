// The centre smear: one frame of it on a 320-pixel row. From the centre
// outwards, each pixel is brightened (each channel one step, stopping at
// 255), then the next one out is blended with it, so colour travels along
// the whole half-row each frame. Pixel 160 is brightened twice (it starts
// both halves), the leftmost pixel is only blended, the rightmost only
// brightened.
#pragma once

#include <cstdint>

// Each channel one step brighter, stopping at 255; the top byte becomes 0.
uint32_t brighten(uint32_t c);

// One frame of the smear on two rows at once (the fast form).
void smearRows(uint32_t* p, uint32_t* q);
// smearRows' plain twin: one row, channel by channel, each pixel read back
// from the row, in the order the smear is defined.
void smearRowPlain(uint32_t* row);
