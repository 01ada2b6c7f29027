// plivak's command line: a few display options and --config, applied on
// top of plivak.cfg, plus --help and --version.
#include "host/options.h"

#include <cstring>

#ifndef PLIVAK_VERSION
#define PLIVAK_VERSION "1.0"
#endif

CommandLineOptions CommandLine;

namespace {

bool takeValue(int argc, char** argv, int& i, const char*& value) {
    if (i + 1 >= argc || argv[i + 1][0] == '-') return false;
    value = argv[++i];
    return true;
}

}  // namespace

OptionResult TakeHostOption(int argc, char** argv, int& i, CommandLineOptions& options, const char*& error) {
    const char* arg = argv[i];
    const char* value = nullptr;
    if (!std::strcmp(arg, "--fullscreen")) {
        options.fullscreen = 1;
    } else if (!std::strcmp(arg, "--window")) {
        options.fullscreen = 0;
    } else if (!std::strcmp(arg, "--config")) {
        if (!takeValue(argc, argv, i, value)) {
            error = "--config needs a file name";
            return OptionResult::Bad;
        }
        options.configFile = value;
    } else if (!std::strcmp(arg, "--renderer")) {
        if (!takeValue(argc, argv, i, value)) {
            error = "--renderer needs auto, gpu or surface";
            return OptionResult::Bad;
        }
        if (!std::strcmp(value, "auto")) {
            options.presentation = ptc::Presentation::Auto;
        } else if (!std::strcmp(value, "gpu")) {
            options.presentation = ptc::Presentation::Gpu;
        } else if (!std::strcmp(value, "surface")) {
            options.presentation = ptc::Presentation::Surface;
        } else {
            error = "--renderer takes auto, gpu or surface";
            return OptionResult::Bad;
        }
        options.presentationGiven = true;
    } else {
        return OptionResult::NotMine;
    }
    ++i;
    return OptionResult::Taken;
}

void PrintUsage(std::FILE* out) {
    std::fputs(
        "usage: plivak [options]\n"
        "Plays the demo in a window: a 320x200 picture shown at 4:3 with sharp pixels.\n"
        "Any key ends it at once (Shift, Ctrl, Alt, AltGr, GUI, Caps Lock, Num Lock and\n"
        "Scroll Lock do not), in a window and in fullscreen alike.\n"
        "\n"
        "options (applied after plivak.cfg):\n"
        "  --fullscreen        desktop fullscreen: no mode change, the picture centred\n"
        "                      at 4:3 between black bars\n"
        "  --window            in a window, even when plivak.cfg says fullscreen\n"
        "  --renderer PATH     auto (default): gpu when SDL has a hardware-accelerated\n"
        "                      renderer, surface otherwise; gpu: SDL_Renderer with\n"
        "                      vsync; surface: scaled on the CPU into the window\n"
        "  --config FILE       read FILE instead of ./plivak.cfg\n"
        "  --help              this text\n"
        "  --version           the version\n"
        "\n"
        "plivak.cfg (in the working directory): whitespace-separated words, at most 8\n"
        "read, applied in order, matched exactly:\n"
        "  240                 a 320x240 console, the picture on lines 20..219\n"
        "  verbose, v          one line per loaded file on standard error, and the\n"
        "                      presentation path taken\n"
        "  fullscreen          as --fullscreen\n"
        "  no-more-3d, quake-sucks      skip the closing 3D part\n"
        "  i-am-a-sucker, i-am-lame     go straight to the closing 3D part\n"
        "\n"
        "The demo reads its data from ../data/. Without a display, plivak-capture\n"
        "records the demo instead.\n",
        out);
}

void PrintVersion(const char* program) { std::printf("%s %s\n", program, PLIVAK_VERSION); }

int ParseCommandLine(int argc, char** argv) {
    CommandLine = CommandLineOptions{};
    for (int i = 1; i < argc;) {
        const char* arg = argv[i];
        if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
            PrintUsage(stdout);
            return 0;
        }
        if (!std::strcmp(arg, "--version")) {
            PrintVersion("plivak");
            return 0;
        }
        const char* error = nullptr;
        switch (TakeHostOption(argc, argv, i, CommandLine, error)) {
            case OptionResult::Taken:
                continue;
            case OptionResult::Bad:
                std::fprintf(stderr, "plivak: %s\n", error);
                break;
            case OptionResult::NotMine:
                std::fprintf(stderr, "plivak: unknown option '%s'\n", arg);
                break;
        }
        PrintUsage(stderr);
        return 2;
    }
    return -1;
}
