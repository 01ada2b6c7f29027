#include "data/gz_stream.h"

#ifdef __EMSCRIPTEN__
#include "data/gz_web.h"
#else
#include <zlib.h>
#endif

#include <cstdlib>
#include <cstring>

namespace {

constexpr int32_t kMinGranularity = 1024;
constexpr unsigned kChunkSize = 1024;
// Every read lands here before it is appended; all streams share it (the
// loader is single-threaded).
uint8_t gChunk[kChunkSize];

}  // namespace

GZ_Buffer::GZ_Buffer(int32_t granularityBytes) {
    data = nullptr;
    allocate(granularityBytes);
}

GZ_Buffer::~GZ_Buffer() { std::free(data); }

void GZ_Buffer::allocate(int32_t granularityBytes) {
    if (granularityBytes < kMinGranularity) throw GZ_Error("GZ_Buffer: granularity too tiny.");
    if (data) throw GZ_Error("GZ_Buffer: buffer already allocated.");
    length = 0;
    granularity = granularityBytes;
    capacity = granularityBytes;
    data = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(capacity)));
    if (!data) {
        capacity = 0;
        throw GZ_Error("GZ_Buffer: malloc() failed.");
    }
}

void GZ_Buffer::append(const uint8_t* bytes, int32_t count) {
    if (!data) throw GZ_Error("GZ_Buffer: null buffer exception.");
    if (count <= 0) return;
    // Growth in whole granularity steps, computed in 64 bits so that a
    // buffer near 2 GiB reports a failure instead of wrapping.
    int64_t needed = int64_t{length} + count;
    if (needed > capacity) {
        int64_t steps = (needed - capacity + granularity - 1) / granularity;
        int64_t grown = capacity + steps * granularity;
        if (grown > INT32_MAX) throw GZ_Error("GZ_Buffer: realloc() failed.");
        void* moved = std::realloc(data, static_cast<size_t>(grown));
        // On failure the old block and capacity stay as they were.
        if (!moved) throw GZ_Error("GZ_Buffer: realloc() failed.");
        data = static_cast<uint8_t*>(moved);
        capacity = static_cast<int32_t>(grown);
    }
    std::memcpy(data + length, bytes, static_cast<size_t>(count));
    length += count;
}

GZ_Stream::GZ_Stream(GZ_Buffer* target) {
    file = nullptr;
    buffer = nullptr;
    attach(target);
}

void GZ_Stream::attach(GZ_Buffer* target) {
    if (buffer) throw GZ_Error("GZ_Stream: buffer already attached.");
    buffer = target;
}

int GZ_Stream::read(const char* fileName) {
    if (!buffer) throw GZ_Error("GZ_Stream: null buffer exception.");
    gzFile gz = gzopen(fileName, "rb");
    if (!gz) throw GZ_Error("GZ_Stream: gzopen() failed.");
    file = gz;
    // The handle is closed on every way out, so a failed file does not
    // stay open for the rest of the process.
    try {
        for (;;) {
            int n = gzread(gz, gChunk, kChunkSize);
            if (n < 0) throw GZ_Error("GZ_Stream: gzread() failed.");
            if (n == 0) break;
            buffer->append(gChunk, n);
        }
    } catch (...) {
        gzclose(gz);
        file = nullptr;
        throw;
    }
    file = nullptr;
    if (gzclose(gz) != Z_OK) throw GZ_Error("GZ_Stream: gzclose() failed.");
    return 0;
}
