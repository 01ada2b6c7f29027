// The 8-bit PCX picture: palette indices, the palette, and the shade table
// that lights it. Only 256x256 pictures are accepted, because the part that
// maps the picture reads it as 256x256 indices.
#pragma once

#include <cstddef>
#include <cstdint>

class ShadeTable;

// A plain record: like the picture itself, the arrays that parse makes
// live until the process ends, and nothing here frees them (a test may
// point the fields at arrays of its own).
struct PcxPicture {
    uint8_t* pixels = nullptr;         // 256 x 256 indices, row-major
    uint32_t* palette = nullptr;       // 256 colours 0x00RRGGBB
    ShadeTable* shadeTable = nullptr;  // from the palette, low = high = 0xFFFFFF

    enum Result {
        kLoaded,
        kCannotOpen,
        kBadHeader,  // not an 8-bit run-length PCX of 256 x 256
        kShortFile,  // ends before its pixels or its palette
    };
    static constexpr int kWidth = 256;
    static constexpr int kHeight = 256;
    static constexpr size_t kHeaderSize = 128;

    // Decodes a whole file held in memory and builds the shade table. The
    // fields are set only on success.
    Result parse(const uint8_t* bytes, size_t size);
    // Reads the file whole, then parse.
    Result load(const char* fileName);
    // True when load gives kLoaded.
    bool read(const char* fileName) { return load(fileName) == kLoaded; }

    static const char* describe(Result result);
};
