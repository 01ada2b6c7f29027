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
    // The frames written, [fromFrame, toFrame) (toFrame < 0: to the end),
    // for every output; the music of the same span.
    int64_t fromFrame = 0;
    int64_t toFrame = -1;
    std::string wavFile;
    std::string videoFile;
    std::string logFile;
    bool timing = false;
    bool quiet = false;      // no progress line on standard error
    bool lossless = false;   // --video writes an FFV1 + PCM master in Matroska
    std::string preset = "fast";  // the lossy --video settings (videoPresetNames)
};

// The names --preset accepts, separated by '|', for the usage text.
const char* videoPresetNames();
bool isVideoPreset(const std::string& name);

// Where the run is expected to end, in demo seconds: at the key when one is
// set and comes first, else at the show's end. The closing part runs a fixed
// 600 s of its own timer from `finalStart` (< 0 while it has not begun);
// before it starts, its start is taken from the show plan.
double expectedEnd(double keyAt, double finalStart, bool skipFinal, bool finalOnly);

// One progress report, without a line end: for a terminal (compact, to be
// redrawn in place) or a plain line beginning with "progress".
std::string progressLine(bool terminal, double now, double end, int step, int64_t frames, double speed);

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
