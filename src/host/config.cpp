// plivak.cfg: up to 8 whitespace-separated tokens, applied in file order,
// then the command line on top.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/host.h"
#include "host/options.h"

int ConsoleHeight = 200;
bool VerboseLoading = false;
bool SkipFinalPart = false;
bool FinalPartOnly = false;
bool Fullscreen = false;

void ResetConfig() {
    ConsoleHeight = 200;
    PresentFrame = PresentFull;
    VerboseLoading = false;
    SkipFinalPart = false;
    FinalPartOnly = false;
    Fullscreen = false;
}

namespace {

constexpr int kMaxTokens = 8;
constexpr size_t kMaxTokenLength = 79;
// The most of the file that is read. Eight tokens need far less; only
// whitespace before them could use more, and what lies beyond is ignored.
constexpr size_t kMaxConfigBytes = 16384;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

void applyOption(const char* token) {
    if (!std::strcmp(token, "240")) {
        ConsoleHeight = 240;
        PresentFrame = PresentLetterbox;
    } else if (!std::strcmp(token, "verbose") || !std::strcmp(token, "v")) {
        VerboseLoading = true;
    } else if (!std::strcmp(token, "no-more-3d") || !std::strcmp(token, "quake-sucks")) {
        SkipFinalPart = true;
        FinalPartOnly = false;
    } else if (!std::strcmp(token, "i-am-a-sucker") || !std::strcmp(token, "i-am-lame")) {
        FinalPartOnly = true;
    } else if (!std::strcmp(token, "fullscreen")) {
        Fullscreen = true;
    }
}

// True when text[0..size) holds kMaxTokens tokens, each followed by
// whitespace: no more of the file can change what is applied.
bool holdsAllTokens(const char* text, size_t size) {
    int complete = 0;
    for (size_t i = 1; i < size; ++i)
        if (isSpace(text[i]) && !isSpace(text[i - 1]) && ++complete == kMaxTokens) return true;
    return false;
}

// Reads the start of a regular file into buffer (kMaxConfigBytes); returns
// the bytes kept, or 0 for a file that is missing, unreadable or not a
// regular file. A FIFO, a device or a directory is opened without blocking
// and then refused, so nothing here can wait or run without end.
size_t readConfigStart(const char* fileName, char* buffer) {
#ifdef _WIN32
    // Windows has no FIFO that could block the open and no controlling
    // terminal; the file is read as bytes (no CR-LF or end-of-file mark).
    int fd = ::open(fileName, O_RDONLY | O_BINARY);
#else
    int fd = ::open(fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
#endif
    if (fd < 0) return 0;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return 0;
    }
    size_t size = 0;
    bool atEnd = false;
    while (size < kMaxConfigBytes && !holdsAllTokens(buffer, size)) {
        ssize_t got = ::read(fd, buffer + size, kMaxConfigBytes - size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            ::close(fd);
            return 0;
        }
        if (got == 0) {
            atEnd = true;
            break;
        }
        size += static_cast<size_t>(got);
    }
    ::close(fd);
    // Stopped at the bound inside a token: its end is unknown, so it is
    // not examined (nor anything after it).
    if (!atEnd && size == kMaxConfigBytes)
        while (size > 0 && !isSpace(buffer[size - 1])) --size;
    return size;
}

}  // namespace

void ApplyConfigText(const char* text, size_t size) {
    size_t i = 0;
    for (int n = 0; n < kMaxTokens; ++n) {
        while (i < size && isSpace(text[i])) ++i;
        if (i == size) return;
        size_t start = i;
        while (i < size && !isSpace(text[i])) ++i;
        // A token longer than 79 characters matches nothing (its first 79
        // characters could spell an option word); it still counts as one.
        // So does one holding a NUL byte, which no option word has.
        size_t length = i - start;
        if (length > kMaxTokenLength || std::memchr(text + start, '\0', length)) continue;
        char token[kMaxTokenLength + 1];
        std::memcpy(token, text + start, length);
        token[length] = '\0';
        applyOption(token);
    }
}

void ApplyCommandLine(const CommandLineOptions& options) {
    if (options.fullscreen >= 0) Fullscreen = options.fullscreen == 1;
    ptc::DisplaySettings display;
    display.fullscreen = Fullscreen;
    display.presentation = options.presentation;
    display.verbose = VerboseLoading;
    ptc::setDisplaySettings(display);
}

void ReadConfig(const char* fileName) {
    static char buffer[kMaxConfigBytes];
    const char* name = CommandLine.configFile ? CommandLine.configFile : fileName;
    ApplyConfigText(buffer, readConfigStart(name, buffer));
    ApplyCommandLine(CommandLine);
}
