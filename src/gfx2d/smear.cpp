#include "gfx2d/smear.h"

#include "gfx2d/colour.h"

// All three channels at once: a channel is 255 exactly when adding 1 to its
// low seven bits carries into a set bit 7, and only the other channels get
// their 1 (which then cannot carry).
uint32_t brighten(uint32_t c) {
    const uint32_t full = (((c & 0x7F7F7Fu) + 0x010101u) & c & 0x808080u) >> 7;
    return (c & 0xFFFFFFu) + (0x010101u ^ full);
}

// Each half-row is one chain of values carried in a register; the four
// chains of two rows are independent and overlap.
void smearRows(uint32_t* p, uint32_t* q) {
    const uint32_t centreP = brighten(brighten(p[160]));
    const uint32_t centreQ = brighten(brighten(q[160]));
    p[160] = centreP;
    q[160] = centreQ;
    uint32_t leftP = blendHalf(p[159], centreP), rightP = blendHalf(centreP, p[161]);
    uint32_t leftQ = blendHalf(q[159], centreQ), rightQ = blendHalf(centreQ, q[161]);
    for (int k = 1; k < 159; ++k) {
        leftP = brighten(leftP);
        leftQ = brighten(leftQ);
        rightP = brighten(rightP);
        rightQ = brighten(rightQ);
        p[160 - k] = leftP;
        q[160 - k] = leftQ;
        p[160 + k] = rightP;
        q[160 + k] = rightQ;
        leftP = blendHalf(p[159 - k], leftP);
        leftQ = blendHalf(q[159 - k], leftQ);
        rightP = blendHalf(rightP, p[161 + k]);
        rightQ = blendHalf(rightQ, q[161 + k]);
    }
    p[1] = leftP = brighten(leftP);
    q[1] = leftQ = brighten(leftQ);
    p[319] = brighten(rightP);
    q[319] = brighten(rightQ);
    p[0] = blendHalf(p[0], leftP);
    q[0] = blendHalf(q[0], leftQ);
}

namespace {

uint32_t brightenPlain(uint32_t c) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t channel = (c >> shift) & 0xFFu;
        if (channel < 255) ++channel;
        out |= channel << shift;
    }
    return out;
}

}  // namespace

void smearRowPlain(uint32_t* row) {
    for (int k = 0; k < 160; ++k) {
        row[160 - k] = brightenPlain(row[160 - k]);
        row[160 + k] = brightenPlain(row[160 + k]);
        row[159 - k] = blendHalf(row[159 - k], row[160 - k]);
        if (161 + k <= 319) row[161 + k] = blendHalf(row[160 + k], row[161 + k]);
    }
}
