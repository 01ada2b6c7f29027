// The demo music's score: the show plan as a list of sections whose starts
// are the beat syncs, the arrangement of each section, and the assembly of
// the whole song into XM orders and patterns.
#pragma once

#include "xm/xm_writer.h"

namespace music {

constexpr int kTempo = 6;         // ticks per row
constexpr int kBpm = 125;         // 2.5 / 125 s per tick: a row lasts 0.12 s
constexpr int kRowsPerBar = 16;   // four beats of four rows: 1.92 s
constexpr int kFinalOrder = 56;   // where the demo jumps for its last part
constexpr uint8_t kBeatSync = 19;
constexpr uint8_t kCueSync = 1;

// The complete module: instruments, patterns and orders. Orders 0..55 play
// the show and end in a short self-looping tail; orders 56 and on are the
// closing music, which loops back to order 56.
xm::Module composeMusic();

}  // namespace music
