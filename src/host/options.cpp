// plivak's command line: a few display options and --config, applied on
// top of plivak.cfg, plus --help and --version.
#include "host/options.h"

#include <cstring>

#include "host/host.h"
#include "host/seek.h"

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
        "  --from TIME         start at demo time TIME: seconds (75.5) or m:ss(.fff)\n"
        "  --step N            start at step N (1-18), the chapters below\n"
        "  --explore           study the show: Space pauses and resumes, Left and Right\n"
        "                      go to the previous and next chapter, while paused '.'\n"
        "                      steps one frame on and ',' one back; Escape or Q ends\n"
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
    // The chapters, when the chapter file is there.
    if (LoadChapters("../data/chapters.dat", false) && ChapterCount() > 0) {
        std::fputs("\nchapters (--step N, or Left and Right with --explore):\n", out);
        for (int i = 0; i < ChapterCount(); ++i) {
            const double start = ChapterStart(i);
            const int minutes = static_cast<int>(start / 60);
            std::fprintf(out, "  %2d  %2d:%06.3f  %s\n", ChapterStep(i), minutes, start - minutes * 60.0,
                         StepName(ChapterStep(i)));
        }
    }
}

void ApplySeekOptions(const CommandLineOptions& options) {
    if (options.from < 0 && options.step == 0 && !options.explore) return;
    const bool loaded = LoadChapters("../data/chapters.dat", true);
    if (options.explore) EnableExplore();
    if (!loaded) return;  // the one line is said; play from the start
    if (options.step > 0)
        SeekToStep(options.step);
    else if (options.from >= 0)
        SeekToTime(options.from);
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
        if (!std::strcmp(arg, "--from") || !std::strcmp(arg, "--step")) {
            // One line naming the accepted forms.
            double value = 0;
            const bool from = !std::strcmp(arg, "--from");
            const char* text = i + 1 < argc ? argv[i + 1] : nullptr;
            if (!ParseShowTime(text, value) || (!from && (value < 1 || value > 18 || value != static_cast<int>(value)))) {
                if (from)
                    std::fprintf(stderr, "plivak: --from takes a demo time: %s\n", kShowTimeForms);
                else
                    std::fprintf(stderr, "plivak: --step takes a step number from 1 to 18\n");
                return 2;
            }
            if (from)
                CommandLine.from = value;
            else
                CommandLine.step = static_cast<int>(value);
            i += 2;
            continue;
        }
        if (!std::strcmp(arg, "--explore")) {
            CommandLine.explore = true;
            ++i;
            continue;
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
