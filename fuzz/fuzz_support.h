// Helpers shared by the fuzz targets: an in-memory file for readers that
// only take a path (zlib's gzopen, the shape reader), and a 256x256 texture.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A file that lives in memory (memfd) and is reached by a path under
// /proc/self/fd; every set() replaces its whole content.
class MemoryFile {
public:
    explicit MemoryFile(const char* name) {
        fd_ = memfd_create(name, 0);
        if (fd_ < 0) std::abort();
        std::snprintf(path_, sizeof path_, "/proc/self/fd/%d", fd_);
    }
    ~MemoryFile() { close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const char* set(const uint8_t* data, size_t size) {
        // Cut only when the new content is shorter: one system call less
        // for most inputs.
        if (size < size_ && ftruncate(fd_, static_cast<off_t>(size)) != 0) std::abort();
        size_ = size;
        size_t done = 0;
        while (done < size) {
            ssize_t n = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0) std::abort();
            done += static_cast<size_t>(n);
        }
        return path_;
    }
    const char* path() const { return path_; }

private:
    int fd_ = -1;
    size_t size_ = 0;
    char path_[40];
};

// A 256x256 texture of a fixed pattern, for the targets that draw.
inline const uint32_t* checkerTexture() {
    static uint32_t* pixels = [] {
        static uint32_t texels[256 * 256];
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                texels[y * 256 + x] = ((x ^ y) & 32) ? 0xC08040u : 0x2040A0u;
        return texels;
    }();
    return pixels;
}
