// The few POSIX calls of the capture, on Windows (mingw-w64). The Windows
// build writes no PNG and no video, so the child processes behind --video
// never start there: waitpid and SIGPIPE only have to compile. getrusage
// gives the peak working set, which --timing prints as peak memory.
#pragma once

#include <io.h>
#include <signal.h>
#include <sys/types.h>
#include <windows.h>
#include <psapi.h>

#ifndef SIGPIPE
#define SIGPIPE 13
#endif
#define WIFEXITED(status) 1
#define WEXITSTATUS(status) (status)

inline pid_t waitpid(pid_t, int* status, int) {
    *status = 1;
    return 0;
}

// Two-argument mkdir, as in POSIX (Windows takes no mode).
inline int mkdir(const char* path, int) { return mkdir(path); }

#define RUSAGE_SELF 0
struct rusage {
    long ru_maxrss;  // KiB, as on Linux
};
inline int getrusage(int, rusage* usage) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    usage->ru_maxrss = GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)
                           ? static_cast<long>(counters.PeakWorkingSetSize / 1024)
                           : 0;
    return 0;
}
