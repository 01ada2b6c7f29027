// pace-probe: opens the real console window, presents a moving bar with
// almost no drawing work, and prints for each presentation path asked for
// the presents per second, the median and 99th percentile of the frame
// interval and the CPU time the process used: the cost of the paced
// present path alone.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/ptc.h"

namespace {

void usage(std::FILE* out) {
    std::fputs(
        "usage: pace-probe [options] [SECONDS]\n"
        "Presents a moving bar in the demo's window for SECONDS per path (default 10)\n"
        "and prints presents per second, frame interval median and p99, and CPU.\n"
        "  --renderer PATH   auto, gpu, surface or all (each in turn; default auto)\n"
        "  --fullscreen      desktop fullscreen instead of a window\n"
        "  --help            this text\n",
        out);
}

double cpuSeconds() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_utime.tv_sec + r.ru_utime.tv_usec * 1e-6 + r.ru_stime.tv_sec + r.ru_stime.tv_usec * 1e-6;
}

// Returns false when a key or a close request ended it.
bool probe(const char* name, ptc::Presentation presentation, bool fullscreen, double seconds) {
    ptc::DisplaySettings settings;
    settings.presentation = presentation;
    settings.fullscreen = fullscreen;
    settings.verbose = true;  // names the path taken
    ptc::setDisplaySettings(settings);
    ptc::Format format(32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    ptc::Console console;
    console.open("morvelle - plivak' effect", 320, 200, format, 0);
    ptc::Surface surface(320, 200, format);
    uint32_t* pixels = surface.lock();
    using Clock = std::chrono::steady_clock;
    std::vector<double> intervals;
    intervals.reserve(static_cast<size_t>(seconds * 150) + 16);
    auto start = Clock::now(), last = start;
    double cpuBefore = cpuSeconds();
    int frames = 0;
    bool keyed = false;
    while (std::chrono::duration<double>(Clock::now() - start).count() < seconds) {
        if (console.key()) {
            keyed = true;
            break;
        }
        for (int i = 0; i < 320 * 200; ++i) pixels[i] = ((i % 320) == frames % 320) ? 0xFFFFFFu : 0x203040u;
        surface.copy(console);
        console.update();
        auto now = Clock::now();
        if (frames > 0) intervals.push_back(std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
        ++frames;
    }
    double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    double cpu = cpuSeconds() - cpuBefore;
    console.close();
    if (intervals.empty()) intervals.push_back(0);
    std::sort(intervals.begin(), intervals.end());
    double p99 = intervals[std::min(intervals.size() - 1, intervals.size() * 99 / 100)];
    std::printf(
        "renderer=%s frames=%d seconds=%.2f fps=%.2f interval_median_ms=%.2f interval_p99_ms=%.2f cpu_percent=%.1f\n",
        name, frames, elapsed, frames / elapsed, intervals[intervals.size() / 2], p99, 100.0 * cpu / elapsed);
    std::fflush(stdout);
    return !keyed;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 10.0;
    bool fullscreen = false;
    std::string renderer = "auto";
    bool secondsGiven = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        bool ok = true;
        if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
            usage(stdout);
            return 0;
        } else if (!std::strcmp(arg, "--fullscreen")) {
            fullscreen = true;
        } else if (!std::strcmp(arg, "--renderer")) {
            ok = i + 1 < argc && argv[i + 1][0] != '-';
            if (ok) renderer = argv[++i];
            ok = ok && (renderer == "auto" || renderer == "gpu" || renderer == "surface" || renderer == "all");
        } else if (arg[0] != '-' && !secondsGiven) {
            char* end = nullptr;
            seconds = std::strtod(arg, &end);
            ok = end != arg && *end == '\0' && std::isfinite(seconds) && seconds > 0;
            secondsGiven = true;
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "pace-probe: bad option '%s'\n", arg);
            usage(stderr);
            return 2;
        }
    }
    struct Path {
        const char* name;
        ptc::Presentation presentation;
    };
    const Path paths[] = {{"auto", ptc::Presentation::Auto},
                          {"gpu", ptc::Presentation::Gpu},
                          {"surface", ptc::Presentation::Surface}};
    try {
        for (const Path& p : paths) {
            if (renderer != "all" && renderer != p.name) continue;
            if (!probe(p.name, p.presentation, fullscreen, seconds)) break;
        }
    } catch (const ptc::DynamicError& e) {
        std::fprintf(stderr, "pace-probe: %s\n", e.message());
        return 1;
    }
    return 0;
}
