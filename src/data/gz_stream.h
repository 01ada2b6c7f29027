// Whole-file reading through zlib's gzip file interface: GZ_Stream reads a
// file, compressed or plain (zlib passes a file without a gzip header
// through unchanged), and appends its bytes to a GZ_Buffer. Every failure
// throws a GZ_Error carrying one of the fixed texts below.
#pragma once

#include <cstdint>

// Thrown by value, caught by reference. message points at a static text
// that begins with "GZ_Buffer: " or "GZ_Stream: " and ends with a full stop.
class GZ_Error {
public:
    explicit GZ_Error(const char* text) : message(text) {}
    const char* message;
};

// A growable byte block. capacity is always granularity plus a whole
// number of further granularity steps; length counts the filled bytes. The
// owner may set length back to 0 to reuse the storage (it is kept).
class GZ_Buffer {
public:
    explicit GZ_Buffer(int32_t granularity);
    ~GZ_Buffer();
    GZ_Buffer(const GZ_Buffer&) = delete;
    GZ_Buffer& operator=(const GZ_Buffer&) = delete;

    // Throws "granularity too tiny." below 1024 and "buffer already
    // allocated." when storage exists.
    void allocate(int32_t granularity);
    // Appends count bytes, growing by as many granularity steps as needed.
    void append(const uint8_t* bytes, int32_t count);

    uint8_t* data = nullptr;
    int32_t length = 0;
    int32_t capacity = 0;
    int32_t granularity = 0;
};

class GZ_Stream {
public:
    explicit GZ_Stream(GZ_Buffer* buffer);
    GZ_Stream(const GZ_Stream&) = delete;
    GZ_Stream& operator=(const GZ_Stream&) = delete;

    // Throws "buffer already attached." when a buffer is attached.
    void attach(GZ_Buffer* buffer);
    // Appends the whole (decompressed) file to the attached buffer and
    // returns 0. Does not reset the buffer first. On a failure the file is
    // closed before the GZ_Error leaves.
    int read(const char* fileName);

    void* file = nullptr;  // the zlib gzFile while reading
    GZ_Buffer* buffer = nullptr;
};
