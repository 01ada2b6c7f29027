// float to int conversion of the kit.
#pragma once

#include <cstdint>

// Truncates toward zero, as a plain cast does. A value beyond the 32-bit
// range (a projection through the eye, a division by nearly zero) saturates
// and NaN gives 0, where a cast would be undefined; the clippers and the
// texture wrap cope with any 32-bit value.
inline int32_t truncToInt(float f) {
    if (f != f) return 0;
    if (f <= -2147483648.0f) return INT32_MIN;
    if (f >= 2147483648.0f) return INT32_MAX;
    return static_cast<int32_t>(f);
}
