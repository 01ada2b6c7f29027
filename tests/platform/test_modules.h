// Tiny modules for the module player's tests: a looping square-wave
// instrument and a module shell of given patterns.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "xm/xm_writer.h"

namespace testmod {

inline xm::Module makeModule(int channels, std::vector<uint8_t> orders, std::vector<int> patternRows) {
    xm::Module m;
    m.channels = channels;
    m.orders = std::move(orders);
    for (int rows : patternRows) m.patterns.push_back(xm::Pattern(rows, channels));
    xm::Instrument ins;
    xm::Sample s;
    s.bits16 = false;
    for (int i = 0; i < 64; ++i) s.data.push_back(i < 32 ? 60 : -60);
    s.loopType = xm::LoopType::Forward;
    s.loopLength = 64;
    ins.samples.push_back(s);
    m.instruments.push_back(ins);
    return m;
}

inline xm::Cell effect(uint8_t type, uint8_t param) { return xm::Cell{0, 0, 0, type, param}; }
inline xm::Cell note(int octave, int semitone) { return xm::Cell{xm::noteNumber(octave, semitone), 1, xm::setVolume(64), 0, 0}; }

}  // namespace testmod
