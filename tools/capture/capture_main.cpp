// plivak-capture: the demo on the virtual clock. The same host, timeline and
// parts as plivak, with no window and no audio device: every key poll of the
// running demo is one video frame of 1/fps seconds, and the console timer and
// the music advance by exactly that much per poll. It runs as fast as the
// machine draws and is deterministic, so its frames, music and log are the
// same on every run.
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "capture/capture_output.h"
#include "host/host.h"
#include "host/options.h"

namespace {

void usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: plivak-capture [options]\n"
                 "  --fps N        video frames per second (default 60)\n"
                 "  --seconds S    a key press arrives at demo time S (default: run to the end)\n"
                 "  --png DIR      write frames as DIR/NNNNNN.png\n"
                 "  --every K      with --png: every K-th frame (default 1)\n"
                 "  --from S       with --png: frames from demo time S on (default 0)\n"
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

}  // namespace

int main(int argc, char** argv) {
    capture::Options options;
    std::string configFile;
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
        } else if (arg == "--from") {
            ok = value(text) && parseNumber(text, number) && number >= 0;
            options.from = number;
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
    if (!capture::begin(options)) return 2;
    return DemoMain();
}
