#include "capture/capture_output.h"

#include <errno.h>
#include <fcntl.h>
// The web and Windows builds write the log and the WAV only: no PNG, and no
// ffmpeg child for the video.
#if defined(__EMSCRIPTEN__) || defined(_WIN32)
#define CAPTURE_LOG_AND_WAV_ONLY 1
#else
#include <png.h>
#endif
#ifdef _WIN32
#include "capture/posix_win.h"
#else
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#endif
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#ifndef __EMSCRIPTEN__
#include <zlib.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/seek.h"
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
int videoFd = -1;  // ffmpeg's standard input, opened at the first frame, when its size is known
pid_t videoPid = -1;
bool videoFailed = false;
std::string videoTemp;

extern "C" char** environ;

// Starts args[0] from PATH without a shell (file names reach it unchanged).
// With stdinFd the child's standard input is the read end of a new pipe
// whose write end is returned there. -1 when it cannot be started.
pid_t spawn(const std::vector<std::string>& args, int* stdinFd) {
#ifdef CAPTURE_LOG_AND_WAV_ONLY
    return -1;  // begin() refuses --video
#else
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int fds[2] = {-1, -1};
    if (stdinFd) {
        if (pipe2(fds, O_CLOEXEC) != 0) return -1;
        posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    }
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (stdinFd) {
        close(fds[0]);
        if (pid < 0) {
            close(fds[1]);
        } else {
            *stdinFd = fds[1];
        }
    }
    return pid;
#endif
}

// True when the child ended with status 0.
bool waitOk(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool writeAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The lossy settings of --video. Each reads native bgr0 frames; ffmpeg does
// the nearest-neighbour upscale to 1600x1200 (5x6 pixels per pixel of the
// 200-line picture, 5x5 of the 240-line one), and keeps the chroma at full
// resolution so that red and blue edges stay as sharp as the others.
struct VideoPreset {
    const char* name;
    const char* x264Preset;
    const char* crf;
};
constexpr VideoPreset kVideoPresets[] = {
    {"fast", "ultrafast", "12"},
    {"small", "veryfast", "16"},
};

const VideoPreset* findPreset(const std::string& name) {
    for (const VideoPreset& p : kVideoPresets)
        if (name == p.name) return &p;
    return nullptr;
}

std::vector<std::string> encoderArgs(int width, int height) {
    char size[32], rate[32];
    std::snprintf(size, sizeof size, "%dx%d", width, height);
    std::snprintf(rate, sizeof rate, "%.17g", opts.fps);
    std::vector<std::string> args = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
                                     "-f", "rawvideo", "-pixel_format", "bgr0", "-video_size", size,
                                     "-framerate", rate, "-i", "-"};
    if (opts.lossless) {
        // Native frames, every bit kept: FFV1 codes the RGB planes losslessly.
        for (const char* a : {"-c:v", "ffv1", "-level", "3", "-slices", "4", "-g", "60", "-pix_fmt", "bgr0"})
            args.push_back(a);
    } else {
        const VideoPreset* p = findPreset(opts.preset);
        const int sy = height == 240 ? 5 : 6;
        char scale[64];
        std::snprintf(scale, sizeof scale, "scale=%d:%d:flags=neighbor", width * 5, height * sy);
        for (const char* a : std::initializer_list<const char*>{"-vf", scale, "-c:v", "libx264", "-preset", p->x264Preset, "-tune", "animation", "-crf",
                              p->crf, "-pix_fmt", "yuv444p"})
            args.push_back(a);
    }
    args.push_back(videoTemp);
    return args;
}

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
    // Only the music of the frames in range: from the sample where the
    // first one begins to the one where the frame after the last begins.
    const int64_t start = vclock::audioFrame();
    const int64_t first = std::max<int64_t>(start, vclock::sampleAt(opts.fromFrame));
    const int64_t end = opts.toFrame >= 0 ? std::min<int64_t>(start + frames, vclock::sampleAt(opts.toFrame))
                                          : start + frames;
    if (end <= first) return;
    std::fwrite(samples + (first - start) * 2, sizeof(int16_t) * 2, static_cast<size_t>(end - first),
                wavOut);  // little-endian host
    wavFrames += end - first;
}

void writeVideoFrame(const vclock::Frame& f) {
    if (videoFailed) return;
    if (videoFd < 0) {
        videoPid = spawn(encoderArgs(f.width, f.height), &videoFd);
        if (videoPid < 0) {
            std::fprintf(stderr, "plivak-capture: cannot start ffmpeg\n");
            videoFailed = true;
            return;
        }
    }
    // A pixel 0x00RRGGBB is the bytes B, G, R, 0 on this little-endian host:
    // ffmpeg's bgr0, so the picture goes out as it is.
    if (!writeAll(videoFd, f.pixels, static_cast<size_t>(f.width) * f.height * 4)) {
        std::fprintf(stderr, "plivak-capture: ffmpeg stopped reading the frames\n");
        videoFailed = true;
    }
}

// The progress report on standard error: a line redrawn in place on a
// terminal (4 times a second), else a plain line every 5 s. It reads the
// wall clock and writes only to standard error, so nothing the capture
// writes elsewhere changes with it.
bool progressOn = false;
bool progressTerminal = false;
Clock::time_point progressStart;
Clock::time_point progressLast;
double finalStart = -1.0;  // demo time at which the closing part began

double secondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

void printProgress(double now, int64_t frames) {
    const double wall = secondsSince(progressStart);
    const double speed = wall > 0 ? now / wall : 0.0;
    const double end = std::max(now, expectedEnd(opts.keyAt, finalStart, SkipFinalPart, FinalPartOnly));
    std::string line = progressLine(progressTerminal, now, end, stepAtPoll, frames, speed);
    if (progressTerminal) {
        std::fprintf(stderr, "\r%s\033[K", line.c_str());
    } else {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    std::fflush(stderr);
}

void reportProgress(const vclock::Frame& f) {
    if (stepAtPoll == kFinalStep && finalStart < 0) finalStart = f.time;
    const double interval = progressTerminal ? 0.25 : 5.0;
    if (secondsSince(progressLast) < interval) return;
    progressLast = Clock::now();
    printProgress(f.time, f.index + 1);
}

void endProgress() {
    // The terminal line ends with the run's final figures, even for a run
    // too short to have shown one; a plain log gets no extra line.
    if (progressTerminal) {
        printProgress(vclock::now(), vclock::pollCount());
        std::fputc('\n', stderr);
    }
    progressOn = false;
}

// With --timing and a range: how long the seek to its first frame took.
double seekWallS = -1.0;
double seekCpuS = -1.0;

void onFrame(const vclock::Frame& f, void*) {
    if (timings && opts.fromFrame > 0 && f.index == opts.fromFrame && seekWallS < 0) {
        seekWallS = std::chrono::duration<double>(Clock::now().time_since_epoch()).count() - SeekStartedWall();
        seekCpuS = static_cast<double>(std::clock()) / CLOCKS_PER_SEC - SeekStartedCpu();
    }
    // Frames before the range are the pre-roll: only the progress line
    // sees them.
    if (f.index < opts.fromFrame || (opts.toFrame >= 0 && f.index >= opts.toFrame)) {
        if (progressOn) reportProgress(f);
        return;
    }
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
    if (!opts.pngDir.empty() && f.index % opts.every == 0) {
        char name[32];
        std::snprintf(name, sizeof name, "/%06" PRId64 ".png", f.index);
        writePng(opts.pngDir + name, f.pixels, f.width, f.height);
    }
    if (videoWanted) writeVideoFrame(f);
    if (progressOn) reportProgress(f);
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
    if (seekWallS >= 0) {
        // The seek: from restoring the chapter point to the range's first
        // frame, and the demo time it pre-rolled.
        std::printf("seek_s=%.4f\nseek_cpu_s=%.4f\nseek_preroll_s=%.3f\n", seekWallS, seekCpuS,
                    static_cast<double>(opts.fromFrame - SeekRestoredPoll()) / vclock::fps());
    }
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
    if (progressOn) endProgress();
    if (!opts.videoFile.empty()) {
        bool ok = !videoFailed && videoFd >= 0;
        if (videoFd >= 0) close(videoFd);
        videoFd = -1;
        if (videoPid > 0 && !waitOk(videoPid)) ok = false;
        videoPid = -1;
        if (ok) {
            // The music joins the frames in a second pass: it is complete
            // only now. The master keeps it as PCM, the lossy video as AAC.
            std::vector<std::string> mux = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
                                            "-i", videoTemp, "-i", wavPath, "-map", "0:v", "-map", "1:a",
                                            "-c:v", "copy"};
            if (opts.lossless) {
                mux.insert(mux.end(), {"-c:a", "pcm_s16le"});
            } else {
                mux.insert(mux.end(), {"-c:a", "aac", "-b:a", "192k"});
            }
            mux.push_back("-shortest");
            mux.push_back(opts.videoFile);
            pid_t pid = spawn(mux, nullptr);
            ok = pid > 0 && waitOk(pid);
        }
        if (!ok) std::fprintf(stderr, "plivak-capture: ffmpeg could not write %s\n", opts.videoFile.c_str());
        std::remove(videoTemp.c_str());
    }
    if (wavIsTemporary) std::remove(wavPath.c_str());
    if (timings) printTiming();
}

// The show's steps as the timeline names them, for the progress line.
const char* const kStepNames[kSteps] = {
    "start-up",     "opening blinds", "warped ribbons", "banner cube",    "dot cube",     "portrait parade",
    "atom",         "text plane",     "blob layers",    "greetings",      "studio",       "spinning curve",
    "wandering maps", "spline snake", "final scene",    "gadget parade",  "wave logo",    "centre smear",
    "final 3d",
};

// Where the closing part begins on the show plan, and how long it runs.
constexpr double kPlannedFinalStart = 275.55;
constexpr double kFinalPartSeconds = 600.0;

std::string clockText(double seconds) {
    const long s = std::lround(std::max(0.0, seconds));
    char text[32];
    if (s >= 3600) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    }
    return text;
}

}  // namespace

const char* videoPresetNames() { return "fast|small"; }
bool isVideoPreset(const std::string& name) { return findPreset(name) != nullptr; }

double expectedEnd(double keyAt, double finalStartTime, bool skipFinal, bool finalOnly) {
    double end;
    if (finalStartTime >= 0) {
        end = finalStartTime + kFinalPartSeconds;
    } else if (finalOnly) {
        end = kFinalPartSeconds;
    } else if (skipFinal) {
        end = kPlannedFinalStart;
    } else {
        end = kPlannedFinalStart + kFinalPartSeconds;
    }
    return keyAt >= 0 ? std::min(keyAt, end) : end;
}

std::string progressLine(bool terminal, double now, double end, int step, int64_t frames, double speed) {
    const char* name = step >= 0 && step < kSteps ? kStepNames[step] : "?";
    const double eta = speed > 0 ? (end - now) / speed : 0.0;
    const double percent = end > 0 ? 100.0 * now / end : 100.0;
    char line[200];
    if (terminal) {
        std::snprintf(line, sizeof line, "%s / %s (%.0f%%)  step %d %s  %" PRId64 " frames  %.2fx  ETA %s",
                      clockText(now).c_str(), clockText(end).c_str(), percent, step, name, frames, speed,
                      clockText(eta).c_str());
    } else {
        std::snprintf(line, sizeof line,
                      "progress t=%.1f/%.1f s step=%d (%s) frames=%" PRId64 " speed=%.2fx eta=%.0f s", now, end,
                      step, name, frames, speed, eta);
    }
    return line;
}

std::string logLine(int64_t frame, double time, int step, bool presented, int32_t beat, int32_t sync, uint32_t crc) {
    char line[160];
    std::snprintf(line, sizeof line, "frame=%" PRId64 " t=%.6f step=%d new=%d beat=%d sync=%d crc=%08x", frame, time,
                  step, presented ? 1 : 0, beat, sync, crc);
    return line;
}

#ifdef __EMSCRIPTEN__
// The web build has no zlib: the same CRC-32 (reflected, polynomial
// 0xEDB88320, initial and final xor all ones), a byte at a time.
using uLong = uint32_t;
uLong crc32(uLong crc, const uint8_t* bytes, int count) {
    static uint32_t table[256];
    if (table[1] == 0)
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
    if (!bytes) return 0;
    crc = ~crc;
    for (int i = 0; i < count; ++i) crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
#define Z_NULL nullptr
#endif

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
#ifdef CAPTURE_LOG_AND_WAV_ONLY
    return false;  // refused in begin()
#else
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
#endif
}

bool begin(const Options& options) {
    opts = options;
    vclock::configure(opts.fps, opts.keyAt);
    if (opts.timing && (!opts.pngDir.empty() || !opts.logFile.empty() || !opts.wavFile.empty() || !opts.videoFile.empty())) {
        std::fprintf(stderr, "plivak-capture: --timing times the demo alone; leave out --png, --log, --wav and --video\n");
        return false;
    }
#ifdef __EMSCRIPTEN__
    if (!opts.pngDir.empty() || !opts.videoFile.empty()) {
        std::fprintf(stderr, "plivak-capture: the web build writes no pictures or video; use --log and --wav\n");
        return false;
    }
#elif defined(_WIN32)
    if (!opts.pngDir.empty() || !opts.videoFile.empty()) {
        std::fprintf(stderr, "plivak-capture: the Windows build writes no pictures or video; use --log and --wav\n");
        return false;
    }
#endif
    if (!opts.pngDir.empty()) {
        mkdir(opts.pngDir.c_str(), 0755);
        struct stat st{};
        if (stat(opts.pngDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            std::fprintf(stderr, "plivak-capture: cannot make the folder %s\n", opts.pngDir.c_str());
            return false;
        }
    }
    if (!opts.logFile.empty()) {
        logOut = std::fopen(opts.logFile.c_str(), "wb");  // the same bytes on every system
        if (!logOut) {
            std::fprintf(stderr, "plivak-capture: cannot write %s\n", opts.logFile.c_str());
            return false;
        }
    }
    if (!opts.videoFile.empty()) {
        if (!opts.lossless && !findPreset(opts.preset)) {
            std::fprintf(stderr, "plivak-capture: no video preset '%s' (%s)\n", opts.preset.c_str(), videoPresetNames());
            return false;
        }
        if (opts.lossless) {
            const std::string& v = opts.videoFile;
            if (v.size() < 4 || v.compare(v.size() - 4, 4, ".mkv") != 0) {
                std::fprintf(stderr, "plivak-capture: --lossless writes Matroska: give --video FILE.mkv\n");
                return false;
            }
        }
        if (std::system("command -v ffmpeg > /dev/null 2>&1") != 0) {
            std::fprintf(stderr, "plivak-capture: --video needs ffmpeg, which is not installed (apt-get install ffmpeg)\n");
            return false;
        }
        videoTemp = opts.videoFile + ".video.mkv";
        videoWanted = true;
        // A failed ffmpeg must not kill the capture through SIGPIPE: the
        // write reports it and the rest of the run goes on.
        signal(SIGPIPE, SIG_IGN);
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
    if (!opts.quiet) {
        progressOn = true;
        progressTerminal = isatty(2) == 1;
        progressStart = progressLast = Clock::now();
    }
    vclock::setPollHook(onPollDone, nullptr);
    vclock::setFrameSink(onFrame, nullptr);
    std::atexit(finish);
    return true;
}

}  // namespace capture
