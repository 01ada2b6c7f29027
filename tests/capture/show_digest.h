// The whole show in a few lines: per step, how many video frames it lasts
// and a CRC-32 of its frames' picture checksums in order, plus a CRC-32 of
// the music as the capture writes it (the whole 44.1 kHz WAV file). The
// committed copy, show_digest.txt beside this file, is what the full-show
// test holds a fresh capture to; tools/update_show_digest.sh rewrites it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace showdigest {

struct StepDigest {
    int step = 0;
    long frames = 0;
    uint32_t crc = 0;  // CRC-32 over the frames' picture CRCs, 4 little-endian bytes each
};

struct ShowDigest {
    std::vector<StepDigest> steps;  // in the order the steps first appear
    uint64_t wavBytes = 0;
    uint32_t wavCrc = 0;
};

// Folds one frame (its step and picture CRC, in frame order) into `d`.
void addFrame(ShowDigest& d, int step, uint32_t pictureCrc);

// Size and CRC-32 of a whole file; false when it cannot be read.
bool fileCrc(const std::string& path, uint64_t& bytes, uint32_t& crc);

// The text form: comment lines (#) first, then one "step S frames N crc X"
// line per step and one "wav bytes N crc X" line.
std::string formatDigest(const ShowDigest& d);
// Reads the text form; on a malformed line returns false with `error` set.
bool parseDigest(const std::string& text, ShowDigest& out, std::string& error);

// One line per difference, naming the step (or the WAV) and both values;
// empty when the two agree.
std::vector<std::string> compareDigests(const ShowDigest& expected, const ShowDigest& actual);

}  // namespace showdigest
