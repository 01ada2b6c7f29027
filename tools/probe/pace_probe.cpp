// pace-probe [SECONDS]: opens the real console window, presents a moving
// bar for SECONDS (default 10) with almost no drawing work, and prints the
// presented frames per second, the spread of frame intervals and the CPU
// time the process used: the cost of the paced present path alone.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/ptc.h"

int main(int argc, char** argv) {
    double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    try {
        ptc::Format format(32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
        ptc::Console console;
        console.open("morvelle - plivak' effect", 320, 200, format, 0);
        ptc::Surface surface(320, 200, format);
        uint32_t* pixels = surface.lock();
        using Clock = std::chrono::steady_clock;
        std::vector<double> intervals;
        intervals.reserve(static_cast<size_t>(seconds * 120) + 16);
        auto start = Clock::now(), last = start;
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        int frames = 0;
        while (std::chrono::duration<double>(Clock::now() - start).count() < seconds) {
            if (console.key()) break;
            for (int i = 0; i < 320 * 200; ++i) pixels[i] = ((i % 320) == frames % 320) ? 0xFFFFFFu : 0x203040u;
            surface.copy(console);
            console.update();
            auto now = Clock::now();
            intervals.push_back(std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
            ++frames;
        }
        double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        auto cpu = [](const rusage& r) {
            return r.ru_utime.tv_sec + r.ru_utime.tv_usec * 1e-6 + r.ru_stime.tv_sec + r.ru_stime.tv_usec * 1e-6;
        };
        std::sort(intervals.begin() + 1, intervals.end());
        double p99 = intervals[std::min(intervals.size() - 1, intervals.size() * 99 / 100)];
        std::printf("frames=%d seconds=%.2f fps=%.2f interval_median_ms=%.2f interval_p99_ms=%.2f cpu_percent=%.1f\n",
                    frames, elapsed, frames / elapsed, intervals[intervals.size() / 2], p99,
                    100.0 * (cpu(after) - cpu(before)) / elapsed);
        console.close();
    } catch (const ptc::DynamicError& e) {
        std::fprintf(stderr, "pace-probe: %s\n", e.message());
        return 1;
    }
    return 0;
}
