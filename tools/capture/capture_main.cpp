// plivak-capture: the demo on the virtual clock. The same host, timeline and
// parts as plivak, with no window and no audio device: every key poll of the
// running demo is one video frame of 1/fps seconds, and the console timer and
// the music advance by exactly that much per poll. It runs as fast as the
// machine draws and is deterministic, so its frames, music and log are the
// same on every run.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "capture/capture_output.h"
#include "host/host.h"
#include "host/options.h"
#include "host/seek.h"
#include "platform/virtual_clock.h"

namespace {

void usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: plivak-capture [options]\n"
                 "  --fps N        video frames per second (default 60)\n"
                 "  --seconds S    a key press arrives at demo time S (default: run to the end)\n"
                 "  --png DIR      write frames as DIR/NNNNNN.png\n"
                 "  --every K      with --png: every K-th frame (default 1)\n"
                 "  --from TIME    every output from demo time TIME on (seconds or m:ss(.fff))\n"
                 "  --to TIME      every output up to demo time TIME (the frame at TIME not included)\n"
                 "  --step N       every output over step N (1-18) of the show, from its chapter point\n"
                 "  --chapters FILE  record the chapter points of this run into FILE (the build does)\n"
                 "  --wav FILE     write the music, 44.1 kHz 16-bit stereo\n"
                 "  --video FILE   encode frames and music with ffmpeg (1600x1200, H.264 4:4:4, AAC)\n"
                 "  --preset NAME  with --video: fast (default, real time or better) or small (smaller, slower)\n"
                 "  --lossless     with --video FILE.mkv: native frames in FFV1 RGB, music as PCM\n"
                 "  --log FILE     one line per video frame\n"
                 "  --config FILE  read FILE instead of ./plivak.cfg\n"
                 "  --quiet        no progress line on standard error\n"
                 "  --timing       print per-step frame times, start-up time and peak memory\n"
                 "  --version      print the version and exit\n"
                 "  --help         print this and exit\n"
                 "A value beginning with '-' is never taken as a file or folder name: write ./-name.\n"
#ifdef _WIN32
                 "This Windows build writes no PNG and no video: --png and --video are refused; use --log and --wav.\n"
#endif
                 );
}

bool parseNumber(const char* text, double& out) {
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(out);
}

// Turns --from, --to and --step into the frame range, asks for the seek to
// its first frame, and ends the run at its last. False after one line on
// an empty, reversed or out-of-show range.
bool rangeOptions(capture::Options& options, double from, double to, int step) {
    const double fps = options.fps;
    // Where the show ends on this configuration (the plan's length, as the
    // progress line has it), and the chapters when the file is there.
    vclock::configure(fps, -1.0);  // capture::begin sets it again
    ReadConfig("plivak.cfg");
    const double showEnd = capture::expectedEnd(-1.0, -1.0, SkipFinalPart, FinalPartOnly);
    const bool skipFinal = SkipFinalPart;
    LoadChapters("../data/chapters.dat", true);
    const bool fromFile = SeekFromFile();
    ResetConfig();  // start-up reads it again
    int64_t first = 0;
    int64_t last = -1;
    if (step > 0) {
        if (step == kFinalStep && skipFinal) {
            std::fprintf(stderr, "plivak-capture: this configuration has no step %d\n", step);
            return false;
        }
        first = StepStartFrame(step);
        if (first < 0 || !fromFile) {
            std::fprintf(stderr, "plivak-capture: --step needs the chapter file ../data/chapters.dat of this "
                                 "configuration and frame rate; use --from and --to\n");
            return false;
        }
        last = step < kFinalStep ? StepStartFrame(step + 1) : -1;
        if (step == kFinalStep - 1 && skipFinal) last = -1;
    }
    if (from >= 0) first = FrameAtTime(from, fps);
    if (to >= 0) last = FrameAtTime(to, fps);
    if (last >= 0 && last <= first) {
        std::fprintf(stderr, "plivak-capture: the range %s (from frame %lld to frame %lld) holds no frame\n",
                     last < first ? "is reversed" : "is empty", static_cast<long long>(first),
                     static_cast<long long>(last));
        return false;
    }
    // The show's last frame is at its end (the closing part draws a frame
    // at 600 s): a range may start there.
    if (static_cast<double>(first) / fps > showEnd + 1e-6) {
        std::fprintf(stderr, "plivak-capture: the range starts at %.3f s, after the show's end at %.3f s\n",
                     static_cast<double>(first) / fps, showEnd);
        return false;
    }
    options.fromFrame = first;
    options.toFrame = last;
    if (last >= 0) {
        const double keyAt = static_cast<double>(last) / fps;
        options.keyAt = options.keyAt >= 0 ? std::min(options.keyAt, keyAt) : keyAt;
    }
    // The range's first frame is drawn at the end of a pre-roll from its
    // chapter point (from the start without the chapter file).
    if (first > 0) SeekToFrame(first);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    capture::Options options;
    std::string configFile;
    std::string chaptersFile;
    double from = -1.0;
    double to = -1.0;
    int step = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        // An option's value: the next argument, unless there is none or it
        // is the next option (so "--png --log x" is an error, not a folder
        // named "--log").
        auto value = [&](const char*& out) {
            if (i + 1 >= argc || argv[i + 1][0] == '-' || argv[i + 1][0] == '\0') return false;
            out = argv[++i];
            return true;
        };
        const char* text = nullptr;
        double number = 0;
        bool ok = true;
        if (arg == "--fps") {
            ok = value(text) && parseNumber(text, number) && number >= 1 && number <= 1000;
            options.fps = number;
        } else if (arg == "--seconds") {
            ok = value(text) && parseNumber(text, number) && number >= 0;
            options.keyAt = number;
        } else if (arg == "--png") {
            ok = value(text);
            if (ok) options.pngDir = text;
        } else if (arg == "--every") {
            ok = value(text) && parseNumber(text, number) && number >= 1 && number == std::floor(number);
            options.every = static_cast<int64_t>(number);
        } else if (arg == "--from" || arg == "--to") {
            // One line naming the accepted forms, not the whole usage.
            if (i + 1 >= argc || !ParseShowTime(argv[i + 1], number)) {
                std::fprintf(stderr, "plivak-capture: %s takes a demo time: %s\n", arg.c_str(), kShowTimeForms);
                return 2;
            }
            ++i;
            (arg == "--from" ? from : to) = number;
        } else if (arg == "--step") {
            if (i + 1 >= argc || !parseNumber(argv[i + 1], number) || number < 1 || number > kFinalStep ||
                number != std::floor(number)) {
                std::fprintf(stderr, "plivak-capture: --step takes a step number from 1 to %d\n", kFinalStep);
                return 2;
            }
            ++i;
            step = static_cast<int>(number);
        } else if (arg == "--chapters") {
            ok = value(text);
            if (ok) chaptersFile = text;
        } else if (arg == "--wav") {
            ok = value(text);
            if (ok) options.wavFile = text;
        } else if (arg == "--video") {
            ok = value(text);
            if (ok) options.videoFile = text;
        } else if (arg == "--log") {
            ok = value(text);
            if (ok) options.logFile = text;
        } else if (arg == "--preset") {
            ok = value(text) && capture::isVideoPreset(text);
            if (ok) options.preset = text;
        } else if (arg == "--lossless") {
            options.lossless = true;
        } else if (arg == "--config") {
            ok = value(text);
            if (ok) configFile = text;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--timing") {
            options.timing = true;
        } else if (arg == "--version") {
            PrintVersion("plivak-capture");
            return 0;
        } else if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "plivak-capture: bad option '%s'\n", arg.c_str());
            usage(stderr);
            return 2;
        }
    }
    if (options.lossless && options.videoFile.empty()) {
        std::fprintf(stderr, "plivak-capture: --lossless needs --video FILE.mkv\n");
        usage(stderr);
        return 2;
    }
    if (!configFile.empty()) {
        // Read instead of ./plivak.cfg. A file named on the command line
        // that is not there is a mistake worth stopping for, unlike a
        // missing ./plivak.cfg.
        struct stat st{};
        if (stat(configFile.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            std::fprintf(stderr, "plivak-capture: no such file %s\n", configFile.c_str());
            return 2;
        }
        CommandLine.configFile = configFile.c_str();
    }
    if (!chaptersFile.empty() && (from >= 0 || to >= 0 || step > 0)) {
        std::fprintf(stderr, "plivak-capture: --chapters records a whole run; leave out --from, --to and --step\n");
        return 2;
    }
    if (from >= 0 || to >= 0 || step > 0) {
        if (!rangeOptions(options, from, to, step)) return 2;
    }
    if (!chaptersFile.empty()) RecordChapters(chaptersFile.c_str());
    if (!capture::begin(options)) return 2;
    int status = DemoMain();
    if (!FinishChapters()) {
        std::fprintf(stderr, "plivak-capture: cannot write %s\n", chaptersFile.c_str());
        if (status == 0) status = 1;
    }
    return status;
}
