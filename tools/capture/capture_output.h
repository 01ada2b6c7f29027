// What plivak-capture writes while the demo runs on the virtual clock:
// PNG frames, the log, the music as WAV, the video through ffmpeg, and the
// per-step timing.
#pragma once

#include <cstdint>
#include <string>

namespace capture {

struct Options {
    double fps = 60.0;
    double keyAt = -1.0;  // demo time of the key press; < 0: none
    std::string pngDir;
    int64_t every = 1;
    double from = 0.0;
    std::string wavFile;
    std::string videoFile;
    std::string logFile;
    bool timing = false;
};

// Configures the virtual clock and opens the outputs; everything is
// finished at process exit, whichever way the demo ends. False (after a
// message) when an output cannot be opened.
bool begin(const Options& options);

// One log line for a frame, without the newline.
std::string logLine(int64_t frame, double time, int step, bool presented, int32_t beat, int32_t sync,
                    uint32_t crc);
// zlib's CRC-32 of the picture, each pixel 4 bytes little-endian.
uint32_t pictureCrc(const uint32_t* pixels, int width, int height);
// Writes an 8-bit RGB PNG; false on failure.
bool writePng(const std::string& path, const uint32_t* pixels, int width, int height);

}  // namespace capture
