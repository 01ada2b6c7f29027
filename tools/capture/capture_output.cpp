#include "capture/capture_output.h"

#include <png.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/host.h"
#include "platform/virtual_clock.h"

namespace capture {
namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point processStart = Clock::now();

Options opts;
std::FILE* logOut = nullptr;
std::FILE* wavOut = nullptr;
std::string wavPath;
bool wavIsTemporary = false;
int64_t wavFrames = 0;
bool videoWanted = false;
std::FILE* videoPipe = nullptr;  // opened at the first frame, when its size is known
std::string videoTemp;
std::vector<uint8_t> videoRow;  // one upscaled frame, reused
int videoWidth = 0, videoHeight = 0;

// Per-step frame times as a histogram of whole microseconds, so that the
// run allocates nothing while it is timed.
constexpr int kSteps = kFinalStep + 1;
constexpr int kBins = 20000;  // 0 .. 19.999 ms; slower frames land in the last bin
struct StepTiming {
    int64_t frames = 0;
    double sumMs = 0.0;
    double maxMs = 0.0;
    uint32_t bins[kBins] = {};
    // The same frames in this thread's CPU time, which does not count the
    // time the machine spent on other processes.
    double cpuSumMs = 0.0;
    uint32_t cpuBins[kBins] = {};
};
StepTiming* timings = nullptr;
Clock::time_point frameStart;
double frameStartCpuMs = 0.0;
bool frameStarted = false;
// The step that made the latest poll: frame N belongs to the step that
// polled at N and then presented it or held the screen.
int stepAtPoll = 0;
double startupMs = -1.0;
double startupCpuMs = -1.0;
void (*untimedPresent)() = nullptr;

double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) * 1e-6;
}

// CPU time of the whole process so far, from exec on (the dynamic loader
// included): unlike the wall clock it does not grow when the machine is
// busy with other work.
double processCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) * 1e-6;
}

// Stands in for PresentFrame until the first present has happened: start-up
// ends when the first frame has been shown.
void presentFirstFrame() {
    untimedPresent();
    PresentFrame = untimedPresent;
    startupMs = std::chrono::duration<double, std::milli>(Clock::now() - processStart).count();
    startupCpuMs = processCpuMs();
}

void writeLe16(std::FILE* f, uint16_t v) {
    uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}
void writeLe32(std::FILE* f, uint32_t v) {
    uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                    static_cast<uint8_t>(v >> 24)};
    std::fwrite(b, 1, 4, f);
}

void writeWavHeader(std::FILE* f, int64_t frames) {
    uint32_t dataBytes = static_cast<uint32_t>(frames * 4);
    std::fwrite("RIFF", 1, 4, f);
    writeLe32(f, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    writeLe32(f, 16);
    writeLe16(f, 1);  // PCM
    writeLe16(f, 2);
    writeLe32(f, vclock::kSampleRate);
    writeLe32(f, vclock::kSampleRate * 4);
    writeLe16(f, 4);
    writeLe16(f, 16);
    std::fwrite("data", 1, 4, f);
    writeLe32(f, dataBytes);
}

void onAudio(const int16_t* samples, int frames, void*) {
    if (!wavOut) return;
    std::fwrite(samples, sizeof(int16_t) * 2, frames, wavOut);  // little-endian host
    wavFrames += frames;
}

void writeVideoFrame(const vclock::Frame& f) {
    // Nearest-neighbour upscale to 4:3: 320x200 by 5x6, 320x240 by 4x4.
    int sx = videoWidth / f.width, sy = videoHeight / f.height;
    uint8_t* out = videoRow.data();
    for (int y = 0; y < f.height; ++y) {
        uint8_t* line = out;
        for (int x = 0; x < f.width; ++x) {
            uint32_t p = f.pixels[y * f.width + x];
            for (int i = 0; i < sx; ++i) {
                *out++ = static_cast<uint8_t>(p >> 16);
                *out++ = static_cast<uint8_t>(p >> 8);
                *out++ = static_cast<uint8_t>(p);
            }
        }
        size_t lineBytes = static_cast<size_t>(videoWidth) * 3;
        for (int i = 1; i < sy; ++i, out += lineBytes) std::memcpy(out, line, lineBytes);
    }
    std::fwrite(videoRow.data(), 1, videoRow.size(), videoPipe);
}

void onFrame(const vclock::Frame& f, void*) {
    if (timings) {
        auto now = Clock::now();
        const double cpuNow = threadCpuMs();
        if (f.presented && frameStarted && stepAtPoll >= 0 && stepAtPoll < kSteps) {
            double ms = std::chrono::duration<double, std::milli>(now - frameStart).count();
            StepTiming& s = timings[stepAtPoll];
            s.frames++;
            s.sumMs += ms;
            s.maxMs = std::max(s.maxMs, ms);
            s.bins[std::min(kBins - 1, static_cast<int>(ms * 1000.0))]++;
            const double cpuMs = cpuNow - frameStartCpuMs;
            s.cpuSumMs += cpuMs;
            s.cpuBins[std::min(kBins - 1, std::max(0, static_cast<int>(cpuMs * 1000.0)))]++;
        }
    }
    if (logOut) {
        uint32_t crc = pictureCrc(f.pixels, f.width, f.height);
        std::string line = logLine(f.index, f.time, stepAtPoll, f.presented, BeatCounter.load(), SyncCounter.load(), crc);
        std::fputs(line.c_str(), logOut);
        std::fputc('\n', logOut);
    }
    if (!opts.pngDir.empty() && f.time + 1e-9 >= opts.from && f.index % opts.every == 0) {
        char name[32];
        std::snprintf(name, sizeof name, "/%06" PRId64 ".png", f.index);
        writePng(opts.pngDir + name, f.pixels, f.width, f.height);
    }
    if (videoWanted) {
        if (!videoPipe) {
            videoWidth = f.height == 240 ? f.width * 4 : f.width * 5;
            videoHeight = f.height == 240 ? f.height * 4 : f.height * 6;
            videoRow.resize(static_cast<size_t>(videoWidth) * videoHeight * 3);
            char cmd[1024];
            std::snprintf(cmd, sizeof cmd,
                          "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pixel_format rgb24 -video_size %dx%d "
                          "-framerate %g -i - -c:v libx264 -preset veryfast -crf 16 -pix_fmt yuv420p '%s'",
                          videoWidth, videoHeight, opts.fps, videoTemp.c_str());
            videoPipe = popen(cmd, "w");
            if (!videoPipe) {
                videoWanted = false;
                return;
            }
        }
        writeVideoFrame(f);
    }
}

void onPollDone(void*) {
    stepAtPoll = CurrentStep;
    if (timings) {
        // The first poll comes after the configuration chose the present
        // routine and before anything is drawn.
        if (untimedPresent == nullptr && PresentFrame != nullptr) {
            untimedPresent = PresentFrame;
            PresentFrame = presentFirstFrame;
        }
        frameStartCpuMs = threadCpuMs();
        frameStart = Clock::now();
        frameStarted = true;
    }
}

// The bin at which 99% of the frames are counted, as its upper edge in ms.
double percentile99(const uint32_t* bins, int64_t frames) {
    const int64_t target = (frames * 99 + 99) / 100;
    int64_t seen = 0;
    for (int b = 0; b < kBins; ++b) {
        seen += bins[b];
        if (seen >= target) return (b + 1) / 1000.0;
    }
    return kBins / 1000.0;
}

void printTiming() {
    for (int step = 0; step < kSteps; ++step) {
        const StepTiming& s = timings[step];
        if (s.frames == 0) continue;
        std::printf("step=%d frames=%" PRId64 " mean_ms=%.4f p99_ms=%.3f max_ms=%.3f cpu_mean_ms=%.4f cpu_p99_ms=%.3f\n",
                    step, s.frames, s.sumMs / s.frames, percentile99(s.bins, s.frames), s.maxMs,
                    s.cpuSumMs / s.frames, percentile99(s.cpuBins, s.frames));
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("startup_ms=%.1f\npeak_rss_mb=%.1f\n", startupMs, usage.ru_maxrss / 1024.0);
    // The same start-up in process CPU time, and the length of the show in
    // demo seconds, for the real-time factor of the capture.
    std::printf("startup_cpu_ms=%.1f\nshow_s=%.3f\n", startupCpuMs, static_cast<double>(vclock::pollCount()) / vclock::fps());
}

void finish() {
    vclock::setFrameSink(nullptr, nullptr);
    if (logOut) std::fclose(logOut);
    logOut = nullptr;
    if (wavOut) {
        std::fseek(wavOut, 0, SEEK_SET);
        writeWavHeader(wavOut, wavFrames);
        std::fclose(wavOut);
        wavOut = nullptr;
    }
    if (!opts.videoFile.empty()) {
        if (videoPipe) pclose(videoPipe);
        videoPipe = nullptr;
        std::string cmd = "ffmpeg -hide_banner -loglevel error -y -i '" + videoTemp + "' -i '" + wavPath +
                          "' -map 0:v -map 1:a -c:v copy -c:a aac -b:a 192k -shortest '" + opts.videoFile + "'";
        if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "plivak-capture: ffmpeg could not write %s\n", opts.videoFile.c_str());
        std::remove(videoTemp.c_str());
    }
    if (wavIsTemporary) std::remove(wavPath.c_str());
    if (timings) printTiming();
}

}  // namespace

std::string logLine(int64_t frame, double time, int step, bool presented, int32_t beat, int32_t sync, uint32_t crc) {
    char line[160];
    std::snprintf(line, sizeof line, "frame=%" PRId64 " t=%.6f step=%d new=%d beat=%d sync=%d crc=%08x", frame, time,
                  step, presented ? 1 : 0, beat, sync, crc);
    return line;
}

uint32_t pictureCrc(const uint32_t* pixels, int width, int height) {
    uLong crc = crc32(0L, Z_NULL, 0);
    uint8_t row[320 * 4];
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixels[y * width + x];
            row[x * 4 + 0] = static_cast<uint8_t>(p);
            row[x * 4 + 1] = static_cast<uint8_t>(p >> 8);
            row[x * 4 + 2] = static_cast<uint8_t>(p >> 16);
            row[x * 4 + 3] = static_cast<uint8_t>(p >> 24);
        }
        crc = crc32(crc, row, width * 4);
    }
    return static_cast<uint32_t>(crc);
}

bool writePng(const std::string& path, const uint32_t* pixels, int width, int height) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    uint8_t row[320 * 3];
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixels[y * width + x];
            row[x * 3 + 0] = static_cast<uint8_t>(p >> 16);
            row[x * 3 + 1] = static_cast<uint8_t>(p >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(p);
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

bool begin(const Options& options) {
    opts = options;
    vclock::configure(opts.fps, opts.keyAt);
    if (opts.timing && (!opts.pngDir.empty() || !opts.logFile.empty() || !opts.wavFile.empty() || !opts.videoFile.empty())) {
        std::fprintf(stderr, "plivak-capture: --timing times the demo alone; leave out --png, --log, --wav and --video\n");
        return false;
    }
    if (!opts.pngDir.empty()) {
        mkdir(opts.pngDir.c_str(), 0755);
        struct stat st{};
        if (stat(opts.pngDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            std::fprintf(stderr, "plivak-capture: cannot make the folder %s\n", opts.pngDir.c_str());
            return false;
        }
    }
    if (!opts.logFile.empty()) {
        logOut = std::fopen(opts.logFile.c_str(), "w");
        if (!logOut) {
            std::fprintf(stderr, "plivak-capture: cannot write %s\n", opts.logFile.c_str());
            return false;
        }
    }
    if (!opts.videoFile.empty()) {
        if (std::system("command -v ffmpeg > /dev/null 2>&1") != 0) {
            std::fprintf(stderr, "plivak-capture: --video needs ffmpeg, which is not installed (apt-get install ffmpeg)\n");
            return false;
        }
        videoTemp = opts.videoFile + ".video.mkv";
        videoWanted = true;
        if (opts.wavFile.empty()) {
            wavPath = opts.videoFile + ".audio.wav";
            wavIsTemporary = true;
        }
    }
    if (!opts.wavFile.empty()) wavPath = opts.wavFile;
    if (!wavPath.empty()) {
        wavOut = std::fopen(wavPath.c_str(), "wb");
        if (!wavOut) {
            std::fprintf(stderr, "plivak-capture: cannot write %s\n", wavPath.c_str());
            return false;
        }
        writeWavHeader(wavOut, 0);
        vclock::setAudioSink(onAudio, nullptr);
    }
    if (opts.timing) {
        timings = new StepTiming[kSteps];
    }
    vclock::setPollHook(onPollDone, nullptr);
    vclock::setFrameSink(onFrame, nullptr);
    std::atexit(finish);
    return true;
}

}  // namespace capture
