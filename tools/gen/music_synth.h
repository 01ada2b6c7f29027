// The demo music's instruments, synthesized from scratch: drums from shaped
// noise and swept sines, tonal instruments from band-limited harmonic sums
// whose single cycles (or whole beating chorus) loop seamlessly.
#pragma once

#include <cstdint>
#include <vector>

#include "xm/xm_writer.h"

namespace music {

// Instrument numbers as pattern cells name them (1-based, in the order
// synthesizeInstruments returns them).
enum InstrumentId : uint8_t {
    kKick = 1,
    kSnare,
    kClosedHat,
    kOpenHat,
    kCrash,
    kBass,
    kPad,
    kPluck,
    kLead,
    kInstrumentCount = kLead,
};

// The note at which a drum sample plays at its own recording rate.
constexpr uint8_t kDrumNote = xm::noteNumber(4, 0);

// Tonal instruments are tuned so that note C-4 sounds at 261.63 Hz and A-4
// at 440 Hz (equal temperament).
std::vector<xm::Instrument> synthesizeInstruments();

}  // namespace music
