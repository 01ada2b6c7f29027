// Out of memory during start-up: every allocation StartUp makes fails in
// turn, and each time the process must end with status 1, printing with
// "verbose" one last line that names the step. This program's operator
// new forks at each allocation while armed: the child sees that one
// allocation fail (as a real one does: the new-handler first, then
// std::bad_alloc), the parent waits for the child's status, then goes on
// with the allocation granted. One start-up of the parent thus tries
// every allocation of start-up at the cost of a fork each.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "host/host.h"

namespace {

struct Trial {
    int status;      // as waitpid gives it
    char last[160];  // the child's last line on standard error
};

bool armed = false;  // the parent while StartUp runs
bool inChild = false;
bool quietChild = false;
int childErr = -1;  // the file each child's standard error goes to
std::vector<Trial>* trials = nullptr;
size_t trialCount = 0;
size_t trialLimit = 0;

// The last line of what the child wrote (without its newline).
void lastLine(int fd, char* out, size_t capacity) {
    char text[4096];
    ssize_t n = pread(fd, text, sizeof text - 1, 0);
    out[0] = '\0';
    if (n <= 0) return;
    text[n] = '\0';
    if (text[n - 1] == '\n') text[--n] = '\0';
    const char* start = std::strrchr(text, '\n');
    start = start ? start + 1 : text;
    const size_t length = std::min(std::strlen(start), capacity - 1);
    std::memcpy(out, start, length);
    out[length] = '\0';
}

// Called at each allocation while armed. Returns true in the child, where
// this allocation is to fail; in the parent it records the child's end.
bool forkTrial() {
    if (trialCount == trialLimit) return false;
    std::fflush(stdout);
    std::fflush(stderr);
    if (ftruncate(childErr, 0) != 0 || lseek(childErr, 0, SEEK_SET) != 0) std::abort();
    pid_t child = fork();
    if (child < 0) std::abort();
    if (child == 0) {
        armed = false;
        inChild = true;
        dup2(childErr, 2);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        // Half the children run as if "verbose" were not in plivak.cfg:
        // they must print no line of their own.
        if (quietChild) VerboseLoading = false;
        return true;
    }
    Trial& t = (*trials)[trialCount++];
    if (waitpid(child, &t.status, 0) != child) std::abort();
    lastLine(childErr, t.last, sizeof t.last);
    quietChild = !quietChild;
    return false;
}

[[noreturn]] void failAllocation() {
    if (std::new_handler handler = std::get_new_handler()) handler();
    throw std::bad_alloc();
}

void* allocate(std::size_t size) {
    if (armed && forkTrial()) failAllocation();
    for (;;) {
        if (void* p = std::malloc(size ? size : 1)) return p;
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

void* allocateAligned(std::size_t size, std::align_val_t align) {
    if (armed && forkTrial()) failAllocation();
    const size_t a = static_cast<size_t>(align);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a)) return p;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void* operator new(std::size_t size, std::align_val_t align) { return allocateAligned(size, align); }
void* operator new[](std::size_t size, std::align_val_t align) { return allocateAligned(size, align); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

bool haveData() {
    struct stat st{};
    return stat(PLIVAK_DATA_DIR "/.generated", &st) == 0;
}

// Runs StartUp once in a scratch tree (the generated data, "verbose" in
// plivak.cfg) with every allocation tried as a failure; exits 0 when each
// child ended as it must, else prints the first faults and exits 1.
[[noreturn]] void tryEveryAllocation() {
    char base[] = "/tmp/plivak-oom-XXXXXX";
    if (!mkdtemp(base)) std::exit(98);
    const std::string root = base;
    std::filesystem::create_directory(root + "/bin");
    std::filesystem::create_symlink(PLIVAK_DATA_DIR, root + "/data");
    if (std::FILE* f = std::fopen((root + "/bin/plivak.cfg").c_str(), "w")) {
        std::fputs("verbose\n", f);
        std::fclose(f);
    }
    childErr = open((root + "/child.err").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (childErr < 0 || chdir((root + "/bin").c_str()) != 0) std::exit(98);
    std::vector<Trial> results(200000);
    trials = &results;
    trialLimit = results.size();

    // The parent's own loading lines are not the point here.
    const int savedErr = dup(2);
    dup2(open("/dev/null", O_WRONLY), 2);
    armed = true;
    try {
        StartUp();
    } catch (...) {
        // Where the program would end with std::terminate: status 134.
        if (inChild) std::abort();
        throw;
    }
    // A child whose failed allocation did not end it went on to here.
    if (inChild) _exit(0);
    armed = false;
    dup2(savedErr, 2);
    std::filesystem::remove_all(root);

    int faults = 0;
    for (size_t i = 0; i < trialCount; ++i) {
        const Trial& t = results[i];
        const bool quiet = i % 2 == 1;
        const bool statusOne = WIFEXITED(t.status) && WEXITSTATUS(t.status) == 1;
        // A failure inside ReadConfig comes before "verbose" is read.
        const std::string last = t.last;
        const bool named = last.rfind("cannot ", 0) == 0 && last.size() > 15 &&
                           last.compare(last.size() - 15, 15, ": out of memory") == 0;
        const bool lineOk = quiet ? last.find("out of memory") == std::string::npos
                                  : named || last.empty();
        if (statusOne && lineOk) continue;
        if (++faults <= 10)
            std::fprintf(stderr, "allocation %zu: %s %d, last line \"%s\"\n", i + 1,
                         WIFEXITED(t.status) ? "status" : "signal",
                         WIFEXITED(t.status) ? WEXITSTATUS(t.status) : WTERMSIG(t.status), t.last);
    }
    if (trialCount == trialLimit) std::fprintf(stderr, "more than %zu allocations\n", trialLimit);
    std::fprintf(stderr, "%d of %zu allocations ended otherwise\n", faults, trialCount);
    if (faults == 0 && trialCount < trialLimit)
        std::fprintf(stderr, "every one of %zu allocations ended with status 1\n", trialCount);
    std::fflush(stderr);
    _exit(faults == 0 && trialCount > 0 && trialCount < trialLimit ? 0 : 1);
}

}  // namespace

TEST(StartupMemory, EveryFailedAllocationEndsWithStatusOne) {
    if (!haveData()) GTEST_SKIP() << "no data in " PLIVAK_DATA_DIR;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(tryEveryAllocation(), testing::ExitedWithCode(0), "every one of [0-9]+ allocations");
}
